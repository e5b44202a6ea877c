#pragma once
// One Levenberg-Marquardt iteration on a nonlinear model.
//
// A fit is: one call with alamda < 0 (checks and completes LISTA, sets
// alamda = 0.001, builds alpha and chi-square at a and takes the first
// step), any number of calls passing back the alamda the previous call
// left, then one call with alamda = 0, which leaves covar holding the
// covariance matrix at the current parameters and changes nothing else.
// A step that lowers chi-square is accepted (a, alpha updated, alamda
// divided by 10); otherwise a is kept, alamda multiplied by 10 and chisq
// reports the chi-square of the kept parameters. No convergence test.
//
// alpha and covar are ma x ma matrices stored column by column with leading
// dimension nca; alpha belongs to the caller and must be kept between the
// calls of one fit, like `state`. At most 20 parameters.
//
// Failure: an improper LISTA on the first call (fault "Improper
// permutation in LISTA") or a singular system (fault "singular matrix in
// gaussj") ends the iteration with a and alamda unchanged; the caller
// should stop the fit. Sizes out of range fail at once.
#include <array>
#include <span>

#include "numeric/mrqcof.h"
#include "numeric/status.h"

namespace verto {

// What the engine carries from one call of a fit to the next: the
// chi-square of the current parameters, the trial parameters, the
// right-hand side and the step.
struct MrqminState {
  float ochisq = 0.f;
  std::array<float, kMrqMaxParams> atry{};
  std::array<float, kMrqMaxParams> beta{};
  std::array<float, kMrqMaxParams> da{};
};

Status Mrqmin(MrqminState& state, std::span<const float> x, std::span<const float> y,
              std::span<const float> sig, int ndata, std::span<float> a, int ma,
              std::span<int> lista, int mfit, std::span<float> covar, std::span<float> alpha,
              int nca, float& chisq, ModelFn model, float& alamda);

}  // namespace verto
