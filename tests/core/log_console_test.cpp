// The session log: what the screen finally showed, line by line, appended.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/log_console.h"
#include "core/memory_console.h"
#include "support/scoped_directory.h"

namespace verto {
namespace {

std::string file_text(const char* path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(LogConsole, KeepsWhatTheScreenShowsAndAppends) {
  testing::ScopedDirectory dir("verto-log");
  MemoryConsole shown;
  shown.add_input("LIST");
  for (int run = 0; run < 2; ++run) {
    auto log = LogConsole::open(shown, "session.log");
    ASSERT_TRUE(log);
    log->record("");
    log->overwrite(">");
    EXPECT_EQ(log->read_line(70).value_or("?"), run == 0 ? "LIST" : "?");
    log->record(" 1 2");
    log->record("Status: ");
    log->overwrite("Status: ****");
    log->overwrite("Status: Done!");
    log->prompt(">AB");
    log->overwrite(">C");  // shorter: the screen keeps the rest, the cursor moves back
    log->append("D");
  }
  EXPECT_EQ(file_text("session.log"),
            ">LIST\n 1 2\nStatus: Done!\n>CD\n"
            ">\n 1 2\nStatus: Done!\n>CD\n");
  EXPECT_EQ(shown.lines()[0], ">LIST");  // the shown console got it all too
  EXPECT_EQ(shown.lines()[3], ">CD");
  EXPECT_FALSE(LogConsole::open(shown, "no/such/dir/x.log"));
}

TEST(LogConsole, KeepsTheLineTypedAtAPause) {
  testing::ScopedDirectory dir("verto-log-pause");
  MemoryConsole shown;
  shown.add_input("go on");
  {
    auto log = LogConsole::open(shown, "session.log");
    ASSERT_TRUE(log);
    EXPECT_EQ(log->pause("Matrix is singular").value_or("?"), "go on");
    log->record(" next");
  }
  EXPECT_EQ(file_text("session.log"), "Matrix is singulargo on\n next\n");
}

}  // namespace
}  // namespace verto
