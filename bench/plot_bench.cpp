// PLOT/PS, PLOT/PRINT and PLOT/T of 50000 points, through the command as a
// user types it (model, renderer, file devices, console).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace {

namespace fs = std::filesystem;

struct PlotFixture {
  PlotFixture() {
    old = fs::current_path();
    std::random_device rd;
    dir = fs::temp_directory_path() / ("verto-bench-" + std::to_string(rd()));
    fs::create_directories(dir);
    fs::current_path(dir);
    auto& ws = s->ws;
    ws.form = 4;
    ws.Npts = verto::kMaxNpts;
    for (int i = 0; i < ws.Npts; ++i) {
      const float x = static_cast<float>(i) * 0.001f;
      ws.X[i] = x;
      ws.Y[i] = std::sin(x) * 100.f + static_cast<float>(i % 7);
      ws.S[i] = 0.5f + static_cast<float>(i % 3);
    }
    for (int at : {10000, 20000, 30000, 40000})
      verto::add_point_marker(ws, con, at, "block");
    ws.Nline = 100;
    for (int i = 0; i < ws.Nline; ++i) {
      ws.LX[i] = static_cast<float>(i) * 0.5f;
      ws.LY[i] = std::sin(ws.LX[i]) * 100.f;
    }
  }
  ~PlotFixture() {
    std::error_code ec;
    fs::current_path(old, ec);
    fs::remove_all(dir, ec);
  }
  fs::path old, dir;
  verto::MemoryConsole con;
  verto::InertSystemServices sys;
  std::unique_ptr<verto::Session> s = std::make_unique<verto::Session>(con, sys, verto::command_table());
};

void run_plot(benchmark::State& state, const char* command) {
  PlotFixture f;
  for (auto _ : state) {
    f.con.clear();
    verto::dispatch(*f.s, command);
  }
  state.SetItemsProcessed(state.iterations() * verto::kMaxNpts);
}

void BM_PlotPostScript(benchmark::State& state) { run_plot(state, "PLOT/PS/OVER"); }
void BM_PlotHpgl(benchmark::State& state) { run_plot(state, "PLOT/PRINT/OVER"); }
void BM_PlotText(benchmark::State& state) { run_plot(state, "PLOT/T"); }

BENCHMARK(BM_PlotPostScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotHpgl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotText)->Unit(benchmark::kMillisecond);

}  // namespace
