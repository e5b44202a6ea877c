// The program itself: piped input stays in batch mode and --log keeps the
// session; without a display and without piped input the terminal console
// is used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scoped_directory.h"

namespace verto {
namespace {

std::string file_text(const char* path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(RunModes, BatchLogAndTerminalWithoutDisplay) {
  testing::ScopedDirectory dir("verto-modes");
  const std::string program = VERTO_BINARY;
  std::string batch = "printf 'ECHO hi\\nQUIT\\n' | env -u DISPLAY -u WAYLAND_DISPLAY " + program +
                      " --log s.log > out.txt 2>&1";
  ASSERT_EQ(std::system(batch.c_str()), 0);
  EXPECT_NE(file_text("out.txt").find(">ECHO hi\n hi\n"), std::string::npos);
  std::string log = file_text("s.log");
  EXPECT_NE(log.find("\n                        Hit [PageDown] key to continue\n"), std::string::npos);
  EXPECT_NE(log.find("Welcome to VERTO!\n"), std::string::npos);
  EXPECT_NE(log.find(">ECHO hi\n hi\n"), std::string::npos);
  EXPECT_NE(log.find(">QUIT\n"), std::string::npos);

  // No display: /dev/null as input ends at once on the terminal console.
  std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY " + program +
                           " --no-wait --log s.log < /dev/null > out2.txt 2>&1";
  ASSERT_EQ(std::system(no_display.c_str()), 0);
  EXPECT_NE(file_text("out2.txt").find("Welcome to VERTO!"), std::string::npos);
  EXPECT_GT(file_text("s.log").size(), log.size());  // appended

  EXPECT_NE(std::system((program + " --log /no/such/dir/x.log < /dev/null > /dev/null 2>&1").c_str()), 0);
}

}  // namespace
}  // namespace verto
