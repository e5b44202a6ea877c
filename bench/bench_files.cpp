// READ of a 50000-line, 3-column data file and WRITE of 50000 points,
// each as the whole command (file open, parse or format, close) in a
// scratch directory. Times are per command; the target is under 20 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace {

using namespace verto;
namespace fs = std::filesystem;

constexpr int kPoints = 50000;

// A scratch directory that is the current directory while it lives.
struct Scratch {
  Scratch() {
    old = fs::current_path();
    dir = fs::temp_directory_path() / ("verto-bench-files-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  ~Scratch() {
    fs::current_path(old);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path old, dir;
};

void fill_points(Workspace& ws) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> d(-1e4f, 1e4f);
  for (int i = 0; i < kPoints; ++i) {
    ws.X[i] = 0.01f * static_cast<float>(i);
    ws.Y[i] = d(gen);
    ws.S[i] = d(gen) * 1e-3f;
  }
  ws.Npts = kPoints;
}

void BM_Read50000Lines3Columns(benchmark::State& state) {
  Scratch scratch;
  MemoryConsole con;
  con.set_discard(true);
  InertSystemServices sys;
  Session s(con, sys, verto::command_table());
  fill_points(s.ws);
  s.ws.clobber = 0;
  s.ws.form = 4;
  dispatch(s, "WRITE data.dat");
  s.ws.auto_marker = 0;
  for (auto _ : state) {
    s.ws.Npts = 0;
    dispatch(s, "READ/4 data.dat");
    if (s.ws.Npts != kPoints) {
      state.SkipWithError("wrong point count");
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size("data.dat"));
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_Read50000Lines3Columns)->Unit(benchmark::kMillisecond);

void BM_Write50000Points(benchmark::State& state) {
  Scratch scratch;
  MemoryConsole con;
  con.set_discard(true);
  InertSystemServices sys;
  Session s(con, sys, verto::command_table());
  fill_points(s.ws);
  s.ws.clobber = 0;
  s.ws.form = 4;
  for (auto _ : state) dispatch(s, "WRITE out.dat");
  if (fs::file_size("out.dat") == 0) state.SkipWithError("nothing written");
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_Write50000Points)->Unit(benchmark::kMillisecond);

}  // namespace
