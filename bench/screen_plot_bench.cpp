// Screen PLOT of 50000 points into a picture (window set-up, drawing and
// the hand-over copy a window would get), and the whole batch process
// saving that plot as a PNG file against the same run writing PLOT/PS.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"
#include "qt/offscreen_services.h"

namespace {

namespace fs = std::filesystem;

void ensure_app() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "verto_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  new QApplication(argc, argv);
}

// The picture services, presenting as a screen window does: a copy of the
// image handed over instead of a file.
class HandOverServices : public verto::qt::OffscreenWindowServices {
 public:
  using OffscreenWindowServices::OffscreenWindowServices;
  std::string present(verto::ChildWindow w) override {
    if (auto* p = dynamic_cast<verto::qt::PictureWindow*>(graphics(w))) last = p->image();
    return {};
  }
  QImage last;
};

struct TempDir {
  TempDir() {
    old = fs::current_path();
    std::random_device rd;
    dir = fs::temp_directory_path() / ("verto-bench-screen-" + std::to_string(rd()));
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  ~TempDir() {
    std::error_code ec;
    fs::current_path(old, ec);
    fs::remove_all(dir, ec);
  }
  fs::path old, dir;
};

float data_x(int i) { return static_cast<float>(i) * 0.001f; }
float data_y(int i) { return std::sin(data_x(i)) * 100.f + static_cast<float>(i % 7); }

void BM_ScreenPlot50000(benchmark::State& state) {
  ensure_app();
  verto::MemoryConsole con;
  verto::InertSystemServices sys;
  auto s = std::make_unique<verto::Session>(con, sys, verto::command_table());
  HandOverServices win;
  s->window = &win;
  auto& ws = s->ws;
  ws.form = 3;
  ws.Npts = verto::kMaxNpts;
  for (int i = 0; i < ws.Npts; ++i) ws.X[i] = data_x(i), ws.Y[i] = data_y(i);
  for (int at : {10000, 20000, 30000, 40000}) verto::add_point_marker(ws, con, at, "block");
  ws.Nline = 100;
  for (int i = 0; i < ws.Nline; ++i) {
    ws.LX[i] = static_cast<float>(i) * 0.5f;
    ws.LY[i] = std::sin(ws.LX[i]) * 100.f;
  }
  for (auto _ : state) {
    con.clear();
    verto::dispatch(*s, "PLOT/LEG");
    benchmark::DoNotOptimize(win.last.constBits());
  }
  state.SetItemsProcessed(state.iterations() * verto::kMaxNpts);
}
BENCHMARK(BM_ScreenPlot50000)->Unit(benchmark::kMillisecond);

// The batch process: READ of 50000 points and one plot, as `mode` says.
void batch_plot(benchmark::State& state, const char* plot) {
  TempDir tmp;
  if (std::FILE* f = std::fopen("big.dat", "w")) {
    for (int i = 0; i < verto::kMaxNpts; ++i) std::fprintf(f, "%g %g\n", data_x(i), data_y(i));
    std::fclose(f);
  }
  if (std::FILE* f = std::fopen("script.txt", "w")) {
    std::fprintf(f, "READ big.dat\n%s\nQUIT\n", plot);
    std::fclose(f);
  }
  const std::string command = std::string(VERTO_BINARY) + " --no-wait < script.txt > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("verto failed");
    state.PauseTiming();
    std::error_code ec;
    fs::remove("VERTO1.PNG", ec);
    state.ResumeTiming();
  }
}
void BM_BatchPlotPng50000(benchmark::State& state) { batch_plot(state, "PLOT"); }
void BM_BatchPlotPs50000(benchmark::State& state) { batch_plot(state, "PLOT/PS/OVER"); }
BENCHMARK(BM_BatchPlotPng50000)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_BatchPlotPs50000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
