// The character plot of PLOT/T, run through the command dispatch on data
// put straight into the workspace.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plot/commands.h"
#include "plot/model.h"
#include "plot/options.h"
#include "plot/text_plot.h"
#include "workspace/dispatch.h"
#include "workspace/memory_console.h"
#include "workspace/parsers.h"
#include "workspace/session.h"
#include "workspace/system.h"

namespace verto {
namespace {

class TextPlotTest : public ::testing::Test {
 protected:
  void point(float x, float y, float s = 0.f) {
    s_->ws.X[s_->ws.Npts] = x;
    s_->ws.Y[s_->ws.Npts] = y;
    s_->ws.S[s_->ws.Npts] = s;
    ++s_->ws.Npts;
  }
  void line_point(float x, float y) {
    s_->ws.LX[s_->ws.Nline] = x;
    s_->ws.LY[s_->ws.Nline] = y;
    ++s_->ws.Nline;
  }
  // The console after the command, each line without trailing blanks.
  std::string run(std::string_view command) {
    con_.clear();
    dispatch(*s_, command);
    std::string out;
    for (const std::string& l : con_.lines()) {
      if (!out.empty()) out += '\n';
      out += trim_right(l);
    }
    return out;
  }
  // One grid row (1 = bottom, 21 = top line) of a character plot.
  std::string grid_row(std::string_view qualifiers, int row) {
    const auto opt = plot::parse_plot_options(std::string("PLOT ") + std::string(qualifiers),
                                              s_->ws.form);
    plot::PlotModel m;
    plot::build_model(s_->ws, opt, plot::Purpose::Text, m);
    plot::TextGrid g;
    plot::draw_text_grid(m, g);
    return g.rows[row - 1];
  }

  MemoryConsole con_;
  InertSystemServices sys_;
  std::unique_ptr<Session> s_ = std::make_unique<Session>(con_, sys_);
};

// A line rising one row per column, then level, with points on it. What
// falls on the Y maximum stands on the top line over the ruler.
TEST_F(TextPlotTest, RisingLineWithPointsOnIt) {
  for (float x : {0.f, 10.f, 20.f}) point(x, x);
  point(40.f, 20.f);
  point(64.f, 20.f);
  line_point(0.f, 0.f);
  line_point(20.f, 20.f);
  line_point(64.f, 20.f);
  EXPECT_EQ(run("PLOT/T/D"), R"( PLOT /M=VGA/T/D


    20.000 | . . . . . . . | . O-------------------O-----------------------O
                              /
           .                 /                                             .
                            /
           .               /                                               .
                          /
           .             /                                                 .
                        /
           .           /                                                   .
                      /
    10.000 -         O                                                     -
                    /
           .       /                                                       .
                  /
           .     /                                                         .
                /
           .   /                                                           .
              /
           . /                                                             .
            /
     0.000 O . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |
          0.000                        32.000                         64.000)");
}

// Five point markers: the sets print O, X, *, V and "#" for the fifth and
// sixth. Limits are rounded (0..55 to 0..60, 0..11 to 0..20); the middle
// label stands on the row with "-" at both ends.
TEST_F(TextPlotTest, MarkerSetsGiveTheirLetters) {
  for (int i = 1; i <= 12; ++i) point(5.f * static_cast<float>(i - 1), static_cast<float>(i - 1));
  for (int at : {2, 4, 6, 8, 10}) add_point_marker(s_->ws, con_, at, "block");
  EXPECT_EQ(run("plot/t"), R"( PLOT /M=VGA/T/NSET1=2,4,6,8,10,


    20.000 | . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |

           .                                                               .

           .                                                               .

           .                                                               .

           .                                                               .
                                                                     #
    10.000 -                                                    #          -
                                                           #
           .                                         #                     .
                                                V
           .                               V                               .
                                     *
           .                    *                                          .
                           X
           .         X                                                     .
                O
     0.000 O . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |
          0.000                        30.000                         60.000)");
}

// Form 4: a vertical run of "|" from Y-S to Y+S through each point.
TEST_F(TextPlotTest, ErrorBarsInFormFour) {
  s_->ws.form = 4;
  point(0.f, 10.f, 5.f);
  point(32.f, 10.f, 10.f);
  point(64.f, 12.f, 2.f);
  EXPECT_EQ(run("PLOT/T/D"), R"( PLOT /M=VGA/T/D


    20.000 | . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |
                                           |
           .                               |                               .
                                           |
           .                               |                               .
           |                               |
           |                               |                               |
           |                               |                               |
           |                               |                               O
           |                               |                               |
    10.000 O                               O                               |
           |                               |
           |                               |                               .
           |                               |
           |                               |                               .
           |                               |
           .                               |                               .
                                           |
           .                               |                               .
                                           |
     0.000 | . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |
          0.000                        32.000                         64.000)");
  // In form 3 the same data have no bars (and other limits).
  s_->ws.form = 3;
  EXPECT_EQ(grid_row("/T/D", 6)[0], ' ');
}

// Two line points with the same X: a vertical run of "|".
TEST_F(TextPlotTest, VerticalStepInTheLine) {
  line_point(0.f, 0.f);
  line_point(10.f, 0.f);
  line_point(10.f, 20.f);
  line_point(64.f, 20.f);
  EXPECT_EQ(run("PLOT/T/D"), R"( PLOT /M=VGA/T/D


    20.000 | . . . . -------------------------------------------------------
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
    10.000 -         |                                                     -
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
           .         |                                                     .
                     |
     0.000 ----------| . . | . . . . . . . | . . . . . . . | . . . . . . . |
          0.000                        32.000                         64.000)");
}

TEST_F(TextPlotTest, DropDoesNotRoundTheLimits) {
  point(0.37f, 1.f);
  point(8.2f, 3.f);
  const std::string out = run("PLOT/T/DROP");
  EXPECT_NE(out.find("\n     3.000 | . ."), std::string::npos) << out;
  EXPECT_NE(out.find("\n     2.000 -"), std::string::npos) << out;
  EXPECT_NE(out.find("\n          0.370                         4.285                          8.200"),
            std::string::npos)
      << out;
  const std::string rounded = run("PLOT/T");
  EXPECT_NE(rounded.find("\n          0.000                         4.500                          9.000"),
            std::string::npos)
      << rounded;
}

TEST_F(TextPlotTest, SegmentsAreNotJoinedAndSlopesPickTheirCharacter) {
  // /D limits 0..64 by 0..20: one cell per unit.
  line_point(0.f, 0.f);
  line_point(4.f, 20.f);   // five rows per column: "|"
  line_point(10.f, 0.f);   // falling steeply too
  line_point(20.f, 20.f);  // two rows per column: "/"
  line_point(30.f, 0.f);   // "\"
  line_point(64.f, 10.f);  // gentle: "-"
  // Row 11 (Y = 10) crosses every piece once.
  EXPECT_EQ(grid_row("/T/D", 11).substr(0, 30), "- |    |       /         \\    ");
  // /NLINE=2, starts a new segment at the third point: nothing is drawn
  // from (4, 20) down to (10, 0).
  add_line_marker(s_->ws, con_, 2, "first");
  EXPECT_EQ(run("PLOT/T/D").substr(0, 26), " PLOT /M=VGA/T/D/NLINE=2,\n");
  EXPECT_EQ(grid_row("/T/D/NLINE=2,", 11).substr(0, 30), "- |            /         \\    ");
}

// The plot line as the plot sees it, and the plot's own range rules,
// through the command.
TEST_F(TextPlotTest, PlotLineAndRangeRules) {
  for (int i = 1; i <= 40; ++i) point(static_cast<float>(i), static_cast<float>(i));
  add_point_marker(s_->ws, con_, 10, "a");
  add_point_marker(s_->ws, con_, 25, "b");
  auto first_line = [&](std::string_view command) {
    const std::string out = run(command);
    return out.substr(0, out.find('\n'));
  };
  auto x_labels = [&](std::string_view command) {
    const std::string out = run(command);
    return out.substr(out.rfind('\n') + 1);
  };
  EXPECT_EQ(first_line("PLOT/T/LEG"), " PLOT /M=VGA/T/LEG/NSET1=10,25,");
  EXPECT_EQ(first_line("PLOT/TEXT"), " PLOT /M=VGA/TEXT/NSET1=10,25,");
  EXPECT_EQ(run("PLOT/T/THETA=30"), kNoPlotWindowMessage);
  EXPECT_EQ(x_labels("PLOT/T/D/5:20"),
            "          5.000                        12.500                         20.000");
  EXPECT_EQ(x_labels("PLOT/T/D/5:"),
            "          5.000                        22.500                         40.000");
  EXPECT_EQ(x_labels("PLOT/T/D/N-9:N"),
            "          1.000                        20.500                         40.000");
  // Bounds beyond the points are clipped; a reversed range plots nothing.
  EXPECT_EQ(x_labels("PLOT/T/D/30:900"),
            "         30.000                        35.000                         40.000");
  std::string empty = run("PLOT/T/D/20:10");
  empty.erase(0, empty.find('\n'));  // after the echo of the plot line
  EXPECT_EQ(empty.find('O'), std::string::npos);
  // Points 1-10 are set 1 (O), 11-25 set 2 (X), 26-40 set 3 (*).
  std::string sets = run("PLOT/T/D");
  sets.erase(0, sets.find('\n'));
  EXPECT_NE(sets.find('O'), std::string::npos);
  EXPECT_NE(sets.find('X'), std::string::npos);
  EXPECT_NE(sets.find('*'), std::string::npos);
  EXPECT_EQ(sets.find('V'), std::string::npos);
}

TEST_F(TextPlotTest, EmptyWorkspaceStillPrintsAFrame) {
  const std::string out = run("PLOT/T");
  EXPECT_NE(out.find("\n     1.000 | . ."), std::string::npos) << out;
  EXPECT_NE(out.find("\n     0.000 -    "), std::string::npos) << out;
  EXPECT_NE(out.find("\n    -1.000 | . ."), std::string::npos) << out;
  EXPECT_EQ(con_.lines().size(), 25u);
}

}  // namespace
}  // namespace verto
