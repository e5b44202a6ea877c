#include "core/limits.h"

#include <cmath>

namespace verto {

float nice_floor(float v) {
  if (!(v < 0.f)) return std::trunc(v);
  return -std::trunc(-v + 0.99999f);
}

void round_limits(float& lo, float& hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo)) return;
  // The difference in double: hi - lo of two large floats may overflow.
  const double d = static_cast<double>(hi) - static_cast<double>(lo);
  const float e = nice_floor(static_cast<float>(std::log10(d)));
  const float step = std::pow(10.f, e);
  if (!std::isfinite(step) || step <= 0.f) return;
  const float new_lo = nice_floor(lo / step) * step;
  const float new_hi = nice_floor(hi / step + 0.9999f) * step;
  if (!std::isfinite(new_lo) || !std::isfinite(new_hi)) return;
  lo = new_lo;
  hi = new_hi;
}

}  // namespace verto
