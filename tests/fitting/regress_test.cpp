// REGRESS: the three straight lines, Pearson r, the report, the segments
// in the line data set and Npts restored on every way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "fitting/fit_session.h"
#include "fitting/regress.h"
#include "core/memory_console.h"

namespace verto {
namespace {

using test::FitSession;
using Lines = std::vector<std::string>;

RegressResult fit(const std::vector<float>& x, const std::vector<float>& y,
                  const std::vector<float>& sig = {}) {
  MemoryConsole con;  // a pause would show as a line
  std::vector<float> scratch(2 * x.size());
  RegressResult r;
  EXPECT_TRUE(regress_fit(con, x, y, sig, static_cast<int>(x.size()), scratch, r));
  EXPECT_TRUE(con.lines().empty());
  return r;
}

double abs_deviation(const std::vector<float>& x, const std::vector<float>& y, double a,
                     double b) {
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) s += std::fabs(y[i] - (a + b * x[i]));
  return s;
}

TEST(RegressFit, ExactLineGivesTheLineThreeTimes) {
  std::vector<float> x, y, s;
  for (int i = 0; i < 12; ++i) {
    x.push_back(static_cast<float>(i) * 0.5f);
    y.push_back(1.f + 2.f * x.back());
    s.push_back(i % 3 == 0 ? 0.f : 0.2f);  // zeros count as 1
  }
  const RegressResult r = fit(x, y, s);
  EXPECT_NEAR(r.ls.a, 1.f, 1e-6f);
  EXPECT_NEAR(r.ls.b, 2.f, 1e-6f);
  EXPECT_NEAR(r.robust.a, 1.f, 1e-6f);
  EXPECT_NEAR(r.robust.b, 2.f, 1e-6f);
  ASSERT_TRUE(r.has_weighted);
  EXPECT_NEAR(r.weighted.a, 1.f, 1e-5f);
  EXPECT_NEAR(r.weighted.b, 2.f, 1e-5f);
  EXPECT_FLOAT_EQ(r.r, 1.f);
  EXPECT_TRUE(r.r_defined);
  EXPECT_FALSE(fit(x, y).has_weighted);
}

TEST(RegressFit, RobustLineIgnoresAnOutlier) {
  std::vector<float> x, y;
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> jitter(-0.05f, 0.05f);
  for (int i = 0; i < 41; ++i) {
    x.push_back(static_cast<float>(i));
    y.push_back(3.f - 0.5f * x.back() + jitter(gen));
  }
  y[35] += 200.f;
  const RegressResult r = fit(x, y);
  EXPECT_GT(std::fabs(r.ls.b + 0.5f), 0.5f);  // least squares is pulled away
  EXPECT_NEAR(r.robust.b, -0.5f, 0.01f);
  EXPECT_NEAR(r.robust.a, 3.f, 0.1f);
  // The robust line minimises the sum of absolute deviations: nearby
  // slopes with their best intercepts do no better.
  const double best = abs_deviation(x, y, r.robust.a, r.robust.b);
  for (double db : {-0.01, -0.003, 0.003, 0.01}) {
    std::vector<float> d;
    for (std::size_t i = 0; i < x.size(); ++i) d.push_back(y[i] - (r.robust.b + db) * x[i]);
    std::sort(d.begin(), d.end());
    EXPECT_GE(abs_deviation(x, y, d[d.size() / 2], r.robust.b + db), best - 1e-3) << db;
  }
}

TEST(RegressFit, EvenCountTakesTheMeanOfTheTwoMiddleResiduals) {
  const std::vector<float> x = {1, 2, 3, 4, 5, 6};
  const std::vector<float> y = {2.1f, 3.9f, 6.3f, 7.8f, 10.4f, 11.7f};
  const RegressResult r = fit(x, y);
  std::vector<float> d;
  for (std::size_t i = 0; i < x.size(); ++i) d.push_back(y[i] - r.robust.b * x[i]);
  std::sort(d.begin(), d.end());
  // The intercept comes from the last slope evaluated, within the
  // bisection tolerance of the reported slope.
  EXPECT_NEAR(r.robust.a, (d[2] + d[3]) / 2.f, 0.05f);
  EXPECT_NEAR(r.robust.b, 2.f, 0.2f);
}

TEST(RegressFit, PearsonAndItsUndefinedCases) {
  const RegressResult anti = fit({1, 2, 3, 4}, {8, 6, 4, 2});
  EXPECT_FLOAT_EQ(anti.r, -1.f);
  const RegressResult flat = fit({1, 2, 3, 4}, {5, 5, 5, 5});
  EXPECT_FALSE(flat.r_defined);
  EXPECT_EQ(flat.r, -99.f);
  EXPECT_EQ(flat.ls.b, 0.f);
  EXPECT_EQ(flat.ls.a, 5.f);
  EXPECT_EQ(flat.robust.b, 0.f);
  EXPECT_EQ(flat.robust.a, 5.f);
  // Scattered points: r from its definition.
  const std::vector<float> x = {1, 2, 3, 4, 5}, y = {1, 3, 2, 5, 4};
  EXPECT_NEAR(fit(x, y).r, 0.8, 1e-6);  // Sxy 8, Sxx 10, Syy 10
  // All x equal: no slope.
  MemoryConsole con;  // a pause would show as a line
  std::vector<float> scratch(8);
  RegressResult r;
  EXPECT_FALSE(regress_fit(con, std::vector<float>{2, 2, 2}, std::vector<float>{1, 2, 3}, {}, 3,
                           scratch, r));
  EXPECT_FALSE(regress_fit(con, std::vector<float>{2}, std::vector<float>{1}, {}, 1, scratch, r));
}

TEST(RegressFit, WeightedFitFollowsTheSmallErrorBars) {
  // Three precise points on y = x, two loose ones far off.
  const std::vector<float> x = {0, 1, 2, 3, 4};
  const std::vector<float> y = {0, 1, 2, 8, -5};
  const std::vector<float> s = {0.01f, 0.01f, 0.01f, 100.f, 100.f};
  const RegressResult r = fit(x, y, s);
  ASSERT_TRUE(r.has_weighted);
  EXPECT_NEAR(r.weighted.b, 1.f, 1e-3f);
  EXPECT_NEAR(r.weighted.a, 0.f, 1e-3f);
  EXPECT_GT(std::fabs(r.ls.b - 1.f), 0.3f);
}

TEST(RegressCommand, ReportLayoutAndSegmentsInFormFour) {
  FitSession f;
  f.s.ws.form = 4;
  f.set_points({0, 1, 2, 3, 4.5f}, {1, 3, 5, 7, 10}, {1, 1, 1, 1, 1});
  const Lines out = f.run("REGRESS");
  ASSERT_EQ(out.size(), 12u);
  EXPECT_EQ(out[0], "");
  EXPECT_EQ(out[1], "");
  EXPECT_EQ(out[2], " Pearson correlation coefficient r = 1");
  EXPECT_EQ(out[3], "");
  EXPECT_EQ(out[4], "    Fit to y(x) = a + b x");
  EXPECT_EQ(out[5], "");
  EXPECT_EQ(out[6], " Type of fit                   a              b");
  EXPECT_EQ(out[7], " " + std::string(52, '-'));
  EXPECT_EQ(out[8], " Standard LSQ fit    1 2");
  EXPECT_EQ(out[9], " robust (median fit) 1 2");
  EXPECT_EQ(out[10].rfind(" weighted LSQ fit    ", 0), 0u);
  EXPECT_EQ(out[11], "");
  // Three segments over the rounded limits 0..5, one marker each.
  ASSERT_EQ(f.s.ws.Nline, 6);
  EXPECT_EQ(f.s.ws.LX[0], 0.f);
  EXPECT_EQ(f.s.ws.LX[1], 5.f);
  EXPECT_FLOAT_EQ(f.s.ws.LY[1], 11.f);
  ASSERT_EQ(f.s.ws.line_markers.count, 3);
  EXPECT_EQ(f.s.ws.line_markers.entries[0].index, 2);
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "std. LSQ fit");
  EXPECT_EQ(f.s.ws.line_markers.entries[1].index, 4);
  EXPECT_EQ(f.s.ws.line_markers.entries[1].label, "robust linear fit");
  EXPECT_EQ(f.s.ws.line_markers.entries[2].index, 6);
  EXPECT_EQ(f.s.ws.line_markers.entries[2].label, "weighted LSQ fit");
  EXPECT_EQ(f.s.ws.Npts, 5);
}

TEST(RegressCommand, FormThreeAddDataLimitsAndNoLine) {
  FitSession f;
  f.set_points({0.13f, 2, 4, 9.7f}, {1, 2, 3, 4});
  Lines out = f.run("REG");
  EXPECT_EQ(out.size(), 11u);  // no weighted row
  EXPECT_EQ(f.s.ws.Nline, 4);
  EXPECT_EQ(f.s.ws.LX[0], 0.f);
  EXPECT_EQ(f.s.ws.LX[3], 10.f);
  f.run("REGRESS/A");
  f.run("REGRESS/ADD");
  EXPECT_EQ(f.s.ws.Nline, 12);
  EXPECT_EQ(f.s.ws.line_markers.count, 6);
  EXPECT_EQ(f.s.ws.line_markers.entries[5].index, 12);
  f.run("REGRESS/D");
  EXPECT_EQ(f.s.ws.Nline, 4);
  EXPECT_EQ(f.s.ws.LX[0], 0.13f);
  EXPECT_EQ(f.s.ws.LX[1], 9.7f);
  f.run("REGRESS/NL");
  EXPECT_EQ(f.s.ws.Nline, 4);
  EXPECT_EQ(f.s.ws.line_markers.count, 2);
  // A range fits only its points; the line still spans all of them.
  f.set_points({0, 1, 2, 3, 4, 5}, {0, 1, 2, 30, 40, 50});
  out = f.run("REGRESS/1:3");
  EXPECT_EQ(out[8], " Standard LSQ fit    0 1");
  EXPECT_EQ(f.s.ws.LX[1], 5.f);
  EXPECT_EQ(f.s.ws.Npts, 6);
}

TEST(RegressCommand, DivideByZeroAndAllYEqual) {
  FitSession f;
  f.set_points({2, 2, 2}, {1, 2, 3});
  f.s.ws.Nline = 9;
  EXPECT_EQ(f.run("REGRESS"), Lines{"<<<VERTO!>>> Divide by zero error!"});
  EXPECT_EQ(f.s.ws.Npts, 3);
  EXPECT_EQ(f.s.ws.Nline, 9);
  EXPECT_EQ(f.run("REGRESS/2:2"), Lines{"<<<VERTO!>>> Divide by zero error!"});
  EXPECT_EQ(f.s.ws.Npts, 3);

  f.set_points({1, 2, 3}, {4, 4, 4});
  const Lines out = f.run("REGRESS");
  ASSERT_GT(out.size(), 3u);
  EXPECT_EQ(out[0], "<<<VERTO!>>> Divide by zero issues, setting r=-99.");
  EXPECT_EQ(out[3], " Pearson correlation coefficient r = -99");
  EXPECT_EQ(out[9], " Standard LSQ fit    4 0");
  EXPECT_EQ(f.s.ws.Nline, 4);
}

TEST(RegressCommand, AppendRefusedWhenFull) {
  FitSession f;
  f.set_points({1, 2, 3}, {1, 2, 4});
  f.s.ws.Nline = 49997;
  EXPECT_EQ(f.run("REGRESS/A").back(),
            "<<<VERTO!!!>>> The line data set has no room for 4 more points (lines = 49997, "
            "max 50000); no line added.");
  EXPECT_EQ(f.s.ws.Nline, 49997);
  f.s.ws.Nline = 0;
  f.s.ws.line_markers.count = 99;
  EXPECT_EQ(f.run("REGRESS/A").back(),
            "<<<VERTO!!!>>> The line-marker list is full (max 100); no line added.");
  EXPECT_EQ(f.s.ws.Nline, 0);
  f.s.ws.auto_marker = 0;
  f.run("REGRESS/A");
  EXPECT_EQ(f.s.ws.Nline, 4);
  EXPECT_EQ(f.s.ws.line_markers.count, 99);
}

}  // namespace
}  // namespace verto
