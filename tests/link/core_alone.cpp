// Links the core and the command families without the application: every
// object of verto_core is linked in, so a call from below into app would
// leave an undefined symbol. Then runs a few lines through its own small
// command table and checks what they print.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"
#include "expr/commands.h"
#include "workspace/commands.h"

namespace {

const verto::CommandEntry kTable[] = {
    {{"ECHO"}, "ECHO", verto::cmd_echo},
    {{"MAKE"}, "MAKE", verto::cmd_make},
    {{"MAT"}, "MATH", verto::cmd_math},
    {{"HELP", "?"}, "HELP", verto::cmd_help},
};

bool contains(const std::vector<std::string>& lines, std::string_view text) {
  for (const std::string& line : lines)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace

int main() {
  verto::MemoryConsole con;
  verto::InertSystemServices sys;
  verto::Session s(con, sys, kTable);
  verto::dispatch(s, "ECHO linked alone");
  verto::dispatch(s, "MAKE 4");
  verto::dispatch(s, "MATH Y=I*I");
  verto::dispatch(s, "HELP CD");
  verto::dispatch(s, "PLOT");
  const auto& lines = con.lines();
  struct Check {
    bool ok;
    const char* what;
  } checks[] = {
      {contains(lines, "linked alone"), "ECHO prints its text"},
      {s.ws.Npts == 4 && s.ws.Y[3] == 16.0, "MAKE and MATH fill the points"},
      {contains(lines, "VERTO! commands:"), "HELP prints its heading"},
      {contains(lines, "Unknown command!"), "a word outside the table is unknown"},
  };
  int failed = 0;
  for (const Check& c : checks)
    if (!c.ok) {
      std::fprintf(stderr, "core alone: %s failed\n", c.what);
      ++failed;
    }
  return failed == 0 ? 0 : 1;
}
