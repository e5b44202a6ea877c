// Output to a file or pipe: what a screen would finally show, without
// carriage returns for overwrites that change nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "window/terminal_console.h"

namespace verto {
namespace {

std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string out;
  int c;
  while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<char>(c));
  return out;
}

TEST(TerminalConsoleLog, PromptsAndActivityMarksReadCleanly) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  ASSERT_TRUE(in && out);
  std::fputs("LIST/1:3\n", in);
  std::rewind(in);
  {
    TerminalConsole con(in, out);
    con.record("");
    con.overwrite(">");
    ASSERT_EQ(con.read_line(70).value_or(""), "LIST/1:3");
    con.overwrite(">");  // activity mark on the command line: no change
    con.record(" 1 2");
    con.overwrite("Status: ****");
    con.overwrite("Status: Done!");
    con.finish();
  }
  EXPECT_EQ(contents(out), ">LIST/1:3\n 1 2\rStatus: ****\rStatus: Done!\n");
  std::fclose(in);
  std::fclose(out);
}

}  // namespace
}  // namespace verto
