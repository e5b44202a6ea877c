#pragma once
// Moments of data(1..n) in single precision: mean, mean absolute deviation,
// standard deviation and variance (divisor n - 1, two passes with the
// round-off correction of the first pass), skew and excess kurtosis (both 0
// when the variance is 0).
//
// For n < 2 the result is the fault "n must be at least 2 in moment" and the
// formulas are evaluated anyway (IEEE arithmetic: a zero divisor gives NaN
// or infinity, never a trap). A failure without a message, with all statistics 0 and no pause, when n exceeds the
// size of data.
#include <span>

#include "numeric/status.h"

namespace verto {

struct Moments {
  float ave = 0.f;
  float adev = 0.f;
  float sdev = 0.f;
  float var = 0.f;
  float skew = 0.f;
  float curt = 0.f;
};

Status Moment(std::span<const float> data, int n, Moments& m);

}  // namespace verto
