#pragma once
// Kernels of SMOOTH: the Gaussian-weighted mean and the running median of a
// value array over a window in X (or in the X-Y plane). Each comes in a
// plain form that visits every pair of points and defines the results, and
// a fast form that gives the same results:
//
// - Gaussian: every point i gets sum_j w_ij v(j) / sum_j w_ij with
//   w_ij = gauss_weight(d_ij^2 / c), the sums taken in the order j = 1..n.
//   The fast form needs X sorted ascending: it visits only the run of
//   neighbours whose weight can be non-zero (found by binary search), keeps
//   the order j = 1..n for them, evaluates eight points at a time with the
//   very same single-precision operations per lane, and spreads the points
//   over threads. Its results are bit-identical to the plain form for any
//   number of threads.
// - Median: the median (as Mdian1 computes it) of the values of all points
//   within half the window. The fast form slides one rank-counting tree
//   along the sorted X axis instead of sorting every window; in the plane
//   it selects the middle values of each window instead of sorting them.
//   Its results equal the plain form's (a zero may differ in its sign).
//
// Arrays are 0-based spans holding at least n values; x, y and v are read
// only, out receives n results and must not alias the inputs.
#include <span>

#include "numeric/function_ref.h"

namespace verto {

class Console;

// exp(-t) in single precision (within two units in the last place for
// t in [0, kWeightCut]), exactly 1 at t = 0, and exactly 0 for t above
// kWeightCut (where exp(-t) drops below the smallest normal float) and for
// a NaN. Built from additions, multiplications and exponent bits only, so
// the eight-lane form of the fast kernel gives the same bits.
inline constexpr float kWeightCut = 87.0f;
float gauss_weight(float t);

struct SmoothData {
  std::span<const float> x;  // the window's axis, sorted ascending for speed
  std::span<const float> y;  // second axis, used only with plane = true
  std::span<const float> v;  // the values that are smoothed
  int n = 0;
  bool plane = false;        // distances in the X-Y plane (three-dimensional data)
};

// Called on the calling thread with the number of points finished so far;
// the last call reports n.
using SmoothProgress = FunctionRef<void(int done)>;

// The plain loop over all pairs (one thread), for the Gaussian width
// parameter c (weights exp(-d^2 / c)).
void gaussian_smooth_reference(const SmoothData& d, float c, std::span<float> out);

// The fast form; `threads` <= 0 picks the machine's core count. Processors
// with AVX2 run eight lanes per instruction unless `wide_lanes` is false
// (tests compare both ways).
void gaussian_smooth(const SmoothData& d, float c, std::span<float> out, int threads,
                     SmoothProgress progress, bool wide_lanes = true);

// Running median over |X(j) - X(i)| <= half (taken as
// X(i) - half <= X(j) <= X(i) + half), or in the plane over
// (Y(i) - Y(j))^2 + (X(i) - X(j))^2 <= half^2. The plain form collects each
// window and calls Mdian1; it returns false if a sort pause occurred.
bool median_smooth_reference(Console& con, const SmoothData& d, float half,
                             std::span<float> out);
void median_smooth(Console& con, const SmoothData& d, float half, std::span<float> out,
                   int threads);

// Threads used by default: the machine's cores, at least 1 and at most 16.
int default_thread_count();

// Runs body(begin, end) over consecutive chunks of [0, count) on up to
// `threads` threads, the calling thread included. After each chunk of its
// own the calling thread reports the number of items finished by all
// threads to progress; the last report is count, after all threads ended.
void run_in_chunks(int count, int chunk, int threads, FunctionRef<void(int, int)> body,
                   FunctionRef<void(int)> progress);

}  // namespace verto
