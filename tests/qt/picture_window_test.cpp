#include "qt/picture_window.h"

#include <gtest/gtest.h>

namespace verto::qt {
namespace {

TEST(PictureWindow, WorldLinesUseThePaletteAndItsRemaps) {
  PictureWindow w(QSize(101, 51), QSize(8, 16));
  const auto pal = PictureWindow::default_palette();
  EXPECT_EQ(w.picture().pixel(50, 25), pal[0]);
  // Viewport on the right half; world Y points up.
  w.viewport(50, 0, 100, 50);
  ASSERT_TRUE(w.world_window(0, 0, 10, 10));
  EXPECT_FALSE(w.world_window(1, 0, 1, 10));  // refused, the old one stays
  w.set_colour(10);
  w.move_to(0, 0);
  w.line_to(10, 0);  // bottom edge of the viewport
  EXPECT_EQ(w.picture().pixel(75, 50), pal[10]);
  EXPECT_EQ(w.picture().pixel(75, 0), pal[0]);
  // Drawing is clipped to the viewport.
  w.move_to(-10, 5);
  w.line_to(10, 5);
  EXPECT_EQ(w.picture().pixel(60, 25), pal[10]);
  EXPECT_EQ(w.picture().pixel(40, 25), pal[0]);
  // A remapped entry draws in its packed colour; indices are clamped.
  w.remap_palette(200, 0x30 + 256 * 0x20 + 65536 * 0x10);
  w.set_colour(200);
  w.move_to(5, 0);
  w.line_to(5, 10);
  EXPECT_EQ(w.picture().pixel(75, 10), qRgb(0x30, 0x20, 0x10));
  w.set_colour(999);
  w.move_to_px(0, 0);
  w.line_to_px(0, 0);
  EXPECT_EQ(w.picture().pixel(50, 0), pal[255]);  // device pixels from the viewport origin
}

TEST(PictureWindow, LineStylesFollowTheMaskAlongTheLine) {
  PictureWindow w(QSize(40, 8), QSize(8, 16));
  const QRgb on = PictureWindow::default_palette()[12];
  auto lit = [&](int y) {
    std::string s;
    for (int x = 0; x < 16; ++x) s += w.picture().pixel(x, y) == on ? '#' : '.';
    return s;
  };
  w.set_colour(12);
  w.set_line_style(0x00FD);
  w.move_to_px(0, 1);
  w.line_to_px(31, 1);
  w.set_line_style(0x0002);
  w.move_to_px(0, 3);
  w.line_to_px(31, 3);
  w.set_line_style(0xFFFF);
  w.move_to_px(0, 5);
  w.line_to_px(31, 5);
  EXPECT_EQ(lit(1), "........######.#");
  EXPECT_EQ(lit(3), "..............#.");
  EXPECT_EQ(lit(5), "################");
  // Device rectangles are borders only.
  w.rectangle_px(20, 0, 30, 7);
  EXPECT_EQ(w.picture().pixel(20, 4), on);
  EXPECT_NE(w.picture().pixel(25, 4), on);
}

TEST(PictureWindow, TextLandsInItsCell) {
  PictureWindow w(QSize(80, 48), QSize(8, 16));
  w.set_colour(14);
  w.text_at(2, 3, "#");
  int inside = 0, outside = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 80; ++x) {
      if (w.picture().pixel(x, y) == PictureWindow::default_palette()[0]) continue;
      const bool in_cell = x >= 16 && x < 24 && y >= 16 && y < 32;
      (in_cell ? inside : outside)++;
    }
  EXPECT_GT(inside, 4);
  EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace verto::qt
