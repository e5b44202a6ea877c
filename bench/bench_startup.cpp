// Start-up to the first prompt, and the processor time of a prompt that
// waits for a key.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/command_table.h"
#include "app/line_editor.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "app/startup.h"
#include "core/system.h"

namespace {

namespace fs = std::filesystem;

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A VERTO.INI with defaults and a few macros in a scratch directory.
struct IniDirectory {
  fs::path dir = fs::temp_directory_path() / "verto-bench-startup";
  IniDirectory() {
    fs::create_directories(dir);
    std::ofstream ini(dir / "VERTO.INI");
    ini << "&DEFAULTS IFORM_DEF=3, IVAR_DEF=2, PLOT_MODE_DEF='/M=VGA', I_CLOBBER=1 /\n";
    for (int m = 0; m < 10; ++m) {
      ini << "@M" << m << "\n5\n";
      for (int i = 0; i < 5; ++i) ini << "ECHO macro " << m << " line " << i << " %1%\n";
    }
  }
  ~IniDirectory() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

// Session set-up, VERTO.INI with ten macros, banner, welcome text and the
// first prompt answered with QUIT.
void BM_StartupToFirstPrompt(benchmark::State& state) {
  IniDirectory ini;
  verto::InertSystemServices sys;
  sys.environment["VERTO"] = ini.dir.string() + "/";
  for (auto _ : state) {
    verto::MemoryConsole con;
    con.add_input("QUIT");
    verto::Session s(con, sys, verto::command_table());
    verto::LineEditor ed;
    verto::run_startup(s, ed.macros, {});
    auto line = verto::read_command_line(s, ed);
    benchmark::DoNotOptimize(line);
  }
}
BENCHMARK(BM_StartupToFirstPrompt)->Unit(benchmark::kMillisecond);

// A keyboard that answers after `idle` milliseconds.
class SlowKeyboard : public verto::MemoryConsole {
 public:
  explicit SlowKeyboard(int idle_ms) : idle_ms_(idle_ms) { set_interactive(true); }

 protected:
  int do_read_key() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(idle_ms_));
    return 13;
  }

 private:
  int idle_ms_;
};

// Processor time used by the editor and its key reader while the prompt
// waits 200 ms for Enter, as a share of the waiting time.
void BM_IdlePrompt(benchmark::State& state) {
  verto::InertSystemServices sys;
  SlowKeyboard con(200);
  con.set_discard(true);
  verto::Session s(con, sys, verto::command_table());
  verto::LineEditor ed;
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    auto w0 = std::chrono::steady_clock::now();
    double c0 = cpu_seconds();
    auto line = verto::read_command_line(s, ed);
    cpu += cpu_seconds() - c0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
    benchmark::DoNotOptimize(line);
  }
  state.counters["cpu_percent_while_idle"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_IdlePrompt)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
