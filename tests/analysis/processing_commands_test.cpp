// Processing commands on sets too large for a transcript: SMOOTH against
// the plain kernels on sorted copies, its status bar, FFT sizes, and
// AVERAGE against a direct grouping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "analysis/smooth_kernels.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"

namespace verto {
namespace {

class CountingConsole : public MemoryConsole {
 public:
  std::vector<std::string> overwrites;

 protected:
  void do_overwrite(std::string_view text) override {
    overwrites.emplace_back(text);
    MemoryConsole::do_overwrite(text);
  }
};

struct Fixture {
  CountingConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};

  void fill_random(int n, int form, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> u(0.f, 100.f);
    for (int i = 0; i < n; ++i) {
      s.ws.X[static_cast<std::size_t>(i)] = u(gen);
      s.ws.Y[static_cast<std::size_t>(i)] = u(gen);
      s.ws.S[static_cast<std::size_t>(i)] = u(gen);
    }
    s.ws.Npts = n;
    s.ws.form = form;
  }
};

// The points ordered by X as SMOOTH orders them (ties cannot occur with
// these random values).
std::vector<int> order_by_x(const Workspace& ws) {
  std::vector<int> idx(static_cast<std::size_t>(ws.Npts));
  std::iota(idx.begin(), idx.end(), 0);
  std::sort(idx.begin(), idx.end(), [&](int a, int b) {
    return ws.X[static_cast<std::size_t>(a)] < ws.X[static_cast<std::size_t>(b)];
  });
  return idx;
}

// Finely spaced X far from zero (400.00 ... 429.99): the slopes agree with
// the double-precision derivative of y = (x - 410)^2 / 2 + 3x, and no pause
// interrupts the command.
TEST(DerivativeCommand, FineStepsFarFromZeroGiveTheTrueSlopes) {
  Fixture f;
  const int n = 3000;
  for (int i = 0; i < n; ++i) {
    const double x = 400.0 + 0.01 * i;
    f.s.ws.X[static_cast<std::size_t>(i)] = static_cast<float>(x);
    f.s.ws.Y[static_cast<std::size_t>(i)] = static_cast<float>(0.5 * (x - 410) * (x - 410) + 3 * x);
  }
  f.s.ws.Npts = n;
  f.s.ws.form = 3;
  for (const char* command : {"D", "DD"}) {
    f.con.clear();
    dispatch(f.s, command);
    EXPECT_EQ(f.con.text().find("singular"), std::string::npos) << f.con.text();
    ASSERT_GT(f.s.ws.Nline, 40) << command;
    for (int i = 0; i < f.s.ws.Nline; ++i) {
      const double xm = f.s.ws.LX[static_cast<std::size_t>(i)];
      const double want = command[1] == 'D' ? 1.0 : (xm - 410.0) + 3.0;
      EXPECT_NEAR(f.s.ws.LY[static_cast<std::size_t>(i)], want, 2e-3) << command << " at " << xm;
    }
  }
}

TEST(SmoothCommand, GaussianEqualsThePlainLoopOnSortedDataInBothForms) {
  for (int form : {3, 7}) {
    Fixture f;
    f.fill_random(2000, form, 5u + static_cast<unsigned>(form));
    std::vector<float> x, y, z;
    for (int i : order_by_x(f.s.ws)) {
      x.push_back(f.s.ws.X[static_cast<std::size_t>(i)]);
      y.push_back(f.s.ws.Y[static_cast<std::size_t>(i)]);
      z.push_back(f.s.ws.S[static_cast<std::size_t>(i)]);
    }
    const bool plane = form == 7;
    std::vector<float> want(x.size());
    const float window = 7.5f;
    gaussian_smooth_reference(SmoothData{x, y, plane ? z : y, 2000, plane},
                              window * window / (4.f * std::log(2.f)), want);
    dispatch(f.s, "SMOOTH 7.5");
    std::span<const float> got = plane ? f.s.ws.S : f.s.ws.Y;
    for (std::size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(f.s.ws.X[i], x[i]);
      ASSERT_EQ(got[i], want[i]) << "form " << form << " point " << i;
      // The other array is carried along unchanged.
      ASSERT_EQ(plane ? f.s.ws.Y[i] : f.s.ws.S[i], plane ? y[i] : z[i]);
    }
  }
}

TEST(SmoothCommand, StatusBarIsDrawnOnlyWhenItGrows) {
  Fixture f;
  f.fill_random(50000, 3, 1);
  dispatch(f.s, "SMOOTH 0.01");
  const auto& o = f.con.overwrites;
  ASSERT_GE(o.size(), 3u);
  EXPECT_LE(o.size(), 22u);  // 21 bar lengths and "Done!"
  EXPECT_EQ(o.back(), "Status: Done!                  ");
  EXPECT_EQ(o[o.size() - 2], "Status: ********************");
  for (std::size_t i = 1; i + 1 < o.size(); ++i)
    EXPECT_LT(std::count(o[i - 1].begin(), o[i - 1].end(), '*'),
              std::count(o[i].begin(), o[i].end(), '*'));
  EXPECT_EQ(f.con.lines().back(), "Status: Done!                  ");
}

TEST(SmoothCommand, MedianEqualsSortingEachWindow) {
  for (int form : {3, 7}) {
    Fixture f;
    f.fill_random(1500, form, 9);
    std::vector<float> x, y, z;
    for (int i : order_by_x(f.s.ws)) {
      x.push_back(f.s.ws.X[static_cast<std::size_t>(i)]);
      y.push_back(f.s.ws.Y[static_cast<std::size_t>(i)]);
      z.push_back(f.s.ws.S[static_cast<std::size_t>(i)]);
    }
    const bool plane = form == 7;
    std::vector<float> want(x.size());
    median_smooth_reference(f.con, SmoothData{x, y, plane ? z : y, 1500, plane}, 6.f, want);
    dispatch(f.s, "SMOOTH/M 12");
    std::span<const float> got = plane ? f.s.ws.S : f.s.ws.Y;
    for (std::size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << "form " << form << " point " << i;
  }
}

TEST(FftCommand, KeepsHalfOfTheLargestPowerOfTwo) {
  // Exact powers of two keep their own size; one below gives the next
  // lower power.
  const std::map<int, int> sizes = {{3, 1}, {4, 2}, {1023, 256}, {1024, 512},
                                    {32768, 16384}, {50000, 16384}};
  for (auto [n, half] : sizes) {
    Fixture f;
    f.fill_random(n, 3, 2);
    dispatch(f.s, "FFT");
    EXPECT_EQ(f.s.ws.Npts, half) << n;
  }
}

TEST(AverageCommand, MatchesGroupMeansOnManyPoints) {
  // 20000 points on 100 X values: each group's Y is its mean and S the
  // error of the mean.
  Fixture f;
  std::mt19937 gen(4);
  std::uniform_int_distribution<int> ux(0, 99);
  std::normal_distribution<float> noise(0.f, 1.f);
  std::map<int, std::vector<double>> groups;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const int x = ux(gen);
    const float y = static_cast<float>(x) + noise(gen);
    f.s.ws.X[static_cast<std::size_t>(i)] = static_cast<float>(x);
    f.s.ws.Y[static_cast<std::size_t>(i)] = y;
    groups[x].push_back(y);
  }
  f.s.ws.Npts = n;
  f.s.ws.form = 3;
  dispatch(f.s, "AVERAGE");
  ASSERT_EQ(f.s.ws.Npts, static_cast<int>(groups.size()));
  int k = 0;
  for (const auto& [x, ys] : groups) {
    const double mean = std::accumulate(ys.begin(), ys.end(), 0.0) / static_cast<double>(ys.size());
    double ss = 0;
    for (double y : ys) ss += (y - mean) * (y - mean);
    const double sd = std::sqrt(ss / static_cast<double>(ys.size() - 1));
    const auto u = static_cast<std::size_t>(k++);
    EXPECT_EQ(f.s.ws.X[u], static_cast<float>(x));
    EXPECT_NEAR(f.s.ws.Y[u], mean, 1e-4);
    EXPECT_NEAR(f.s.ws.S[u], sd / std::sqrt(static_cast<double>(ys.size())), 1e-4);
  }
}

}  // namespace
}  // namespace verto
