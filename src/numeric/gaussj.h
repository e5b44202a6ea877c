#pragma once
// Gauss-Jordan elimination with full pivoting. Solves m z = b for n
// unknowns and k right-hand sides in place: m (n x n) becomes its inverse,
// b (n x k) the solutions. Both are stored column by column with leading
// dimension np; kp is the declared column count of b (k <= kp). Among equal
// largest pivot candidates the last met in a row-by-row scan wins. At most
// 50 unknowns.
//
// A singular matrix (a zero pivot, or no usable pivot because the remaining
// entries are NaN) is the fault "singular matrix in gaussj"; the
// elimination then stops and the result fails, m and b holding partly
// eliminated values. A failure without a message when the sizes are out of range
// (n > 50, np < n, k > kp, or storage too small). n = 0 succeeds at once.
#include <span>

#include "numeric/status.h"

namespace verto {

inline constexpr int kGaussjMaxUnknowns = 50;

Status Gaussj(std::span<float> m, int n, int np, std::span<float> b, int k, int kp);

}  // namespace verto
