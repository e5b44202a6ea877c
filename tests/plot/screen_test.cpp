// The screen plot and the legend window through recording window services.
#include "plot/screen.h"

#include "plot/commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/command_session.h"
#include "support/fake_window.h"

namespace verto::plot {
namespace {

using ::testing::ElementsAre;
using verto::testing::RecordingServices;
using verto::testing::RecordingWindow;

class ScreenTest : public ::testing::Test {
 protected:
  verto::testing::CommandSession cs;
  RecordingServices win;
  void SetUp() override { cs.s.window = &win; }
  RecordingWindow& plot() { return win.windows[ChildWindow::Plot]; }
  RecordingWindow& legend() { return win.windows[ChildWindow::Legend]; }
  void ramp(int n) {
    std::vector<float> x, y;
    for (int i = 1; i <= n; ++i) x.push_back(float(i)), y.push_back(float(i % 7));
    cs.points(x, y);
  }
  // The palette indices set after the frame colour, repeats dropped.
  std::vector<int> colour_changes(const RecordingWindow& w) {
    std::vector<int> out;
    for (const auto& c : w.calls)
      if (c.rfind("colour ", 0) == 0) {
        const int v = std::stoi(c.substr(7));
        if (v != kFrameColour && (out.empty() || out.back() != v)) out.push_back(v);
      }
    return out;
  }
};

TEST_F(ScreenTest, NewWindowAtTheLowerRightReusedWindowKeepsItsSize) {
  ramp(5);
  EXPECT_TRUE(cs.run("PLOT").empty());
  // Frame 800 x 640 pixels over 100 x 40 cells: 8 x 16 pixels a cell.
  EXPECT_THAT(win.log, ElementsAre("open Plot", "configure 256 Plot", "place 21 17 80 24",
                                   "present", "focus console"));
  // 77 x 23 cells of drawing area; nine label columns (72 pixels) on the
  // left, the frame 616 - 72 pixels wide and as large a part of 368 high.
  ASSERT_GE(plot().calls.size(), 3u);
  EXPECT_EQ(plot().calls[0], "clear");
  EXPECT_EQ(plot().calls[1], "viewport 72 0 616 324");
  EXPECT_EQ(plot().calls[2].rfind("world ", 0), 0u);

  win.log.clear();
  win.open_cells[ChildWindow::Plot] = {60, 20};  // the user made it smaller
  cs.run("PLOT");
  EXPECT_THAT(win.log, ElementsAre("configure 256 Plot", "present", "focus console"));
  EXPECT_EQ(plot().calls[1], "viewport 72 0 456 256");
}

TEST_F(ScreenTest, UnsupportedModeAndLogErrorCloseTheWindow) {
  cs.points({1, 2, 3}, {-1, 2, 3});
  win.colours = 1;
  EXPECT_THAT(cs.run("PLOT"),
              ElementsAre(" <<<VERTO!!!>>> Unsupported graphics mode!",
                          "                Quit the program, select the program's properties, under",
                          "                compatability, select \"Run in 256 colors\"."));
  EXPECT_EQ(win.log.back(), "close");
  EXPECT_TRUE(plot().calls.empty());

  win.colours = 256;
  win.log.clear();
  EXPECT_THAT(cs.run("PLOT/YLOG"),
              ElementsAre(" <<<VERTO!!!>>> Can not produce log plot of negative values!"));
  EXPECT_EQ(win.log.back(), "close");

  cs.s.window = nullptr;
  EXPECT_THAT(cs.run("PLOT"), ElementsAre(verto::kNoPlotWindowMessage));
  EXPECT_THAT(cs.run("LEG"), ElementsAre(verto::kNoLegendWindowMessage));
}

TEST_F(ScreenTest, SetColoursSymbolSizeAndWavelengths) {
  ramp(100);
  add_point_marker(cs.s.ws, cs.con, 30, "a");
  add_point_marker(cs.s.ws, cs.con, 60, "b");
  cs.run("PLOT");
  EXPECT_THAT(colour_changes(plot()), ElementsAre(10, 9, 14));
  // Size 5 up to 100 points: the square of point 1 (X 1 .. 100 over 99
  // units with the data limits, 368 pixels high) is 2 * 5 * 99 / 368 wide.
  auto square_width = [&] {
    const int i = plot().find("colour 10");
    double x1 = 0, y = 0, x2 = 0;
    std::sscanf(plot().calls[std::size_t(i) + 1].c_str(), "move %lf %lf", &x1, &y);
    std::sscanf(plot().calls[std::size_t(i) + 3].c_str(), "line %lf %lf", &x2, &y);
    return x2 - x1;
  };
  cs.run("PLOT/D");
  EXPECT_NEAR(square_width(), 2 * 5 * 99.0 / 368, 1e-3);
  ramp(101);
  cs.run("PLOT/D");
  EXPECT_NEAR(square_width(), 2 * 3 * 100.0 / 368, 1e-3);

  // Sets from five on: 7, 8, 9 in turn.
  ramp(12);
  cs.s.ws.point_markers.count = 0;
  for (int m : {4, 5, 6, 7, 8, 9}) add_point_marker(cs.s.ws, cs.con, m, "m");
  cs.run("PLOT");
  EXPECT_THAT(colour_changes(plot()), ElementsAre(10, 9, 14, 11, 7, 8, 9));

  // X coded 370 nm (smallest) to 700 nm (largest): palette entries 30
  // and 221, remapped to violet and red.
  cs.s.ws.point_markers.count = 0;
  cs.points({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 5}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  cs.run("PLOT/XS");
  std::vector<std::string> remaps;
  for (const auto& c : plot().calls)
    if (c.rfind("remap", 0) == 0) remaps.push_back(c);
  ASSERT_EQ(remaps.size(), 12u);
  unsigned first = 0, last = 0, i1 = 0, i2 = 0;
  std::sscanf(remaps.front().c_str(), "remap %u %u", &i1, &first);
  std::sscanf(remaps[10].c_str(), "remap %u %u", &i2, &last);
  EXPECT_EQ(i1, 30u);
  EXPECT_EQ(i2, 221u);
  EXPECT_GT(first >> 16, first & 0xFF);  // more blue than red
  EXPECT_GT(last & 0xFF, last >> 16);    // more red than blue
}

TEST_F(ScreenTest, LineSegmentsChangeColourAndStyleWithoutJoining) {
  ramp(3);
  cs.line_points({1, 2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5, 6, 7});
  add_line_marker(cs.s.ws, cs.con, 5, "fit");
  cs.run("PLOT");
  const RecordingWindow& w = plot();
  const int first = w.find("colour 12");
  ASSERT_GE(first, 0);
  EXPECT_EQ(w.calls[std::size_t(first) + 1], "style 65535");
  const int second = w.find("colour 11", first);
  ASSERT_GT(second, first);
  EXPECT_EQ(w.calls[std::size_t(second) + 1], "style 253");
  EXPECT_EQ(w.calls[std::size_t(second) + 2], "move 6 6");
  EXPECT_EQ(w.calls[std::size_t(second) + 3], "line 6 6");
  EXPECT_EQ(w.calls[std::size_t(second) - 1], "line 5 5");
}

TEST_F(ScreenTest, InPlotLegendAtItsCells) {
  ramp(9);
  add_point_marker(cs.s.ws, cs.con, 3, "alpha");
  add_point_marker(cs.s.ws, cs.con, 5, "beta");
  add_point_marker(cs.s.ws, cs.con, 7, "gamma");
  cs.line_points({1, 9}, {1, 5});
  add_line_marker(cs.s.ws, cs.con, 1, "fitted");
  cs.run("PLOT/LEG");
  const RecordingWindow& w = plot();
  for (const char* t : {"text 2 15 alpha", "text 3 15 beta", "text 4 15 gamma", "text 5 15 fitted"})
    EXPECT_GE(w.find(t), 0) << t;
  // Samples in device pixels of the whole area: cells 8 x 16, column 12.
  const int begin = w.find("viewport 0 0 616 368");
  ASSERT_GE(begin, 0);
  const int square = w.find("colour 10", begin);
  EXPECT_EQ(w.calls[std::size_t(square) + 1], "move_px 91 29");  // 96 - 5, 24 + 5
  EXPECT_EQ(w.calls[std::size_t(square) + 3], "line_px 101 19");
  EXPECT_GE(w.find("colour 9", begin), 0);
  EXPECT_GE(w.find("colour 14", begin), 0);
  const int stroke = w.find("colour 12", begin);
  EXPECT_EQ(w.calls[std::size_t(stroke) + 1], "style 65535");
  EXPECT_EQ(w.calls[std::size_t(stroke) + 2], "move_px 88 72");
  EXPECT_EQ(w.calls[std::size_t(stroke) + 3], "line_px 104 72");

  // Lower right: row 24 - 2 - 0 - 3, column 80 - 6 - 6 (+ 3 for the text).
  cs.s.ws.line_markers.count = 0;
  cs.s.ws.point_markers.count = 0;
  add_point_marker(cs.s.ws, cs.con, 3, "sample");
  add_point_marker(cs.s.ws, cs.con, 6, "blank");
  cs.run("PLOT/LEG=4");
  EXPECT_GE(plot().find("text 19 71 sample"), 0);
  EXPECT_GE(plot().find("text 20 71 blank"), 0);
}

TEST_F(ScreenTest, LegendWindowKeepModes) {
  for (int i = 0; i < 6; ++i) add_point_marker(cs.s.ws, cs.con, i + 2, "p");
  add_line_marker(cs.s.ws, cs.con, 1, "l");
  cs.run("LEG 0");
  EXPECT_THAT(win.log, ElementsAre("open Plot Legend", "configure 256 Plot Legend",
                                   "place 2 15 30 10", "present", "keep", "focus console"));
  // Point labels from row 2, a blank row, then the line labels; the sixth
  // marker is a diamond in colour 6.
  EXPECT_GE(legend().find("text 2 5 p"), 0);
  EXPECT_GE(legend().find("text 9 5 l"), 0);
  EXPECT_GE(legend().find("colour 6"), 0);

  win.log.clear();
  win.keys = {'x'};
  cs.run("LEG");
  EXPECT_THAT(win.log, ElementsAre("open Plot Legend", "configure 256 Plot Legend",
                                   "place 2 15 30 10", "present", "wait", "close"));
  win.log.clear();
  win.keys = {'K'};
  cs.run("LEG 3");
  EXPECT_EQ(win.log.back(), "focus console");
  EXPECT_EQ(win.log[win.log.size() - 2], "keep");
  EXPECT_EQ(legend_keep_mode('4'), 0);
}

TEST_F(ScreenTest, ThreeDAxisLettersFollowTheAngle) {
  cs.points({0, 10}, {0, 8}, {0, 5});
  cs.run("PLOT");  // form 3 first: no letters
  EXPECT_EQ(plot().find("text 0 0 x"), -1);
  cs.s.ws.form = 7;
  cs.run("PLOT");
  auto letter_cell = [&](char c) {
    for (const auto& call : plot().calls)
      if (call.size() > 2 && call.rfind("text", 0) == 0 && call.back() == c &&
          call[call.size() - 2] == ' ') {
        int row = 0, col = 0;
        std::sscanf(call.c_str(), "text %d %d", &row, &col);
        return std::pair{row, col};
      }
    return std::pair{-1, -1};
  };
  const auto x135 = letter_cell('x'), y135 = letter_cell('y'), z135 = letter_cell('z');
  // At 135 degrees X runs to the right, Y up and to the left, Z up.
  EXPECT_GT(x135.second, y135.second);
  EXPECT_LT(y135.first, x135.first);
  EXPECT_LT(z135.first, x135.first);
  cs.run("PLOT/THETA=180");
  const auto x180 = letter_cell('x'), y180 = letter_cell('y');
  // At 180 degrees X points up to the right and Y to the left.
  EXPECT_LT(x180.first, x135.first);
  EXPECT_LT(y180.second, x180.second);
}

}  // namespace
}  // namespace verto::plot
