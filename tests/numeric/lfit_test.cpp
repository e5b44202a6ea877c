// Lfit with the polynomial basis and with a basis that carries context:
// exact recoveries, held parameters, covariance, LISTA handling and
// singular systems.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numeric/fpoly.h"
#include "numeric/lfit.h"
#include "core/memory_console.h"

namespace verto {
namespace {

constexpr int kLd = 9;  // the leading dimension the FIT command uses

struct Data {
  std::vector<float> x, y, sig;
};

Data sample(int n, float x0, float dx, auto&& f) {
  Data d;
  for (int i = 0; i < n; ++i) {
    const float x = x0 + dx * static_cast<float>(i);
    d.x.push_back(x);
    d.y.push_back(static_cast<float>(f(static_cast<double>(x))));
    d.sig.push_back(1.f);
  }
  return d;
}

float cov(const std::vector<float>& c, int i, int j) { return c[(i - 1) + (j - 1) * kLd]; }

TEST(Fpoly, PowersOfX) {
  std::vector<float> p(5, -1.f);
  Fpoly(2.f, p);
  EXPECT_EQ(p, (std::vector<float>{1, 2, 4, 8, 16}));
  std::vector<float> one(1, 0.f);
  Fpoly(7.f, one);
  EXPECT_EQ(one[0], 1.f);
  Fpoly(7.f, std::span<float>());  // nothing to fill
}

TEST(Lfit, ExactStraightLine) {
  const Data d = sample(10, 0.f, 1.f, [](double x) { return 2 + 3 * x; });
  MemoryConsole con;
  std::vector<float> a(2, 0.f), covar(kLd * kLd, 0.f);
  std::vector<int> lista{1, 2};
  float chisq = -1.f;
  ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 10, a, 2, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_NEAR(a[0], 2.f, 1e-5f);
  EXPECT_NEAR(a[1], 3.f, 1e-6f);
  EXPECT_NEAR(chisq, 0.f, 1e-9f);
  // Covariance = inverse of [[n, sum x], [sum x, sum x^2]] = [[10, 45], [45, 285]].
  const double det = 10.0 * 285 - 45.0 * 45;
  EXPECT_NEAR(cov(covar, 1, 1), 285 / det, 1e-6);
  EXPECT_NEAR(cov(covar, 2, 2), 10 / det, 1e-6);
  EXPECT_NEAR(cov(covar, 1, 2), -45 / det, 1e-6);
  EXPECT_EQ(cov(covar, 1, 2), cov(covar, 2, 1));
  EXPECT_TRUE(con.lines().empty());
}

TEST(Lfit, CubicWithWeightsRecoversCoefficients) {
  Data d = sample(40, -2.f, 0.1f, [](double x) { return 0.5 - 1.5 * x + 0.25 * x * x + 2 * x * x * x; });
  for (std::size_t i = 0; i < d.sig.size(); ++i) d.sig[i] = 0.5f + 0.05f * static_cast<float>(i % 7);
  MemoryConsole con;
  std::vector<float> a(4, 9.f), covar(kLd * kLd);
  std::vector<int> lista{1, 2, 3, 4};
  float chisq = 0.f;
  ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 40, a, 4, lista, 4, covar, kLd, chisq, Fpoly)));
  EXPECT_NEAR(a[0], 0.5f, 2e-4f);
  EXPECT_NEAR(a[1], -1.5f, 2e-4f);
  EXPECT_NEAR(a[2], 0.25f, 2e-4f);
  EXPECT_NEAR(a[3], 2.f, 2e-4f);
  EXPECT_LT(chisq, 1e-6f);
  for (int i = 1; i <= 4; ++i) EXPECT_GT(cov(covar, i, i), 0.f);
}

TEST(Lfit, HeldParameterKeepsItsValue) {
  // y = 1 + 2x + 3x^2; a(2) held at its true value, LISTA (3, 1) adjusted.
  const Data d = sample(21, -1.f, 0.1f, [](double x) { return 1 + 2 * x + 3 * x * x; });
  MemoryConsole con;
  std::vector<float> a{0.f, 2.f, 0.f}, covar(kLd * kLd, 5.f);
  std::vector<int> lista{3, 1, 0};
  float chisq = 0.f;
  ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 21, a, 3, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_EQ(lista, (std::vector<int>{3, 1, 2}));
  EXPECT_NEAR(a[0], 1.f, 1e-5f);
  EXPECT_EQ(a[1], 2.f);
  EXPECT_NEAR(a[2], 3.f, 1e-5f);
  EXPECT_NEAR(chisq, 0.f, 1e-8f);
  // The held parameter's row and column are zero, the others in place.
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(cov(covar, 2, i), 0.f);
    EXPECT_EQ(cov(covar, i, 2), 0.f);
  }
  EXPECT_GT(cov(covar, 1, 1), 0.f);
  EXPECT_GT(cov(covar, 3, 3), 0.f);
  EXPECT_EQ(cov(covar, 1, 3), cov(covar, 3, 1));

  // Held at a wrong value: the others absorb what they can, a(2) stays.
  a = {0.f, 5.f, 0.f};
  lista = {1, 3, 0};
  ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 21, a, 3, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_EQ(a[1], 5.f);
  EXPECT_GT(chisq, 1.f);
  EXPECT_TRUE(con.lines().empty());
}

TEST(Lfit, BasisWithContextExponentialSum) {
  // afunc(j) = exp((j-1) * scale * x), the scale captured by the lambda.
  const float scale = 0.5f;
  auto basis = [scale](float x, std::span<float> af) {
    for (std::size_t j = 0; j < af.size(); ++j) af[j] = std::exp(static_cast<float>(j) * scale * x);
  };
  const Data d = sample(30, 0.f, 0.1f, [](double x) { return 3 - 2 * std::exp(0.5 * x) + 0.5 * std::exp(x); });
  MemoryConsole con;
  std::vector<float> a(3), covar(kLd * kLd);
  std::vector<int> lista{1, 2, 3};
  float chisq = 0.f;
  ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 30, a, 3, lista, 3, covar, kLd, chisq, basis)));
  EXPECT_NEAR(a[0], 3.f, 2e-2f);
  EXPECT_NEAR(a[1], -2.f, 2e-2f);
  EXPECT_NEAR(a[2], 0.5f, 1e-2f);
  EXPECT_LT(chisq, 1e-6f);
}

TEST(Lfit, ListaIsCompletedAndChecked) {
  const Data d = sample(12, 0.f, 0.5f, [](double x) { return 1 + x - x * x * x; });
  std::vector<float> covar(kLd * kLd);
  float chisq = 0.f;
  {  // (1, 2, 4) of four parameters becomes (1, 2, 4, 3)
    MemoryConsole con;
    std::vector<float> a{0, 0, 0, 0};
    std::vector<int> lista{1, 2, 4, 0};
    ASSERT_TRUE(report(con, Lfit(d.x, d.y, d.sig, 12, a, 4, lista, 3, covar, kLd, chisq, Fpoly)));
    EXPECT_EQ(lista, (std::vector<int>{1, 2, 4, 3}));
    EXPECT_NEAR(a[3], -1.f, 1e-4f);
    EXPECT_TRUE(con.lines().empty());
  }
  for (const std::vector<int>& bad :
       {std::vector<int>{1, 1, 3, 0}, std::vector<int>{1, 2, 9, 0}, std::vector<int>{0, 2, 3, 0}}) {
    MemoryConsole con;
    std::vector<float> a{7, 7, 7, 7};
    std::vector<int> lista = bad;
    EXPECT_FALSE(report(con, Lfit(d.x, d.y, d.sig, 12, a, 4, lista, 3, covar, kLd, chisq, Fpoly)));
    ASSERT_FALSE(con.lines().empty());
    for (const auto& p : con.lines()) EXPECT_EQ(p, "Improper set in LISTA");
    EXPECT_EQ(a, (std::vector<float>{7, 7, 7, 7}));
  }
  {  // a repeated entry: once for the repeat, once for the short count
    MemoryConsole con;
    std::vector<float> a(3);
    std::vector<int> lista{1, 1, 3};
    EXPECT_FALSE(report(con, Lfit(d.x, d.y, d.sig, 12, a, 3, lista, 3, covar, kLd, chisq, Fpoly)));
    EXPECT_EQ(con.lines().size(), 2u);
  }
}

TEST(Lfit, SingularSystemPausesAndStops) {
  // All abscissae equal: a line through them is not determined.
  const std::vector<float> x(6, 1.f), y{1, 2, 3, 4, 5, 6}, sig(6, 1.f);
  MemoryConsole con;
  std::vector<float> a{4.f, 4.f}, covar(kLd * kLd);
  std::vector<int> lista{1, 2};
  float chisq = 42.f;
  EXPECT_FALSE(report(con, Lfit(x, y, sig, 6, a, 2, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_EQ(con.lines(), std::vector<std::string>{"singular matrix in gaussj"});
  EXPECT_EQ(a, (std::vector<float>{4.f, 4.f}));
  EXPECT_EQ(chisq, 42.f);
}

TEST(Lfit, SizesOutOfRangeAreRefusedWithoutPause) {
  const Data d = sample(5, 0.f, 1.f, [](double x) { return x; });
  MemoryConsole con;
  std::vector<float> a(2), small(3);
  std::vector<int> lista{1, 2};
  float chisq = 0.f;
  EXPECT_FALSE(report(con, Lfit(d.x, d.y, d.sig, 6, a, 2, lista, 2, small, 2, chisq, Fpoly)));
  std::vector<float> covar(kLd * kLd);
  EXPECT_FALSE(report(con, Lfit(d.x, d.y, d.sig, 6, a, 2, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_FALSE(report(con, Lfit(d.x, d.y, d.sig, 5, a, 3, lista, 2, covar, kLd, chisq, Fpoly)));
  EXPECT_TRUE(con.lines().empty());
}

}  // namespace
}  // namespace verto
