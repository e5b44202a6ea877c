// Model functions of the catalogue: analytic derivatives against central
// differences, the widths and normalisations their formulas promise, and
// the bases of the linear families.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "fitting/catalogue.h"
#include "numeric/fit_models.h"
#include "fitting/procedures.h"

namespace verto {
namespace {

struct DerivativeCase {
  const char* name;
  CatalogueModel model;
  std::vector<float> a;
  std::vector<float> xs;
};

float value_at(CatalogueModel f, float x, std::vector<float> a) {
  std::array<float, 9> d{};
  return f(x, a, std::span<float>(d.data(), a.size()));
}

TEST(ModelFunctions, DerivativesMatchCentralDifferences) {
  const std::vector<DerivativeCase> cases = {
      {"GAUSSIAN", Gfit, {3.f, 5.f, 1.2f}, {3.5f, 4.7f, 5.f, 5.9f, 7.f}},
      {"GAUSSB", Gbfit, {2.f, -1.f, 0.8f, 0.4f}, {-2.f, -1.3f, -0.6f, 0.2f}},
      {"GAUSS2", G2fit, {2.f, 3.f, 1.5f, 1.f, 6.f}, {2.f, 3.4f, 4.5f, 5.5f, 7.f}},
      {"RISE", risefit, {4.f, 0.5f, 2.f}, {0.6f, 1.5f, 3.f, 6.f}},
      {"ASYM", asymfit, {3.f, 2.f, 1.f, 0.6f}, {0.8f, 1.7f, 2.3f, 3.1f}},
      {"ASYMB", asymbfit, {3.f, 2.f, 1.f, 0.5f, -0.4f}, {0.5f, 1.6f, 2.4f, 3.5f}},
      {"MORSE", morsefit, {5.f, 1.3f, 2.f, -1.f}, {1.f, 1.8f, 2.5f, 4.f}},
      {"MAXWELL", maxwellfit, {10.f, 2.f}, {0.3f, 1.f, 2.5f, 6.f}},
      {"DRUYVEST", druyvestfit, {8.f, 1.5f}, {0.2f, 0.9f, 1.6f, 3.f}},
      {"ARRHENIUS", arrheniusfit, {2.f, 0.7f, 1.5f}, {0.4f, 1.f, 3.f, 8.f}},
  };
  for (const auto& c : cases) {
    const std::size_t na = c.a.size();
    for (float x : c.xs) {
      std::array<float, 9> dyda{};
      const float y = c.model(x, c.a, std::span<float>(dyda.data(), na));
      EXPECT_TRUE(std::isfinite(y)) << c.name;
      for (std::size_t k = 0; k < na; ++k) {
        const float h = 1e-2f * std::max(std::fabs(c.a[k]), 0.5f);
        auto up = c.a, down = c.a;
        up[k] += h;
        down[k] -= h;
        const double fd = (static_cast<double>(value_at(c.model, x, up)) -
                           static_cast<double>(value_at(c.model, x, down))) /
                          (static_cast<double>(up[k]) - static_cast<double>(down[k]));
        EXPECT_NEAR(dyda[k], fd, 2e-3 * (std::fabs(fd) + std::fabs(y) + 1e-3))
            << c.name << " d/da" << k << " at x=" << x;
      }
    }
  }
}

TEST(ModelFunctions, GaussianWidthParameterAndHalfMaximum) {
  const std::vector<float> a = {4.f, 2.f, 1.5f};
  EXPECT_FLOAT_EQ(value_at(Gfit, 2.f, a), 4.f);
  // Half the peak at half the full width from the centre.
  const float half_width = kFwhmFactor * a[2] / 2.f;
  EXPECT_NEAR(value_at(Gfit, 2.f + half_width, a), 2.f, 1e-5f);
  EXPECT_NEAR(value_at(Gfit, 2.f - half_width, a), 2.f, 1e-5f);
  EXPECT_NEAR(kFwhmFactor, 2.0 * std::sqrt(std::log(2.0)), 1e-6);
  // Background and second peak add up.
  EXPECT_FLOAT_EQ(value_at(Gbfit, 2.f, {4.f, 2.f, 1.5f, 0.5f}), 4.5f);
  EXPECT_NEAR(value_at(G2fit, 2.f, {4.f, 2.f, 1.5f, 1.f, 20.f}), 4.f, 1e-6f);
}

TEST(ModelFunctions, AsymmetricGaussianReducesToSymmetricPeak) {
  // With c = 0: s = 2, so the exponent is -((x-a1)/a2)^2 as for GAUSSIAN.
  for (float x : {0.f, 0.7f, 1.9f, 3.2f}) {
    EXPECT_NEAR(value_at(asymfit, x, {3.f, 1.5f, 0.9f, 0.f}), value_at(Gfit, x, {3.f, 1.5f, 0.9f}),
                1e-6f);
    EXPECT_NEAR(value_at(asymbfit, x, {3.f, 1.5f, 0.9f, 0.25f, 0.f}),
                value_at(Gbfit, x, {3.f, 1.5f, 0.9f, 0.25f}), 1e-6f);
  }
  // A positive c makes the right flank steeper than the left one.
  const std::vector<float> a = {3.f, 1.5f, 0.9f, 0.8f};
  EXPECT_LT(value_at(asymfit, 2.2f, a), value_at(asymfit, 0.8f, a));
}

TEST(ModelFunctions, DistributionsIntegrateToTheirAmplitude) {
  // Trapezoidal integrals over x: MAXWELL is normalised exactly, DRUYVEST
  // with its 0.243 factor to within 0.2 per cent.
  auto integral = [](CatalogueModel f, std::vector<float> a, float upper) {
    const int steps = 40000;
    const double h = upper / steps;
    double sum = 0.0;
    for (int i = 1; i < steps; ++i) sum += value_at(f, static_cast<float>(i * h), a);
    sum += 0.5 * value_at(f, upper, a);
    return sum * h;
  };
  EXPECT_NEAR(integral(maxwellfit, {5.f, 1.5f}, 60.f), 5.0, 5e-3);
  EXPECT_NEAR(integral(druyvestfit, {5.f, 1.5f}, 20.f), 5.0, 0.012);
  // MAXWELL peaks at x = a1 / 2.
  const std::vector<float> a = {5.f, 1.5f};
  EXPECT_GT(value_at(maxwellfit, 0.75f, a), value_at(maxwellfit, 0.7f, a));
  EXPECT_GT(value_at(maxwellfit, 0.75f, a), value_at(maxwellfit, 0.8f, a));
}

TEST(ModelFunctions, RiseMorseAndArrheniusShapes) {
  EXPECT_FLOAT_EQ(value_at(risefit, 1.f, {4.f, 1.f, 2.f}), 0.f);
  EXPECT_NEAR(value_at(risefit, 3.f, {4.f, 1.f, 2.f}), 4.f * (1.f - std::exp(-1.f)), 1e-6f);
  // MORSE: minimum a3 at x = a2, a0 + a3 far away.
  EXPECT_FLOAT_EQ(value_at(morsefit, 2.f, {5.f, 1.3f, 2.f, -1.f}), -1.f);
  EXPECT_NEAR(value_at(morsefit, 40.f, {5.f, 1.3f, 2.f, -1.f}), 4.f, 1e-5f);
  EXPECT_NEAR(value_at(arrheniusfit, 2.f, {3.f, 1.f, 2.f}), 3.f * 2.f * std::exp(-1.f), 1e-5f);
}

TEST(LinearBases, ExpAndPowAndTheDomainOfPowers) {
  std::array<float, 4> f{};
  exp_basis(0.5f, 0.f, f);
  EXPECT_FLOAT_EQ(f[0], 1.f);
  EXPECT_FLOAT_EQ(f[1], std::exp(0.5f));
  EXPECT_FLOAT_EQ(f[3], std::exp(1.5f));
  std::array<float, 1> p{};
  pow_basis(4.f, -0.5f, p);
  EXPECT_FLOAT_EQ(p[0], 0.5f);
  pow_basis(-2.f, 3.f, p);
  EXPECT_FLOAT_EQ(p[0], -8.f);

  EXPECT_TRUE(power_defined(0.f, 2.f));
  EXPECT_TRUE(power_defined(0.f, 0.f));
  EXPECT_FALSE(power_defined(0.f, -0.5f));
  EXPECT_FALSE(power_defined(0.f, -1.f));
  EXPECT_TRUE(power_defined(-3.f, 2.f));
  EXPECT_TRUE(power_defined(-3.f, -1.f));
  EXPECT_FALSE(power_defined(-3.f, 0.5f));
  EXPECT_TRUE(power_defined(3.f, -0.5f));
}

TEST(ModelValue, LineOfEachFamily) {
  const std::array<float, 3> a = {1.f, 2.f, 3.f};
  EXPECT_FLOAT_EQ(model_value(model_info(kModelPoly), a, 3, 0.f, 2.f), 17.f);
  EXPECT_FLOAT_EQ(model_value(model_info(kModelExp), a, 2, 0.f, 0.f), 3.f);
  // POW gives 0 at t = 0 whatever the power; ARRHENIUS too.
  EXPECT_FLOAT_EQ(model_value(model_info(kModelPow), a, 1, -0.5f, 0.f), 0.f);
  EXPECT_FLOAT_EQ(model_value(model_info(kModelPow), a, 1, -0.5f, 4.f), 0.5f);
  EXPECT_FLOAT_EQ(model_value(model_info(kModelArrhenius), a, 3, 0.f, 0.f), 0.f);
  EXPECT_NEAR(model_value(model_info(kModelDecay), a, 2, 0.f, 1.f), std::exp(2.f), 1e-5f);
  EXPECT_FLOAT_EQ(model_value(model_info(kModelGaussian), a, 3, 0.f, 2.f), 1.f);
}

}  // namespace
}  // namespace verto
