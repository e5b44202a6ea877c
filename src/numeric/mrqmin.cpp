#include "numeric/mrqmin.h"

#include "numeric/col_matrix.h"
#include "numeric/covsrt.h"
#include "numeric/gaussj.h"
#include "numeric/lista.h"

namespace verto {

Status Mrqmin(MrqminState& state, std::span<const float> x,
            std::span<const float> y, std::span<const float> sig, int ndata,
            std::span<float> a, int ma, std::span<int> lista, int mfit, std::span<float> covar,
            std::span<float> alpha, int nca, float& chisq, ModelFn model, float& alamda) {
  if (ma < 0 || ma > kMrqMaxParams || !holds(a.size(), ma) || !holds(lista.size(), ma) ||
      !block_fits(covar, nca, ma, ma) || !block_fits(alpha, nca, ma, ma))
    return Status::failure();
  const std::span<float> atry(state.atry.data(), state.atry.size());
  const std::span<float> beta(state.beta.data(), state.beta.size());
  const std::span<float> da(state.da.data(), state.da.size());

  if (alamda < 0.f) {
    if (Status st = complete_lista(lista, ma, mfit, "Improper permutation in LISTA"); !st)
      return st;
    float chisq0 = 0.f;
    if (!Mrqcof(x, y, sig, ndata, a, ma, lista, mfit, alpha, beta, nca, chisq0, model))
      return Status::failure();
    alamda = 0.001f;
    chisq = chisq0;
    state.ochisq = chisq0;
    for (int j = 0; j < ma; ++j) atry[j] = a[j];
  }
  // Later calls trust LISTA no further than its range.
  if (!lista_in_range(lista, ma, mfit)) return Status::failure();

  const ColMatrix cv(covar.data(), nca);
  const ColMatrix al(alpha.data(), nca);
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= mfit; ++k) cv(j, k) = al(j, k);
    cv(j, j) = al(j, j) * (1.f + alamda);
    da[j - 1] = beta[j - 1];
  }
  if (Status st = Gaussj(covar, mfit, nca, da, 1, 1); !st) return st;
  if (alamda == 0.f) {
    Covsrt(covar, nca, ma, lista, mfit);
    return Status::success();
  }

  for (int j = 0; j < mfit; ++j) {
    const int p = lista[j] - 1;
    atry[p] = a[p] + da[j];
  }
  float trial = 0.f;
  if (!Mrqcof(x, y, sig, ndata, atry, ma, lista, mfit, covar, da, nca, trial, model))
    return Status::failure();
  if (trial < state.ochisq) {
    alamda = 0.1f * alamda;
    state.ochisq = trial;
    chisq = trial;
    for (int j = 1; j <= mfit; ++j) {
      for (int k = 1; k <= mfit; ++k) al(j, k) = cv(j, k);
      beta[j - 1] = da[j - 1];
      const int p = lista[j - 1] - 1;
      a[p] = atry[p];
    }
  } else {
    alamda = 10.f * alamda;
    chisq = state.ochisq;
  }
  return Status::success();
}

}  // namespace verto
