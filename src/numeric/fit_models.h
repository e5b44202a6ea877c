#pragma once
// The numerical parts of the fit models: the model functions, the bases of
// the linear families, the fitted curves, starting values, domains and peak
// areas. The catalogue (core/fit_catalogue.h) names them per model.
// Parameters are passed 0-based: a[0] is a0 (the engines' a(1)), dyda[k]
// receives d y / d ak. Everything is single precision.
#include <span>

namespace verto {

// Model function for the Levenberg-Marquardt engine: returns the value at x
// and fills the partial derivatives (a.size() = dyda.size() = ma).
using CatalogueModel = float (*)(float x, std::span<const float> a, std::span<float> dyda);

// a0 exp(-((x-a1)/a2)^2)
float Gfit(float x, std::span<const float> a, std::span<float> dyda);
// a0 exp(-((x-a1)/a2)^2) + a3
float Gbfit(float x, std::span<const float> a, std::span<float> dyda);
// a0 exp(-((x-a1)/a2)^2) + a3 exp(-((x-a4)/a2)^2)
float G2fit(float x, std::span<const float> a, std::span<float> dyda);
// a0 (1 - exp(-(x-a1)/a2))
float risefit(float x, std::span<const float> a, std::span<float> dyda);
// a0 exp(-(u s/2)^2), u = (x-a1)/a2, s = 1 + exp(a3 (x-a1))
float asymfit(float x, std::span<const float> a, std::span<float> dyda);
// a0 exp(-(u s/2)^2) + a3, u = (x-a1)/a2, s = 1 + exp(a4 (x-a1))
float asymbfit(float x, std::span<const float> a, std::span<float> dyda);
// a0 (1 - exp(-a1 (x-a2)))^2 + a3
float morsefit(float x, std::span<const float> a, std::span<float> dyda);
// (2/sqrt(pi)) a0 x^0.5 a1^-1.5 exp(-x/a1)
float maxwellfit(float x, std::span<const float> a, std::span<float> dyda);
// (1/sqrt(pi)) a0 x^0.5 a1^-1.5 exp(-0.243 x^2/a1^2)
float druyvestfit(float x, std::span<const float> a, std::span<float> dyda);
// a0 x^a1 exp(-a2/x)
float arrheniusfit(float x, std::span<const float> a, std::span<float> dyda);

// x^p where it is defined as a real number; false when x = 0 with p < 0 or
// x < 0 with a p that is not a whole number.
bool power_defined(float x, float p);

// Bases for the linear engine: afunc[j-1] is basis function j; p is the
// power of a POW fit (the other bases ignore it).
using LinearBasis = void (*)(float x, float p, std::span<float> afunc);
// POLY: x^(j-1), the engines' polynomial basis.
void poly_basis(float x, float p, std::span<float> afunc);
// EXP: exp((j-1) x).
void exp_basis(float x, float p, std::span<float> afunc);
// POW: x^p (one function).
void pow_basis(float x, float p, std::span<float> afunc);

// The fitted curve at t from the ma parameters (and POW's power p).
using CurveValue = float (*)(std::span<const float> a, int ma, float p, float t);
float poly_value(std::span<const float> a, int ma, float p, float t);
float exp_value(std::span<const float> a, int ma, float p, float t);
float pow_value(std::span<const float> a, int ma, float p, float t);    // 0 at t = 0
float decay_value(std::span<const float> a, int ma, float p, float t);
float arrhenius_value(std::span<const float> a, int ma, float p, float t);  // 0 at t = 0

// Starting values from the n points, for the models fitted from them.
using StartValues = void (*)(std::span<const float> x, std::span<const float> y, int n,
                             std::span<float> a);
void rise_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a);
void morse_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a);
void maxwell_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a);
void druyvest_start(std::span<const float> x, std::span<const float> y, int n,
                    std::span<float> a);
void arrhenius_start(std::span<const float> x, std::span<const float> y, int n,
                     std::span<float> a);

// Whether a point lies in a model's domain (p: POW's power).
using PointInDomain = bool (*)(float x, float y, float p);
bool y_positive(float x, float y, float p);
bool power_defined_at(float x, float y, float p);
bool x_not_negative(float x, float y, float p);
bool x_positive(float x, float y, float p);

// The areas of a fitted peak model and their errors, from the parameters,
// their variances and the index of the asymmetry parameter; returns how
// many peaks were filled in.
struct PeakArea {
  float area = 0.f, error = 0.f;
};
using PeakAreas = int (*)(std::span<const float> a, std::span<const float> variance, int shape,
                          std::span<PeakArea, 2> out);
// a0 exp(-((x-a1)/a2)^2): a0 a2 sqrt(pi).
int gaussian_area(std::span<const float> a, std::span<const float> variance, int shape,
                  std::span<PeakArea, 2> out);
// The same for both peaks of GAUSS2 (amplitudes a0 and a3, width a2).
int two_gaussian_areas(std::span<const float> a, std::span<const float> variance, int shape,
                       std::span<PeakArea, 2> out);
// The asymmetric peak summed over +-5 widths in 200 steps.
int asymmetric_area(std::span<const float> a, std::span<const float> variance, int shape,
                    std::span<PeakArea, 2> out);

}  // namespace verto
