// Whole commands over a full data set of 50000 points: MATH with a typical
// expression (one compile, then per point the variables, an evaluation
// and a pop), STAT (moments, sum and the median's sort) and BIN (sort,
// binning and drawing). Each iteration runs the command line as typed.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace {

using namespace verto;

struct FullSession {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  FullSession() {
    con.set_discard(true);
    s.ws.Npts = kMaxNpts;
    for (int i = 0; i < kMaxNpts; ++i) {
      const float t = 0.001f * static_cast<float>(i);
      s.ws.X[i] = t;
      s.ws.Y[i] = std::sin(7.f * t) * 100.f + static_cast<float>(i % 13);
      s.ws.S[i] = 1.f + 0.01f * static_cast<float>(i % 7);
    }
  }
};

void run_command(benchmark::State& state, const char* line) {
  FullSession f;
  for (auto _ : state) {
    dispatch(f.s, line);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kMaxNpts);
}

void BM_MathCommand(benchmark::State& state) {
  run_command(state, "MATH Y=SIN(X)*EXP(-X/10)+2");
}
BENCHMARK(BM_MathCommand)->Unit(benchmark::kMillisecond);

void BM_StatCommand(benchmark::State& state) { run_command(state, "STAT Y"); }
BENCHMARK(BM_StatCommand)->Unit(benchmark::kMillisecond);

void BM_BinCommand(benchmark::State& state) { run_command(state, "BIN 50 Y"); }
BENCHMARK(BM_BinCommand)->Unit(benchmark::kMillisecond);

}  // namespace
