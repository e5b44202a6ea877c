// Every command of the table, run once over data sets that hold Inf and
// NaN (as MATH produces them by overflow), must end: with its result or a
// message, never a hang or a crash. Each line runs in a child process so
// that a hang is cut off and a crash is reported instead of ending the
// test program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/dispatch.h"
#include "support/scoped_directory.h"
#include "support/session_fixture.h"

namespace verto {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Twenty points, line points and worksheet rows, mostly ordinary, with
// NaN, +Inf and -Inf among them (runs of NaN in X included).
void fill(testing::SessionFixture& f, int form) {
  const float special[] = {kNaN, kInf, -kInf};
  for (int i = 1; i <= 20; ++i) {
    const float v = static_cast<float>(i);
    const float odd = i % 4 == 0 ? special[(i / 4) % 3] : v;
    const float x = (i == 7 || i == 8) ? kNaN : odd;
    f.add_point(x, i % 3 == 0 ? kNaN : v * v, i % 5 == 0 ? kInf : 0.5f);
    f.add_line_point(x, i % 6 == 0 ? -kInf : v, odd);
    for (int c = 1; c <= 9; ++c) f.ws.column(i, c) = (i + c) % 4 == 0 ? special[c % 3] : v + c;
  }
  f.ws.Mpts = 20;
  f.ws.Num_columns = 3;
  f.ws.form = form;
}

// Runs `line` over the data in a child; "" when it ended in time.
std::string run_in_child(const std::string& line, int form) {
  const pid_t pid = fork();
  if (pid < 0) return "fork failed";
  if (pid == 0) {
    testing::SessionFixture f;
    fill(f, form);
    f.run(line);
    _exit(0);
  }
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return "did not end";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "exit status " + std::to_string(status);
  return "";
}

TEST(NonFiniteData, EveryCommandEnds) {
  testing::ScopedDirectory dir{"verto-nonfinite-"};
  const std::vector<std::string> lines = {
      "LABEL/NUM=1 odd", "EXIT", "QUIT", "LOAD nothing.dat", "DIR", "LS", "CD .", "ECHO x",
      "LINE", "LINE/ZERO", "LEGEND", "SHOW", "LIST", "LIST/COL", "LIST/LINE", "CLS", "SORT",
      "SORT/D Y", "POINT", "EDIT", "$ true", "PLOT/T", "PLOT/PS", "PLOT/PRINT/XLOG",
      "PLOT/T/THETA=30", "HELP", "CLEAR", "FORM 4", "MAKE 30", "SET N=N/2", "ADD/1:20 C1,C2",
      "MARK 1,2", "INT", "INT 1,5", "READ/5 table.dat", "ENTER/3", "WRITE! out.dat", "STAT",
      "STAT Y", "BIN 10", "FFT", "FFT/INV", "MATH Y=X*2", "SWAP X=Y", "CALC", "D", "D 0.5", "DD",
      "REGRESS", "FIT GAUSSB", "FIT GAUSSIAN", "FIT GAUSS2 3,9", "FIT POLY=2", "FIT POW=-0.5",
      "FIT EXP=2", "FIT DECAY", "FIT ASYM", "FIT RISE", "FIT MORSE", "FIT MAXWELL", "AVERAGE 0.5",
      "AVERAGE/SD/D 0.5", "SMOOTH 2", "SMOOTH/M 2", "PORT/C 1,30", "NORM Y=100", "NORM I=4",
      "NORM/L", "YO"};
  {
    std::FILE* f = std::fopen("table.dat", "w");
    ASSERT_NE(f, nullptr);
    std::fputs("1 nan 3\n2 inf 4\n-inf 5 6\n", f);
    std::fclose(f);
  }
  // Every entry of the table is tried.
  std::set<const CommandEntry*> covered;
  for (const std::string& line : lines) covered.insert(find_command(command_table(), line));
  for (const CommandEntry& entry : command_table())
    EXPECT_TRUE(covered.count(&entry)) << entry.name << " is not tried";

  for (int form : {3, 4, 7})
    for (const std::string& line : lines)
      EXPECT_EQ(run_in_child(line, form), "") << line << " in form " << form;
}

}  // namespace
}  // namespace verto
