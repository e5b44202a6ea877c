#pragma once
// The fitting procedures of the catalogue: starting values, held
// parameters, the fixed number of engine calls, the covariance matrix and
// the width of the peak models. They work on copies of the fitted points
// and know nothing of the data sets or the console layout.
#include <array>
#include <span>

#include "fitting/catalogue.h"

namespace verto {

class Console;

struct FitInput {
  std::span<const float> x, y, sig;  // n points; sig never zero
  int n = 0;
  // DECAY recomputes its chi-square on the data with these error bars
  // (the S values in form 4, 1 otherwise); empty means 1 for every point.
  std::span<const float> decay_weights;
  // Two work arrays of n reals (DECAY's logarithms).
  std::span<float> scratch1, scratch2;
};

struct FitRequest {
  int ma = 0;                  // parameters (POLY=n and EXP=n: n + 1)
  float power = 0.f;           // POW exponent
  float width = -1.f;          // peak models: above 0 holds the full width
  float x1 = 0.f, x2 = 0.f;    // GAUSS2 peak positions (always held)
};

struct FitResult {
  std::array<float, kFitMaxParams> a{};                 // a0..a8
  std::array<float, kFitLd * kFitLd> covar{};           // leading dimension 9
  std::array<float, kFitLd * kFitLd> alpha{};
  float chisq = 0.f;
  float width = 0.f, width_error = 0.f;                 // peak models
  float variance(int j) const { return covar[static_cast<std::size_t>(j) * (kFitLd + 1)]; }
};

enum class FitStatus {
  Ok,
  Failed,             // the engine stopped (improper system); no result
  NoCovariance,       // parameters fitted, covariance call failed (zeroed)
};

// Runs the procedure of model `m` on the input.
FitStatus run_fit_procedure(Console& con, const ModelInfo& m, const FitInput& in,
                            const FitRequest& req, FitResult& out);

// The fitted curve at t (the line output and the subtraction).
float model_value(const ModelInfo& m, std::span<const float> a, int ma, float power, float t);

// Starting values of the peak models from the data: amplitude, position
// and full width (a0, a1, a2), with `background` subtracted first when the
// data hold no positive value.
struct PeakStart {
  float a0 = 0.f, a1 = 0.f, a2 = 0.f;
};
PeakStart peak_search(std::span<const float> x, std::span<const float> y, int n,
                      float background);

// Starting values of RISE, MORSE, MAXWELL, DRUYVEST and ARRHENIUS from
// the n points (other models are left alone).
void start_values(const ModelInfo& m, std::span<const float> x, std::span<const float> y, int n,
                  std::span<float> a);

// 2 sqrt(ln 2): full width at half maximum over the Gaussian width a2.
inline constexpr float kFwhmFactor = 1.66510922f;

}  // namespace verto
