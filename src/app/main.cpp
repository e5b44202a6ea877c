// VERTO's entry: sets up the console and the workspace, prints the welcome
// text and runs the command loop until QUIT/EXIT or end of input.
#include <cstdio>
#include <cstring>
#include <string>

#include "window/terminal_console.h"
#include "workspace/dispatch.h"
#include "workspace/session.h"
#include "workspace/system.h"

namespace {

void print_usage() {
  std::puts(
      "Usage: verto [--help] [--version] [data file]\n"
      "VERTO reads commands from the console (or from standard input when\n"
      "it is not a terminal) and ends at QUIT, EXIT or end of input.");
}

}  // namespace

int main(int argc, char** argv) {
  std::string data_file;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      print_usage();
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("VERTO %s\n", verto::kVersionText);
      return 0;
    }
    data_file = argv[i];
  }
  verto::TerminalConsole console;
  verto::Session session(console, verto::os_services());
  session.ws.startup_file = data_file;
  verto::print_welcome(session.ws, console);
  verto::run_command_loop(session);
  console.finish();
  return 0;
}
