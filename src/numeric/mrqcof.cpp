#include "numeric/mrqcof.h"

#include "numeric/col_matrix.h"
#include "numeric/lista.h"

namespace verto {

bool Mrqcof(std::span<const float> x, std::span<const float> y, std::span<const float> sig,
            int ndata, std::span<const float> a, int ma, std::span<const int> lista, int mfit,
            std::span<float> alpha, std::span<float> beta, int nalp, float& chisq,
            ModelFn model) {
  constexpr int MMAX = kMrqMaxParams;
  if (ma > MMAX || !lista_in_range(lista, ma, mfit) || !holds(a.size(), ma) ||
      !holds(x.size(), ndata) || !holds(y.size(), ndata) || !holds(sig.size(), ndata) ||
      !holds(beta.size(), mfit) || !block_fits(alpha, nalp, mfit, mfit))
    return false;
  const ColMatrix al(alpha.data(), nalp);
  float dyda[MMAX] = {};
  const std::span<float> dy_da(dyda, static_cast<std::size_t>(ma));
  const std::span<const float> params = a.first(static_cast<std::size_t>(ma));
  // The derivatives in LISTA order, gathered once per point.
  int order[MMAX];
  for (int j = 0; j < mfit; ++j) order[j] = lista[j] - 1;

  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= j; ++k) al(j, k) = 0.f;
    beta[j - 1] = 0.f;
  }
  float sum_sq = 0.f;
  for (int i = 0; i < ndata; ++i) {
    const float ymod = model(x[i], params, dy_da);
    const float sig2i = 1.f / (sig[i] * sig[i]);
    const float dy = y[i] - ymod;
    for (int j = 1; j <= mfit; ++j) {
      const float wt = dyda[order[j - 1]] * sig2i;
      for (int k = 1; k <= j; ++k) al(j, k) += wt * dyda[order[k - 1]];
      beta[j - 1] += dy * wt;
    }
    sum_sq += dy * dy * sig2i;
  }
  chisq = sum_sq;
  for (int j = 2; j <= mfit; ++j)
    for (int k = 1; k < j; ++k) al(k, j) = al(j, k);
  return true;
}

}  // namespace verto
