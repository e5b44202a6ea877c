#pragma once
// General linear least squares by the normal equations: fits
// y = sum_j a(j) afunc(j)(x) with the basis functions of `basis`, weighting
// each point by 1/sig^2. LISTA(1..mfit) name the adjusted parameters (the
// rest are held at their values in a and completed into LISTA on every
// call). On success a holds the fitted parameters, covar (column by
// column, leading dimension ncvm, ma x ma used) the covariance matrix and
// chisq the chi-square. At most 50 basis functions.
//
// Arrays are 1-based in meaning: x[0] is x(1), a[0] is a(1), and so on.
// sig must have no zeros (not checked).
//
// Failure: an improper LISTA (fault "Improper set in LISTA") or a
// singular system (fault "singular matrix in gaussj") stops the fit with a
// and chisq unchanged and covar not meaningful; sizes out of range fail
// at once without a message.
#include <span>

#include "numeric/function_ref.h"
#include "numeric/status.h"

namespace verto {

// basis(x, afunc) fills afunc(1..ma), ma = afunc.size().
using BasisFn = FunctionRef<void(float x, std::span<float> afunc)>;

inline constexpr int kLfitMaxParams = 50;

Status Lfit(std::span<const float> x, std::span<const float> y, std::span<const float> sig,
            int ndata, std::span<float> a, int ma, std::span<int> lista, int mfit,
            std::span<float> covar, int ncvm, float& chisq, BasisFn basis);

}  // namespace verto
