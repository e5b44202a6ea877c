#include "numeric/lfit.h"

#include "numeric/col_matrix.h"
#include "numeric/covsrt.h"
#include "numeric/gaussj.h"
#include "numeric/lista.h"

namespace verto {

Status Lfit(std::span<const float> x, std::span<const float> y,
          std::span<const float> sig, int ndata, std::span<float> a, int ma,
          std::span<int> lista, int mfit, std::span<float> covar, int ncvm, float& chisq,
          BasisFn basis) {
  constexpr int MMAX = kLfitMaxParams;
  if (ma < 0 || ma > MMAX || !holds(x.size(), ndata) || !holds(y.size(), ndata) ||
      !holds(sig.size(), ndata) || !holds(a.size(), ma) || !holds(lista.size(), ma) ||
      !block_fits(covar, ncvm, ma, ma))
    return Status::failure();
  if (Status st = complete_lista(lista, ma, mfit, "Improper set in LISTA"); !st) return st;

  const ColMatrix c(covar.data(), ncvm);
  float beta[MMAX] = {};
  float afunc[MMAX] = {};
  const std::span<float> af(afunc, static_cast<std::size_t>(ma));
  auto F = [&](int j) -> float& { return afunc[lista[j - 1] - 1]; };

  for (int j = 1; j <= mfit; ++j)
    for (int k = 1; k <= mfit; ++k) c(j, k) = 0.f;

  for (int i = 0; i < ndata; ++i) {
    basis(x[i], af);
    float ym = y[i];
    for (int j = mfit + 1; j <= ma; ++j) ym -= a[lista[j - 1] - 1] * F(j);
    const float sig2i = 1.f / (sig[i] * sig[i]);
    for (int j = 1; j <= mfit; ++j) {
      const float wt = F(j) * sig2i;
      for (int k = 1; k <= j; ++k) c(j, k) += wt * F(k);
      beta[j - 1] += ym * wt;
    }
  }
  for (int j = 2; j <= mfit; ++j)
    for (int k = 1; k < j; ++k) c(k, j) = c(j, k);

  if (Status st = Gaussj(covar, mfit, ncvm, std::span<float>(beta, MMAX), 1, 1); !st) return st;
  for (int j = 1; j <= mfit; ++j) a[lista[j - 1] - 1] = beta[j - 1];

  float sum_sq = 0.f;
  for (int i = 0; i < ndata; ++i) {
    basis(x[i], af);
    float sum = 0.f;
    for (int j = 0; j < ma; ++j) sum += a[j] * afunc[j];
    const float r = (y[i] - sum) / sig[i];
    sum_sq += r * r;
  }
  chisq = sum_sq;
  Covsrt(covar, ncvm, ma, lista, mfit);
  return Status::success();
}

}  // namespace verto
