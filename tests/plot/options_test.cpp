#include "plot/options.h"

#include <gtest/gtest.h>

#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace verto::plot {
namespace {

PlotOptions parse(std::string_view line, int form = 3) {
  return parse_plot_options(to_upper(line), form);
}

std::string typed(Workspace& ws, std::string_view text) {
  ws.upper = to_upper(text);
  ws.upper.resize(kLineLength, ' ');
  return std::string(trim_right(build_plot_line(ws)));
}

TEST(PlotLine, PlotModeGoesBeforeTheTypedQualifiersAndMarkersAfter) {
  Workspace ws;
  MemoryConsole con;
  EXPECT_EQ(typed(ws, "PLOT/LEG"), "PLOT /M=VGA/LEG");
  add_point_marker(ws, con, 10, "run 1");
  add_point_marker(ws, con, 25, "run 2");
  EXPECT_EQ(typed(ws, "PLOT/LEG"), "PLOT /M=VGA/LEG/NSET1=10,25,");
  EXPECT_EQ(typed(ws, "plot /t"), "PLOT /M=VGA /T/NSET1=10,25,");
  add_line_marker(ws, con, 100, "Fit Gaussian");
  EXPECT_EQ(typed(ws, "PLOT"), "PLOT /M=VGA/NSET1=10,25,/NLINE=100,");
  ws.plot_mode = "";
  EXPECT_EQ(typed(ws, "PLOT/PS"), "PLOT /PS/NSET1=10,25,/NLINE=100,");
}

TEST(PlotLine, IsCutAtSeventyCharacters) {
  Workspace ws;
  MemoryConsole con;
  for (int i = 1; i <= 20; ++i) add_point_marker(ws, con, i * 1000, "");
  ws.upper = to_upper("PLOT/PS");
  ws.upper.resize(kLineLength, ' ');
  const std::string line = build_plot_line(ws);
  ASSERT_EQ(line.size(), 70u);
  EXPECT_EQ(line, "PLOT /M=VGA/PS/NSET1=1000,2000,3000,4000,5000,6000,7000,8000,9000,1000");
  // The cut list still reads: the last number is whatever survived.
  const PlotOptions opt = parse(line);
  ASSERT_EQ(opt.point_breaks.count, 10);
  EXPECT_EQ(opt.point_breaks.at[9], 1000);
}

TEST(PlotOptions, OutputChoice) {
  EXPECT_TRUE(parse("PLOT /M=VGA/T").text);
  EXPECT_TRUE(parse("PLOT /TEXT").text);
  EXPECT_FALSE(parse("PLOT /T/THETA=30").text);  // /T matches inside /THETA=
  EXPECT_FALSE(parse("PLOT /THETA=30").text);
  EXPECT_EQ(parse("PLOT /THETA=30").theta, 30.f);
  EXPECT_EQ(parse("PLOT /THETA=-45.5/XS").theta, -45.5f);
  EXPECT_EQ(parse("PLOT /THETA=10/THETA=20").theta, 20.f);  // the last one
  EXPECT_EQ(parse("PLOT").theta, 135.f);

  auto ps = parse("PLOT /PS");
  EXPECT_TRUE(ps.file && ps.postscript && !ps.text);
  auto both = parse("PLOT /PRINT/PS");
  EXPECT_TRUE(both.file && both.postscript);
  auto hpgl = parse("PLOT /PRINT/OVER");
  EXPECT_TRUE(hpgl.file && !hpgl.postscript && hpgl.over);
  auto text_first = parse("PLOT /T/PS");  // text plot is chosen first
  EXPECT_TRUE(text_first.text && text_first.file);
  EXPECT_TRUE(parse("PLOT /PS/B").background);
}

TEST(PlotOptions, DataLimitsAndDroplines) {
  auto data = parse("PLOT /DATA");
  EXPECT_FALSE(data.nice);
  EXPECT_TRUE(data.any_d);
  EXPECT_FALSE(parse("PLOT /D").nice);
  auto drop = parse("PLOT /DROP");
  EXPECT_TRUE(drop.nice);  // /DR does not clear the rounding
  EXPECT_TRUE(drop.drop);
  EXPECT_TRUE(drop.any_d);  // but the character plot sees a /D
  auto both = parse("PLOT /DROP/D");
  EXPECT_FALSE(both.nice);
  EXPECT_TRUE(both.drop);
  EXPECT_TRUE(parse("PLOT").nice);
  EXPECT_FALSE(parse("PLOT").any_d);
}

TEST(PlotOptions, LogAxesAndLegendCorner) {
  auto o = parse("PLOT /XLOG/ZLOG");
  EXPECT_TRUE(o.xlog && !o.ylog && o.zlog);
  EXPECT_FALSE(parse("PLOT").legend);
  auto leg = parse("PLOT /LEG");
  EXPECT_TRUE(leg.legend);
  EXPECT_EQ(leg.legend_corner, 1);
  EXPECT_EQ(parse("PLOT /LEG=3").legend_corner, 3);
  EXPECT_EQ(parse("PLOT /LEG=4/LEG=2").legend_corner, 2);  // the last one
  EXPECT_EQ(parse("PLOT /LEG=9").legend_corner, 1);
}

TEST(PlotOptions, RightMostColourQualifierWinsAndContourOverrides) {
  auto xs = parse("PLOT /XS/XNM");
  EXPECT_TRUE(xs.colour.on);
  EXPECT_EQ(xs.colour.axis, 1);
  EXPECT_EQ(xs.colour.scale, 1.f);
  auto rev = parse("PLOT /XNM/YS");
  EXPECT_EQ(rev.colour.axis, 2);
  EXPECT_EQ(rev.colour.scale, -1.f);
  EXPECT_EQ(parse("PLOT /ZA").colour.scale, 0.1f);
  EXPECT_EQ(parse("PLOT /YU").colour.scale, 1000.f);
  EXPECT_EQ(parse("PLOT /XM").colour.scale, 1000.f);
  EXPECT_EQ(parse("PLOT /IS").colour.axis, 0);
  EXPECT_FALSE(parse("PLOT /XLOG").colour.on);

  auto con = parse("PLOT /XNM/CON", 7);
  EXPECT_TRUE(con.contour);
  EXPECT_EQ(con.colour.axis, 3);
  EXPECT_EQ(con.colour.scale, -1.f);
  EXPECT_EQ(con.form, 3);  // contour plots are flat
  EXPECT_EQ(parse("PLOT /CONTOUR/XA", 4).form, 3);
  EXPECT_EQ(parse("PLOT", 4).form, 4);
}

TEST(PlotOptions, SizeAndModeChangeNothing) {
  auto plain = parse("PLOT /M=VGA/LEG/XS/5:20");
  auto extra = parse("PLOT /M=EGA/SIZE=2.5/MODE=18/LEG/XS/5:20");
  EXPECT_EQ(plain.text, extra.text);
  EXPECT_EQ(plain.file, extra.file);
  EXPECT_EQ(plain.legend, extra.legend);
  EXPECT_EQ(plain.nice, extra.nice);
  EXPECT_EQ(plain.colour.axis, extra.colour.axis);
  EXPECT_EQ(plain.colour.scale, extra.colour.scale);
  EXPECT_EQ(plain.range_first, extra.range_first);
  EXPECT_EQ(plain.range_last, extra.range_last);
  EXPECT_EQ(plain.theta, extra.theta);
}

TEST(PlotOptions, RangeBoundsAreDigitsOnly) {
  auto r = parse("PLOT /M=VGA/5:20");
  EXPECT_EQ(r.range_first, 5);
  EXPECT_EQ(r.range_last, 20);
  auto open = parse("PLOT /M=VGA/5:");
  EXPECT_EQ(open.range_first, 5);
  EXPECT_EQ(open.range_last, -1);  // up to the last point
  auto expr = parse("PLOT /M=VGA/N-9:N");
  EXPECT_EQ(expr.range_first, 1);
  EXPECT_EQ(expr.range_last, -1);
  auto first_only = parse("PLOT /:7/LEG");
  EXPECT_EQ(first_only.range_first, 1);
  EXPECT_EQ(first_only.range_last, 7);
  auto blank = parse("PLOT /5 :20");
  EXPECT_EQ(blank.range_first, 1);  // "5 " is not all digits
  EXPECT_EQ(blank.range_last, 20);
  auto colon_in_second = parse("PLOT /5:20:30");
  EXPECT_EQ(colon_in_second.range_first, 5);
  EXPECT_EQ(colon_in_second.range_last, -1);
  auto big = parse("PLOT /1:99999999999999");
  EXPECT_EQ(big.range_last, 1000000000);
}

TEST(PlotOptions, MarkerListsBecomeSetNumbers) {
  auto o = parse("PLOT /M=VGA/LEG/NSET1=10,25,");
  ASSERT_TRUE(o.point_breaks.given);
  ASSERT_EQ(o.point_breaks.count, 2);
  EXPECT_EQ(set_number(o.point_breaks, 1), 1);
  EXPECT_EQ(set_number(o.point_breaks, 10), 1);
  EXPECT_EQ(set_number(o.point_breaks, 11), 2);
  EXPECT_EQ(set_number(o.point_breaks, 25), 2);
  EXPECT_EQ(set_number(o.point_breaks, 26), 3);
  EXPECT_EQ(set_number(o.point_breaks, 40), 3);
  EXPECT_FALSE(o.line_breaks.given);
  EXPECT_EQ(set_number(o.line_breaks, 500), 1);

  auto both = parse("PLOT /NSET1=5,/NLINE=50,60");
  EXPECT_EQ(both.point_breaks.count, 1);
  ASSERT_EQ(both.line_breaks.count, 2);
  EXPECT_EQ(both.line_breaks.at[1], 60);

  // A break not above the one before it leaves an empty set.
  auto down = parse("PLOT /NSET1=25,10,");
  EXPECT_EQ(set_number(down.point_breaks, 20), 1);
  EXPECT_EQ(set_number(down.point_breaks, 26), 3);
  auto same = parse("PLOT /NSET1=5,5,");
  EXPECT_EQ(set_number(same.point_breaks, 6), 3);
}

TEST(PlotOptions, ListsStopAtTheFirstItemThatIsNotANumber) {
  EXPECT_EQ(parse("PLOT /NSET1= 3, 7,").point_breaks.count, 2);
  // A stretch of digits and blanks reads as its first number.
  auto blanks = parse("PLOT /NSET1=10 25,30");
  ASSERT_EQ(blanks.point_breaks.count, 2);
  EXPECT_EQ(blanks.point_breaks.at[0], 10);
  EXPECT_EQ(blanks.point_breaks.at[1], 30);
  auto stop = parse("PLOT /NSET1=4,X,9");
  ASSERT_EQ(stop.point_breaks.count, 1);
  auto none = parse("PLOT /NSET1=/LEG");
  EXPECT_TRUE(none.point_breaks.given);
  EXPECT_EQ(none.point_breaks.count, 0);
  EXPECT_EQ(set_number(none.point_breaks, 99), 1);
}

}  // namespace
}  // namespace verto::plot
