// Timings of the fitting commands on the workspace's full 50000 points:
// FIT GAUSSB, FIT POLY=3 and REGRESS, each a whole command from its line.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto {
namespace {

constexpr int kPoints = 50000;

struct BenchSession {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};

  BenchSession() {
    con.set_discard(true);
    s.ws.form = 3;
    std::mt19937 gen(3);
    std::normal_distribution<float> noise(0.f, 0.05f);
    for (int i = 0; i < kPoints; ++i) {
      const float x = 10.f * static_cast<float>(i) / static_cast<float>(kPoints - 1);
      const float d = (x - 5.f) / 1.2f;
      s.ws.X[i] = x;
      s.ws.Y[i] = 3.f * std::exp(-d * d) + 0.5f + 0.1f * x + noise(gen);
    }
    s.ws.Npts = kPoints;
  }
};

void run_command(benchmark::State& state, const char* line) {
  BenchSession b;
  for (auto _ : state) {
    dispatch(b.s, line);
    benchmark::DoNotOptimize(b.s.ws.LY[50]);
  }
}

void BM_FitGaussB(benchmark::State& state) { run_command(state, "FIT GAUSSB"); }
BENCHMARK(BM_FitGaussB)->Unit(benchmark::kMillisecond);

void BM_FitPoly3(benchmark::State& state) { run_command(state, "FIT POLY=3"); }
BENCHMARK(BM_FitPoly3)->Unit(benchmark::kMillisecond);

void BM_Regress(benchmark::State& state) { run_command(state, "REGRESS"); }
BENCHMARK(BM_Regress)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace verto
