#include "numeric/moment.h"

#include <cmath>
#include <limits>

#include "numeric/col_matrix.h"

namespace verto {

static_assert(std::numeric_limits<float>::is_iec559,
              "division by zero must give IEEE infinities and NaNs");

Status Moment(std::span<const float> data, int n, Moments& m) {
  m = Moments{};
  if (!holds(data.size(), n < 0 ? 0 : n)) return Status::failure();
  // Too few values still get their (meaningless) moments, as before.
  Status st;
  if (n < 2) st = Status::fault("n must be at least 2 in moment");
  const float fn = static_cast<float>(n);
  float s = 0.f;
  for (int j = 0; j < n; ++j) s += data[j];
  m.ave = s / fn;

  float ep = 0.f;
  float adev = 0.f;
  float var = 0.f;
  float skew = 0.f;
  float curt = 0.f;
  for (int j = 0; j < n; ++j) {
    const float d = data[j] - m.ave;
    ep += d;
    adev += std::fabs(d);
    float p = d * d;
    var += p;
    p *= d;
    skew += p;
    p *= d;
    curt += p;
  }
  m.adev = adev / fn;
  // ep is zero in exact arithmetic; subtracting ep^2/n corrects the
  // round-off of the mean.
  m.var = (var - ep * ep / fn) / (fn - 1.f);
  m.sdev = std::sqrt(m.var);
  if (m.var != 0.f) {
    m.skew = skew / (fn * (m.sdev * m.sdev * m.sdev));
    m.curt = curt / (fn * (m.var * m.var)) - 3.f;
  }
  return st;
}

}  // namespace verto
