// Model functions of the fit catalogue with their analytic derivatives,
// and the other numerical parts of the models.
#include "numeric/fit_models.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numeric/fpoly.h"

namespace verto {

namespace {

// Powers of a parameter, which stays the same over all the points of one
// pass of the engine: computed again only when the parameter changes.
struct ParamPowers {
  std::uint32_t bits = 0x7FC00001u;  // a NaN, whose powers p already hold
  float p[3] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN(),
                std::numeric_limits<float>::quiet_NaN()};
  // True when p holds the powers of `a`; otherwise takes `a` as the new
  // parameter (the caller then fills p).
  bool holds(float a) {
    const std::uint32_t b = std::bit_cast<std::uint32_t>(a);
    if (b == bits) return true;
    bits = b;
    return false;
  }
};

// pi as the models and peak areas write it.
constexpr float kPiModels = 3.14159f;

// The asymmetric Gaussian a0 exp(-(d/a2)^2 (s/2)^2), s = 1 + exp(c d):
// value and the derivatives by a0, a1, a2 and c.
inline float asym_core(float x, float a0, float a1, float a2, float c, float& d0,
                       float& d1, float& d2, float& dc) {
  const float d = x - a1;
  const float t = std::exp(c * d);
  const float s = 1.f + t;
  const float w2 = a2 * a2;
  const float e = std::exp(-(d * d / w2) * (s * s * 0.25f));
  const float g = a0 * e;
  d0 = e;
  d1 = g * (c * t * d * d * s + s * s * d) / (2.f * w2);
  d2 = g * d * d * s * s / (2.f * w2 * a2);
  dc = -g * t * d * d * d * s / (2.f * w2);
  return g;
}
}  // namespace

float Gfit(float x, std::span<const float> a, std::span<float> dyda) {
  const float d = x - a[1];
  const float w2 = a[2] * a[2];
  const float e = std::exp(-(d * d) / w2);
  const float y = a[0] * e;
  dyda[0] = e;
  dyda[1] = 2.f * d * y / w2;
  dyda[2] = 2.f * d * d * y / (w2 * a[2]);
  return y;
}

float Gbfit(float x, std::span<const float> a, std::span<float> dyda) {
  const float d = x - a[1];
  const float w2 = a[2] * a[2];
  const float e = std::exp(-(d * d) / w2);
  const float g = a[0] * e;
  dyda[0] = e;
  dyda[1] = 2.f * d * g / w2;
  dyda[2] = 2.f * d * d * g / (w2 * a[2]);
  dyda[3] = 1.f;
  return g + a[3];
}

float G2fit(float x, std::span<const float> a, std::span<float> dyda) {
  const float d1 = x - a[1];
  const float d2 = x - a[4];
  const float w2 = a[2] * a[2];
  const float e1 = std::exp(-(d1 * d1) / w2);
  const float e2 = std::exp(-(d2 * d2) / w2);
  const float g1 = a[0] * e1;
  const float g2 = a[3] * e2;
  dyda[0] = e1;
  dyda[1] = 2.f * d1 * g1 / w2;
  dyda[2] = 2.f * (d1 * d1 * g1 + d2 * d2 * g2) / (w2 * a[2]);
  dyda[3] = e2;
  dyda[4] = 2.f * d2 * g2 / w2;
  return g1 + g2;
}

float risefit(float x, std::span<const float> a, std::span<float> dyda) {
  const float d = x - a[1];
  const float e = std::exp(-d / a[2]);
  dyda[0] = 1.f - e;
  dyda[1] = -a[0] * e / a[2];
  dyda[2] = -a[0] * e * d / (a[2] * a[2]);
  return a[0] * (1.f - e);
}

float asymfit(float x, std::span<const float> a, std::span<float> dyda) {
  return asym_core(x, a[0], a[1], a[2], a[3], dyda[0], dyda[1], dyda[2], dyda[3]);
}

float asymbfit(float x, std::span<const float> a, std::span<float> dyda) {
  const float g = asym_core(x, a[0], a[1], a[2], a[4], dyda[0], dyda[1], dyda[2], dyda[4]);
  dyda[3] = 1.f;
  return g + a[3];
}

float morsefit(float x, std::span<const float> a, std::span<float> dyda) {
  const float d = x - a[2];
  const float e = std::exp(-a[1] * d);
  const float u = 1.f - e;
  dyda[0] = u * u;
  dyda[1] = 2.f * a[0] * d * u * e;
  dyda[2] = -2.f * a[0] * a[1] * u * e;
  dyda[3] = 1.f;
  return a[0] * u * u + a[3];
}

float maxwellfit(float x, std::span<const float> a, std::span<float> dyda) {
  static const float kFactor = 2.f / std::sqrt(kPiModels);
  thread_local ParamPowers powers;
  if (!powers.holds(a[1])) powers.p[0] = std::pow(a[1], -1.5f);
  const float g = kFactor * std::sqrt(x) * std::exp(-x / a[1]);
  const float scale = powers.p[0];
  const float y = a[0] * g * scale;
  dyda[0] = g * scale;
  dyda[1] = (x / a[1] - 1.5f) * y / a[1];
  return y;
}

float druyvestfit(float x, std::span<const float> a, std::span<float> dyda) {
  static const float kFactor = 1.f / std::sqrt(kPiModels);
  const float a1 = a[1];
  thread_local ParamPowers powers;
  if (!powers.holds(a1)) {
    powers.p[0] = std::pow(a1, -1.5f);
    powers.p[1] = std::pow(a1, -4.5f);
    powers.p[2] = std::pow(a1, -2.5f);
  }
  const float g = kFactor * std::sqrt(x) * std::exp(-0.243f * x * x / (a1 * a1));
  const float scale = powers.p[0];
  dyda[0] = g * scale;
  dyda[1] = a[0] * g * (0.486f * x * x * powers.p[1] - 1.5f * powers.p[2]);
  return a[0] * g * scale;
}

float arrheniusfit(float x, std::span<const float> a, std::span<float> dyda) {
  const float base = std::pow(x, a[1]) * std::exp(-a[2] / x);
  const float y = a[0] * base;
  dyda[0] = base;
  dyda[1] = std::log(x) * y;
  dyda[2] = -y / x;
  return y;
}

bool power_defined(float x, float p) {
  if (x == 0.f) return p >= 0.f;
  if (x < 0.f) return std::trunc(p) == p;
  return true;
}

// ---------------------------------------------------------------------------
// Bases and curves.

void poly_basis(float x, float, std::span<float> afunc) { Fpoly(x, afunc); }

void exp_basis(float x, float, std::span<float> afunc) {
  for (std::size_t j = 0; j < afunc.size(); ++j)
    afunc[j] = std::exp(static_cast<float>(j) * x);
}

void pow_basis(float x, float p, std::span<float> afunc) { afunc[0] = std::pow(x, p); }

float poly_value(std::span<const float> a, int ma, float, float t) {
  float sum = 0.f, xp = 1.f;
  for (int j = 0; j < ma; ++j) {
    sum += a[j] * xp;
    xp *= t;
  }
  return sum;
}

float exp_value(std::span<const float> a, int ma, float, float t) {
  float sum = 0.f;
  for (int j = 0; j < ma; ++j) sum += a[j] * std::exp(static_cast<float>(j) * t);
  return sum;
}

float pow_value(std::span<const float> a, int, float p, float t) {
  return t == 0.f ? 0.f : a[0] * std::pow(t, p);
}

float decay_value(std::span<const float> a, int, float, float t) {
  return a[0] * std::exp(a[1] * t);
}

float arrhenius_value(std::span<const float> a, int, float, float t) {
  if (t == 0.f) return 0.f;
  std::array<float, 3> dyda{};
  return arrheniusfit(t, a.first(3), dyda);
}

// ---------------------------------------------------------------------------
// Starting values.

void rise_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a) {
  a[0] = y[n - 1];
  a[1] = x[0];
  a[2] = 0.f;
  for (int i = 0; i < n; ++i)
    if (y[i] > a[0] / 2.f) {
      a[2] = x[i] - x[0];
      break;
    }
  if (a[2] == 0.f && a[0] < 0.f) {
    // A falling curve: the half-way crossing from above.
    for (int i = 0; i < n; ++i)
      if (y[i] < a[0] / 2.f) {
        a[2] = x[i] - x[0];
        break;
      }
  }
  if (a[2] == 0.f) a[2] = (x[n - 1] - x[0]) / 3.f;
  if (a[2] == 0.f) a[2] = 1.f;
}

void morse_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a) {
  float ymin = y[0], ymaxv = y[0];
  a[2] = x[0];
  for (int i = 1; i < n; ++i) {
    if (y[i] <= ymin) {
      ymin = y[i];
      a[2] = x[i];
    } else if (y[i] > ymaxv) {
      ymaxv = y[i];
    }
  }
  a[1] = 1.5f;
  a[3] = ymin;
  a[0] = ymaxv - ymin;
}

namespace {

// The largest y and the x of its place, where a place at or left of the
// origin is moved to half the largest x.
void distribution_peak(std::span<const float> x, std::span<const float> y, int n, float& ymax,
                       float& xp) {
  int ip = 0;
  for (int i = 1; i < n; ++i)
    if (y[i] > y[ip]) ip = i;
  ymax = y[ip];
  xp = x[ip];
  if (!(xp > 0.f)) {
    float xl = x[0];
    for (int i = 1; i < n; ++i) xl = std::max(xl, x[i]);
    xp = xl > 0.f ? xl / 2.f : 1.f;
  }
}

}  // namespace

void maxwell_start(std::span<const float> x, std::span<const float> y, int n, std::span<float> a) {
  float ymax = 0.f, xp = 0.f;
  distribution_peak(x, y, n, ymax, xp);
  a[0] = 4.f * ymax * xp;
  a[1] = 2.f * xp;
}

void druyvest_start(std::span<const float> x, std::span<const float> y, int n,
                    std::span<float> a) {
  float ymax = 0.f, xp = 0.f;
  distribution_peak(x, y, n, ymax, xp);
  a[0] = 2.f * xp * ymax;
  a[1] = xp;
}

void arrhenius_start(std::span<const float> x, std::span<const float> y, int n,
                     std::span<float> a) {
  float ymax = y[0], xl = x[0], xs = x[0];
  for (int i = 1; i < n; ++i) {
    if (y[i] > ymax) ymax = y[i];
    xl = std::max(xl, x[i]);
    xs = std::min(xs, x[i]);
  }
  a[0] = ymax;
  a[1] = 0.5f;
  a[2] = (xl - xs) / 2.f;
}

// ---------------------------------------------------------------------------
// Domains.

bool y_positive(float, float y, float) { return y > 0.f; }
bool power_defined_at(float x, float, float p) { return power_defined(x, p); }
bool x_not_negative(float x, float, float) { return x >= 0.f; }
bool x_positive(float x, float, float) { return x > 0.f; }

// ---------------------------------------------------------------------------
// Peak areas.

namespace {

PeakArea gaussian_peak(float a0, float ap, float var0, float varp) {
  PeakArea p;
  p.area = a0 * ap * std::sqrt(kPiModels);
  p.error = p.area * std::sqrt(varp / (ap * ap) + var0 / (a0 * a0));
  return p;
}

}  // namespace

int gaussian_area(std::span<const float> a, std::span<const float> variance, int,
                  std::span<PeakArea, 2> out) {
  out[0] = gaussian_peak(a[0], a[2], variance[0], variance[2]);
  return 1;
}

int two_gaussian_areas(std::span<const float> a, std::span<const float> variance, int,
                       std::span<PeakArea, 2> out) {
  out[0] = gaussian_peak(a[0], a[2], variance[0], variance[2]);
  out[1] = gaussian_peak(a[3], a[2], variance[3], variance[2]);
  return 2;
}

int asymmetric_area(std::span<const float> a, std::span<const float> variance, int shape,
                    std::span<PeakArea, 2> out) {
  const float c = a[static_cast<std::size_t>(shape)];
  const float h = 5.f * a[2] / 100.f;
  float area = 0.f;
  for (int i = 1; i <= 200; ++i) {
    const float d = static_cast<float>(i - 100) * h;
    const float s = (1.f + std::exp(c * d)) / 2.f;
    const float u = d / a[2];
    area += h * a[0] * std::exp(-(s * s) * (u * u));
  }
  out[0].area = area;
  out[0].error = area * std::sqrt(variance[2] / (a[2] * a[2]) + variance[0] / (a[0] * a[0]));
  return 1;
}

}  // namespace verto
