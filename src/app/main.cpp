// VERTO's entry: program options and the choice of front-end. With
// standard input a pipe or a file VERTO runs the script on the terminal
// console (batch mode); otherwise it opens the frame window when a display
// is available, else it uses the terminal. Qt is loaded only for the frame.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/offscreen_loader.h"
#include "app/qt_loader.h"
#include "app/session_runner.h"
#include "core/notebook.h"
#include "core/workspace.h"
#include "window/terminal_console.h"

namespace {

void print_usage() {
  std::puts(
      "Usage: verto [options] [/F=n] [/V=c] [/M=mode] [data files...]\n"
      "\n"
      "VERTO reads commands from the console (or from standard input when it\n"
      "is not a terminal) and ends at QUIT, EXIT or the end of the input.\n"
      "\n"
      "  /F=n          default form n (0-5 or 7)\n"
      "  /V=c          default variable X, Y or S\n"
      "  /M=mode       plot mode string put before every PLOT's options\n"
      "  data files    read at start-up (two or more through VTDATA.TMP)\n"
      "\n"
      "  --terminal    use the terminal as the console (no window)\n"
      "  --log FILE    append everything the console shows to FILE\n"
      "  --notebook FILE.html\n"
      "                keep a lab notebook of the session in FILE.html: each\n"
      "                command with its output, the plots inline and the files\n"
      "                read and written (an existing notebook is continued)\n"
      "  --no-wait     do not wait for a key after the banner\n"
      "  --help        show this text\n"
      "  --version     show the version\n"
      "\n"
      "Defaults and macros come from VERTO.INI: in the directory named by the\n"
      "environment variable VERTO (which ends with a path separator), or, for\n"
      "the macros only, in the current directory.");
}

// A pipe or a regular file on standard input is a script.
bool input_is_script() {
  struct stat st{};
  if (fstat(0, &st) != 0) return false;
  return S_ISFIFO(st.st_mode) || S_ISREG(st.st_mode) || S_ISSOCK(st.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  verto::RunOptions run;
  bool terminal = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      run.arguments.emplace_back(arg);
    } else if (std::strcmp(arg, "--help") == 0) {
      print_usage();
      return 0;
    } else if (std::strcmp(arg, "--version") == 0) {
      std::printf("VERTO, Data Analysis Program, %s\n", verto::kVersionText);
      return 0;
    } else if (std::strcmp(arg, "--terminal") == 0) {
      terminal = true;
    } else if (std::strcmp(arg, "--no-wait") == 0) {
      run.startup.wait_after_banner = false;
    } else if (std::strcmp(arg, "--log") == 0 && i + 1 < argc) {
      run.log_path = argv[++i];
      std::FILE* probe = std::fopen(run.log_path.c_str(), "a");
      if (!probe) {
        std::fprintf(stderr, "verto: cannot open the log file %s\n", run.log_path.c_str());
        return 2;
      }
      std::fclose(probe);
    } else if (std::strcmp(arg, "--notebook") == 0 && i + 1 < argc) {
      run.notebook_path = argv[++i];
      const std::string problem = verto::Notebook::check(run.notebook_path);
      if (!problem.empty()) {
        std::fprintf(stderr, "verto: %s\n", problem.c_str());
        return 2;
      }
    } else {
      std::fprintf(stderr, "verto: unknown option %s (try --help)\n", arg);
      return 2;
    }
  }
  if (!terminal && !input_is_script()) {
    // The display is tried within a bound before Qt is loaded: Qt would
    // wait without end for a silent server and end the process on a
    // refusing one.
    std::string problem;
    if (verto::display_available(&problem)) {
      auto entry = reinterpret_cast<verto::FrameEntry>(
          verto::load_qt_entry(verto::kFrameEntryName, /*need_display=*/false));
      if (entry) return entry(&run);
    } else if (!problem.empty()) {
      std::fprintf(stderr, "verto: %s; the terminal is the console.\n", problem.c_str());
    }
  }
  // Without the frame, screen plots are saved as pictures; Qt is loaded
  // for them on the first such plot.
  verto::TerminalConsole console;
  verto::OffscreenLoader pictures;
  verto::run_session(console, &pictures, run);
  console.finish();
  return 0;
}
