// ADD, PORT, LINE, POINT, MARK and LABEL on data set up directly in the
// workspace, so every value can be checked where it lands.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/session_fixture.h"

namespace verto {
namespace {

class TransferCommands : public ::testing::Test, public testing::SessionFixture {
 protected:
  // Worksheet of `rows` rows and `cols` columns: C<c> of row r is 10*r + c.
  void fill_worksheet(int rows, int cols) {
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= kMaxColumns; ++c) ws.column(r, c) = static_cast<float>(10 * r + c);
    ws.Mpts = rows;
    ws.Num_columns = cols;
  }
  void fill_points(int n, float x0) {
    for (int i = 0; i < n; ++i) {
      ws.X[i] = x0 + i;
      ws.Y[i] = 100.f + i;
      ws.S[i] = 200.f + i;
    }
    ws.Npts = n;
  }
  std::vector<int> indices(const MarkerList& list) const {
    std::vector<int> out;
    for (int i = 0; i < list.count; ++i) out.push_back(list.entries[i].index);
    return out;
  }
};

TEST_F(TransferCommands, AddTakesListedColumnsByForm) {
  fill_worksheet(10, 4);
  ws.form = 3;
  auto out = run("ADD/3:5 C2,C4");
  EXPECT_EQ(out, std::vector<std::string>{" Npts =     3"});
  ASSERT_EQ(ws.Npts, 3);
  EXPECT_EQ(ws.X[0], 32.f);
  EXPECT_EQ(ws.Y[0], 34.f);
  EXPECT_EQ(ws.X[2], 52.f);
  ASSERT_EQ(ws.point_markers.count, 1);
  EXPECT_EQ(ws.point_markers.entries[0].index, 3);
  EXPECT_EQ(ws.point_markers.entries[0].label, "column 4");

  ws.form = 1;
  ws.variable = 2;  // form 1 fills the current variable only
  ws.X[3] = -1.f;
  run("ADD/1:1 C3");
  EXPECT_EQ(ws.Y[3], 13.f);
  EXPECT_EQ(ws.X[3], -1.f);
  EXPECT_EQ(ws.point_markers.entries[1].label, "column 3");

  ws.form = 2;  // X and S
  ws.Y[4] = -1.f;
  run("ADD /2:2 C1 C2 C3");
  EXPECT_EQ(ws.X[4], 21.f);
  EXPECT_EQ(ws.S[4], 22.f);
  EXPECT_EQ(ws.Y[4], -1.f);
}

TEST_F(TransferCommands, AddRefusesBadColumnNamesAndStopsAtCapacity) {
  fill_worksheet(10, 3);
  for (const char* line : {"ADD C0", "ADD X1", "ADD C1,C10", "ADD C2,,Y"}) {
    EXPECT_EQ(run(line), std::vector<std::string>{"<<<VERTO!!!>>> Bad column name."}) << line;
    EXPECT_EQ(ws.Npts, 0);
  }
  con.add_input("c1 c2");  // the prompt's answer is the list
  run("ADD");
  EXPECT_EQ(ws.Npts, 10);
  EXPECT_EQ(ws.Y[9], 102.f);

  ws.Npts = kMaxNpts - 4;
  auto out = run("ADD C1");
  EXPECT_EQ(ws.Npts, kMaxNpts);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Capacity of 50000 points reached; the rest was not added.");
  EXPECT_EQ(ws.X[kMaxNpts - 1], 41.f);
}

TEST_F(TransferCommands, PortSelectsRowsByFirstColumn) {
  fill_worksheet(10, 2);
  for (int r = 1; r <= 10; ++r) ws.column(r, 1) = static_cast<float>(r - 1);  // C1 = 0..9
  fill_points(4, 0.f);
  ws.S[0] = -7.f;
  add_point_marker(ws, con, 4, "old");
  run("PORT/C 2,5");
  ASSERT_EQ(ws.Npts, 4);  // rows with C1 = 2, 3, 4, 5
  EXPECT_EQ(ws.X[0], 2.f);
  EXPECT_EQ(ws.Y[0], 32.f);
  EXPECT_EQ(ws.S[0], -7.f);  // only two columns: S keeps its value
  EXPECT_EQ(ws.X[3], 5.f);
  ASSERT_EQ(ws.point_markers.count, 1);
  EXPECT_EQ(ws.point_markers.entries[0].label, "user selected range of data");

  ws.Nline = 5;
  run("PORT/X -1, 0.5");
  EXPECT_EQ(ws.Npts, 1);
  EXPECT_EQ(ws.Nline, 0);
  run("PORT 8,100");  // appends
  EXPECT_EQ(ws.Npts, 3);
  EXPECT_EQ(run("PORT 5"), std::vector<std::string>{"<<<VERTO!!!>>> Messed up limits."});
  EXPECT_TRUE(run("PORT A,5").empty());  // not a number: ends silently
  EXPECT_EQ(ws.Npts, 3);
}

TEST_F(TransferCommands, LineAndPointMoveDataBackAndForth) {
  fill_points(10, 1.f);
  add_point_marker(ws, con, 10, "run.dat");
  auto out = run("LINE");
  EXPECT_EQ(out, std::vector<std::string>{" Npts =     0"});
  EXPECT_EQ(ws.Npts, 0);
  EXPECT_EQ(ws.point_markers.count, 0);
  ASSERT_EQ(ws.Nline, 10);
  EXPECT_EQ(ws.LX[9], 10.f);
  EXPECT_EQ(ws.LY[9], 109.f);
  ASSERT_EQ(ws.line_markers.count, 1);
  EXPECT_EQ(ws.line_markers.entries[0].label, "point data");

  run("POINT");
  ASSERT_EQ(ws.Npts, 10);
  EXPECT_EQ(ws.X[4], 5.f);
  EXPECT_EQ(ws.Y[4], 104.f);
  EXPECT_EQ(ws.Nline, 10);  // the line stays
  ASSERT_EQ(ws.point_markers.count, 1);
  EXPECT_EQ(ws.point_markers.entries[0].label, "point data");  // the only line marker's

  run("LINE/ADD/1:3");
  EXPECT_EQ(ws.Nline, 13);
  EXPECT_EQ(ws.LX[12], 3.f);
  EXPECT_EQ(indices(ws.line_markers), (std::vector<int>{10, 13}));
  run("POINT/R/N-1:N");  // N is Npts (0 now), M would be Nline
  EXPECT_EQ(ws.Npts, 0);
  run("POINT/R/M-1:M");
  EXPECT_EQ(ws.Npts, 2);
  EXPECT_EQ(ws.point_markers.entries[0].label, "from line data");  // two line markers
}

TEST_F(TransferCommands, LineInFormSevenCarriesZ) {
  fill_points(3, 0.f);
  ws.form = 7;
  run("LINE");
  EXPECT_EQ(ws.LZ[2], 202.f);
  ws.S[0] = 0.f;
  run("POINT");
  EXPECT_EQ(ws.S[0], 200.f);
}

TEST_F(TransferCommands, LineKeepsThePointsWhenTheLineIsFull) {
  fill_points(10, 0.f);
  ws.Nline = kMaxNpts - 4;
  auto out = run("LINE/ADD");
  EXPECT_EQ(ws.Nline, kMaxNpts);
  EXPECT_EQ(ws.Npts, 10);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Capacity of 50000 line points reached; the points are kept as they were.");
}

TEST_F(TransferCommands, ZeroLineSpansTheXValues) {
  fill_points(11, -3.f);  // X from -3 to 7
  ws.X[5] = -1.f;
  ws.Nline = 4;
  add_line_marker(ws, con, 4, "fit");
  auto out = run("LINE/ZERO");
  EXPECT_EQ(out, std::vector<std::string>{" lines =     2"});
  ASSERT_EQ(ws.Nline, 2);
  EXPECT_EQ(ws.LX[0], -3.f);
  EXPECT_EQ(ws.LX[1], 7.f);
  EXPECT_EQ(ws.LY[0], 0.f);
  EXPECT_EQ(ws.LY[1], 0.f);
  ASSERT_EQ(ws.line_markers.count, 1);
  EXPECT_EQ(ws.line_markers.entries[0].label, "Y=0");
  EXPECT_EQ(ws.Npts, 11);

  ws.LX[0] = -20.f;  // with /ADD the line's own X values count too
  run("LINE/Z/ADD");
  ASSERT_EQ(ws.Nline, 4);
  EXPECT_EQ(ws.LX[2], -20.f);
  EXPECT_EQ(ws.LX[3], 7.f);
  EXPECT_EQ(ws.line_markers.count, 2);

  run("LINE/NO");
  EXPECT_EQ(ws.Nline, 0);
  EXPECT_EQ(ws.line_markers.count, 0);
}

TEST_F(TransferCommands, LineTakesAFileNameWithSlashesAndBlanks) {
  // A qualifier word is recognised only by its letters: /home/... is a name.
  auto out = run("LINE /ADD /no/such dir/f.dat");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> File not Found!"});
  ws.Nline = 5;
  // Not a qualifier word: a missing file, which leaves the line alone.
  EXPECT_EQ(run("LINE /Zebra/run.dat"), std::vector<std::string>{"<<<VERTO!!!>>> File not Found!"});
  EXPECT_EQ(ws.Nline, 5);
  ws.Nline = 5;
  run("LINE /ADD /Zebra/run.dat");
  EXPECT_EQ(ws.Nline, 5);
}

TEST_F(TransferCommands, MarkReplacesAddsClearsAndStopsAtBadEntries) {
  for (int idx : {3, 6, 9}) add_point_marker(ws, con, idx, "x");
  auto out = run("MARK 10,20");
  EXPECT_EQ(out, std::vector<std::string>{" Number of point markers = 2"});
  EXPECT_EQ(indices(ws.point_markers), (std::vector<int>{10, 20}));
  EXPECT_EQ(ws.point_markers.entries[0].label, "manual mark position");
  run("MARK/ADD 30");
  EXPECT_EQ(indices(ws.point_markers), (std::vector<int>{10, 20, 30}));
  out = run("MARK 4 5,x 6");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> Bad marker entry."});
  EXPECT_EQ(indices(ws.point_markers), (std::vector<int>{4, 5}));
  run("MARK -1");
  EXPECT_EQ(ws.point_markers.count, 0);  // emptied, then the bad entry

  con.add_input("7 8");
  run("MARK/LINE");
  EXPECT_EQ(indices(ws.line_markers), (std::vector<int>{7, 8}));
  out = run("MARK/LINE/LIST");
  EXPECT_EQ(out, (std::vector<std::string>{"", " Point markers:", "", " Line markers:", " 1 7",
                                           " 2 8", " Number of line markers = 2"}));
  run("MARK/LIN/CLEAR");
  EXPECT_EQ(ws.line_markers.count, 0);
}

TEST_F(TransferCommands, MarkRefusesTheHundredAndFirst) {
  std::string line = "MARK";
  for (int i = 1; i <= 100; ++i) line += " " + std::to_string(i);
  run(line.substr(0, 60));
  const int first = ws.point_markers.count;
  std::string more = "MARK/ADD";
  for (int i = 0; i < 30; ++i) more += " 1";
  for (int round = 0; round < 5; ++round) run(more);
  EXPECT_EQ(ws.point_markers.count, kMaxMarkers);
  auto out = run("MARK/ADD 5 6");
  ASSERT_EQ(out.size(), 2u);  // one refusal, then the count
  EXPECT_EQ(out[1], " Number of point markers = 100");
  EXPECT_GT(first, 0);
}

TEST_F(TransferCommands, LabelSetsTheChosenMarker) {
  for (int idx : {3, 6, 9}) add_point_marker(ws, con, idx, "x");
  add_line_marker(ws, con, 4, "fit");
  run("LABEL/NUM=2 Second run");
  EXPECT_EQ(ws.point_markers.entries[1].label, "Second run");
  run("lab Last One");
  EXPECT_EQ(ws.point_markers.entries[2].label, "Last One");
  run("LABEL/LINE Fitted Gaussian");
  EXPECT_EQ(ws.line_markers.entries[0].label, "Fitted Gaussian");
  con.add_input("  typed / as is");
  run("LABEL/N=1");
  EXPECT_EQ(ws.point_markers.entries[0].label, "  typed / as is");

  auto out = run("LABEL/NUM=4 nowhere");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> No such point marker: no label set."});
  ws.line_markers.count = 0;
  out = run("LABEL/LINE nothing to label");
  EXPECT_EQ(out, std::vector<std::string>{"<<<VERTO!!!>>> No such line marker: no label set."});
}

}  // namespace
}  // namespace verto
