#include "core/limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace verto {
namespace {

std::pair<float, float> rounded(float lo, float hi) {
  round_limits(lo, hi);
  return {lo, hi};
}

TEST(NiceFloor, TruncatesAndRoundsNegativesDownOutsideTheTolerance) {
  EXPECT_EQ(nice_floor(2.7f), 2.f);
  EXPECT_EQ(nice_floor(0.f), 0.f);
  EXPECT_EQ(nice_floor(-0.32f), -1.f);
  EXPECT_EQ(nice_floor(-3.2f), -4.f);
  EXPECT_EQ(nice_floor(-3.f), -3.f);
  // Within 0.00001 below a whole number: that number.
  EXPECT_EQ(nice_floor(-3.000005f), -3.f);
  EXPECT_EQ(nice_floor(-3.0001f), -4.f);
}

TEST(RoundLimits, WidensToMultiplesOfTheDecadeOfTheSpan) {
  EXPECT_EQ(rounded(0.37f, 8.2f), std::make_pair(0.f, 9.f));
  EXPECT_EQ(rounded(-3.2f, 47.f), std::make_pair(-10.f, 50.f));
  EXPECT_EQ(rounded(0.13f, 9.7f), std::make_pair(0.f, 10.f));
  EXPECT_EQ(rounded(-47.f, -3.2f), std::make_pair(-50.f, 0.f));
  auto small = rounded(0.0012f, 0.0047f);
  EXPECT_FLOAT_EQ(small.first, 0.001f);
  EXPECT_FLOAT_EQ(small.second, 0.005f);
  EXPECT_EQ(rounded(120.f, 4500.f), std::make_pair(0.f, 5000.f));
}

TEST(RoundLimits, LimitsOnOrJustAboveAMultipleStay) {
  EXPECT_EQ(rounded(0.f, 9.f), std::make_pair(0.f, 9.f));
  EXPECT_EQ(rounded(0.f, 9.00005f), std::make_pair(0.f, 9.f));
  EXPECT_EQ(rounded(0.f, 9.001f), std::make_pair(0.f, 10.f));
  // Single-precision quotients such as 0.3 / 0.1 land on the multiple.
  auto r = rounded(0.3f, 0.9f);
  EXPECT_FLOAT_EQ(r.first, 0.3f);
  EXPECT_FLOAT_EQ(r.second, 0.9f);
}

TEST(RoundLimits, LeavesEmptyReversedAndNonFiniteIntervalsAlone) {
  EXPECT_EQ(rounded(5.f, 5.f), std::make_pair(5.f, 5.f));
  EXPECT_EQ(rounded(8.f, 2.f), std::make_pair(8.f, 2.f));
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(rounded(0.f, inf), std::make_pair(0.f, inf));
  float lo = std::nanf(""), hi = 1.f;
  round_limits(lo, hi);
  EXPECT_TRUE(std::isnan(lo));
  EXPECT_EQ(hi, 1.f);
}

TEST(RoundLimits, HugeSpansStayFinite) {
  auto r = rounded(-3e38f, 3e38f);
  EXPECT_TRUE(std::isfinite(r.first) && std::isfinite(r.second));
  EXPECT_LE(r.first, -3e38f);
  EXPECT_GE(r.second, 3e38f);
  // Rounding up past the largest float keeps the data limits.
  auto top = rounded(0.f, 3.3e38f);
  EXPECT_EQ(top.second, 3.3e38f);
}

}  // namespace
}  // namespace verto
