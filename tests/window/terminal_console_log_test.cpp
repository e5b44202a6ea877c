// Output to a file or pipe: what a screen would finally show, without
// carriage returns for overwrites that change nothing.
#include <gtest/gtest.h>

#include <unistd.h>

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

// Script input (not a terminal): a long line is cut while it is read and
// its tail never reaches the next command; each echo is out before the
// command runs; a pause shows its message and takes no script line.
TEST(TerminalConsoleLog, ScriptLinesAreCutEchoedAtOnceAndPausesGoOn) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  ASSERT_TRUE(in && out);
  const std::string huge(3'000'000, 'A');
  std::fputs(("ECHO " + huge + "\nWRITE deriv.dat\n").c_str(), in);
  std::rewind(in);
  // What has reached the file itself, not a stdio buffer.
  auto written = [&] {
    std::string text(4096, '\0');
    const auto n = ::pread(fileno(out), text.data(), text.size(), 0);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
  };
  {
    TerminalConsole con(in, out);
    con.prompt(">");
    const auto first = con.read_line(70);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "ECHO " + huge.substr(0, 65));
    EXPECT_EQ(written(), ">ECHO " + huge.substr(0, 65));
    con.pause("singular matrix in gaussj");
    con.prompt(">");
    EXPECT_EQ(con.read_line(70).value_or(""), "WRITE deriv.dat");
    EXPECT_FALSE(con.read_line(70));
    con.finish();
  }
  EXPECT_EQ(contents(out), ">ECHO " + huge.substr(0, 65) + "\nsingular matrix in gaussj\n>WRITE deriv.dat\n");
  std::fclose(in);
  std::fclose(out);
}

}  // namespace
}  // namespace verto
