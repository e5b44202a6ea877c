// Moment on small exact cases, the n < 2 pause, and against a
// double-precision reference where the round-off correction matters.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "numeric/moment.h"
#include "core/memory_console.h"

namespace verto {
namespace {

TEST(Moment, OneToFour) {
  MemoryConsole con;
  const std::vector<float> d{1, 2, 3, 4};
  Moments m;
  ASSERT_TRUE(report(con, Moment(d, 4, m)));
  EXPECT_FLOAT_EQ(m.ave, 2.5f);
  EXPECT_FLOAT_EQ(m.adev, 1.f);
  EXPECT_FLOAT_EQ(m.var, 1.6666666f);
  EXPECT_FLOAT_EQ(m.sdev, 1.2909944f);
  EXPECT_FLOAT_EQ(m.skew, 0.f);
  EXPECT_FLOAT_EQ(m.curt, 10.25f / (4.f * 1.6666666f * 1.6666666f) - 3.f);
  EXPECT_NEAR(m.curt, -2.0775f, 1e-4f);
  EXPECT_TRUE(con.lines().empty());
}

TEST(Moment, ZeroVarianceGivesZeroSkewAndKurtosisQuietly) {
  MemoryConsole con;
  const std::vector<float> d{5, 5, 5};
  Moments m;
  ASSERT_TRUE(report(con, Moment(d, 3, m)));
  EXPECT_EQ(m.ave, 5.f);
  EXPECT_EQ(m.adev, 0.f);
  EXPECT_EQ(m.var, 0.f);
  EXPECT_EQ(m.sdev, 0.f);
  EXPECT_EQ(m.skew, 0.f);
  EXPECT_EQ(m.curt, 0.f);
  EXPECT_TRUE(con.lines().empty());
}

TEST(Moment, FewerThanTwoValuesPausesAndGoesOn) {
  MemoryConsole con;
  const std::vector<float> d{7};
  Moments m;
  EXPECT_FALSE(report(con, Moment(d, 1, m)));
  ASSERT_EQ(con.lines(), std::vector<std::string>{"n must be at least 2 in moment"});
  EXPECT_EQ(m.ave, 7.f);
  EXPECT_EQ(m.adev, 0.f);
  EXPECT_TRUE(std::isnan(m.var));  // 0 / 0 from the n - 1 divisor

  MemoryConsole con0;
  EXPECT_FALSE(report(con0, Moment(d, 0, m)));
  EXPECT_EQ(con0.lines().size(), 1u);
}

TEST(Moment, SkewSignAndKurtosisOfAKnownSample) {
  // 0, 0, 0, 4: mean 1, deviations -1,-1,-1,3.
  MemoryConsole con;
  const std::vector<float> d{0, 0, 0, 4};
  Moments m;
  ASSERT_TRUE(report(con, Moment(d, 4, m)));
  EXPECT_FLOAT_EQ(m.ave, 1.f);
  EXPECT_FLOAT_EQ(m.adev, 1.5f);
  EXPECT_FLOAT_EQ(m.var, 4.f);
  EXPECT_FLOAT_EQ(m.sdev, 2.f);
  EXPECT_FLOAT_EQ(m.skew, 24.f / (4.f * 8.f));
  EXPECT_FLOAT_EQ(m.curt, 84.f / (4.f * 16.f) - 3.f);
}

TEST(Moment, LargeOffsetAgreesWithDoubleReference) {
  std::mt19937 gen(3);
  std::normal_distribution<double> noise(0.0, 0.5);
  std::vector<float> d(5000);
  for (auto& x : d) x = static_cast<float>(1000.0 + noise(gen));
  double mean = 0;
  for (float x : d) mean += x;
  mean /= static_cast<double>(d.size());
  double s2 = 0, s3 = 0, s4 = 0;
  for (float x : d) {
    const double e = x - mean;
    s2 += e * e;
    s3 += e * e * e;
    s4 += e * e * e * e;
  }
  const double n = static_cast<double>(d.size());
  const double var = s2 / (n - 1);
  MemoryConsole con;
  Moments m;
  ASSERT_TRUE(report(con, Moment(d, static_cast<int>(d.size()), m)));
  EXPECT_NEAR(m.ave, mean, 1e-4 * 1000.0);
  EXPECT_NEAR(m.var, var, 1e-3 * var);
  EXPECT_NEAR(m.sdev, std::sqrt(var), 1e-3 * std::sqrt(var));
  EXPECT_NEAR(m.skew, s3 / (n * std::pow(var, 1.5)), 0.02);
  EXPECT_NEAR(m.curt, s4 / (n * var * var) - 3.0, 0.02);
}

}  // namespace
}  // namespace verto
