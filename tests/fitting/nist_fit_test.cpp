// FIT and REGRESS on NIST StRD reference problems, through the commands
// and their printed reports, with tolerances single precision can meet.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/fit_session.h"

namespace verto {
namespace {

using test::FitSession;

// Loads the (y, x) rows of a StRD file (data from line 61 on) as points.
void load(FitSession& f, const std::string& name, std::size_t expected) {
  std::ifstream in(std::string(VERTO_TEST_DATA_DIR) + "/nist/" + name);
  std::vector<float> x, y;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number < 61) continue;
    std::istringstream fields(line);
    double yv = 0, xv = 0;
    if (fields >> yv >> xv) {
      y.push_back(static_cast<float>(yv));
      x.push_back(static_cast<float>(xv));
    }
  }
  ASSERT_EQ(x.size(), expected) << name;
  f.set_points(x, y);
}

// Values of the parameter table, a0 first.
std::vector<double> parameters(const std::vector<std::string>& lines) {
  std::vector<double> a;
  bool table = false;
  for (const auto& l : lines) {
    if (l.find("-----") != std::string::npos && l.find("+/-") == std::string::npos &&
        l.find("Type") == std::string::npos) {
      table = true;
      continue;
    }
    if (!table) continue;
    if (l.empty()) break;
    std::istringstream fields(l);
    int j = 0;
    double v = 0;
    fields >> j >> v;
    a.push_back(v);
  }
  return a;
}

void expect_rel(double got, double certified, double rel, const char* what) {
  EXPECT_NEAR(got, certified, rel * std::fabs(certified)) << what;
}

TEST(NistFit, NorrisByRegressAndPolyOne) {
  FitSession f;
  load(f, "Norris.dat", 36);
  const auto out = f.run("REGRESS");
  const auto ls = f.numbers_after(out, "Standard LSQ fit   ");
  ASSERT_EQ(ls.size(), 2u);
  expect_rel(ls[0], -0.262323073774029, 1e-3, "B0 (REGRESS)");
  expect_rel(ls[1], 1.00211681802045, 1e-6, "B1 (REGRESS)");
  const auto r = f.numbers_after(out, "Pearson correlation coefficient r =");
  ASSERT_EQ(r.size(), 1u);
  // R-squared 0.999993745883712.
  expect_rel(r[0] * r[0], 0.999993745883712, 1e-6, "R squared");

  const auto a = parameters(f.run("FIT POLY=1"));
  ASSERT_EQ(a.size(), 2u);
  expect_rel(a[0], -0.262323073774029, 2e-3, "B0 (POLY=1)");
  expect_rel(a[1], 1.00211681802045, 1e-5, "B1 (POLY=1)");
  const auto chi = f.numbers_after(f.run("FIT/NL POLY=1"), "reduced ChiSq = ");
  ASSERT_EQ(chi.size(), 1u);
  // Residual sum of squares 26.6173985294224 over 34 degrees of freedom.
  expect_rel(chi[0], 26.6173985294224 / 34.00001, 1e-4, "reduced chi-square");
}

TEST(NistFit, PontiusByPolyTwo) {
  FitSession f;
  load(f, "Pontius.dat", 40);
  const auto a = parameters(f.run("FIT POLY=2"));
  ASSERT_EQ(a.size(), 3u);
  expect_rel(a[0], 0.673565789473684E-03, 2e-2, "B0");
  expect_rel(a[1], 0.732059160401003E-06, 1e-4, "B1");
  expect_rel(a[2], -0.316081871345029E-14, 3e-3, "B2");
}

TEST(NistFit, NoInt1ByPowOne) {
  FitSession f;
  load(f, "NoInt1.dat", 11);
  const auto out = f.run("FIT POW=1");
  const auto a = parameters(out);
  ASSERT_EQ(a.size(), 1u);
  expect_rel(a[0], 2.07438016528926, 1e-6, "B1");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit power=1.0000");
}

TEST(NistFit, Wampler1ByPolyFive) {
  FitSession f;
  load(f, "Wampler1.dat", 21);
  ASSERT_EQ(parameters(f.run("FIT/D POLY=5")).size(), 6u);
  // Exact data on 1 + x + ... + x^5, x = 0..20. The normal equations of
  // x^0..x^10 leave single precision no digits for the coefficients one
  // by one, but the fitted curve still follows the data closely.
  ASSERT_EQ(f.s.ws.Nline, 100);
  double worst = 0.0;
  for (int i = 0; i < 100; ++i) {
    const double x = f.s.ws.LX[i];
    const double y = 1 + x + x * x + x * x * x + x * x * x * x + x * x * x * x * x;
    worst = std::max(worst, std::fabs(f.s.ws.LY[i] - y) / (y + 1e4));
  }
  EXPECT_LT(worst, 5e-3);
}

TEST(NistFit, Eckerle4ByGaussian) {
  // y = (b1/b2) exp(-0.5 ((x-b3)/b2)^2) is GAUSSIAN with a0 = b1/b2,
  // a1 = b3 and a2 = sqrt(2) b2: the same least-squares problem.
  FitSession f;
  load(f, "Eckerle4.dat", 35);
  const auto out = f.run("FIT GAUSSIAN");
  const auto a = parameters(out);
  ASSERT_EQ(a.size(), 3u);
  const double b1 = 1.5543827178, b2 = 4.0888321754, b3 = 451.54121844;
  expect_rel(a[0], b1 / b2, 1e-4, "b1/b2");
  expect_rel(a[1], b3, 1e-6, "b3");
  expect_rel(a[2], std::sqrt(2.0) * b2, 1e-4, "sqrt(2) b2");
  const auto chi = f.numbers_after(out, "reduced ChiSq = ");
  ASSERT_EQ(chi.size(), 1u);
  // Residual sum of squares 1.4635887487E-03 over 32 degrees of freedom.
  expect_rel(chi[0], 1.4635887487E-03 / 32.00001, 1e-2, "reduced chi-square");
}

}  // namespace
}  // namespace verto
