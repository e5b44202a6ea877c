// The renderer against a device that records what it is told.
#include "plot/render.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/workspace.h"
#include "plot/file_devices.h"

namespace verto::plot {
namespace {

class RecordingDevice : public PlotDevice {
 public:
  const PageGeometry& page() const override { return geometry; }
  void colour(const Colour& c) override {
    std::ostringstream s;
    s << "colour " << static_cast<int>(c.kind) << " " << c.palette << " " << int{c.pen};
    ops.push_back(s.str());
  }
  void line_style(std::uint16_t mask) override { ops.push_back("style " + std::to_string(mask)); }
  void move(float x, float y) override { ops.push_back("move " + xy(x, y)); }
  void draw(float x, float y) override { ops.push_back("draw " + xy(x, y)); }
  void text(float x, float y, std::string_view s) override {
    ops.push_back("text " + xy(x, y) + " " + std::string(s));
  }
  static std::string xy(float x, float y) {
    std::ostringstream s;
    s << x << "," << y;
    return s.str();
  }
  // The operations from the first one that starts with `from`.
  std::vector<std::string> after(std::string_view from) const {
    for (std::size_t i = 0; i < ops.size(); ++i)
      if (ops[i].starts_with(from)) return {ops.begin() + static_cast<long>(i), ops.end()};
    return {};
  }
  std::vector<std::string> ops;
  PageGeometry geometry;
};

class RenderTest : public ::testing::Test {
 protected:
  PlotModel build(std::string_view qualifiers, int form = 3) {
    PlotModel m;
    build_model(*ws, parse_plot_options(to_upper("PLOT " + std::string(qualifiers)), form),
                Purpose::Graphics, m);
    return m;
  }
  std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
  MemoryConsole con;
};

// A page whose device units equal world units: frame at the origin, 10 by
// 10, world 0..10 on both axes.
PageGeometry unit_page() {
  PageGeometry g;
  g.w = g.h = 10.f;
  g.tick_on_x = g.tick_on_y = 0.5f;
  g.symbol_dx = g.symbol_dy = 1.f;
  g.cell_w = g.cell_h = 1.f;
  g.grid_x = -10.f;
  g.grid_y = 10.f;
  g.columns = 20;
  g.rows = 10;
  g.legend_symbol = 0.5f;
  return g;
}

TEST_F(RenderTest, FrameTicksSymbolsBarsAndDroplines) {
  ws->form = 4;
  ws->X[0] = 2.f, ws->Y[0] = 5.f, ws->S[0] = 1.f;
  ws->X[1] = 10.f, ws->Y[1] = 10.f, ws->S[1] = 0.f;
  ws->X[2] = 0.f, ws->Y[2] = 0.f, ws->S[2] = 0.f;
  ws->Npts = 3;
  add_point_marker(*ws, con, 1, "a");
  RecordingDevice d;
  render(build("/DROP/NSET1=1,", 4), unit_page(), d);
  const std::vector<std::string> frame(d.ops.begin(), d.ops.begin() + 6);
  EXPECT_EQ(frame, (std::vector<std::string>{"colour 0 0 0", "move 0,0", "draw 10,0", "draw 10,10",
                                             "draw 0,10", "draw 0,0"}));
  // First tick: up from the bottom edge, down from the top edge.
  EXPECT_EQ(d.ops[6], "move 0,0");
  EXPECT_EQ(d.ops[7], "draw 0,0.5");
  EXPECT_EQ(d.ops[8], "move 0,10");
  EXPECT_EQ(d.ops[9], "draw 0,9.5");
  // The middle tick has double length.
  const auto middle = d.after("move 5,0");
  ASSERT_GE(middle.size(), 2u);
  EXPECT_EQ(middle[1], "draw 5,0.5");
  EXPECT_FALSE(d.after("draw 5,1").empty());

  // Point 1 (set 1): square up the left side first, error bar, dropline.
  std::vector<std::string> p1 = d.after("colour 1 10 7");
  ASSERT_GE(p1.size(), 10u);
  p1.resize(10);
  EXPECT_EQ(p1, (std::vector<std::string>{"colour 1 10 7", "move 1,4", "draw 1,6", "draw 3,6",
                                          "draw 3,4", "draw 1,4", "move 2,4", "draw 2,6",
                                          "move 2,5", "draw 2,0"}));
  // Point 2 (set 2): a cross.
  const auto p2 = d.after("colour 1 9 4");
  ASSERT_GE(p2.size(), 5u);
  EXPECT_EQ(p2[1], "move 9,9");
  EXPECT_EQ(p2[2], "draw 11,11");
  EXPECT_EQ(p2[3], "move 9,11");
  EXPECT_EQ(p2[4], "draw 11,9");
}

TEST_F(RenderTest, LineSegmentsRestartWithAMove) {
  for (int i = 0; i < 4; ++i) {
    ws->LX[i] = static_cast<float>(i) * 2.f;
    ws->LY[i] = static_cast<float>(i) * 2.f;
  }
  ws->Nline = 4;
  add_line_marker(*ws, con, 2, "fit");
  RecordingDevice d;
  render(build("/D/NLINE=2,"), unit_page(), d);
  const auto line = d.after("colour 1 12 7");
  const std::vector<std::string> expected{
      "colour 1 12 7", "style 65535", "move 0,0", "draw 0,0", "colour 1 12 7", "draw 3.33333,3.33333",
      "colour 1 11 4", "style 253",   "move 6.66667,6.66667", "draw 6.66667,6.66667",
      "colour 1 11 4", "draw 10,10",  "style 65535"};
  EXPECT_EQ(line, expected);
}

TEST_F(RenderTest, LegendCornersAndSamples) {
  ws->X[0] = 1.f, ws->Y[0] = 1.f;
  ws->X[1] = 2.f, ws->Y[1] = 2.f;
  ws->Npts = 2;
  add_point_marker(*ws, con, 1, "one");
  add_point_marker(*ws, con, 2, "second");
  RecordingDevice d;
  render(build("/LEG"), unit_page(), d);
  // Corner 1: samples at column 12, rows 2 and 3; labels three columns on.
  const auto legend = d.after("style 65535");
  ASSERT_GE(legend.size(), 14u);
  EXPECT_EQ(legend[1], "colour 1 10 7");
  EXPECT_EQ(legend[2], "move 1.5,8");  // square around (2, 8.5)
  EXPECT_EQ(legend[7], "text 4,8.25 one");
  EXPECT_EQ(legend[8], "colour 1 9 4");
  EXPECT_EQ(legend[13], "text 4,7.25 second");

  // Corner 4: start row rows - 2 - 0 - 3 = 5, start column
  // columns - 6 - 6 = 8.
  RecordingDevice d4;
  render(build("/LEG=4"), unit_page(), d4);
  const auto l4 = d4.after("style 65535");
  ASSERT_GE(l4.size(), 8u);
  EXPECT_EQ(l4[2], "move -2.5,5");  // square around (-2, 5.5)
  EXPECT_EQ(l4[7], "text 0,5.25 one");
}

TEST_F(RenderTest, ScreenPageFollowsTheWindowCells) {
  // 80 x 24 cells of 8 x 16 pixels: drawing area 616 x 368.
  const PageGeometry g = screen_page(80, 24, 8.f, 16.f, 100);
  EXPECT_NEAR(g.x0 + g.w, 616.f, 1.f);
  EXPECT_NEAR(g.w, 544.f, 1.f);  // nine label columns (72 pixels) to the left
  EXPECT_NEAR(g.y0 + g.h, 368.f, 1.f);
  EXPECT_NEAR(g.tick_on_x, 0.02f * g.h, 1e-3);
  EXPECT_NEAR(g.tick_on_y, 0.02f * g.w, 1e-3);
  EXPECT_NEAR(g.symbol_dx, 5.f * g.w / 368.f, 1e-3);  // size 5 up to 100 points
  EXPECT_NEAR(screen_page(80, 24, 8.f, 16.f, 101).symbol_dx, 3.f * g.w / 368.f, 1e-3);
  EXPECT_EQ(g.cell_w, 8.f);
  EXPECT_EQ(g.cell_h, 16.f);
  EXPECT_EQ(g.legend_symbol, 5.f);
  EXPECT_EQ(g.label_style, LabelStyle::Screen);
  // X right label at column cols - 9 = 71; Y top label on row 1, clamped to
  // column 1.
  EXPECT_EQ(g.label_x[2], 70.f * 8.f);
  EXPECT_EQ(g.label_x[5], 0.f);
  EXPECT_EQ(g.label_y[5], 368.f - 16.f);
}

TEST_F(RenderTest, FilePagesHaveTheirGeometry) {
  const PageGeometry h = hpgl_page(false);
  EXPECT_EQ(h.tick_on_x, 160.f);
  EXPECT_EQ(h.symbol_dx, 40.f);
  EXPECT_EQ(h.label_x[0], 930.f);
  EXPECT_EQ(h.label_y[0], 200.f);
  EXPECT_EQ(h.label_x[1], 4930.f);
  EXPECT_EQ(h.label_x[3], 430.f);
  EXPECT_EQ(h.label_y[4], 4000.f);
  const PageGeometry p = postscript_page(true);
  EXPECT_EQ(p.tick_on_x, 7.f);
  EXPECT_EQ(p.symbol_dx, 2.f);
  EXPECT_EQ(p.label_y[0], 470.f);
  EXPECT_EQ(p.label_x[2], 485.f);
  EXPECT_EQ(p.label_y[5], 770.f);
  EXPECT_TRUE(p.fill_background);
  EXPECT_EQ(p.legend_symbol, 4.f);
}

}  // namespace
}  // namespace verto::plot
