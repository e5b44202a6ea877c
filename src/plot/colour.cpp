#include "plot/colour.h"

#include <algorithm>
#include <cmath>

namespace verto::plot {

namespace {

int wrap(int n, int size) { return ((n % size) + size) % size; }

float gauss(float w, float centre, float width) {
  const float t = (w - centre) / width;
  return std::exp(-t * t);
}

float clampf(float v, float lo, float hi) {
  if (!(v >= lo)) return lo;  // NaN too
  return v > hi ? hi : v;
}

}  // namespace

int set_pen(int set) {
  static constexpr int kPens[6] = {7, 4, 1, 2, 6, 3};
  return kPens[wrap(set - 1, 6)];
}

int set_palette(int set) {
  static constexpr int kColours[4] = {10, 9, 14, 11};
  return kColours[wrap(set - 1, 4)];
}

int segment_palette(int ordinal) { return 12 - wrap(ordinal - 1, 12); }

std::uint16_t segment_style(int ordinal) {
  if (ordinal == 2) return 0x00FD;
  if (ordinal == 3) return 0x0002;
  return 0xFFFF;
}

int legend_pen(int entry) {
  static constexpr int kPens[4] = {7, 4, 1, 2};
  return entry >= 1 && entry <= 4 ? kPens[entry - 1] : 6;
}

float wavelength_nm(float v, float scale) {
  return scale >= 0.f ? v * scale : 330.f * v + 370.f;
}

Rgb relative_rgb(float w) {
  float r = 0.196f * gauss(w, 447.f, 28.1f) + 0.57f * gauss(w, 596.f, 47.7f);
  float g = 0.548f * gauss(w, 559.f, 59.2f);
  float b = 0.48f * gauss(w, 440.f, 20.f) + 0.65f * gauss(w, 460.f, 34.f);
  const float top = std::max({r, g, b});
  if (top > 0.f) {
    r /= top;
    g /= top;
    b /= top;
  }
  return {r, g, b};
}

ScreenSpectral screen_spectral(float nm, int colours) {
  const float w = clampf(nm, 370.f, 720.f);
  const Rgb rel = relative_rgb(w);
  const float a = 63.f * gauss(w, 550.f, 185.f);
  auto level = [a](float x) {
    return static_cast<std::uint32_t>(std::lround(x * a));
  };
  const std::uint32_t packed =
      (level(rel.r) + 256u * level(rel.g) + 65536u * level(rel.b)) & 0x343434u;
  const int palette = colours > 128
                          ? static_cast<int>(std::lround((w - 370.f) * 0.58f + 30.f))
                          : static_cast<int>(std::lround((w - 370.f) * 14.f / 350.f + 1.f));
  return {palette, packed};
}

Rgb file_spectral_rgb(float nm) {
  const float w = clampf(nm, 380.f, 700.f);
  const Rgb rel = relative_rgb(w);
  const float a = 63.f * gauss(w, 550.f, 185.f);
  return {a * rel.r, a * rel.g, a * rel.b};
}

Cmyk to_cmyk(const Rgb& rgb) {
  if (rgb.r == 0.f && rgb.g == 0.f && rgb.b == 0.f) return {0.f, 0.f, 0.f, 1.f};
  const float c = 1.f - rgb.r / 64.f;
  const float m = 1.f - rgb.g / 64.f;
  const float y = 1.f - rgb.b / 64.f;
  const float k = std::min({c, m, y});
  if (k >= 1.f) return {0.f, 0.f, 0.f, 1.f};
  return {(c - k) / (1.f - k), (m - k) / (1.f - k), (y - k) / (1.f - k), k};
}

Rgb pen_rgb(int pen) {
  static constexpr Rgb kPens[11] = {
      {64, 64, 64},       {0, 64, 0},  {0, 0, 64},   {64, 0, 64},
      {0, 64, 64},        {64, 64, 0}, {51.2f, 51.2f, 51.2f},
      {64, 0, 0},         {32, 32, 32}, {64, 38.4f, 0}, {0, 0, 0}};
  if (pen >= 11) pen %= 10;
  if (pen < 0) pen = 10;
  return kPens[pen];
}

int spectral_pen(float nm) {
  const float w = clampf(nm, 380.f, 700.f);
  if (w < 440.f) return 3;
  if (w < 485.f) return 2;
  if (w < 510.f) return 4;
  if (w < 560.f) return 1;
  if (w < 590.f) return 5;
  return 7;
}

}  // namespace verto::plot
