#pragma once
// A session on a memory console with inert system services, for tests
// that run command lines and then look at the console and the workspace.
#include <string>
#include <string_view>
#include <vector>

#include "app/command_table.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto::testing {

struct SessionFixture {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  Workspace& ws = s.ws;

  // Runs one command line and returns the console lines it wrote after
  // the echo of the line (activity marks written over the current line
  // land on the echo, as they do on a terminal).
  std::vector<std::string> run(std::string_view line);
  // Runs one command line on a cleared console and returns the screen:
  // the lines without trailing blanks, joined with '\n'.
  std::string run_screen(std::string_view line);

  // Appends a point to the XYS data set, a line point to the line data set.
  void add_point(float x, float y, float err = 0.f);
  void add_line_point(float x, float y, float z = 0.f);
};

}  // namespace verto::testing
