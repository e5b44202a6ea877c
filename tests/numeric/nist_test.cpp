// Accuracy on NIST StRD reference problems, with tolerances that single
// precision arithmetic can meet. The certified values are those printed in
// each file's header.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numeric/fpoly.h"
#include "numeric/lfit.h"
#include "numeric/moment.h"
#include "numeric/mrqmin.h"
#include "core/memory_console.h"

namespace verto {
namespace {

// The numeric rows of a StRD file: every line from line 61 on, split into
// columns (the header occupies lines 1 to 60 in all of these files).
std::vector<std::vector<double>> read_rows(const std::string& name) {
  std::ifstream in(std::string(VERTO_TEST_DATA_DIR) + "/nist/" + name);
  std::vector<std::vector<double>> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number < 61) continue;
    std::istringstream fields(line);
    std::vector<double> row;
    for (double v; fields >> v;) row.push_back(v);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

struct XY {
  std::vector<float> x, y, sig;
};

// Columns y, x as in the regression files; unit weights.
XY read_xy(const std::string& name, std::size_t expected) {
  XY d;
  for (const auto& r : read_rows(name)) {
    if (r.size() != 2) continue;
    d.y.push_back(static_cast<float>(r[0]));
    d.x.push_back(static_cast<float>(r[1]));
    d.sig.push_back(1.f);
  }
  EXPECT_EQ(d.x.size(), expected) << name;
  return d;
}

void expect_rel(double got, double certified, double rel, const char* what) {
  EXPECT_NEAR(got, certified, rel * std::fabs(certified)) << what;
}

constexpr int kLd = 9;

struct LinearResult {
  std::vector<float> a;
  std::vector<float> covar = std::vector<float>(kLd * kLd);
  float chisq = 0.f;
};

LinearResult poly_fit(const XY& d, int ma) {
  MemoryConsole con;
  LinearResult r;
  r.a.assign(static_cast<std::size_t>(ma), 0.f);
  std::vector<int> lista(static_cast<std::size_t>(ma));
  for (int j = 0; j < ma; ++j) lista[j] = j + 1;
  EXPECT_TRUE(report(con, Lfit(d.x, d.y, d.sig, static_cast<int>(d.x.size()), r.a, ma, lista, ma,
                   r.covar, kLd, r.chisq, Fpoly)));
  EXPECT_TRUE(con.lines().empty());
  return r;
}

// Standard deviation of estimate j: sqrt(covar(j,j) * chisq / (n - p)).
double std_error(const LinearResult& r, int j, std::size_t n) {
  const double p = static_cast<double>(r.a.size());
  return std::sqrt(r.covar[(j - 1) * (kLd + 1)] * r.chisq / (static_cast<double>(n) - p));
}

TEST(Nist, NorrisStraightLine) {
  const XY d = read_xy("Norris.dat", 36);
  const LinearResult r = poly_fit(d, 2);
  expect_rel(r.a[0], -0.262323073774029, 2e-3, "B0");
  expect_rel(r.a[1], 1.00211681802045, 1e-5, "B1");
  expect_rel(r.chisq, 26.6173985294224, 1e-4, "residual sum of squares");
  expect_rel(std_error(r, 1, 36), 0.232818234301152, 1e-3, "sd B0");
  expect_rel(std_error(r, 2, 36), 0.429796848199937E-03, 1e-3, "sd B1");
}

TEST(Nist, PontiusQuadratic) {
  const XY d = read_xy("Pontius.dat", 40);
  const LinearResult r = poly_fit(d, 3);
  expect_rel(r.a[0], 0.673565789473684E-03, 2e-2, "B0");
  expect_rel(r.a[1], 0.732059160401003E-06, 1e-4, "B1");
  expect_rel(r.a[2], -0.316081871345029E-14, 3e-3, "B2");
  expect_rel(r.chisq, 0.155761768796992E-05, 1e-3, "residual sum of squares");
  expect_rel(std_error(r, 1, 40), 0.107938612033077E-03, 1e-3, "sd B0");
  expect_rel(std_error(r, 2, 40), 0.157817399981659E-09, 1e-3, "sd B1");
  expect_rel(std_error(r, 3, 40), 0.486652849992036E-16, 1e-3, "sd B2");
}

float misra1a(float x, std::span<const float> b, std::span<float> dyda) {
  const float e = std::exp(-b[1] * x);
  dyda[0] = 1.f - e;
  dyda[1] = b[0] * x * e;
  return b[0] * (1.f - e);
}

TEST(Nist, Misra1aFromBothCertifiedStarts) {
  const XY d = read_xy("Misra1a.dat", 14);
  for (const std::vector<float>& start : {std::vector<float>{500.f, 1e-4f},
                                          std::vector<float>{250.f, 5e-4f}}) {
    MemoryConsole con;
    MrqminState state;
    std::vector<float> a = start, covar(kLd * kLd), alpha(kLd * kLd);
    std::vector<int> lista{1, 2};
    float chisq = 0.f;
    float alamda = -1.f;
    for (int it = 0; it < 100; ++it)  // start 1 needs about 75
      ASSERT_TRUE(report(con, Mrqmin(state, d.x, d.y, d.sig, 14, a, 2, lista, 2, covar, alpha, kLd,
                         chisq, misra1a, alamda)));
    alamda = 0.f;
    ASSERT_TRUE(report(con, Mrqmin(state, d.x, d.y, d.sig, 14, a, 2, lista, 2, covar, alpha, kLd,
                       chisq, misra1a, alamda)));
    expect_rel(a[0], 2.3894212918E+02, 1e-3, "b1");
    expect_rel(a[1], 5.5015643181E-04, 1e-3, "b2");
    expect_rel(chisq, 1.2455138894E-01, 1e-2, "residual sum of squares");
    const double s2 = chisq / 12.0;
    expect_rel(std::sqrt(covar[0] * s2), 2.7070075241E+00, 2e-2, "sd b1");
    expect_rel(std::sqrt(covar[kLd + 1] * s2), 7.2668688436E-06, 2e-2, "sd b2");
    EXPECT_TRUE(con.lines().empty());
  }
}

std::vector<float> read_column(const std::string& name) {
  std::vector<float> v;
  for (const auto& r : read_rows(name))
    if (r.size() == 1) v.push_back(static_cast<float>(r[0]));
  return v;
}

TEST(Nist, UnivariateMeansAndDeviations) {
  struct Case {
    const char* file;
    std::size_t n;
    double mean, sd, mean_tol, sd_rel;
  };
  for (const Case& c : {Case{"NumAcc1.dat", 3, 10000002.0, 1.0, 0.0, 0.0},
                        Case{"Michelso.dat", 100, 299.8524, 0.0790105478190518, 1e-4, 1e-3},
                        Case{"Mavro.dat", 50, 2.001856, 0.000429123454003053, 1e-6, 1e-2}}) {
    const std::vector<float> v = read_column(c.file);
    ASSERT_EQ(v.size(), c.n) << c.file;
    MemoryConsole con;
    Moments m;
    ASSERT_TRUE(report(con, Moment(v, static_cast<int>(v.size()), m)));
    EXPECT_NEAR(m.ave, c.mean, c.mean_tol) << c.file;
    EXPECT_NEAR(m.sdev, c.sd, c.sd_rel * c.sd) << c.file;
  }
}

}  // namespace
}  // namespace verto
