// VERTO's entry: program options, the start-up sequence (VERTO.INI,
// arguments, banner, welcome text, start-up READ) and the command loop,
// which runs until QUIT/EXIT or the end of input.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "window/terminal_console.h"
#include "app/command_loop.h"
#include "core/dispatch.h"
#include "core/session.h"
#include "app/startup.h"
#include "core/system.h"

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
      "  --no-wait     do not wait for a key after the banner\n"
      "  --help        show this text\n"
      "  --version     show the version\n"
      "\n"
      "Defaults and macros come from VERTO.INI: in the directory named by the\n"
      "environment variable VERTO (which ends with a path separator), or, for\n"
      "the macros only, in the current directory.");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  verto::StartupOptions options;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--", 2) != 0) {
      arguments.emplace_back(arg);
    } else if (std::strcmp(arg, "--help") == 0) {
      print_usage();
      return 0;
    } else if (std::strcmp(arg, "--version") == 0) {
      std::printf("VERTO, Data Analysis Program, %s\n", verto::kVersionText);
      return 0;
    } else if (std::strcmp(arg, "--terminal") == 0) {
      // The terminal is the only console of this build; the option stays
      // valid once a window front-end exists.
    } else if (std::strcmp(arg, "--no-wait") == 0) {
      options.wait_after_banner = false;
    } else {
      std::fprintf(stderr, "verto: unknown option %s (try --help)\n", arg);
      return 2;
    }
  }
  verto::TerminalConsole console;
  verto::Session session(console, verto::os_services());
  verto::run_startup(session, arguments, options);
  verto::run_command_loop(session);
  console.finish();
  return 0;
}
