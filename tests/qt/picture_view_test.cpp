#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include "qt/picture_window.h"
#include "qt/qt_window_services.h"

namespace verto::qt {
namespace {

// A picture with a solid line, a dashed line and a frame in three colours.
PictureWindow sample() {
  PictureWindow w(QSize(60, 30), QSize(8, 16));
  w.set_colour(10);
  w.move_to_px(4, 5);
  w.line_to_px(55, 5);
  w.set_colour(12);
  w.set_line_style(0xF0F0);
  w.move_to_px(2, 15);
  w.line_to_px(57, 15);
  w.set_line_style(0xFFFF);
  w.set_colour(14);
  w.rectangle_px(10, 20, 40, 27);
  return w;
}

TEST(PictureDrawing, ReplayedAtDoubleSizeKeepsEachPixelsColour) {
  const PictureWindow w = sample();
  QImage big(QSize(120, 60), QImage::Format_RGB32);
  w.drawing().replay(big);
  // Inside runs of one colour (pixels whose row neighbours match), the
  // centre of the doubled pixel has the picture's colour: lit or dark
  // along the dashes, the frame's sides, the background.
  int checked = 0;
  for (int y : {5, 15, 20, 24, 27, 10}) {
    for (int x = 1; x < 59; ++x) {
      const QRgb c = w.picture().pixel(x, y);
      if (w.picture().pixel(x - 1, y) != c || w.picture().pixel(x + 1, y) != c) continue;
      ASSERT_EQ(big.pixel(2 * x + 1, 2 * y + 1), c) << x << "," << y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 200);
  // A later clear drops what came before.
  PictureWindow again = sample();
  again.clear();
  QImage blank(QSize(120, 60), QImage::Format_RGB32);
  again.drawing().replay(blank);
  EXPECT_EQ(blank.pixel(2 * 20 + 1, 11), again.picture().pixel(20, 5));
}

TEST(PictureDrawing, ViewShowsScaledAndSavesPngAndPdf) {
  KeyQueue keys;
  PictureView view(keys);
  const PictureWindow w = sample();
  view.show_image(w.image(), w.drawing());
  view.resize(120, 60);
  // What the resized window shows and saves is the whole picture scaled.
  const QImage shown = view.rendered(view.size());
  ASSERT_EQ(shown.size(), QSize(120, 60));
  EXPECT_EQ(shown.pixel(2 * 30 + 1, 11), w.picture().pixel(30, 5));
  EXPECT_EQ(view.rendered(QSize(60, 30)), w.picture());
  const QImage painted = view.grab().toImage();
  ASSERT_EQ(painted.size(), QSize(120, 60));
  EXPECT_EQ(painted.pixel(2 * 30 + 1, 11) & 0xFFFFFF, w.picture().pixel(30, 5) & 0xFFFFFF);
  EXPECT_EQ(painted.pixel(2 * 25 + 1, 2 * 27 + 1) & 0xFFFFFF, w.picture().pixel(25, 27) & 0xFFFFFF);

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString png = dir.filePath("plot.png"), pdf = dir.filePath("plot.PDF");
  ASSERT_TRUE(view.save(png));
  ASSERT_TRUE(view.save(pdf));
  QImage back(png);
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.size(), QSize(120, 60));
  EXPECT_EQ(back.pixel(2 * 30 + 1, 11) & 0xFFFFFF, w.picture().pixel(30, 5) & 0xFFFFFF);
  QFile pdf_file(pdf);
  ASSERT_TRUE(pdf_file.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf_file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF-"));
  EXPECT_GT(bytes.size(), 500);
  EXPECT_FALSE(view.save(dir.filePath("missing/plot.png")));
#ifdef VERTO_HAVE_SVG
  const QString svg = dir.filePath("plot.svg");
  ASSERT_TRUE(view.save(svg));
  QFile svg_file(svg);
  ASSERT_TRUE(svg_file.open(QIODevice::ReadOnly));
  const QByteArray text = svg_file.readAll();
  // Lines stay lines, in their palette colours.
  EXPECT_TRUE(text.contains("viewBox=\"0 0 120 60\"") && text.contains("<polyline") &&
              text.contains("stroke=\"#55ff55\""))
      << text.left(400).toStdString();
#endif
}

TEST(PictureDrawing, HighDensityScreenGetsThePictureAtItsOwnPixels) {
  KeyQueue keys;
  PictureView view(keys);
  const PictureWindow w = sample();
  view.show_image(w.image(), w.drawing());
  // Two device pixels to one: the same picture drawn again, each line two
  // device pixels wide on exactly its own rows, not a blurred upscale.
  const QImage crisp = view.rendered(QSize(60, 30), 2.0);
  ASSERT_EQ(crisp.size(), QSize(120, 60));
  EXPECT_EQ(crisp.devicePixelRatio(), 2.0);
  const QRgb green = w.picture().pixel(30, 5), black = w.picture().pixel(30, 7);
  for (int x = 10; x < 100; x += 7) {
    EXPECT_EQ(crisp.pixel(x, 10), green) << x;
    EXPECT_EQ(crisp.pixel(x, 11), green) << x;
    EXPECT_EQ(crisp.pixel(x, 9), black) << x;
    EXPECT_EQ(crisp.pixel(x, 12), black) << x;
  }
}

}  // namespace
}  // namespace verto::qt
