// FORM, MAKE, SET, "$", CD, the sayings and the status bar, driven through
// the command table as typed lines.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "numeric/random.h"
#include "support/session_fixture.h"
#include "workspace/commands.h"
#include "core/dispatch.h"
#include "core/progress.h"
#include "core/session.h"

namespace verto {
namespace {

class WorkspaceCommands : public ::testing::Test, public testing::SessionFixture {
 protected:
  std::vector<int> point_marker_indices() const {
    std::vector<int> out;
    for (int i = 0; i < ws.point_markers.count; ++i) out.push_back(ws.point_markers.entries[i].index);
    return out;
  }
};

TEST_F(WorkspaceCommands, FormSevenRenamesTheThirdVariableUntilAnotherForm) {
  run("FORM 7,Z");
  EXPECT_EQ(ws.form, 7);
  EXPECT_EQ(ws.variable, 3);
  EXPECT_EQ(variable_letter(ws, 3), 'Z');
  EXPECT_EQ(s.expr.third_name, 'Z');
  auto out = run("FORM 3");
  EXPECT_EQ(variable_letter(ws, 3), 'S');
  EXPECT_EQ(s.expr.third_name, 'S');
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[2], " variable: S");
  run("form=2,y");
  EXPECT_EQ(ws.form, 2);
  EXPECT_EQ(ws.variable, 2);
  // A letter that is not one of the three leaves the variable alone.
  run("FORM 4,Q");
  EXPECT_EQ(ws.form, 4);
  EXPECT_EQ(ws.variable, 2);
}

TEST_F(WorkspaceCommands, MakeStaysWithinZeroAndCapacity) {
  run("MAKE 5");
  EXPECT_EQ(ws.Npts, 5);
  auto out = run("MAKE 60000");
  EXPECT_EQ(ws.Npts, kMaxNpts);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Capacity of 50000 reached: Npts set to 50000.");
  EXPECT_EQ(out[1], " Npts = 50000");
  out = run("MAKE -999999");  // six characters are read: -99999
  EXPECT_EQ(ws.Npts, 0);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Npts cannot be negative: set to 0.");
  // The last marker follows the count down.
  EXPECT_EQ(point_marker_indices(), (std::vector<int>{5, 0}));
}

TEST_F(WorkspaceCommands, MakeWithoutMarkersLeavesTheListAlone) {
  ws.auto_marker = 0;
  run("MAKE 7");
  run("MAKE -2");
  EXPECT_EQ(ws.Npts, 5);
  EXPECT_EQ(ws.point_markers.count, 0);
}

TEST_F(WorkspaceCommands, SetNKeepsArrayContentsAndTrimsMarkers) {
  for (int i = 0; i < 30; ++i) ws.X[i] = static_cast<float>(i + 1);
  ws.Npts = 30;
  for (int idx : {10, 20, 30}) add_point_marker(ws, con, idx, "block");
  run("SET N=25");
  EXPECT_EQ(ws.Npts, 25);
  // 30 is dropped, the last remaining marker (20) closes the data at 25.
  EXPECT_EQ(point_marker_indices(), (std::vector<int>{10, 25}));
  run("SET N=N/2");  // 12.5 rounds away from zero
  EXPECT_EQ(ws.Npts, 13);
  run("SET NPTS = 30");
  EXPECT_EQ(ws.Npts, 30);
  EXPECT_EQ(ws.X[29], 30.f);  // the old values come back
  EXPECT_EQ(ws.point_markers.entries[ws.point_markers.count - 1].label, "created data");
}

TEST_F(WorkspaceCommands, SetLineAndWorksheetCounts) {
  ws.Npts = 8;
  run("SET/L N=N+2");  // N is Nline with /LINE
  EXPECT_EQ(ws.Nline, 2);
  EXPECT_EQ(ws.Npts, 8);
  ASSERT_EQ(ws.line_markers.count, 1);
  EXPECT_EQ(ws.line_markers.entries[0].label, "created data");
  run("SET /L M=0");  // with /LINE the target letter does not matter
  EXPECT_EQ(ws.Nline, 0);
  EXPECT_EQ(ws.line_markers.entries[0].index, 0);
  EXPECT_EQ(ws.Mpts, 0);

  auto out = run("SET M=N*2");
  EXPECT_EQ(ws.Mpts, 16);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], " Num_columns =     1");
  EXPECT_EQ(out[1], " Mpts        =    16  (points in column worksheet)");
  out = run("SET C=12");
  EXPECT_EQ(ws.Num_columns, 9);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Num_columns lies between 0 and 9: set to 9.");
}

TEST_F(WorkspaceCommands, SetRejectsWhatItCannotUse) {
  ws.Npts = 4;
  auto out = run("SET X=3");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> Illegal SET command!!X=3"});
  out = run("SET N 3");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> Illegal SET command!!N 3"});
  run("SET N=(1+");  // the evaluator's message, nothing changes
  EXPECT_EQ(ws.Npts, 4);
}

TEST_F(WorkspaceCommands, PromptedSetKeepsItsQualifier) {
  con.add_input("N=7");
  run("SET/L");
  EXPECT_EQ(ws.Nline, 7);
  EXPECT_EQ(ws.Npts, 0);
}

TEST_F(WorkspaceCommands, ShellAndDirectoryGoThroughTheSystemServices) {
  auto out = run("$ls -l *.dat");
  EXPECT_TRUE(out.empty());
  run("$");  // nothing to run
  EXPECT_EQ(sys.shell_commands, std::vector<std::string>{"ls -l *.dat"});
  out = run("CD  My Data/Run 2");
  EXPECT_TRUE(out.empty());  // a failing CD says nothing
  run("CD");
  EXPECT_EQ(sys.directories, std::vector<std::string>{"My Data/Run 2"});
}

TEST_F(WorkspaceCommands, SayingsComeFromTheUniformGenerator) {
  RandomSources twin = s.expr.random;
  std::vector<std::string> expected = {" Nuggets of Wisdom:"};
  for (int i = 0; i < 2; ++i)
    expected.push_back(" " + std::string(saying(static_cast<int>(28 * uniform_deviate(twin)) + 1)));
  EXPECT_EQ(run("YOYO"), expected);
  const float next = uniform_deviate(twin);
  auto out = run("yo");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], " Nugget of Wisdom:");
  EXPECT_EQ(out[1], " " + std::string(saying(static_cast<int>(28 * next) + 1)));
}

TEST_F(WorkspaceCommands, AllTwentyEightSayingsAreDistinctShortLines) {
  auto out = run("YO!");
  ASSERT_EQ(out.size(), 29u);
  EXPECT_EQ(out[0], " Nuggets of Wisdom:");
  std::set<std::string> distinct(out.begin() + 1, out.end());
  EXPECT_EQ(distinct.size(), 28u);
  for (int i = 1; i <= kNumSayings; ++i) {
    EXPECT_FALSE(saying(i).empty());
    EXPECT_LE(saying(i).size(), 75u) << saying(i);
  }
  EXPECT_TRUE(saying(0).empty());
  EXPECT_TRUE(saying(29).empty());
}

// Keeps every overwrite, so the bar's steps can be checked.
class OverwriteLog : public MemoryConsole {
 public:
  std::vector<std::string> overwrites;

 protected:
  void do_overwrite(std::string_view text) override {
    overwrites.emplace_back(text);
    MemoryConsole::do_overwrite(text);
  }
};

TEST(ShowProgress, BarGrowsAndEndsWithDone) {
  OverwriteLog con;
  for (int i = 1; i <= 8; ++i) show_progress(con, i, 8);
  ASSERT_EQ(con.lines().size(), 1u);  // one empty line, written over
  EXPECT_EQ(con.lines()[0], "Status: Done!                  ");
  ASSERT_EQ(con.overwrites.size(), 9u);
  EXPECT_EQ(con.overwrites[0], "Status: **..................");  // 1 * 20/8 = 2.5
  EXPECT_EQ(con.overwrites[3], "Status: **********..........");
  EXPECT_EQ(con.overwrites[7], "Status: ********************");
}

TEST(ShowProgress, RepeatedBarsAreNotRewritten) {
  OverwriteLog con;
  for (int i = 1; i <= 1000; ++i) show_progress(con, i, 1000);
  EXPECT_EQ(con.overwrites.size(), 22u);  // 21 bar lengths and "Done!"
  OverwriteLog none;
  show_progress(none, 1, 0);
  EXPECT_TRUE(none.lines().empty());
}

}  // namespace
}  // namespace verto
