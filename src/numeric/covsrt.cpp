#include "numeric/covsrt.h"

#include <utility>

#include "numeric/col_matrix.h"

namespace verto {

bool Covsrt(std::span<float> covar, int ncvm, int ma, std::span<const int> flags, int mfit) {
  if (ma < 0 || mfit < 0 || mfit > ma || !holds(flags.size(), ma) ||
      !block_fits(covar, ncvm, ma, ma))
    return false;
  const ColMatrix c(covar.data(), ncvm);

  if (mfit == ma) {
    // No held rows or columns to clear; each flagged parameter, from the
    // last down, trades places with position k (k >= j throughout).
    int k = mfit;
    for (int j = ma; j >= 1; --j) {
      if (flags[j - 1] == 0) continue;
      for (int i = 1; i <= ma; ++i) std::swap(c(i, k), c(i, j));
      for (int i = 1; i <= ma; ++i) std::swap(c(k, i), c(j, i));
      --k;
    }
    return true;
  }

  for (int j = 1; j <= mfit; ++j)
    if (flags[j - 1] < 1 || flags[j - 1] > ma) return false;
  // In place: the strict lower triangle is cleared and receives the
  // off-diagonal block entries at their parameters' places (a source (i, j)
  // with i < j is always read before any write can reach it), the diagonal
  // is parked in row 1 and then put back at the parameters' places, and the
  // lower triangle is finally mirrored.
  for (int j = 1; j < ma; ++j)
    for (int i = j + 1; i <= ma; ++i) c(i, j) = 0.f;
  for (int i = 1; i < mfit; ++i) {
    for (int j = i + 1; j <= mfit; ++j) {
      const int pi = flags[i - 1];
      const int pj = flags[j - 1];
      if (pj > pi)
        c(pj, pi) = c(i, j);
      else
        c(pi, pj) = c(i, j);
    }
  }
  const float first = c(1, 1);
  for (int j = 1; j <= ma; ++j) {
    c(1, j) = c(j, j);
    c(j, j) = 0.f;
  }
  if (mfit >= 1) c(flags[0], flags[0]) = first;
  for (int j = 2; j <= mfit; ++j) c(flags[j - 1], flags[j - 1]) = c(1, j);
  for (int j = 2; j <= ma; ++j)
    for (int i = 1; i < j; ++i) c(i, j) = c(j, i);
  return true;
}

}  // namespace verto
