#include "plot/model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace verto::plot {
namespace {

class ModelTest : public ::testing::Test {
 protected:
  void points(std::initializer_list<std::array<float, 3>> xys) {
    ws->Npts = 0;
    for (const auto& p : xys) {
      ws->X[ws->Npts] = p[0];
      ws->Y[ws->Npts] = p[1];
      ws->S[ws->Npts] = p[2];
      ++ws->Npts;
    }
  }
  void line(std::initializer_list<std::array<float, 3>> xyz) {
    ws->Nline = 0;
    for (const auto& p : xyz) {
      ws->LX[ws->Nline] = p[0];
      ws->LY[ws->Nline] = p[1];
      ws->LZ[ws->Nline] = p[2];
      ++ws->Nline;
    }
  }
  ModelStatus build(std::string_view qualifiers, int form, Purpose purpose = Purpose::Graphics) {
    const std::string line = to_upper(std::string("PLOT ") + std::string(qualifiers));
    return build_model(*ws, parse_plot_options(line, form), purpose, m);
  }
  std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
  MemoryConsole con;
  PlotModel m;
};

TEST_F(ModelTest, NiceLimitsAndDataLimits) {
  points({{{0.37f, 1.f, 0.f}}, {{8.2f, 2.f, 0.f}}});
  ASSERT_EQ(build("", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, 0.f);
  EXPECT_EQ(m.x.max, 9.f);
  ASSERT_EQ(m.labels.size(), 6u);
  EXPECT_EQ(m.labels[1].slot, LabelSlot::XMiddle);
  EXPECT_FLOAT_EQ(m.labels[1].value, 4.5f);
  ASSERT_EQ(build("/DATA", 3), ModelStatus::Ok);
  EXPECT_FLOAT_EQ(m.x.min, 0.37f);
  EXPECT_FLOAT_EQ(m.x.max, 8.2f);
  ASSERT_EQ(build("/DROP", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.max, 9.f);
  // The character plot keeps the data limits under any /D.
  ASSERT_EQ(build("/DROP", 3, Purpose::Text), ModelStatus::Ok);
  EXPECT_FLOAT_EQ(m.x.max, 8.2f);
  EXPECT_TRUE(m.labels.empty());
}

TEST_F(ModelTest, FormFourExtentsUseTheErrorBars) {
  points({{{1.f, 10.f, 2.f}}, {{2.f, 20.f, 25.f}}});
  ASSERT_EQ(build("/D", 4), ModelStatus::Ok);
  EXPECT_EQ(m.y.min, -5.f);  // 20 - 25
  EXPECT_EQ(m.y.max, 45.f);
  ASSERT_EQ(m.points.size(), 2u);
  EXPECT_TRUE(m.points[0].bar);
  EXPECT_EQ(m.points[0].bar_lo, 8.f);
  EXPECT_EQ(m.points[0].bar_hi, 12.f);
  // With /YLOG a lower end at or below zero uses Y; its bar starts at the
  // bottom of the axis.
  ASSERT_EQ(build("/YLOG", 4), ModelStatus::Ok);
  EXPECT_EQ(m.y.min, 0.f);  // 10 - 2 = 8 -> decade 0
  EXPECT_EQ(m.y.max, 2.f);  // 45 -> decade 2
  EXPECT_EQ(m.points[1].bar_lo, m.y.min);
  EXPECT_FLOAT_EQ(m.points[1].bar_hi, std::log10(45.f));
  EXPECT_FLOAT_EQ(m.points[0].v, 1.f);
  // Other forms draw no error bars.
  ASSERT_EQ(build("", 3), ModelStatus::Ok);
  EXPECT_FALSE(m.points[0].bar);
}

TEST_F(ModelTest, LineWidensTheExtentsOrAloneGivesThem) {
  points({{{1.f, 1.f, 0.f}}, {{2.f, 2.f, 0.f}}});
  line({{{-5.f, 3.f, 0.f}}, {{4.f, 7.f, 0.f}}});
  ASSERT_EQ(build("/D", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, -5.f);
  EXPECT_EQ(m.y.max, 7.f);
  ws->Npts = 0;
  line({{{5.f, 3.f, 0.f}}, {{9.f, 7.f, 0.f}}});
  ASSERT_EQ(build("/D", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, 5.f);  // the line alone
  EXPECT_EQ(m.y.min, 3.f);
  ASSERT_EQ(build("/D", 3, Purpose::Text), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, 0.f);  // the character plot keeps the point extent 0
  EXPECT_EQ(m.y.min, 0.f);
}

TEST_F(ModelTest, LogAxesNeedPositiveData) {
  points({{{0.05f, 1.f, 0.f}}, {{300.f, 0.f, 0.f}}});
  ASSERT_EQ(build("/XLOG", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, -2.f);
  EXPECT_EQ(m.x.max, 3.f);
  EXPECT_EQ(m.labels.size(), 5u);  // no middle label on the log axis
  EXPECT_TRUE(m.x_ticks.front().long_tick);
  EXPECT_EQ(m.x_ticks.size(), 45u);
  EXPECT_EQ(build("/XLOG/YLOG", 3), ModelStatus::LogOfNonPositive);
  // The character plot has no log axes.
  EXPECT_EQ(build("/YLOG", 3, Purpose::Text), ModelStatus::Ok);
  // Z counts only where Z is plotted.
  EXPECT_EQ(build("/ZLOG", 3), ModelStatus::Ok);
  EXPECT_EQ(build("/ZLOG", 7), ModelStatus::LogOfNonPositive);
}

TEST_F(ModelTest, SinglePointIsWidenedAndEmptyRangesDrawNothing) {
  points({{{5.f, 5.f, 0.f}}});
  ASSERT_EQ(build("/D", 3), ModelStatus::Ok);
  EXPECT_FLOAT_EQ(m.x.min, 4.5f);
  EXPECT_FLOAT_EQ(m.x.max, 5.5f);
  ASSERT_EQ(build("", 3), ModelStatus::Ok);
  EXPECT_EQ(m.x.min, 4.f);
  EXPECT_EQ(m.x.max, 6.f);
  ws->Npts = 0;
  ASSERT_EQ(build("", 3), ModelStatus::Ok);
  EXPECT_TRUE(m.points.empty());
  EXPECT_EQ(m.x.min, -1.f);
  EXPECT_EQ(m.x.max, 1.f);
}

TEST_F(ModelTest, RangeIsClippedToThePoints) {
  points({{{1.f, 1.f, 0.f}}, {{2.f, 2.f, 0.f}}, {{3.f, 3.f, 0.f}}, {{4.f, 9.f, 0.f}}});
  ASSERT_EQ(build("/2:3/D", 3), ModelStatus::Ok);
  EXPECT_EQ(m.points.size(), 2u);
  EXPECT_EQ(m.x.min, 2.f);
  EXPECT_EQ(m.y.max, 3.f);
  ASSERT_EQ(build("/3:5000", 3), ModelStatus::Ok);
  EXPECT_EQ(m.n2, 4);
  EXPECT_EQ(m.points.size(), 2u);
  ASSERT_EQ(build("/0:2", 3), ModelStatus::Ok);
  EXPECT_EQ(m.n1, 1);
  ASSERT_EQ(build("/3:2", 3), ModelStatus::Ok);
  EXPECT_TRUE(m.points.empty());
  EXPECT_EQ(m.x.min, -1.f);  // empty range: extents 0, widened
}

TEST_F(ModelTest, SetsGiveSymbolsColoursAndPens) {
  for (int i = 0; i < 40; ++i) {
    ws->X[i] = static_cast<float>(i);
    ws->Y[i] = 1.f;
  }
  ws->Npts = 40;
  ASSERT_EQ(build("/NSET1=10,25,", 3), ModelStatus::Ok);
  ASSERT_EQ(m.points.size(), 40u);
  EXPECT_EQ(m.points[9].set, 1);
  EXPECT_EQ(m.points[9].symbol, Symbol::Square);
  EXPECT_EQ(m.points[9].colour, Colour::indexed(10, 7));
  EXPECT_EQ(m.points[10].symbol, Symbol::Cross);
  EXPECT_EQ(m.points[10].colour, Colour::indexed(9, 4));
  EXPECT_EQ(m.points[39].symbol, Symbol::TriangleUp);
  EXPECT_EQ(m.points[39].colour, Colour::indexed(14, 1));

  // Sets 5, 6 and 7: diamonds in 7, 8, 9; pens 6, 3, 7.
  ASSERT_EQ(build("/NSET1=1,2,3,4,10,20,", 3), ModelStatus::Ok);
  EXPECT_EQ(m.points[3].symbol, Symbol::TriangleDown);
  EXPECT_EQ(m.points[3].colour, Colour::indexed(11, 2));
  EXPECT_EQ(m.points[4].symbol, Symbol::Diamond);
  EXPECT_EQ(m.points[4].colour, Colour::indexed(7, 6));
  EXPECT_EQ(m.points[10].colour, Colour::indexed(8, 3));
  EXPECT_EQ(m.points[30].colour, Colour::indexed(9, 7));
}

TEST_F(ModelTest, ColourCodingGivesWavelengths) {
  points({{{100.f, 1.f, 0.f}}, {{300.f, 2.f, 0.f}}, {{900.f, 3.f, 0.f}}});
  ASSERT_EQ(build("/XS/D", 3), ModelStatus::Ok);
  EXPECT_EQ(m.points[0].colour, Colour::spectral(370.f));
  EXPECT_EQ(m.points[2].colour, Colour::spectral(700.f));
  ASSERT_EQ(build("/XS/XNM", 3), ModelStatus::Ok);  // nanometres win
  EXPECT_EQ(m.points[2].colour, Colour::spectral(900.f));
  ASSERT_EQ(build("/IS", 3), ModelStatus::Ok);
  EXPECT_FLOAT_EQ(m.points[1].colour.nm, 535.f);
  ASSERT_EQ(build("/YA", 3), ModelStatus::Ok);
  EXPECT_FLOAT_EQ(m.points[1].colour.nm, 0.2f);
}

TEST_F(ModelTest, LineSegmentsFromTheLineList) {
  for (int i = 0; i < 8; ++i) {
    ws->LX[i] = static_cast<float>(i);
    ws->LY[i] = static_cast<float>(i * i);
  }
  ws->Nline = 8;
  ASSERT_EQ(build("/NLINE=5,", 3), ModelStatus::Ok);
  ASSERT_EQ(m.line.size(), 8u);
  EXPECT_TRUE(m.line[0].starts_segment);
  EXPECT_FALSE(m.line[4].starts_segment);
  EXPECT_EQ(m.line[4].colour, Colour::indexed(12, 7));
  EXPECT_EQ(m.line[4].style, 0xFFFF);
  EXPECT_TRUE(m.line[5].starts_segment);
  EXPECT_EQ(m.line[5].ordinal, 2);
  EXPECT_EQ(m.line[5].colour, Colour::indexed(11, 4));
  EXPECT_EQ(m.line[5].style, 0x00FD);
  // A skipped segment number keeps its pen; the screen counts segments.
  ASSERT_EQ(build("/NLINE=2,2,", 3), ModelStatus::Ok);
  EXPECT_EQ(m.line[2].segment, 3);
  EXPECT_EQ(m.line[2].ordinal, 2);
  EXPECT_EQ(m.line[2].colour, Colour::indexed(11, 1));
}

TEST_F(ModelTest, LegendEntriesFollowTheMarkers) {
  points({{{1.f, 1.f, 0.f}}, {{2.f, 2.f, 0.f}}});
  for (const char* label : {"first  ", "second", "third run", "4", "five"})
    add_point_marker(*ws, con, 1, label);
  add_line_marker(*ws, con, 1, "Fit Gaussian");
  ASSERT_EQ(build("/LEG=4", 3), ModelStatus::Ok);
  ASSERT_TRUE(m.legend);
  EXPECT_EQ(m.legend_corner, 4);
  ASSERT_EQ(m.legend_entries.size(), 6u);
  EXPECT_EQ(m.legend_entries[0].label, "first");
  EXPECT_EQ(m.legend_entries[0].colour, Colour::indexed(10, 7));
  EXPECT_EQ(m.legend_entries[2].symbol, Symbol::TriangleUp);
  EXPECT_EQ(m.legend_entries[2].colour, Colour::indexed(14, 1));
  EXPECT_EQ(m.legend_entries[4].symbol, Symbol::Diamond);
  EXPECT_EQ(m.legend_entries[4].colour, Colour::indexed(6, 6));
  EXPECT_TRUE(m.legend_entries[5].line);
  EXPECT_EQ(m.legend_entries[5].colour, Colour::indexed(12, 7));
  EXPECT_EQ(m.legend_entries[5].style, 0xFFFF);
  EXPECT_EQ(m.longest_label, 12);
  ASSERT_EQ(build("", 3), ModelStatus::Ok);
  EXPECT_FALSE(m.legend);
  EXPECT_TRUE(m.legend_entries.empty());
}

TEST_F(ModelTest, ObliqueProjectionOfFormSeven) {
  points({{{0.f, 0.f, 0.f}}, {{10.f, 8.f, 0.f}}});
  ASSERT_EQ(build("", 7), ModelStatus::Ok);
  ASSERT_TRUE(m.three_d);
  ASSERT_EQ(m.frame_3d.size(), 3u + 11u + 11u + 11u);
  // At 135 degrees the X axis runs to the right, Y up and to the left at
  // 135 degrees (fy = 10/8 is taken as 1), and the zero-height Z axis of
  // span 1 straight up.
  const Segment& xa = m.frame_3d[0];
  EXPECT_FLOAT_EQ(xa.u2 - xa.u1, 10.f);
  EXPECT_NEAR(xa.v2 - xa.v1, 0.f, 1e-5);
  const Segment& ya = m.frame_3d[1];
  EXPECT_NEAR(ya.u2 - ya.u1, -8.f * std::sqrt(0.5f), 1e-4);
  EXPECT_NEAR(ya.v2 - ya.v1, 8.f * std::sqrt(0.5f), 1e-4);
  EXPECT_TRUE(m.x_ticks.empty());
  EXPECT_TRUE(m.labels.empty());
  ASSERT_EQ(m.letters.size(), 3u);
  EXPECT_EQ(m.letters[2].letter, 'z');
  EXPECT_EQ(m.letters[0].columns, -2.f);  // int(2.2 cos 0)
  EXPECT_EQ(m.letters[0].rows, 2.f);
  EXPECT_EQ(m.points[1].u, 10.f - 8.f * std::sqrt(0.5f));

  // At 180 degrees the X axis points up and to the right at 45 degrees.
  ASSERT_EQ(build("/THETA=180", 7), ModelStatus::Ok);
  const Segment& x180 = m.frame_3d[0];
  EXPECT_NEAR(x180.u2 - x180.u1, 10.f * std::sqrt(0.5f), 1e-4);
  EXPECT_NEAR(x180.v2 - x180.v1, 10.f * std::sqrt(0.5f), 1e-4);
  EXPECT_EQ(m.letters[0].columns, -1.f);  // int(2.2 cos 45)
}

TEST_F(ModelTest, ThreeDScalesAxesAndDropsToTheFloor) {
  points({{{0.f, 0.f, 50.f}}, {{10.f, 1.f, 100.f}}});
  ASSERT_EQ(build("/DROP", 7), ModelStatus::Ok);
  // fy = 10 / 1 stays 10; Z runs from 50 to 100 (0 is outside), fz =
  // 10 / 50 = 0.2 stays too.
  const Segment& ya = m.frame_3d[1];
  EXPECT_NEAR(ya.v2 - ya.v1, 10.f * std::sqrt(0.5f), 1e-4);
  const Segment& za = m.frame_3d[2];
  EXPECT_NEAR(za.v2 - za.v1, 10.f, 1e-4);
  ASSERT_TRUE(m.points[1].drop);
  EXPECT_FLOAT_EQ(m.points[1].drop_u, m.points[1].u);
  EXPECT_NEAR(m.points[1].v - m.points[1].drop_v, 10.f, 1e-4);
  EXPECT_FALSE(m.points[1].bar);
  // /DATA: every scale factor 1.
  ASSERT_EQ(build("/DATA", 7), ModelStatus::Ok);
  EXPECT_NEAR(m.frame_3d[2].v2 - m.frame_3d[2].v1, 50.f, 1e-3);
  EXPECT_NEAR(m.frame_3d[1].v2 - m.frame_3d[1].v1, std::sqrt(0.5f), 1e-4);
}

TEST_F(ModelTest, ContourIsFlatAndColouredByZ) {
  points({{{1.f, 1.f, 2.f}}, {{2.f, 4.f, 7.f}}, {{3.f, 2.f, 12.f}}});
  ASSERT_EQ(build("/CON/XNM", 7), ModelStatus::Ok);
  EXPECT_FALSE(m.three_d);
  EXPECT_EQ(m.form, 3);
  EXPECT_EQ(m.z.min, 0.f);  // Z limits 2..12 rounded to 0..20
  EXPECT_EQ(m.z.max, 20.f);
  EXPECT_EQ(m.points[0].colour, Colour::spectral(330.f * 0.1f + 370.f));
  EXPECT_EQ(m.points[2].colour, Colour::spectral(330.f * 0.6f + 370.f));
}

TEST_F(ModelTest, ValuesThatAreNotFiniteAreNotDrawn) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  points({{{1.f, 1.f, 0.f}}, {{nan, 2.f, 0.f}}, {{3.f, inf, 0.f}}, {{4.f, 4.f, 0.f}}});
  ASSERT_EQ(build("/D", 3), ModelStatus::Ok);
  EXPECT_EQ(m.points.size(), 2u);
  EXPECT_EQ(m.x.max, 4.f);
  EXPECT_EQ(m.y.max, 4.f);
}

}  // namespace
}  // namespace verto::plot
