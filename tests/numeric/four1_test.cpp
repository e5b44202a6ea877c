// Four1 on the small exact case, against a direct transform in double
// precision, and forward-then-inverse round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "numeric/four1.h"

namespace verto {
namespace {

std::vector<std::complex<double>> direct_dft(const std::vector<float>& data, int isign) {
  const int nn = static_cast<int>(data.size() / 2);
  std::vector<std::complex<double>> out(static_cast<std::size_t>(nn));
  for (int j = 0; j < nn; ++j) {
    std::complex<double> sum = 0;
    for (int k = 0; k < nn; ++k) {
      const double ang = 2.0 * M_PI * isign * static_cast<double>((static_cast<long>(j) * k) % nn) / nn;
      sum += std::complex<double>(data[2 * k], data[2 * k + 1]) *
             std::complex<double>(std::cos(ang), std::sin(ang));
    }
    out[j] = sum;
  }
  return out;
}

TEST(Four1, ImpulseAndBack) {
  std::vector<float> d{1, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(Four1(d, 4, 1));
  EXPECT_EQ(d, (std::vector<float>{1, 0, 1, 0, 1, 0, 1, 0}));
  ASSERT_TRUE(Four1(d, 4, -1));
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(d[i], i == 0 ? 4.f : 0.f, 1e-6f);
}

TEST(Four1, SignConventionOnAShiftedImpulse) {
  // An impulse at point 2 transforms to exp(+2 pi i j / nn) for isign = 1.
  std::vector<float> d(16, 0.f);
  d[2] = 1.f;
  ASSERT_TRUE(Four1(d, 8, 1));
  for (int j = 0; j < 8; ++j) {
    EXPECT_NEAR(d[2 * j], std::cos(2 * M_PI * j / 8), 1e-6);
    EXPECT_NEAR(d[2 * j + 1], std::sin(2 * M_PI * j / 8), 1e-6);
  }
}

TEST(Four1, MatchesDirectTransformOnRandomData) {
  std::mt19937 gen(2024);
  std::uniform_real_distribution<float> u(-1.f, 1.f);
  for (int nn = 1; nn <= 1024; nn *= 2) {
    for (int isign : {1, -1}) {
      std::vector<float> d(2 * static_cast<std::size_t>(nn));
      for (auto& x : d) x = u(gen);
      const auto ref = direct_dft(d, isign);
      ASSERT_TRUE(Four1(d, nn, isign));
      // Single-precision butterflies: error grows like log2(nn) eps sqrt(nn).
      const double tol = 2e-6 * std::sqrt(static_cast<double>(nn)) * (1 + std::log2(nn));
      for (int j = 0; j < nn; ++j) {
        ASSERT_NEAR(d[2 * j], ref[j].real(), tol) << "nn=" << nn << " j=" << j;
        ASSERT_NEAR(d[2 * j + 1], ref[j].imag(), tol) << "nn=" << nn << " j=" << j;
      }
    }
  }
}

TEST(Four1, ForwardThenInverseRestoresTimesN) {
  std::mt19937 gen(5);
  std::uniform_real_distribution<float> u(-100.f, 100.f);
  for (int nn : {2, 16, 256, 32768}) {
    std::vector<float> d(2 * static_cast<std::size_t>(nn));
    for (auto& x : d) x = u(gen);
    const std::vector<float> orig = d;
    ASSERT_TRUE(Four1(d, nn, 1));
    ASSERT_TRUE(Four1(d, nn, -1));
    double worst = 0;
    for (std::size_t i = 0; i < d.size(); ++i)
      worst = std::max(worst, std::fabs(static_cast<double>(d[i]) / nn - orig[i]));
    EXPECT_LT(worst, 1e-5 * 100 * (1 + std::log2(nn))) << "nn=" << nn;
  }
}

TEST(Four1, RefusesWhatWouldIndexPastTheArray) {
  std::vector<float> d{1, 2, 3, 4, 5, 6};
  const std::vector<float> orig = d;
  EXPECT_FALSE(Four1(d, 3, 1));   // not a power of two
  EXPECT_FALSE(Four1(d, 4, 1));   // needs 8 values
  EXPECT_FALSE(Four1(d, 0, 1));
  EXPECT_FALSE(Four1(d, 2, 0));
  EXPECT_EQ(d, orig);
  std::vector<float> one{3, -2};
  ASSERT_TRUE(Four1(one, 1, -1));  // one point transforms to itself
  EXPECT_EQ(one, (std::vector<float>{3, -2}));
}

}  // namespace
}  // namespace verto
