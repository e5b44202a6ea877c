#include "plot/axes.h"

#include <cmath>

#include "core/format.h"

namespace verto::plot {

bool to_decades(float& min, float& max) {
  if (!(min > 0.f)) return false;
  float e1 = std::trunc(std::log10(min));
  float e2 = std::trunc(std::log10(max));
  if (std::pow(10.f, e1) > min) e1 -= 1.f;
  if (std::pow(10.f, e2) < max) e2 += 1.f;
  min = e1;
  max = e2;
  return true;
}

void widen_equal(Axis& a) {
  if (a.max > a.min) return;
  if (a.log) {
    a.max = a.min + 1.f;
    return;
  }
  const float v = a.min;
  const float half = v == 0.f ? 1.f : std::fabs(v) * 0.1f;
  a.min = v - half;
  a.max = v + half;
}

void axis_ticks(const Axis& a, std::vector<Tick>& out) {
  if (!a.log) {
    const float span = a.max - a.min;
    for (int j = 0; j <= 20; ++j)
      out.push_back({a.min + static_cast<float>(j) * span / 20.f, false});
    out.push_back({a.min + span / 2.f, true});
    return;
  }
  // Decades are few (a float spans fewer than 90); the bound only guards
  // against limits that are not whole numbers.
  int decades = 0;
  for (float e = a.min; e < a.max && decades < 100; e += 1.f, ++decades)
    for (int k = 1; k <= 9; ++k)
      out.push_back({std::log10(static_cast<float>(k)) + e, k == 1});
}

namespace {

int exponent_of(float value) {
  if (!(value > -1000.f && value < 1000.f)) return 0;
  return static_cast<int>(std::lround(value));
}

std::string linear_label(float value) {
  std::string text = format_fixed(value, 9, 3);
  if (!text.empty() && text[0] == '*') text = format_exp(value, 9, 3);
  return text;
}

}  // namespace

std::string screen_label(float value, bool log) {
  if (log) return "   10^" + format_int(exponent_of(value), 3);
  return linear_label(value);
}

std::string file_label(float value, bool log) {
  std::string text =
      log ? "10^" + format_int(exponent_of(value), 3) + " " : linear_label(value);
  text.resize(16, ' ');
  return text;
}

}  // namespace verto::plot
