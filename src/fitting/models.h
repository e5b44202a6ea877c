#pragma once
// The model functions of the fit catalogue and the bases of the linear
// families. Parameters are passed 0-based: a[0] is a0 (the engines' a(1)),
// dyda[k] receives d y / d ak. Everything is single precision.
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

// Bases for the linear engine: afunc[j-1] is basis function j.
// (POLY uses the engines' polynomial basis Fpoly.)
// EXP: exp((j-1) x).
void exp_basis(float x, std::span<float> afunc);
// POW: x^p (one function); p is the power of the current POW fit.
void pow_basis(float x, float p, std::span<float> afunc);

// x^p where it is defined as a real number; false when x = 0 with p < 0 or
// x < 0 with a p that is not a whole number.
bool power_defined(float x, float p);

}  // namespace verto
