// Timings of the numeric kernels and fitting engines at the workspace's
// full size of 50000 points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "numeric/fpoly.h"
#include "numeric/four1.h"
#include "numeric/indexx.h"
#include "numeric/lfit.h"
#include "numeric/mrqmin.h"
#include "numeric/sort.h"
#include "numeric/sort3.h"
#include "core/memory_console.h"

namespace verto {
namespace {

// Pauses cannot occur in these runs; the console keeps nothing.
class SilentConsole : public MemoryConsole {
 public:
  SilentConsole() { set_discard(true); }
};

constexpr int kPoints = 50000;

std::vector<float> random_values(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<float> u(-1000.f, 1000.f);
  std::vector<float> v(static_cast<std::size_t>(n));
  for (auto& x : v) x = u(gen);
  return v;
}

void BM_Sort(benchmark::State& state) {
  SilentConsole con;
  const std::vector<float> input = random_values(kPoints, 1);
  std::vector<float> work(input.size());
  for (auto _ : state) {
    state.PauseTiming();
    work = input;
    state.ResumeTiming();
    benchmark::DoNotOptimize(report(con, Sort(kPoints, work)));
  }
}
BENCHMARK(BM_Sort)->Unit(benchmark::kMicrosecond);

void BM_Indexx(benchmark::State& state) {
  SilentConsole con;
  const std::vector<float> input = random_values(kPoints, 2);
  std::vector<int> indx(input.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(report(con, Indexx(kPoints, input, indx)));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Indexx)->Unit(benchmark::kMicrosecond);

void BM_Sort3(benchmark::State& state) {
  SilentConsole con;
  const std::vector<float> a0 = random_values(kPoints, 3), b0 = random_values(kPoints, 4),
                           c0 = random_values(kPoints, 5);
  std::vector<float> a(a0.size()), b(b0.size()), c(c0.size()), w(a0.size());
  std::vector<int> iw(a0.size());
  for (auto _ : state) {
    state.PauseTiming();
    a = a0;
    b = b0;
    c = c0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(report(con, Sort3(kPoints, a, b, c, w, iw)));
  }
}
BENCHMARK(BM_Sort3)->Unit(benchmark::kMicrosecond);

void BM_Four1(benchmark::State& state) {
  constexpr int nn = 32768;
  const std::vector<float> input = random_values(2 * nn, 6);
  std::vector<float> work(input.size());
  for (auto _ : state) {
    state.PauseTiming();
    work = input;
    state.ResumeTiming();
    benchmark::DoNotOptimize(Four1(work, nn, 1));
  }
}
BENCHMARK(BM_Four1)->Unit(benchmark::kMicrosecond);

struct Points {
  std::vector<float> x, y, sig;
};

Points curve(auto&& f) {
  Points p;
  std::mt19937 gen(7);
  std::normal_distribution<float> noise(0.f, 0.01f);
  for (int i = 0; i < kPoints; ++i) {
    const float x = -1.f + 2.f * static_cast<float>(i) / kPoints;
    p.x.push_back(x);
    p.y.push_back(f(x) + noise(gen));
    p.sig.push_back(0.01f);
  }
  return p;
}

void BM_LfitPoly5(benchmark::State& state) {
  SilentConsole con;
  const Points p = curve([](float x) { return 1 + x - 2 * x * x + 0.5f * x * x * x - x * x * x * x; });
  std::vector<float> a(5), covar(81);
  std::vector<int> lista{1, 2, 3, 4, 5};
  float chisq = 0.f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        report(con, Lfit(p.x, p.y, p.sig, kPoints, a, 5, lista, 5, covar, 9, chisq, Fpoly)));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LfitPoly5)->Unit(benchmark::kMicrosecond);

float gaussian(float x, std::span<const float> a, std::span<float> dyda) {
  const float u = (x - a[1]) / a[2];
  const float e = std::exp(-u * u);
  const float y = a[0] * e;
  dyda[0] = e;
  dyda[1] = 2.f * (x - a[1]) * y / (a[2] * a[2]);
  dyda[2] = 2.f * (x - a[1]) * (x - a[1]) * y / (a[2] * a[2] * a[2]);
  return y;
}

// One iteration after the first: one pass over the data and one 3 x 3
// elimination.
void BM_MrqminIteration(benchmark::State& state) {
  SilentConsole con;
  const Points p = curve([](float x) { return 5.f * std::exp(-(x - 0.1f) * (x - 0.1f) / 0.09f); });
  MrqminState st;
  std::vector<float> a{4.f, 0.f, 0.4f}, covar(81), alpha(81);
  std::vector<int> lista{1, 2, 3};
  float chisq = 0.f, alamda = -1.f;
  benchmark::DoNotOptimize(report(con, Mrqmin(st, p.x, p.y, p.sig, kPoints, a, 3, lista, 3, covar,
                                  alpha, 9, chisq, gaussian, alamda)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(report(con, Mrqmin(st, p.x, p.y, p.sig, kPoints, a, 3, lista, 3, covar,
                                    alpha, 9, chisq, gaussian, alamda)));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MrqminIteration)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace verto
