// Mrqmin and Mrqcof: convergence on a Gaussian peak, the accept/reject
// rule, the closing covariance call, held parameters, and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "numeric/mrqcof.h"
#include "numeric/mrqmin.h"
#include "core/memory_console.h"

namespace verto {
namespace {

constexpr int kLd = 9;

// y = a1 exp(-((x - a2) / a3)^2) with its derivatives.
float gaussian(float x, std::span<const float> a, std::span<float> dyda) {
  const float u = (x - a[1]) / a[2];
  const float e = std::exp(-u * u);
  const float y = a[0] * e;
  dyda[0] = e;
  dyda[1] = 2.f * (x - a[1]) * y / (a[2] * a[2]);
  dyda[2] = 2.f * (x - a[1]) * (x - a[1]) * y / (a[2] * a[2] * a[2]);
  return y;
}

struct Peak {
  std::vector<float> x, y, sig;
};

Peak peak_data(float noise_level) {
  Peak p;
  std::mt19937 gen(11);
  std::normal_distribution<float> noise(0.f, 1.f);
  for (int i = 0; i < 81; ++i) {
    const float x = -4.f + 0.1f * static_cast<float>(i);
    const float u = (x - 0.3f) / 1.2f;
    p.x.push_back(x);
    p.y.push_back(5.f * std::exp(-u * u) + noise_level * noise(gen));
    p.sig.push_back(noise_level > 0.f ? noise_level : 1.f);
  }
  return p;
}

struct Fit {
  std::vector<float> a;
  std::vector<int> lista;
  std::vector<float> covar = std::vector<float>(kLd * kLd, 0.f);
  std::vector<float> alpha = std::vector<float>(kLd * kLd, 0.f);
  float chisq = 0.f;
  float alamda = -1.f;
  MrqminState state;
  MemoryConsole con;

  bool step(const Peak& p, int mfit, ModelFn model = gaussian) {
    return report(con, Mrqmin(state, p.x, p.y, p.sig, static_cast<int>(p.x.size()), a,
                  static_cast<int>(a.size()), lista, mfit, covar, alpha, kLd, chisq, model,
                  alamda));
  }
};

TEST(Mrqmin, GaussianPeakConverges) {
  const Peak p = peak_data(0.05f);
  Fit f;
  f.a = {4.f, 0.f, 1.5f};
  f.lista = {1, 2, 3};
  ASSERT_TRUE(f.step(p, 3));
  EXPECT_FLOAT_EQ(f.alamda, 0.0001f);  // the first step from these values is accepted
  float previous = f.chisq;
  for (int it = 0; it < 19; ++it) {
    ASSERT_TRUE(f.step(p, 3));
    EXPECT_LE(f.chisq, previous);  // never worse than the kept parameters
    previous = f.chisq;
  }
  EXPECT_NEAR(f.a[0], 5.f, 0.05f);
  EXPECT_NEAR(f.a[1], 0.3f, 0.01f);
  EXPECT_NEAR(f.a[2], 1.2f, 0.01f);
  // 81 points with unit-variance residuals: chi-square near 78.
  EXPECT_GT(f.chisq, 40.f);
  EXPECT_LT(f.chisq, 130.f);

  // The closing call changes neither parameters nor chi-square.
  const std::vector<float> a = f.a;
  const float chisq = f.chisq;
  f.alamda = 0.f;
  ASSERT_TRUE(f.step(p, 3));
  EXPECT_EQ(f.a, a);
  EXPECT_EQ(f.chisq, chisq);
  EXPECT_EQ(f.alamda, 0.f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(f.covar[i * (kLd + 1)], 0.f);
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(f.covar[i + j * kLd], f.covar[j + i * kLd], 1e-9f);
  }
  // Errors of the size the noise implies (amplitude error ~ 0.05 / sqrt(n_eff)).
  EXPECT_LT(std::sqrt(f.covar[0]), 0.05f);
  EXPECT_TRUE(f.con.lines().empty());
}

TEST(Mrqmin, StepThatDoesNotLowerChiSquareIsRejected) {
  // Starting at the exact parameters of noise-free data, chi-square is 0
  // and no step can be strictly lower.
  const Peak p = peak_data(0.f);
  Fit f;
  f.a = {5.f, 0.3f, 1.2f};
  f.lista = {1, 2, 3};
  ASSERT_TRUE(f.step(p, 3));
  const float chisq0 = f.chisq;
  EXPECT_EQ(chisq0, 0.f);  // data made with the model's own arithmetic
  EXPECT_FLOAT_EQ(f.alamda, 0.01f);  // rejected: 0.001 x 10
  EXPECT_EQ(f.a, (std::vector<float>{5.f, 0.3f, 1.2f}));
  EXPECT_EQ(f.chisq, 0.f);
  // A model whose derivatives point the wrong way: every step goes uphill.
  auto wrong_slope = [](float x, std::span<const float> a, std::span<float> dyda) {
    dyda[0] = -x;
    return a[0] * x;
  };
  Peak line;
  for (int i = 1; i <= 10; ++i) {
    line.x.push_back(static_cast<float>(i));
    line.y.push_back(2.f * static_cast<float>(i));
    line.sig.push_back(1.f);
  }
  Fit g;
  g.a = {1.f};
  g.lista = {1};
  ASSERT_TRUE(g.step(line, 1, wrong_slope));
  const float first = g.chisq;
  EXPECT_FLOAT_EQ(first, 385.f);  // sum of (2i - i)^2
  EXPECT_FLOAT_EQ(g.alamda, 0.01f);
  EXPECT_EQ(g.a[0], 1.f);
  ASSERT_TRUE(g.step(line, 1, wrong_slope));
  EXPECT_FLOAT_EQ(g.alamda, 0.1f);
  EXPECT_EQ(g.a[0], 1.f);
  EXPECT_EQ(g.chisq, first);
}

TEST(Mrqmin, HeldWidthStaysPut) {
  const Peak p = peak_data(0.f);
  Fit f;
  f.a = {3.f, 0.8f, 1.2f};
  f.lista = {1, 2, 0};
  for (int it = 0; it < 15; ++it) ASSERT_TRUE(f.step(p, 2));
  EXPECT_EQ(f.lista, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(f.a[2], 1.2f);
  EXPECT_NEAR(f.a[0], 5.f, 1e-3f);
  EXPECT_NEAR(f.a[1], 0.3f, 1e-4f);
  f.alamda = 0.f;
  ASSERT_TRUE(f.step(p, 2));
  EXPECT_GT(f.covar[0], 0.f);
  EXPECT_EQ(f.covar[2 + 2 * kLd], 0.f);  // held parameter: no variance
}

TEST(Mrqmin, ImproperListaPausesAndStops) {
  const Peak p = peak_data(0.f);
  Fit f;
  f.a = {1.f, 2.f, 3.f};
  f.lista = {1, 1, 0};
  EXPECT_FALSE(f.step(p, 2));
  ASSERT_FALSE(f.con.lines().empty());
  for (const auto& m : f.con.lines()) EXPECT_EQ(m, "Improper permutation in LISTA");
  EXPECT_EQ(f.alamda, -1.f);
  EXPECT_EQ(f.a, (std::vector<float>{1.f, 2.f, 3.f}));
}

TEST(Mrqmin, ParameterWithoutInfluenceIsSingular) {
  // a2 enters nowhere: its row of the curvature matrix is zero.
  auto model = [](float x, std::span<const float> a, std::span<float> dyda) {
    dyda[0] = x;
    dyda[1] = 0.f;
    return a[0] * x;
  };
  Peak line;
  for (int i = 1; i <= 5; ++i) {
    line.x.push_back(static_cast<float>(i));
    line.y.push_back(static_cast<float>(3 * i));
    line.sig.push_back(1.f);
  }
  Fit f;
  f.a = {1.f, 1.f};
  f.lista = {1, 2};
  EXPECT_FALSE(f.step(line, 2, model));
  EXPECT_EQ(f.con.lines(), std::vector<std::string>{"singular matrix in gaussj"});
  EXPECT_EQ(f.a, (std::vector<float>{1.f, 1.f}));
}

TEST(Mrqcof, CurvatureAndGradientInListaOrder) {
  // y = a1 + a2 x: alpha = sum [1 x; x x^2] / sig^2 reordered by LISTA (2, 1).
  auto line = [](float x, std::span<const float> a, std::span<float> dyda) {
    dyda[0] = 1.f;
    dyda[1] = x;
    return a[0] + a[1] * x;
  };
  const std::vector<float> x{1, 2, 3}, y{2, 3, 5}, sig{1, 1, 2};
  const std::vector<float> a{1.f, 1.f};
  const std::vector<int> lista{2, 1};
  std::vector<float> alpha(4, -9.f), beta(2, -9.f);
  float chisq = -1.f;
  ASSERT_TRUE(Mrqcof(x, y, sig, 3, a, 2, lista, 2, alpha, beta, 2, chisq, line));
  // Weights 1, 1, 1/4; residuals 0, 0, 1.
  EXPECT_FLOAT_EQ(alpha[0], 1 + 4 + 9 / 4.f);  // sum x^2 w
  EXPECT_FLOAT_EQ(alpha[1], 1 + 2 + 3 / 4.f);  // sum x w
  EXPECT_FLOAT_EQ(alpha[2], alpha[1]);
  EXPECT_FLOAT_EQ(alpha[3], 2.25f);            // sum w
  EXPECT_FLOAT_EQ(beta[0], 3 / 4.f);           // sum dy x w
  EXPECT_FLOAT_EQ(beta[1], 1 / 4.f);           // sum dy w
  EXPECT_FLOAT_EQ(chisq, 0.25f);

  const std::vector<int> bad{3, 1};
  EXPECT_FALSE(Mrqcof(x, y, sig, 3, a, 2, bad, 2, alpha, beta, 2, chisq, line));
}

}  // namespace
}  // namespace verto
