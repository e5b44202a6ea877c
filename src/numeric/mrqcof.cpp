#include "numeric/mrqcof.h"

#include <algorithm>
#include <cstring>

#include "numeric/col_matrix.h"
#include "numeric/lista.h"

namespace verto {

namespace {

typedef float F4 __attribute__((vector_size(16)));
typedef float F8 __attribute__((vector_size(32)));

// What one pass over the points reads.
struct Points {
  std::span<const float> x, y, sig;
  int ndata;
  std::span<const float> params;
  std::span<float> dy_da;  // the model's derivatives go here ...
  const float* dyda;       // ... and are read back here
  const int* order;        // 0-based parameter of each fitted position
  ModelFn model;
};

// The sums over the points for up to as many fitted parameters as V has
// lanes, in local accumulators: row j of the curvature as one vector
// (lane k += wt_j * dyda_k), beta as one vector. Every lane adds the same
// terms in the same order as a loop over the matrix element by element,
// so the sums are those of that loop to the last bit; the lanes above the
// diagonal are left unused (the matrix is mirrored from below). The model
// is evaluated for a block of points before their terms are added, so
// that the accumulators stay in registers across the block instead of
// being saved around every call of the model.
template <class V, int M, bool kInOrder>
float accumulate_lanes(const Points& p, float* tri, float* bet) {
  constexpr int kLanes = sizeof(V) / sizeof(float);
  static_assert(M <= kLanes);
  constexpr int kBlock = 64;
  V rows[M];
  for (V& r : rows) r = V{};
  V b{};
  float sum_sq = 0.f;
  const float* const dyda = p.dyda;
  const int* const order = p.order;
  V gs[kBlock];
  float dys[kBlock], s2[kBlock];
  for (int i0 = 0; i0 < p.ndata; i0 += kBlock) {
    const int nb = std::min(kBlock, p.ndata - i0);
    for (int k = 0; k < nb; ++k) {
      const int i = i0 + k;
      const float ymod = p.model(p.x[i], p.params, p.dy_da);
      s2[k] = 1.f / (p.sig[i] * p.sig[i]);
      dys[k] = p.y[i] - ymod;
      V g{};
      if constexpr (kInOrder) {
        std::memcpy(&g, dyda, M * sizeof(float));
      } else {
#pragma GCC unroll 8
        for (int j = 0; j < M; ++j) g[j] = dyda[order[j]];
      }
      gs[k] = g;
    }
    for (int k = 0; k < nb; ++k) {
      const V g = gs[k];
      const float sig2i = s2[k], dy = dys[k];
      const V wt = g * sig2i;
#pragma GCC unroll 8
      for (int j = 0; j < M; ++j) rows[j] += wt[j] * g;
      b += dy * wt;
      sum_sq += dy * dy * sig2i;
    }
  }
  float* t = tri;
  for (int j = 0; j < M; ++j) {
    for (int k = 0; k <= j; ++k) *t++ = rows[j][k];
    bet[j] = b[j];
  }
  return sum_sq;
}

// Any number of fitted parameters, element by element.
float accumulate(const Points& p, int mfit, float* tri, float* bet) {
  float sum_sq = 0.f;
  const float* const dyda = p.dyda;
  const int* const order = p.order;
  for (int i = 0; i < p.ndata; ++i) {
    const float ymod = p.model(p.x[i], p.params, p.dy_da);
    const float sig2i = 1.f / (p.sig[i] * p.sig[i]);
    const float dy = p.y[i] - ymod;
    float* t = tri;
    for (int j = 0; j < mfit; ++j) {
      const float wt = dyda[order[j]] * sig2i;
      for (int k = 0; k <= j; ++k) t[k] += wt * dyda[order[k]];
      t += j + 1;
      bet[j] += dy * wt;
    }
    sum_sq += dy * dy * sig2i;
  }
  return sum_sq;
}

}  // namespace

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

  float tri[MMAX * (MMAX + 1) / 2] = {};
  float bet[MMAX] = {};
  float sum_sq;
  const Points p{x, y, sig, ndata, params, dy_da, dyda, order, model};
  // Fitted parameters in their own order (the common case) are read from
  // the derivatives as one block.
  bool in_order = true;
  for (int j = 0; j < mfit; ++j) in_order &= order[j] == j;
  switch (mfit * 2 + in_order) {
    case 2: sum_sq = accumulate_lanes<F4, 1, false>(p, tri, bet); break;
    case 3: sum_sq = accumulate_lanes<F4, 1, true>(p, tri, bet); break;
    case 4: sum_sq = accumulate_lanes<F4, 2, false>(p, tri, bet); break;
    case 5: sum_sq = accumulate_lanes<F4, 2, true>(p, tri, bet); break;
    case 6: sum_sq = accumulate_lanes<F4, 3, false>(p, tri, bet); break;
    case 7: sum_sq = accumulate_lanes<F4, 3, true>(p, tri, bet); break;
    case 8: sum_sq = accumulate_lanes<F4, 4, false>(p, tri, bet); break;
    case 9: sum_sq = accumulate_lanes<F4, 4, true>(p, tri, bet); break;
    case 10: sum_sq = accumulate_lanes<F8, 5, false>(p, tri, bet); break;
    case 11: sum_sq = accumulate_lanes<F8, 5, true>(p, tri, bet); break;
    case 12: sum_sq = accumulate_lanes<F8, 6, false>(p, tri, bet); break;
    case 13: sum_sq = accumulate_lanes<F8, 6, true>(p, tri, bet); break;
    default: sum_sq = accumulate(p, mfit, tri, bet); break;
  }
  const float* t = tri;
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= j; ++k) al(j, k) = *t++;
    beta[j - 1] = bet[j - 1];
  }
  chisq = sum_sq;
  for (int j = 2; j <= mfit; ++j)
    for (int k = 1; k < j; ++k) al(k, j) = al(j, k);
  return true;
}

}  // namespace verto
