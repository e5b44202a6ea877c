#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/help.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto {
namespace {

struct HelpCommandTest : ::testing::Test {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  std::vector<std::string> run(std::string_view line) {
    con.clear();
    dispatch(s, line);
    return con.lines();
  }
};

TEST_F(HelpCommandTest, HeadingThenSummaryOrTopic) {
  auto lines = run("HELP");
  ASSERT_EQ(lines.size(), 1u + 1 + 22 + 1);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], " VERTO! commands:" + std::string(39, ' ') + "( max Npts= 50000 )");
  EXPECT_EQ(lines[2], " AVERAGE [delta_x]   averages all Y values with same X value (S = err in mean)");
  EXPECT_EQ(lines[23], " commands marked with (*) support the /n1:n2 range option");
  EXPECT_EQ(lines[24], "");
  EXPECT_EQ(run("?"), lines);
  EXPECT_EQ(run("HELP READ"), lines);
  EXPECT_EQ(run("help"), lines);

  auto cd = run("HELP CD");
  EXPECT_EQ(cd.size(), 1u + 1 + 3 + 1);
  EXPECT_EQ(cd, run("? $"));
  EXPECT_EQ(cd, run("help dir"));
  EXPECT_EQ(run("HELP//  D")[2], " D[/options] [xwidth]   -- 1st derivative of data")
      << "the topic starts after the first run of blanks and slashes";
}

TEST_F(HelpCommandTest, MathHelpNamesTheThirdVariable) {
  auto math = run("HELP MATH");
  ASSERT_EQ(math.size(), 16u);
  EXPECT_EQ(math[0], " VERTO! math functions:");
  EXPECT_EQ(math[3], " X  Y  S  I N M : X,Y,S vectors, index I, and Npts");
  EXPECT_EQ(math[3].size(), 50u) << "one blank and 49 characters";
  EXPECT_EQ(math[15], " QUIT, EXIT   : return to VERTO!");
  EXPECT_EQ(run("HELP/M"), math);
  EXPECT_EQ(run("? /M"), math);
  EXPECT_EQ(run("HELP MATHEMATICS"), math);
  EXPECT_NE(run("HELP MARK"), math);

  s.ws.variable_letters[2] = 'Z';  // as FORM 7 names it
  auto z = run("HELP/M");
  EXPECT_EQ(z[3], " X  Y  Z  I N M : X,Y,Z vectors, index I, and Npts");
  con.clear();
  show_math_help(s);
  EXPECT_EQ(con.lines(), z);
}

}  // namespace
}  // namespace verto
