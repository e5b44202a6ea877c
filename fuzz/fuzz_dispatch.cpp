// Feeds arbitrary command lines to the command loop. Each input is split
// into lines; every line is dispatched (and also answers any prompt). The
// process first locks itself into its working directory (chroot), which
// the fuzz runner makes a fresh scratch directory, so that file-writing
// commands cannot touch anything else; the system services start nothing.
#include <sched.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_table.h"
#include "app/command_loop.h"
#include "app/editor_state.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace {

void enter_sandbox() {
  if (getuid() != 0 && unshare(CLONE_NEWUSER) != 0) {
    std::perror("unshare");
    std::abort();
  }
  if (chroot(".") != 0 || chdir("/") != 0) {
    std::perror("sandbox");
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enter_sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static verto::MemoryConsole con;
  static verto::InertSystemServices sys;
  static verto::Session s(con, sys, verto::command_table());
  static const verto::Session pristine(con, sys, verto::command_table());
  // Every input starts from a fresh state; copying keeps the arrays'
  // storage instead of allocating 50000-point arrays per run.
  con.set_discard(true);
  s.ws = pristine.ws;
  s.expr = pristine.expr;
  s.quit = false;
  std::string text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  int lines = 0;
  while (start <= text.size() && lines < 64) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    con.add_input(text.substr(start, end - start));
    start = end + 1;
    ++lines;
  }
  static verto::LineEditor ed;
  ed.pending_count = 0;
  ed.saved_text.clear();
  verto::run_command_loop(s, ed);
  while (con.inputs_left() > 0) con.read_line(70);
  return 0;
}
