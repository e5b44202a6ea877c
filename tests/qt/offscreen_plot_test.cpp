// Screen plots without a display: the pictures saved as PNG files.
#include "qt/offscreen_services.h"

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <fstream>

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

// Failures read as the plot files' do: a dangling link's name is passed
// over, a picture that cannot be created or written is reported (and a
// partial one removed), and "Output written to" only follows a whole file.
TEST_F(OffscreenPlot, FailuresAreReportedAndNoPartialPictureStays) {
  cs.points({0, 5, 10}, {0, 4, 8});
  std::filesystem::create_symlink("gone/VERTO.PNG", dir.path() / "VERTO1.PNG");
  EXPECT_THAT(cs.run("PLOT"), ElementsAre(" Output written to VERTO2.PNG"));

  ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit old_limit {};
  ::getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small = old_limit;
  small.rlim_cur = 100;  // a disk with a little room left
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto plot = cs.run("PLOT");
  const auto legend = cs.run("LEG 0");
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_THAT(plot, ElementsAre("<<<VERTO!!!>>> Plot file VERTO3.PNG could not be written completely!"));
  EXPECT_THAT(legend, ElementsAre("<<<VERTO!!!>>> Plot file VERTOL1.PNG could not be written completely!"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "VERTO3.PNG"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "VERTOL1.PNG"));

  OffscreenWindowServices nowhere{dir.path() / "missing"};
  cs.s.window = &nowhere;
  EXPECT_THAT(cs.run("PLOT"), ElementsAre("<<<VERTO!!!>>> Can not open plot file VERTO1.PNG"));
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

}  // namespace
}  // namespace verto::qt
