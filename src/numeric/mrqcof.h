#pragma once
// Normal equations of a nonlinear model at the parameters a: the curvature
// matrix alpha (mfit x mfit in LISTA order, column by column with leading
// dimension nalp), beta(1..mfit) and the chi-square
// sum ((y - model) / sig)^2. At most 20 parameters.
//
// Returns false, touching nothing, when the sizes are out of range or
// LISTA(1..mfit) names a parameter outside 1..ma.
#include <span>

#include "numeric/function_ref.h"

namespace verto {

// model(x, a, dyda) returns the model value at x for the parameters
// a(1..na) and fills dyda(k) = d model / d a(k), k = 1..na
// (na = a.size() = dyda.size()).
using ModelFn =
    FunctionRef<float(float x, std::span<const float> a, std::span<float> dyda)>;

inline constexpr int kMrqMaxParams = 20;

bool Mrqcof(std::span<const float> x, std::span<const float> y, std::span<const float> sig,
            int ndata, std::span<const float> a, int ma, std::span<const int> lista, int mfit,
            std::span<float> alpha, std::span<float> beta, int nalp, float& chisq,
            ModelFn model);

}  // namespace verto
