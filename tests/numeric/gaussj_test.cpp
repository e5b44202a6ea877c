// Gaussj inversion and solution, singular systems, and Covsrt repacking.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "numeric/covsrt.h"
#include "numeric/gaussj.h"
#include "core/memory_console.h"

namespace verto {
namespace {

// Column-major n x n matrix with leading dimension ld.
struct Mat {
  int n, ld;
  std::vector<float> v;
  Mat(int n_, int ld_) : n(n_), ld(ld_), v(static_cast<std::size_t>(ld_) * ld_, 0.f) {}
  float& operator()(int i, int j) { return v[(i - 1) + static_cast<std::size_t>(j - 1) * ld]; }
};

Mat random_well_conditioned(std::mt19937& gen, int n, int ld) {
  std::uniform_real_distribution<float> u(-1.f, 1.f);
  Mat m(n, ld);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) m(i, j) = u(gen) + (i == j ? static_cast<float>(n) : 0.f);
  return m;
}

TEST(Gaussj, InvertingTwiceGivesTheMatrixBack) {
  std::mt19937 gen(17);
  for (int n : {1, 2, 3, 5, 9, 20, 50}) {
    const int ld = n + 3;  // the padding outside the block must stay untouched
    Mat m = random_well_conditioned(gen, n, ld);
    for (int i = n + 1; i <= ld; ++i) m(i, 1) = 123.f;
    const Mat orig = m;
    MemoryConsole con;
    std::vector<float> b(static_cast<std::size_t>(ld), 0.f);
    ASSERT_TRUE(report(con, Gaussj(m.v, n, ld, b, 0, 1)));
    ASSERT_TRUE(report(con, Gaussj(m.v, n, ld, b, 0, 1)));
    Mat o = orig;
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) ASSERT_NEAR(m(i, j), o(i, j), 1e-5f * n) << n << ":" << i << "," << j;
    for (int i = n + 1; i <= ld; ++i) EXPECT_EQ(m(i, 1), 123.f);
    EXPECT_TRUE(con.lines().empty());
  }
}

TEST(Gaussj, SolvesSeveralRightHandSides) {
  std::mt19937 gen(4);
  const int n = 6, ld = 8, k = 3;
  Mat m = random_well_conditioned(gen, n, ld);
  Mat a = m;
  Mat z(n, ld);  // the chosen solutions
  std::uniform_real_distribution<float> u(-5.f, 5.f);
  for (int i = 1; i <= n; ++i)
    for (int l = 1; l <= k; ++l) z(i, l) = u(gen);
  Mat b(n, ld);
  for (int i = 1; i <= n; ++i)
    for (int l = 1; l <= k; ++l) {
      double s = 0;
      for (int j = 1; j <= n; ++j) s += static_cast<double>(a(i, j)) * z(j, l);
      b(i, l) = static_cast<float>(s);
    }
  MemoryConsole con;
  ASSERT_TRUE(report(con, Gaussj(m.v, n, ld, b.v, k, ld)));
  for (int i = 1; i <= n; ++i)
    for (int l = 1; l <= k; ++l) EXPECT_NEAR(b(i, l), z(i, l), 1e-5f);
  // m is now the inverse: a * m = identity.
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      double s = 0;
      for (int q = 1; q <= n; ++q) s += static_cast<double>(a(i, q)) * m(q, j);
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-5);
    }
}

TEST(Gaussj, TiedPivotsStillGiveTheInverse) {
  // Every candidate of a pass ties in magnitude: a signed permutation and a
  // matrix of +-1 entries; the last candidate of the scan is taken, which
  // reorders rows and columns but not the result.
  MemoryConsole con;
  Mat p(3, 3);
  p(1, 3) = 2.f;
  p(2, 1) = -2.f;
  p(3, 2) = 2.f;
  Mat pinv = p;
  std::vector<float> b{1, 2, 3};
  ASSERT_TRUE(report(con, Gaussj(pinv.v, 3, 3, b, 1, 1)));
  // p z = (1,2,3): 2 z3 = 1, -2 z1 = 2, 2 z2 = 3.
  EXPECT_EQ(b, (std::vector<float>{-1.f, 1.5f, 0.5f}));
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(pinv(i, j), p(j, i) / 4.f);

  Mat h(2, 2);
  h(1, 1) = 1.f;
  h(1, 2) = 1.f;
  h(2, 1) = 1.f;
  h(2, 2) = -1.f;
  std::vector<float> none(2);
  ASSERT_TRUE(report(con, Gaussj(h.v, 2, 2, none, 0, 1)));
  EXPECT_FLOAT_EQ(h(1, 1), 0.5f);
  EXPECT_FLOAT_EQ(h(1, 2), 0.5f);
  EXPECT_FLOAT_EQ(h(2, 1), 0.5f);
  EXPECT_FLOAT_EQ(h(2, 2), -0.5f);
  EXPECT_TRUE(con.lines().empty());
}

TEST(Gaussj, SingularMatricesPauseAndFail) {
  {  // a zero row; the pause waits for the user's (blank) line
    MemoryConsole con;
    con.add_input("");
    Mat m(3, 3);
    m(1, 1) = 1.f; m(1, 2) = 2.f; m(1, 3) = 3.f;
    m(3, 1) = 4.f; m(3, 2) = 5.f; m(3, 3) = 6.f;
    std::vector<float> b{1, 1, 1};
    EXPECT_FALSE(report(con, Gaussj(m.v, 3, 3, b, 1, 1)));
    EXPECT_EQ(con.lines(), std::vector<std::string>{"singular matrix in gaussj"});
    EXPECT_EQ(con.inputs_left(), 0);
    for (float x : m.v) EXPECT_TRUE(std::isfinite(x));
  }
  {  // rank one, no zero entries
    MemoryConsole con;
    Mat m(2, 2);
    m(1, 1) = 1.f; m(1, 2) = 1.f; m(2, 1) = 1.f; m(2, 2) = 1.f;
    std::vector<float> b{1, 2};
    EXPECT_FALSE(report(con, Gaussj(m.v, 2, 2, b, 1, 1)));
    EXPECT_EQ(con.lines(), std::vector<std::string>{"singular matrix in gaussj"});
  }
  {  // all zeros, and a matrix of NaNs (no usable pivot at all)
    MemoryConsole con;
    Mat z(2, 2);
    std::vector<float> b(2);
    EXPECT_FALSE(report(con, Gaussj(z.v, 2, 2, b, 1, 1)));
    Mat nan(2, 2);
    for (auto& x : nan.v) x = NAN;
    EXPECT_FALSE(report(con, Gaussj(nan.v, 2, 2, b, 1, 1)));
    EXPECT_EQ(con.lines().size(), 2u);
  }
}

TEST(Gaussj, SizesOutsideTheStorageAreRefused) {
  MemoryConsole con;
  std::vector<float> m(4, 1.f), b(2, 1.f);
  EXPECT_FALSE(report(con, Gaussj(m, 3, 2, b, 1, 1)));   // np < n
  EXPECT_FALSE(report(con, Gaussj(m, 2, 2, b, 2, 1)));   // k > kp
  EXPECT_FALSE(report(con, Gaussj(m, 2, 2, b, 2, 2)));   // b too short for 2 columns
  std::vector<float> big(51 * 51, 0.f), bb(51, 0.f);
  EXPECT_FALSE(report(con, Gaussj(big, 51, 51, bb, 1, 1)));  // beyond 50 unknowns
  EXPECT_TRUE(report(con, Gaussj(m, 0, 2, b, 1, 1)));
  EXPECT_EQ(m, std::vector<float>(4, 1.f));
  EXPECT_TRUE(con.lines().empty());
}

TEST(Covsrt, AllParametersAdjustedLeavesTheMatrix) {
  Mat c(3, 4);
  float v = 1.f;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) c(i, j) = v++;
  const std::vector<float> before = c.v;
  for (const std::vector<int>& lista : {std::vector<int>{1, 2, 3}, std::vector<int>{3, 1, 2}}) {
    ASSERT_TRUE(Covsrt(c.v, 4, 3, lista, 3));
    EXPECT_EQ(c.v, before);
  }
}

TEST(Covsrt, HeldParametersGetZeroRowsAndColumns) {
  // Block in LISTA order (3, 1): var(p3) = 4, var(p1) = 9, cov = 2.
  Mat c(4, 4);
  c(1, 1) = 4.f; c(1, 2) = 2.f;
  c(2, 1) = 2.f; c(2, 2) = 9.f;
  c(3, 3) = 77.f;  // leftovers outside the block must be cleared
  c(4, 2) = 55.f;
  const std::vector<int> lista{3, 1, 2, 4};
  ASSERT_TRUE(Covsrt(c.v, 4, 4, lista, 2));
  Mat e(4, 4);
  e(3, 3) = 4.f;
  e(1, 1) = 9.f;
  e(1, 3) = 2.f;
  e(3, 1) = 2.f;
  EXPECT_EQ(c.v, e.v);

  const std::vector<int> bad{5, 1, 2, 3};
  const std::vector<float> keep = c.v;
  EXPECT_FALSE(Covsrt(c.v, 4, 4, bad, 2));
  EXPECT_FALSE(Covsrt(c.v, 3, 4, lista, 2));
  EXPECT_EQ(c.v, keep);
}

}  // namespace
}  // namespace verto
