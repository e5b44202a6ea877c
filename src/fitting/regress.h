#pragma once
// Straight-line fits y = a + b x: ordinary least squares, the robust
// least-absolute-deviation line and, with error bars, weighted least
// squares; with Pearson's correlation coefficient.
#include <span>

namespace verto {

class Console;

struct LineFit {
  float a = 0.f, b = 0.f;
};

struct RegressResult {
  LineFit ls;            // ordinary least squares
  LineFit robust;        // least absolute deviation
  LineFit weighted;      // weighted least squares (when error bars are given)
  bool has_weighted = false;
  float r = 0.f;         // Pearson r; -99 when undefined
  bool r_defined = true;
};

// Fits the m points. `sig` (empty: no weighted fit) holds the error bars,
// zeros counting as 1. `scratch` needs 2 m reals. False, with nothing
// computed, when all x are equal (or m < 2): the slope is undefined.
bool regress_fit(Console& con, std::span<const float> x, std::span<const float> y,
                 std::span<const float> sig, int m, std::span<float> scratch,
                 RegressResult& out);

}  // namespace verto
