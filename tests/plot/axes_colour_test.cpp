#include <gtest/gtest.h>

#include <cmath>

#include "plot/axes.h"
#include "plot/colour.h"

namespace verto::plot {
namespace {

TEST(Decades, WholeDecadesAroundTheData) {
  float lo = 0.05f, hi = 300.f;
  ASSERT_TRUE(to_decades(lo, hi));
  EXPECT_EQ(lo, -2.f);
  EXPECT_EQ(hi, 3.f);
  lo = 1.f, hi = 1000.f;
  ASSERT_TRUE(to_decades(lo, hi));
  EXPECT_EQ(lo, 0.f);
  EXPECT_EQ(hi, 3.f);
  lo = 0.f, hi = 10.f;
  EXPECT_FALSE(to_decades(lo, hi));
  EXPECT_EQ(lo, 0.f);  // unchanged
  lo = -1.f;
  EXPECT_FALSE(to_decades(lo, hi));
}

TEST(Decades, EqualLimitsAreWidened) {
  Axis lin{5.f, 5.f, false};
  widen_equal(lin);
  EXPECT_FLOAT_EQ(lin.min, 4.5f);
  EXPECT_FLOAT_EQ(lin.max, 5.5f);
  Axis neg{-20.f, -20.f, false};
  widen_equal(neg);
  EXPECT_FLOAT_EQ(neg.min, -22.f);
  EXPECT_FLOAT_EQ(neg.max, -18.f);
  Axis zero{0.f, 0.f, false};
  widen_equal(zero);
  EXPECT_EQ(zero.min, -1.f);
  EXPECT_EQ(zero.max, 1.f);
  Axis dec{2.f, 2.f, true};
  widen_equal(dec);
  EXPECT_EQ(dec.min, 2.f);
  EXPECT_EQ(dec.max, 3.f);
  Axis ok{1.f, 2.f, false};
  widen_equal(ok);
  EXPECT_EQ(ok.max, 2.f);
}

TEST(Ticks, TwentyOneTicksAndALongMiddleOne) {
  std::vector<Tick> t;
  axis_ticks({0.f, 10.f, false}, t);
  ASSERT_EQ(t.size(), 22u);
  EXPECT_EQ(t[0].at, 0.f);
  EXPECT_FLOAT_EQ(t[1].at, 0.5f);
  EXPECT_EQ(t[20].at, 10.f);
  for (int j = 0; j < 21; ++j) EXPECT_FALSE(t[j].long_tick);
  EXPECT_TRUE(t[21].long_tick);
  EXPECT_EQ(t[21].at, 5.f);
}

TEST(Ticks, NinePerDecadeWithLongDecadeTicks) {
  std::vector<Tick> t;
  axis_ticks({0.f, 3.f, true}, t);  // 1 .. 1000
  ASSERT_EQ(t.size(), 27u);
  EXPECT_EQ(t[0].at, 0.f);
  EXPECT_TRUE(t[0].long_tick);
  EXPECT_FLOAT_EQ(t[1].at, std::log10(2.f));
  EXPECT_FALSE(t[1].long_tick);
  EXPECT_FLOAT_EQ(t[9].at, 1.f);
  EXPECT_TRUE(t[9].long_tick);
  EXPECT_FLOAT_EQ(t[26].at, 2.f + std::log10(9.f));
  for (const Tick& k : t) EXPECT_LT(k.at, 3.f);  // none at the top edge
}

TEST(Labels, FixedFallingBackToExponentAndDecades) {
  EXPECT_EQ(screen_label(0.f, false), "    0.000");
  EXPECT_EQ(screen_label(4.5f, false), "    4.500");
  EXPECT_EQ(screen_label(0.0001f, false), "    0.000");
  EXPECT_EQ(screen_label(-12.25f, false), "  -12.250");
  EXPECT_EQ(screen_label(123456.7f, false), "0.123E+06");
  EXPECT_EQ(screen_label(-2.f, true), "   10^ -2");
  EXPECT_EQ(screen_label(3.f, true), "   10^  3");
  EXPECT_EQ(file_label(9.f, false), "    9.000       ");
  EXPECT_EQ(file_label(123456.7f, false), "0.123E+06       ");
  EXPECT_EQ(file_label(-2.f, true), "10^ -2          ");
  EXPECT_EQ(file_label(0.f, true).size(), 16u);
}

TEST(Pens, SetAndLegendPensRepeatTheTable) {
  const int expected[] = {7, 4, 1, 2, 6, 3, 7, 4};
  for (int set = 1; set <= 8; ++set) EXPECT_EQ(set_pen(set), expected[set - 1]) << set;
  EXPECT_EQ(set_pen(0), 3);
  EXPECT_EQ(set_palette(1), 10);
  EXPECT_EQ(set_palette(4), 11);
  EXPECT_EQ(legend_pen(1), 7);
  EXPECT_EQ(legend_pen(4), 2);
  EXPECT_EQ(legend_pen(5), 6);
  EXPECT_EQ(legend_pen(17), 6);
  EXPECT_EQ(segment_palette(1), 12);
  EXPECT_EQ(segment_palette(2), 11);
  EXPECT_EQ(segment_palette(12), 1);
  EXPECT_EQ(segment_palette(13), 12);  // stays inside the palette
  EXPECT_EQ(segment_style(1), 0xFFFF);
  EXPECT_EQ(segment_style(2), 0x00FD);
  EXPECT_EQ(segment_style(3), 0x0002);
  EXPECT_EQ(segment_style(4), 0xFFFF);
}

TEST(Cmyk, PenColoursAndBlack) {
  auto red = to_cmyk(pen_rgb(7));
  EXPECT_FLOAT_EQ(red.c, 0.f);
  EXPECT_FLOAT_EQ(red.m, 1.f);
  EXPECT_FLOAT_EQ(red.y, 1.f);
  EXPECT_FLOAT_EQ(red.k, 0.f);
  auto cyan = to_cmyk(pen_rgb(4));
  EXPECT_FLOAT_EQ(cyan.c, 1.f);
  EXPECT_FLOAT_EQ(cyan.m, 0.f);
  EXPECT_FLOAT_EQ(cyan.y, 0.f);
  auto grey = to_cmyk(pen_rgb(6));
  EXPECT_FLOAT_EQ(grey.c, 0.f);
  EXPECT_NEAR(grey.k, 0.2f, 1e-6);
  auto orange = to_cmyk(pen_rgb(9));
  EXPECT_NEAR(orange.m, 0.4f, 1e-6);
  EXPECT_FLOAT_EQ(orange.y, 1.f);
  auto black = to_cmyk(pen_rgb(10));
  EXPECT_EQ(black.k, 1.f);
  EXPECT_EQ(black.c, 0.f);
  auto white = to_cmyk(pen_rgb(0));
  EXPECT_EQ(white.k, 0.f);
  EXPECT_EQ(white.c, 0.f);
  EXPECT_FLOAT_EQ(to_cmyk(pen_rgb(17)).m, 1.f);  // pen 17 is pen 7
}

TEST(Wavelength, ScalesAndClamps) {
  EXPECT_FLOAT_EQ(wavelength_nm(0.f, -1.f), 370.f);
  EXPECT_FLOAT_EQ(wavelength_nm(1.f, -1.f), 700.f);
  EXPECT_FLOAT_EQ(wavelength_nm(5500.f, 0.1f), 550.f);
  EXPECT_FLOAT_EQ(wavelength_nm(0.55f, 1000.f), 550.f);

  // Screen: 370..720 nm over palette entries 30..233 (1..15 with few
  // colours); the packed value keeps only the bits of 0x343434.
  EXPECT_EQ(screen_spectral(370.f, 256).palette, 30);
  EXPECT_EQ(screen_spectral(900.f, 256).palette, 233);  // clamped to 720
  EXPECT_EQ(screen_spectral(100.f, 256).palette, 30);
  EXPECT_EQ(screen_spectral(370.f, 16).palette, 1);
  EXPECT_EQ(screen_spectral(720.f, 16).palette, 15);
  for (float w : {380.f, 450.f, 550.f, 650.f})
    EXPECT_EQ(screen_spectral(w, 256).packed & ~0x343434u, 0u);
  // Red light is mostly red, violet mostly blue.
  const ScreenSpectral red = screen_spectral(650.f, 256);
  EXPECT_GT(red.packed & 0xFFu, (red.packed >> 16) & 0xFFu);
  const Rgb violet = file_spectral_rgb(400.f);
  EXPECT_GT(violet.b, violet.g);

  // Files: clamped to 380..700 nm, never brighter than 63 of 64.
  const Rgb lo = file_spectral_rgb(200.f), at380 = file_spectral_rgb(380.f);
  EXPECT_FLOAT_EQ(lo.b, at380.b);
  const Rgb green = file_spectral_rgb(550.f);
  EXPECT_FLOAT_EQ(green.g, 63.f);
  EXPECT_LT(green.r, green.g);
}

TEST(Wavelength, HpglPenBands) {
  EXPECT_EQ(spectral_pen(370.f), 3);
  EXPECT_EQ(spectral_pen(460.f), 2);
  EXPECT_EQ(spectral_pen(500.f), 4);
  EXPECT_EQ(spectral_pen(530.f), 1);
  EXPECT_EQ(spectral_pen(575.f), 5);
  EXPECT_EQ(spectral_pen(650.f), 7);
  EXPECT_EQ(spectral_pen(900.f), 7);
}

}  // namespace
}  // namespace verto::plot
