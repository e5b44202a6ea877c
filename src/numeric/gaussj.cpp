#include "numeric/gaussj.h"

#include <cmath>
#include <utility>

#include "numeric/col_matrix.h"

namespace verto {

Status Gaussj(std::span<float> m, int n, int np, std::span<float> b, int k, int kp) {
  constexpr int NMAX = kGaussjMaxUnknowns;
  if (n == 0) return Status::success();
  if (n < 0 || n > NMAX || k < 0 || k > kp || !block_fits(m, np, n, n) ||
      !block_fits(b, np, n, k))
    return Status::failure();
  const ColMatrix a(m.data(), np);
  const ColMatrix rhs(b.data(), np);
  int indxc[NMAX];
  int indxr[NMAX];
  int ipiv[NMAX];
  for (int j = 0; j < n; ++j) ipiv[j] = 0;

  for (int i = 1; i <= n; ++i) {
    // Pivot: the largest magnitude among rows and columns not yet used,
    // scanning row by row; >= lets the last of equal candidates win.
    float big = 0.f;
    int irow = 0;
    int icol = 0;
    for (int j = 1; j <= n; ++j) {
      if (ipiv[j - 1] == 1) continue;
      for (int kk = 1; kk <= n; ++kk) {
        if (ipiv[kk - 1] == 0 && std::fabs(a(j, kk)) >= big) {
          big = std::fabs(a(j, kk));
          irow = j;
          icol = kk;
        }
      }
    }
    if (icol == 0) {  // every candidate is NaN
      return Status::fault("singular matrix in gaussj");
    }
    ++ipiv[icol - 1];
    // Move the pivot onto the diagonal by a row interchange; the column
    // interchanges are undone at the end.
    if (irow != icol) {
      for (int l = 1; l <= n; ++l) std::swap(a(irow, l), a(icol, l));
      for (int l = 1; l <= k; ++l) std::swap(rhs(irow, l), rhs(icol, l));
    }
    indxr[i - 1] = irow;
    indxc[i - 1] = icol;
    if (a(icol, icol) == 0.f) {
      return Status::fault("singular matrix in gaussj");
    }
    const float pivinv = 1.f / a(icol, icol);
    a(icol, icol) = 1.f;
    for (int l = 1; l <= n; ++l) a(icol, l) = a(icol, l) * pivinv;
    for (int l = 1; l <= k; ++l) rhs(icol, l) = rhs(icol, l) * pivinv;
    for (int ll = 1; ll <= n; ++ll) {
      if (ll == icol) continue;
      const float dum = a(ll, icol);
      a(ll, icol) = 0.f;
      for (int l = 1; l <= n; ++l) a(ll, l) = a(ll, l) - a(icol, l) * dum;
      for (int l = 1; l <= k; ++l) rhs(ll, l) = rhs(ll, l) - rhs(icol, l) * dum;
    }
  }
  // Undo the column interchanges in reverse order.
  for (int l = n; l >= 1; --l) {
    if (indxr[l - 1] == indxc[l - 1]) continue;
    for (int kk = 1; kk <= n; ++kk) std::swap(a(kk, indxr[l - 1]), a(kk, indxc[l - 1]));
  }
  return Status::success();
}

}  // namespace verto
