// Timings of SMOOTH, AVERAGE and FFT on 50000 points. The Gaussian
// smoother is shown beside the plain single-threaded loop over all pairs
// (the column "vs_all_pairs" is how many times faster the fast form is);
// the window is given as a share of the X span.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "app/command_table.h"
#include "analysis/smooth_kernels.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"

namespace verto {
namespace {

constexpr int kPoints = 50000;
constexpr float kSpan = 1000.f;

struct Data {
  std::vector<float> x, y, v;
};

// X uniform over [0, kSpan] and sorted, as SMOOTH sorts it; noisy values.
const Data& smooth_data() {
  static const Data d = [] {
    std::mt19937 gen(2024);
    std::uniform_real_distribution<float> ux(0.f, kSpan), noise(-1.f, 1.f);
    Data r;
    for (int i = 0; i < kPoints; ++i) r.x.push_back(ux(gen));
    std::sort(r.x.begin(), r.x.end());
    for (int i = 0; i < kPoints; ++i) {
      r.y.push_back(ux(gen));
      r.v.push_back(std::sin(r.x[static_cast<std::size_t>(i)] / 50.f) + noise(gen));
    }
    return r;
  }();
  return d;
}

SmoothData smooth_input() {
  const Data& d = smooth_data();
  return SmoothData{d.x, d.y, d.v, kPoints, false};
}

float width_parameter(double share) {
  const float window = static_cast<float>(share) * kSpan;
  return window * window / (4.f * std::log(2.f));
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Seconds of one run of the all-pairs loop, measured once per window.
double all_pairs_seconds(double share) {
  static std::map<double, double> cache;
  auto it = cache.find(share);
  if (it != cache.end()) return it->second;
  std::vector<float> out(kPoints);
  const auto t0 = std::chrono::steady_clock::now();
  gaussian_smooth_reference(smooth_input(), width_parameter(share), out);
  benchmark::DoNotOptimize(out.data());
  return cache[share] = seconds_since(t0);
}

// Argument: the window in per mille of the X span (10000 = ten spans).
void BM_SmoothGaussian(benchmark::State& state) {
  const double share = static_cast<double>(state.range(0)) / 1000.0;
  std::vector<float> out(kPoints);
  const SmoothData in = smooth_input();
  const float c = width_parameter(share);
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    gaussian_smooth(in, c, out, 0, [](int) {});
    benchmark::DoNotOptimize(out.data());
    total += seconds_since(t0);
  }
  const double each = total / static_cast<double>(state.iterations());
  state.counters["threads"] = default_thread_count();
  state.counters["vs_all_pairs"] = all_pairs_seconds(share) / each;
}
BENCHMARK(BM_SmoothGaussian)
    ->Arg(1)->Arg(10)->Arg(100)->Arg(10000)
    ->Unit(benchmark::kMillisecond);

// The same on one thread: what the pair cut and the vector lanes give alone.
void BM_SmoothGaussianOneThread(benchmark::State& state) {
  const double share = static_cast<double>(state.range(0)) / 1000.0;
  std::vector<float> out(kPoints);
  const SmoothData in = smooth_input();
  const float c = width_parameter(share);
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    gaussian_smooth(in, c, out, 1, [](int) {});
    benchmark::DoNotOptimize(out.data());
    total += seconds_since(t0);
  }
  state.counters["vs_all_pairs"] =
      all_pairs_seconds(share) / (total / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SmoothGaussianOneThread)->Arg(10)->Arg(10000)->Unit(benchmark::kMillisecond);

// The all-pairs loop itself (measured right after the fast form above).
void BM_SmoothGaussianAllPairs(benchmark::State& state) {
  const double share = static_cast<double>(state.range(0)) / 1000.0;
  for (auto _ : state) state.SetIterationTime(all_pairs_seconds(share));
}
BENCHMARK(BM_SmoothGaussianAllPairs)
    ->Arg(1)->Arg(10)->Arg(100)->Arg(10000)
    ->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Running median with a window of 1 % of the span, beside sorting every
// window (Mdian1 per point).
void BM_SmoothMedian(benchmark::State& state) {
  MemoryConsole con;
  std::vector<float> out(kPoints);
  const SmoothData in = smooth_input();
  const float half = 0.01f * kSpan / 2.f;
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    median_smooth(con, in, half, out, 0);
    benchmark::DoNotOptimize(out.data());
    total += seconds_since(t0);
  }
  const auto t0 = std::chrono::steady_clock::now();
  median_smooth_reference(con, in, half, out);
  const double reference = seconds_since(t0);
  state.counters["vs_sorting_each"] = reference / (total / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SmoothMedian)->Unit(benchmark::kMillisecond);

// Whole commands on a session: the data are put back before every run.
struct CommandBench {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  std::vector<float> x, y, e;

  CommandBench(int form, int distinct_x) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> ux(0, distinct_x - 1);
    std::normal_distribution<float> noise(0.f, 1.f);
    for (int i = 0; i < kPoints; ++i) {
      x.push_back(static_cast<float>(ux(gen)));
      y.push_back(10.f + noise(gen));
      e.push_back(1.f + 0.1f * std::fabs(noise(gen)));
    }
    s.ws.form = form;
    s.ws.auto_marker = 0;
  }
  void reset() {
    std::copy(x.begin(), x.end(), s.ws.X.begin());
    std::copy(y.begin(), y.end(), s.ws.Y.begin());
    std::copy(e.begin(), e.end(), s.ws.S.begin());
    s.ws.Npts = kPoints;
    con.clear();
  }
};

void run_command(benchmark::State& state, int form, int distinct_x, const char* line) {
  CommandBench b(form, distinct_x);
  for (auto _ : state) {
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
    dispatch(b.s, line);
  }
  state.counters["Npts_after"] = b.s.ws.Npts;
}

// 50000 points on 1000 distinct X values: sort, median and moments of
// every group, with outlier rejection.
void BM_Average(benchmark::State& state) { run_command(state, 3, 1000, "AVERAGE/D"); }
BENCHMARK(BM_Average)->Unit(benchmark::kMillisecond);

void BM_AverageWeighted(benchmark::State& state) { run_command(state, 4, 1000, "AVERAGE"); }
BENCHMARK(BM_AverageWeighted)->Unit(benchmark::kMillisecond);

// 50000 points: a transform of 32768 points and the amplitudes.
void BM_Fft(benchmark::State& state) { run_command(state, 3, 50000, "FFT"); }
BENCHMARK(BM_Fft)->Unit(benchmark::kMillisecond);

// The whole SMOOTH command (sort, smoothing, status bar) with a 1 % window.
void BM_SmoothCommand(benchmark::State& state) { run_command(state, 3, 50000, "SMOOTH 500"); }
BENCHMARK(BM_SmoothCommand)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace verto
