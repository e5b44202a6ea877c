#include "analysis/smooth_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "core/memory_console.h"

namespace verto {
namespace {

struct Cloud {
  std::vector<float> x, y, v;
  SmoothData data(bool plane) const {
    return SmoothData{x, y, v, static_cast<int>(x.size()), plane};
  }
};

// Random points with ascending X; `ties` rounds X to a coarse grid so that
// many points share an X value.
Cloud random_cloud(int n, unsigned seed, bool ties) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> ux(-50.f, 150.f), uv(-1000.f, 1000.f);
  Cloud c;
  for (int i = 0; i < n; ++i) {
    float x = ux(gen);
    if (ties) x = std::round(x / 5.f) * 5.f;
    c.x.push_back(x);
    c.y.push_back(ux(gen));
    c.v.push_back(uv(gen));
  }
  std::sort(c.x.begin(), c.x.end());
  return c;
}

bool same_bits(float a, float b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The Gaussian width parameter for a full width at half maximum.
float width_parameter(float window) { return window * window / (4.f * std::log(2.f)); }

// Both instruction-set variants of the fast form against the plain loop.
void expect_gaussian_matches(const Cloud& c, bool plane, float window, int threads) {
  const SmoothData d = c.data(plane);
  std::vector<float> ref(c.x.size());
  const float cw = width_parameter(window);
  gaussian_smooth_reference(d, cw, ref);
  for (bool wide : {true, false}) {
    std::vector<float> fast(c.x.size(), -7.f);
    gaussian_smooth(d, cw, fast, threads, [](int) {}, wide);
    for (std::size_t i = 0; i < ref.size(); ++i)
      ASSERT_TRUE(same_bits(ref[i], fast[i]))
          << "point " << i << " of " << ref.size() << ", window " << window << ", plane "
          << plane << ", threads " << threads << ", wide " << wide << ": " << ref[i]
          << " vs " << fast[i];
  }
}

TEST(GaussWeight, IsExpOfMinusTWithinTwoUlps) {
  EXPECT_EQ(gauss_weight(0.f), 1.f);
  for (float t = 0.f; t <= kWeightCut; t = std::nextafter(t + t * 1e-4f, 100.f)) {
    const float w = gauss_weight(t);
    const float want = static_cast<float>(std::exp(-static_cast<double>(t)));
    const float ulp = std::nextafter(want, 2.f) - want;
    ASSERT_LE(std::fabs(w - want), 2 * ulp) << "t = " << t;
    ASSERT_GE(w, std::numeric_limits<float>::min()) << "t = " << t;
  }
}

TEST(GaussWeight, IsExactlyZeroBeyondTheCutAndForNaN) {
  EXPECT_GT(gauss_weight(kWeightCut), 0.f);
  EXPECT_EQ(gauss_weight(std::nextafter(kWeightCut, 100.f)), 0.f);
  EXPECT_EQ(gauss_weight(1e30f), 0.f);
  EXPECT_EQ(gauss_weight(std::numeric_limits<float>::infinity()), 0.f);
  EXPECT_EQ(gauss_weight(std::numeric_limits<float>::quiet_NaN()), 0.f);
  // Never increasing: the cut of neighbour runs relies on it only through
  // the cut itself, but a rising weight would be a wrong exponential.
  float prev = 1.f;
  for (float t = 0.f; t <= kWeightCut + 1.f; t += 0.001f) {
    const float w = gauss_weight(t);
    ASSERT_LE(w, prev) << "t = " << t;
    prev = w;
  }
}

TEST(GaussianSmooth, FastEqualsAllPairsBitForBit) {
  // Windows from far below the point spacing to far beyond the X span
  // (200), on sizes around the eight-point blocks and larger sets.
  const float windows[] = {1e-6f, 0.01f, 0.3f, 2.f, 20.f, 150.f, 1000.f, 1e7f};
  for (int n : {1, 2, 7, 8, 9, 17, 300, 1500}) {
    for (bool ties : {false, true}) {
      const Cloud c = random_cloud(n, 100u + static_cast<unsigned>(n) + (ties ? 7u : 0u), ties);
      for (bool plane : {false, true})
        for (float w : windows) expect_gaussian_matches(c, plane, w, 2);
    }
  }
}

TEST(GaussianSmooth, ResultsDoNotDependOnTheThreadCount) {
  const Cloud c = random_cloud(3000, 42, false);
  for (bool plane : {false, true})
    for (int threads : {1, 3, 8}) expect_gaussian_matches(c, plane, 4.f, threads);
}

TEST(GaussianSmooth, UnsortedOrNonFiniteDataStillMatchTheReference) {
  Cloud c = random_cloud(400, 9, false);
  Cloud shuffled = c;
  std::mt19937 gen(3);
  std::shuffle(shuffled.x.begin(), shuffled.x.end(), gen);
  expect_gaussian_matches(shuffled, false, 3.f, 2);
  expect_gaussian_matches(shuffled, true, 3.f, 2);
  Cloud inf = c;
  inf.v[123] = std::numeric_limits<float>::infinity();
  expect_gaussian_matches(inf, false, 3.f, 2);
  Cloud nan = c;
  nan.y[10] = std::numeric_limits<float>::quiet_NaN();
  expect_gaussian_matches(nan, true, 3.f, 2);
}

TEST(GaussianSmooth, KnownValues) {
  // Two points one window apart weigh each other by one half.
  Cloud c;
  c.x = {0.f, 1.f};
  c.y = {0.f, 0.f};
  c.v = {0.f, 3.f};
  std::vector<float> out(2);
  gaussian_smooth(c.data(false), width_parameter(2.f), out, 1, [](int) {});
  EXPECT_NEAR(out[0], 1.f, 1e-6f);  // (0 * 1 + 3 * 0.5) / 1.5
  EXPECT_NEAR(out[1], 2.f, 1e-6f);
  // A window far wider than the data gives every point the mean.
  const Cloud r = random_cloud(50, 5, false);
  std::vector<float> wide(50);
  gaussian_smooth(r.data(false), width_parameter(1e8f), wide, 2, [](int) {});
  double mean = 0;
  for (float v : r.v) mean += v;
  mean /= 50;
  for (float v : wide) EXPECT_NEAR(v, mean, 1e-2);
}

TEST(GaussianSmooth, ReportsProgressOnTheCallingThreadUpToN) {
  const Cloud c = random_cloud(5000, 11, false);
  std::vector<float> out(c.x.size());
  std::vector<int> reports;
  const auto caller = std::this_thread::get_id();
  bool other_thread = false;
  gaussian_smooth(c.data(false), width_parameter(5.f), out, 2, [&](int done) {
    if (std::this_thread::get_id() != caller) other_thread = true;
    reports.push_back(done);
  });
  EXPECT_FALSE(other_thread);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), 5000);
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_EQ(std::count(reports.begin(), reports.end(), 5000), 1);
}

TEST(RunInChunks, CoversEveryItemOnceWithAnyThreadCount) {
  for (int threads : {1, 2, 5}) {
    for (int count : {0, 1, 10, 997}) {
      std::vector<std::atomic<int>> hits(static_cast<std::size_t>(count));
      int last = -1;
      run_in_chunks(count, 7, threads,
                    [&](int b, int e) {
                      for (int i = b; i < e; ++i) hits[static_cast<std::size_t>(i)]++;
                    },
                    [&](int done) {
                      EXPECT_GE(done, last);
                      last = done;
                    });
      EXPECT_EQ(last, count);
      for (auto& h : hits) EXPECT_EQ(h.load(), 1);
    }
  }
}

void expect_median_matches(const Cloud& c, bool plane, float half, int threads) {
  MemoryConsole con;
  const SmoothData d = c.data(plane);
  std::vector<float> ref(c.x.size()), fast(c.x.size(), -7.f);
  EXPECT_TRUE(median_smooth_reference(con, d, half, ref));
  median_smooth(con, d, half, fast, threads);
  for (std::size_t i = 0; i < ref.size(); ++i)
    ASSERT_TRUE(ref[i] == fast[i] || (std::isnan(ref[i]) && std::isnan(fast[i])))
        << "point " << i << ", half " << half << ", plane " << plane << ": " << ref[i]
        << " vs " << fast[i];
  EXPECT_TRUE(con.lines().empty());  // no pause, no message
}

TEST(MedianSmooth, SlidingWindowEqualsSortingEachWindow) {
  for (int n : {1, 2, 3, 10, 257, 1200}) {
    for (bool ties : {false, true}) {
      Cloud c = random_cloud(n, 200u + static_cast<unsigned>(n), ties);
      if (ties)  // repeated values as well as repeated X
        for (float& v : c.v) v = std::round(v / 300.f);
      for (bool plane : {false, true})
        for (float half : {0.f, 0.05f, 1.f, 10.f, 60.f, 1e6f})
          expect_median_matches(c, plane, half, 2);
    }
  }
}

TEST(MedianSmooth, ReplacesASpikeByItsNeighbours) {
  MemoryConsole con;
  Cloud c;
  for (int i = 1; i <= 9; ++i) {
    c.x.push_back(static_cast<float>(i));
    c.y.push_back(0.f);
    c.v.push_back(static_cast<float>(i % 2));  // 1 0 1 0 1 0 1 0 1
  }
  c.v[4] = 100.f;  // the spike at X = 5
  std::vector<float> out(9);
  median_smooth(con, c.data(false), 1.f, out, 1);  // window 2: X - 1 .. X + 1
  EXPECT_EQ(out[4], 0.f);   // median of 0, 100, 0
  EXPECT_EQ(out[0], 0.5f);  // two points: mean of 1 and 0
  EXPECT_EQ(out[8], 0.5f);
  EXPECT_EQ(out[1], 1.f);   // 1, 0, 1
  EXPECT_EQ(out[3], 1.f);   // 1, 0, 100
  // Half a window of 0 keeps every value when no X repeats.
  median_smooth(con, c.data(false), 0.f, out, 1);
  EXPECT_EQ(out, c.v);
}

TEST(MedianSmooth, UnsortedAndNaNDataFallBackToTheReference) {
  Cloud c = random_cloud(300, 77, true);
  std::mt19937 gen(1);
  std::shuffle(c.x.begin(), c.x.end(), gen);
  expect_median_matches(c, false, 3.f, 2);
  expect_median_matches(c, true, 3.f, 2);
  Cloud nan = random_cloud(300, 78, false);
  nan.v[17] = std::numeric_limits<float>::quiet_NaN();
  expect_median_matches(nan, false, 3.f, 2);
}

}  // namespace
}  // namespace verto
