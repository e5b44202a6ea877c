// Fitting procedures on synthetic data with known parameters: every model
// recovers its parameters within its reported errors; starting values,
// held widths, GAUSS2 and the fallbacks of the peak search.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fitting/catalogue.h"
#include "fitting/procedures.h"
#include "core/memory_console.h"

namespace verto {
namespace {


struct Data {
  std::vector<float> x, y, sig, s1, s2;
  FitInput input() {
    FitInput in;
    in.x = x;
    in.y = y;
    in.sig = sig;
    in.n = static_cast<int>(x.size());
    in.decay_weights = sig;
    s1.assign(x.size(), 0.f);
    s2.assign(x.size(), 0.f);
    in.scratch1 = s1;
    in.scratch2 = s2;
    return in;
  }
};

// n points from x0 to x1 of y = model(x, truth) with Gaussian noise sigma.
Data synthetic(const ModelInfo& m, const std::vector<float>& truth, float power, float x0,
               float x1, int n, float sigma, unsigned seed) {
  Data d;
  std::mt19937 gen(seed);
  std::normal_distribution<float> noise(0.f, sigma);
  for (int i = 0; i < n; ++i) {
    const float x = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(n - 1);
    d.x.push_back(x);
    d.y.push_back(model_value(m, truth, static_cast<int>(truth.size()), power, x) +
                  (sigma > 0.f ? noise(gen) : 0.f));
    d.sig.push_back(sigma > 0.f ? sigma : 1.f);
  }
  return d;
}

struct RecoveryCase {
  ModelCode code;
  std::vector<float> truth;
  float power;
  float x0, x1;
  float sigma;
};

TEST(FitProcedures, EveryModelRecoversItsParametersWithinTheReportedErrors) {
  const std::vector<RecoveryCase> cases = {
      {kModelPoly, {1.f, -2.f, 0.5f}, 0.f, 0.f, 10.f, 0.05f},
      {kModelPow, {3.f}, -0.5f, 0.5f, 10.f, 0.01f},
      {kModelExp, {1.f, 2.f, 0.5f}, 0.f, 0.f, 1.5f, 0.02f},
      {kModelDecay, {5.f, -0.3f}, 0.f, 0.f, 10.f, 0.01f},
      {kModelGaussian, {3.f, 5.f, 1.2f}, 0.f, 0.f, 10.f, 0.05f},
      {kModelRise, {4.f, 1.f, 2.f}, 0.f, 1.f, 15.f, 0.05f},
      {kModelGaussB, {3.f, 5.f, 1.2f, 0.5f}, 0.f, 0.f, 10.f, 0.05f},
      {kModelMorse, {5.f, 1.3f, 2.f, -1.f}, 0.f, 1.f, 8.f, 0.05f},
      {kModelMaxwell, {10.f, 2.f}, 0.f, 0.05f, 12.f, 0.02f},
      {kModelArrhenius, {2.f, 0.6f, 1.2f}, 0.f, 0.2f, 4.f, 0.01f},
      {kModelDruyvest, {8.f, 1.5f}, 0.f, 0.05f, 5.f, 0.02f},
      {kModelAsym, {3.f, 5.f, 1.2f, 0.4f}, 0.f, 0.f, 10.f, 0.03f},
      {kModelAsymB, {3.f, 5.f, 1.2f, 0.5f, 0.4f}, 0.f, 0.f, 10.f, 0.03f},
  };
  unsigned seed = 11;
  for (const auto& c : cases) {
    const ModelInfo& m = model_info(c.code);
    Data d = synthetic(m, c.truth, c.power, c.x0, c.x1, 201, c.sigma, seed++);
    FitRequest req;
    req.ma = static_cast<int>(c.truth.size());
    req.power = c.power;
    MemoryConsole con;  // a pause would show as a line
    FitResult r;
    ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok) << m.name;
    EXPECT_TRUE(con.lines().empty()) << m.name;
    for (int j = 0; j < req.ma; ++j) {
      const float var = r.variance(j);
      ASSERT_GT(var, 0.f) << m.name << " a" << j;
      EXPECT_NEAR(r.a[j], c.truth[j], 4.f * std::sqrt(var)) << m.name << " a" << j;
    }
    // The noise is sigma: chi-square per degree of freedom near 1.
    EXPECT_NEAR(r.chisq / static_cast<float>(201 - req.ma), 1.f, 0.3f) << m.name;
  }
}

TEST(FitProcedures, PeakModelsReturnTheFullWidth) {
  for (ModelCode code : {kModelGaussian, kModelGaussB, kModelAsym, kModelAsymB}) {
    const ModelInfo& m = model_info(code);
    std::vector<float> truth = {2.f, 4.f, 0.9f, 0.2f, 0.f};
    truth.resize(static_cast<std::size_t>(m.ma));
    Data d = synthetic(m, truth, 0.f, 0.f, 8.f, 161, 0.f, 1);
    FitRequest req;
    req.ma = m.ma;
    MemoryConsole con;  // a pause would show as a line
    FitResult r;
    ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok) << m.name;
    EXPECT_NEAR(r.a[2], 0.9f, 1e-3f) << m.name;
    EXPECT_FLOAT_EQ(r.width, kFwhmFactor * r.a[2]) << m.name;
    EXPECT_FLOAT_EQ(r.width_error, kFwhmFactor * std::sqrt(r.variance(2))) << m.name;
  }
}

TEST(FitProcedures, HeldWidthStaysAndStillGetsAnError) {
  const ModelInfo& m = model_info(kModelGaussian);
  Data d = synthetic(m, {3.f, 5.f, 1.2f}, 0.f, 0.f, 10.f, 101, 0.05f, 3);
  FitRequest req;
  req.ma = 3;
  req.width = 2.f;
  MemoryConsole con;  // a pause would show as a line
  FitResult r;
  ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
  EXPECT_FLOAT_EQ(r.a[2], 2.f / kFwhmFactor);
  EXPECT_FLOAT_EQ(r.width, 2.f);
  // The error of the held width comes from the curvature of all three
  // parameters at the final values: positive and of the size a free fit
  // would report.
  EXPECT_GT(r.variance(2), 0.f);
  EXPECT_LT(std::sqrt(r.variance(2)), 0.05f);
  EXPECT_NEAR(r.a[1], 5.f, 0.05f);

  // The same for a model whose held width sits in the middle of LISTA.
  const ModelInfo& mb = model_info(kModelAsymB);
  Data db = synthetic(mb, {3.f, 5.f, 1.2f, 0.5f, 0.f}, 0.f, 0.f, 10.f, 101, 0.01f, 4);
  req.ma = 5;
  req.width = kFwhmFactor * 1.2f;
  ASSERT_EQ(run_fit_procedure(con, mb, db.input(), req, r), FitStatus::Ok);
  EXPECT_FLOAT_EQ(r.a[2], req.width / kFwhmFactor);
  EXPECT_NEAR(r.a[0], 3.f, 0.02f);
  EXPECT_NEAR(r.a[3], 0.5f, 0.02f);
  EXPECT_NEAR(r.a[4], 0.f, 0.05f);
  for (int j = 0; j < 5; ++j) EXPECT_GT(r.variance(j), 0.f) << j;
}

TEST(FitProcedures, Gauss2HoldsPositionsAndReportsTenPerCentErrors) {
  const ModelInfo& m = model_info(kModelGauss2);
  Data d = synthetic(m, {2.f, 3.f, 1.f, 1.5f, 6.f}, 0.f, 0.f, 10.f, 201, 0.01f, 5);
  FitRequest req;
  req.ma = 5;
  req.x1 = 3.f;
  req.x2 = 6.f;
  MemoryConsole con;  // a pause would show as a line
  FitResult r;
  ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
  EXPECT_FLOAT_EQ(r.a[1], 3.f);
  EXPECT_FLOAT_EQ(r.a[4], 6.f);
  EXPECT_NEAR(r.a[0], 2.f, 0.01f);
  EXPECT_NEAR(r.a[2], 1.f, 0.01f);
  EXPECT_NEAR(r.a[3], 1.5f, 0.01f);
  EXPECT_FLOAT_EQ(r.variance(0), (0.1f * r.a[0]) * (0.1f * r.a[0]));
  EXPECT_FLOAT_EQ(r.variance(2), (0.1f * r.a[2]) * (0.1f * r.a[2]));
  EXPECT_FLOAT_EQ(r.variance(3), (0.1f * r.a[3]) * (0.1f * r.a[3]));
  EXPECT_EQ(r.variance(1), 0.f);
  EXPECT_EQ(r.variance(4), 0.f);
  EXPECT_FLOAT_EQ(r.width, kFwhmFactor * r.a[2]);
  EXPECT_FLOAT_EQ(r.width_error, 0.1f * r.width);

  // Held width: only the amplitudes move, the width has no error.
  req.width = 2.f;
  ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
  EXPECT_FLOAT_EQ(r.a[2], 2.f / kFwhmFactor);
  EXPECT_EQ(r.variance(2), 0.f);
  EXPECT_FLOAT_EQ(r.width, 2.f);
  EXPECT_EQ(r.width_error, 0.f);
  EXPECT_GT(r.a[0], 1.5f);
  EXPECT_GT(r.a[3], 1.f);
}

TEST(PeakSearch, FirstLargestPositiveValueAndLeftHalfCrossing) {
  const std::vector<float> x = {0, 1, 2, 3, 4, 5, 6, 7};
  const std::vector<float> y = {0, 1, 3, 8, 10, 10, 4, 0};
  const PeakStart p = peak_search(x, y, 8, 0.f);
  EXPECT_EQ(p.a0, 10.f);
  EXPECT_EQ(p.a1, 4.f);  // the first of the two largest values
  // First y above 5 is at x = 3: width 2 (4 - (2 + 3)/2) = 3.
  EXPECT_EQ(p.a2, 3.f);
}

TEST(PeakSearch, FallbacksGiveUsableStartingValues) {
  const std::vector<float> x = {0, 1, 2, 3, 4, 5, 6};
  // The first point is already above half the peak: the right flank
  // (crossing between x = 4 and 5) gives the width 2 (4.5 - 2) = 5.
  const PeakStart right = peak_search(x, std::vector<float>{9, 10, 8, 7, 6, 2, 1}, 7, 0.f);
  EXPECT_EQ(right.a1, 1.f);
  EXPECT_EQ(right.a2, 7.f);
  // No positive value: the deepest point is a dip.
  const PeakStart dip = peak_search(x, std::vector<float>{0, -1, -4, -8, -3, -1, 0}, 7, 0.f);
  EXPECT_EQ(dip.a0, -8.f);
  EXPECT_EQ(dip.a1, 3.f);
  EXPECT_EQ(dip.a2, 1.f);  // first level above 4 is the peak itself
  // Nothing but zeros: still a nonzero width.
  const PeakStart flat = peak_search(x, std::vector<float>(7, 0.f), 7, 0.f);
  EXPECT_GT(flat.a2, 0.f);
}

TEST(FitProcedures, PeakFitsConvergeFromTheFallbackStarts) {
  MemoryConsole con;  // a pause would show as a line
  FitRequest req;
  // A peak cut on its left flank: the window starts above half maximum.
  {
    const ModelInfo& m = model_info(kModelGaussian);
    Data d = synthetic(m, {3.f, 5.f, 1.2f}, 0.f, 4.5f, 10.f, 111, 0.f, 1);
    req.ma = 3;
    FitResult r;
    ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
    EXPECT_NEAR(r.a[0], 3.f, 1e-3f);
    EXPECT_NEAR(r.a[1], 5.f, 1e-3f);
    EXPECT_NEAR(r.a[2], 1.2f, 1e-3f);
  }
  // A negative peak (no positive y), with and without background.
  {
    const ModelInfo& m = model_info(kModelGaussian);
    Data d = synthetic(m, {-2.f, 4.f, 1.f}, 0.f, 0.f, 8.f, 161, 0.f, 1);
    FitResult r;
    ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
    EXPECT_NEAR(r.a[0], -2.f, 1e-3f);
    EXPECT_NEAR(r.a[1], 4.f, 1e-3f);
    EXPECT_NEAR(std::fabs(r.a[2]), 1.f, 1e-3f);
  }
  {
    const ModelInfo& m = model_info(kModelGaussB);
    Data d = synthetic(m, {2.f, 4.f, 1.f, -5.f}, 0.f, 0.f, 8.f, 161, 0.f, 1);
    req.ma = 4;
    FitResult r;
    ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
    EXPECT_NEAR(r.a[0], 2.f, 1e-3f);
    EXPECT_NEAR(r.a[1], 4.f, 1e-3f);
    EXPECT_NEAR(r.a[3], -5.f, 1e-3f);
  }
  EXPECT_TRUE(con.lines().empty());
}

TEST(StartValues, RiseMorseMaxwellDruyvestArrhenius) {
  std::array<float, 9> a{};
  const std::vector<float> x = {1, 2, 3, 4, 5};
  start_values(model_info(kModelRise), x, std::vector<float>{0, 1, 2.5f, 3.5f, 4}, 5, a);
  EXPECT_EQ(a[0], 4.f);
  EXPECT_EQ(a[1], 1.f);
  EXPECT_EQ(a[2], 2.f);  // first y above 2 at x = 3

  // MORSE: the last of equal minima gives a2.
  start_values(model_info(kModelMorse), x, std::vector<float>{6, 1, 3, 1, 2}, 5, a);
  EXPECT_EQ(a[0], 5.f);
  EXPECT_EQ(a[1], 1.5f);
  EXPECT_EQ(a[2], 4.f);
  EXPECT_EQ(a[3], 1.f);

  start_values(model_info(kModelMaxwell), x, std::vector<float>{1, 3, 3, 2, 1}, 5, a);
  EXPECT_EQ(a[0], 4.f * 3.f * 2.f);  // the first largest y at x = 2
  EXPECT_EQ(a[1], 4.f);
  start_values(model_info(kModelDruyvest), x, std::vector<float>{1, 3, 3, 2, 1}, 5, a);
  EXPECT_EQ(a[0], 2.f * 2.f * 3.f);
  EXPECT_EQ(a[1], 2.f);

  start_values(model_info(kModelArrhenius), x, std::vector<float>{1, 3, 7, 2, 1}, 5, a);
  EXPECT_EQ(a[0], 7.f);
  EXPECT_EQ(a[1], 0.5f);
  EXPECT_EQ(a[2], 2.f);
}

TEST(StartValues, RiseFallbacksConverge) {
  MemoryConsole con;  // a pause would show as a line
  FitRequest req;
  req.ma = 3;
  const ModelInfo& m = model_info(kModelRise);
  // A falling curve (a0 < 0): the first point already lies above a0 / 2.
  Data falling = synthetic(m, {-4.f, 0.f, 1.5f}, 0.f, 0.f, 10.f, 101, 0.f, 1);
  std::array<float, 9> a{};
  start_values(m, falling.x, falling.y, 101, a);
  EXPECT_GT(a[2], 0.f);
  FitResult r;
  ASSERT_EQ(run_fit_procedure(con, m, falling.input(), req, r), FitStatus::Ok);
  EXPECT_NEAR(r.a[0], -4.f, 1e-3f);
  EXPECT_NEAR(r.a[2], 1.5f, 1e-3f);
  // Data that start above half their last value: a2 from the span of x.
  Data late = synthetic(m, {4.f, -1.f, 2.f}, 0.f, 1.f, 12.f, 111, 0.f, 1);
  start_values(m, late.x, late.y, 111, a);
  EXPECT_NEAR(a[2], 11.f / 3.f, 1e-5f);
  ASSERT_EQ(run_fit_procedure(con, m, late.input(), req, r), FitStatus::Ok);
  EXPECT_NEAR(r.a[0], 4.f, 2e-3f);
  EXPECT_NEAR(r.a[2], 2.f, 2e-3f);
  EXPECT_TRUE(con.lines().empty());
}

TEST(FitProcedures, DecayChiSquareIsOnTheDataAndItsErrorOnA0) {
  const ModelInfo& m = model_info(kModelDecay);
  Data d = synthetic(m, {5.f, -0.3f}, 0.f, 0.f, 10.f, 51, 0.f, 1);
  d.y[10] += 0.5f;  // one point off the curve
  FitRequest req;
  req.ma = 2;
  MemoryConsole con;  // a pause would show as a line
  FitResult r;
  ASSERT_EQ(run_fit_procedure(con, m, d.input(), req, r), FitStatus::Ok);
  double chisq = 0.0;
  for (std::size_t i = 0; i < d.x.size(); ++i) {
    const double res = d.y[i] - r.a[0] * std::exp(r.a[1] * d.x[i]);
    chisq += res * res;
  }
  EXPECT_NEAR(r.chisq, chisq, 1e-4 * chisq + 1e-6);
  EXPECT_GT(r.variance(0), 0.f);
  EXPECT_GT(r.variance(1), 0.f);
}

}  // namespace
}  // namespace verto
