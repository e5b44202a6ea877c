// Screen plots without a display: the pictures saved as PNG files.
#include "qt/offscreen_services.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <fstream>

#include "core/workspace.h"
#include "picture_checks.h"
#include "plot/model.h"
#include "plot/options.h"
#include "plot/screen.h"
#include "support/command_session.h"
#include "support/scoped_directory.h"

namespace verto::qt {
namespace {

using ::testing::ElementsAre;

// True when a pixel within one of (x, y) has colour `c`.
bool near(const QImage& img, int x, int y, QRgb c) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (img.valid(x + dx, y + dy) && img.pixel(x + dx, y + dy) == c) return true;
  return false;
}

class OffscreenPlot : public ::testing::Test {
 protected:
  verto::testing::ScopedDirectory dir{"verto_png"};
  OffscreenWindowServices win{dir.path()};
  verto::testing::CommandSession cs;
  const std::array<QRgb, 256> pal = PictureWindow::default_palette();
  void SetUp() override { cs.s.window = &win; }
  QImage load(const char* name) { return QImage(QString::fromStdString((dir.path() / name).string())); }
};

TEST_F(OffscreenPlot, PicturesAreNumberedAndNeverOverwritten) {
  cs.points({0, 5, 10}, {0, 4, 8});
  EXPECT_THAT(cs.run("PLOT"), ElementsAre(" Output written to VERTO1.PNG"));
  std::ofstream(dir.path() / "VERTO2.PNG") << "taken";
  EXPECT_THAT(cs.run("PLOT"), ElementsAre(" Output written to VERTO3.PNG"));
  const QImage img = load("VERTO1.PNG");
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(640, 384));  // 80 x 24 cells of 8 x 16 pixels
  // The frame's left edge right of nine label columns.
  EXPECT_EQ(img.pixel(72, 100), pal[plot::kFrameColour]);
  EXPECT_EQ(img.pixel(40, 100), pal[0]);

  EXPECT_THAT(cs.run("LEG 0"), ElementsAre(" Output written to VERTOL1.PNG"));
  EXPECT_EQ(load("VERTOL1.PNG").size(), QSize(240, 160));
}

TEST_F(OffscreenPlot, SymbolsInTheirSetAndWavelengthColours) {
  // Limits 0..10 by 0..8 over the frame (72..616) x (0..324): one unit
  // is 54.4 pixels across and 40.5 pixels up.
  cs.points({0, 2, 5, 8, 10}, {0, 2, 4, 6, 8});
  add_point_marker(cs.s.ws, cs.con, 2, "a");
  add_point_marker(cs.s.ws, cs.con, 3, "b");
  cs.run("PLOT");
  QImage img = load("VERTO1.PNG");
  EXPECT_TRUE(near(img, 344, 162, pal[9]));  // the cross of set 2 at (5, 4)
  // The up-triangle of set 3 at (8, 6): its base below the centre.
  EXPECT_TRUE(near(img, 507, 81 + 4, pal[14]));
  EXPECT_FALSE(near(img, 344, 162, pal[10]));

  // X coded from 370 nm (X 0) to 700 nm (X 10): X 5 is 535 nm, palette
  // entry 126; the squares' sides in the remapped colours.
  cs.s.ws.point_markers.count = 0;
  cs.run("PLOT/XS");
  img = load("VERTO2.PNG");
  auto rgb = [](float nm) {
    const std::uint32_t p = plot::screen_packed(plot::screen_spectral(nm, 256).packed);
    return qRgb(int(p & 0xFF), int((p >> 8) & 0xFF), int(p >> 16));
  };
  EXPECT_EQ(plot::screen_spectral(535.f, 256).palette, 126);
  EXPECT_TRUE(near(img, 337, 162, rgb(535.f)));  // left side, 7 pixels from the centre
  EXPECT_TRUE(near(img, 79, 322, rgb(370.f)));   // right side of the square at (0, 0)
  EXPECT_NE(rgb(535.f), rgb(370.f));
}

TEST_F(OffscreenPlot, LegendWindowSamplesBesideTheirLabels) {
  cs.points({0, 1, 2, 3}, {0, 1, 2, 3});
  add_point_marker(cs.s.ws, cs.con, 1, "data");
  add_point_marker(cs.s.ws, cs.con, 3, "First set");
  cs.line_points({0, 1, 2, 3}, {0, 0, 0, 0});
  add_line_marker(cs.s.ws, cs.con, 1, "zero");
  add_line_marker(cs.s.ws, cs.con, 3, "dashed");
  cs.run("LEG 0");
  const QImage img = load("VERTOL1.PNG");
  ASSERT_EQ(img.size(), QSize(240, 160));
  // Cells of 8 x 16: samples centred on column 2 (x 16) at the middle of
  // their rows (y 24, 40), half-size int(0.35 x 16) = 5, labels at
  // column 5 (x from 32) on the same rows.
  for (int d = -5; d <= 5; ++d) {
    EXPECT_EQ(img.pixel(16 + d, 19), pal[10]) << d;  // the square's sides
    EXPECT_EQ(img.pixel(16 + d, 29), pal[10]) << d;
    EXPECT_EQ(img.pixel(11, 24 + d), pal[10]) << d;
    EXPECT_EQ(img.pixel(16 + d, 40 - d), pal[9]) << d;  // the cross
    EXPECT_EQ(img.pixel(16 + d, 40 + d), pal[9]) << d;
  }
  EXPECT_EQ(img.pixel(16, 24), pal[0]);
  EXPECT_EQ(img.pixel(22, 24), pal[0]);
  auto ink = [&](int row, QRgb c) {
    int n = 0;
    for (int y = (row - 1) * 16; y < row * 16; ++y)
      for (int x = 32; x < 112; ++x) n += img.pixel(x, y) == c;
    return n;
  };
  EXPECT_GT(ink(2, pal[10]), 10);
  EXPECT_GT(ink(3, pal[9]), 10);
  // After a blank row the strokes from column 1 to 3 (x 8..24): solid in
  // colour 12 at y 72, then the 0x00FD dashes in colour 11 at y 88.
  for (int x = 8; x <= 24; ++x) EXPECT_EQ(img.pixel(x, 72), pal[12]) << x;
  for (int x = 8; x <= 24; ++x) {
    const bool lit = (x >= 16 && x <= 21) || x == 23;
    EXPECT_EQ(img.pixel(x, 88), lit ? pal[11] : pal[0]) << x;
  }
  EXPECT_EQ(ink(4, pal[12]) + ink(4, pal[11]), 0);
  EXPECT_GT(ink(5, pal[12]), 10);
  EXPECT_GT(ink(6, pal[11]), 10);
}

TEST_F(OffscreenPlot, LabelsBelowAndLeftOfTheFrameAtEverySize) {
  cs.points({0.37f, 3, 8.2f}, {-3.2f, 10, 47});
  cs.run("PLOT");
  // The user's sizes: the window keeps them from plot to plot.
  const CellSize sizes[] = {{80, 24}, {120, 50}, {57, 19}, {81, 31}};
  int n = 1;
  for (const CellSize& c : sizes) {
    win.place(ChildWindow::Plot, 1, 1, c.cols, c.rows);
    cs.run("PLOT");
    const QImage img = load(("VERTO" + std::to_string(++n) + ".PNG").c_str());
    ASSERT_EQ(img.size(), QSize(c.cols * 8, c.rows * 16));
    // Nine label columns left of the frame (its left edge untouched down
    // to the bottom edge), which ends at the drawing area's right edge
    // three columns from the window's.
    const int left = 72, right = (c.cols - 3) * 8;
    EXPECT_TRUE(verto::testing::labels_below_frame(img, left, right, pal[plot::kFrameColour],
                                                   pal[0]))
        << c.cols << "x" << c.rows;
  }
}

TEST_F(OffscreenPlot, ThreeDOfOneZLevelIsThePlaneWithAFlatZAxis) {
  // X 0..10 and Y 0..8 at Z 0: at 135 degrees the corner (0, 8) is the
  // top of the picture and the Y = 0 edge its bottom; a Z axis widened to
  // -1..1 would float the plane in the middle.
  cs.points({0, 10, 0, 10, 5}, {0, 0, 8, 8, 4}, {0, 0, 0, 0, 0});
  cs.s.ws.form = 7;
  cs.run("PLOT");
  const QImage img = load("VERTO1.PNG");
  plot::PlotModel m;
  plot::build_model(cs.s.ws, plot::parse_plot_options(std::string(80, ' '), 7),
                    plot::Purpose::Graphics, m);
  EXPECT_EQ(m.z.min, 0.f);
  EXPECT_EQ(m.z.max, 0.f);
  auto rows_of = [&](QRgb c) {
    int top = img.height(), bottom = -1;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == c) top = std::min(top, y), bottom = std::max(bottom, y);
    return std::pair{top, bottom};
  };
  // The squares of the corners reach the viewport's top (row 0) and its
  // bottom (324).
  const auto [top, bottom] = rows_of(pal[10]);
  EXPECT_LE(top, 6);
  EXPECT_GE(bottom, 318);
}

}  // namespace
}  // namespace verto::qt
