// STAT and BIN on data put straight into the workspace, and the binning
// and bar-drawing steps of BIN on their own.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "analysis/commands.h"
#include "support/command_session.h"

namespace verto {
namespace {

using V = std::vector<float>;
using Lines = std::vector<std::string>;
using analysis::bin_counts;
using analysis::histogram_lines;
using testing::CommandSession;

TEST(BinCounts, CentresOnTheExtremesAndRoundsHalvesUp) {
  EXPECT_EQ(bin_counts({0, 1, 2, 3, 4}, 3), (std::vector<int>{1, 2, 2}));
  EXPECT_EQ(bin_counts({0, 1, 2, 3, 4}, 5), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(bin_counts({-2, -1.5f, 0, 10}, 2), (std::vector<int>{3, 1}));
  EXPECT_EQ(bin_counts({-1, -0.5f, 0}, 3), (std::vector<int>{1, 1, 1}));
  // More bins than values: the empty ones stay.
  EXPECT_EQ(bin_counts({1, 2}, 4), (std::vector<int>{1, 0, 0, 1}));
}

TEST(BinCounts, OneBinOrNoSpreadPutsEverythingInTheFirst) {
  EXPECT_EQ(bin_counts({1, 2, 3}, 1), (std::vector<int>{3}));
  EXPECT_EQ(bin_counts({5, 5, 5, 5}, 3), (std::vector<int>{4, 0, 0}));
  EXPECT_EQ(bin_counts({7}, 2), (std::vector<int>{1, 0}));
  EXPECT_EQ(bin_counts({}, 2), (std::vector<int>{0, 0}));
  // A spread too large for single precision: no bin index leaves the range.
  const float big = std::numeric_limits<float>::max();
  auto c = bin_counts({-big, 0, big}, 3);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0] + c[1] + c[2], 3);
}

TEST(HistogramLines, LayoutAndScale) {
  EXPECT_EQ(histogram_lines({1, 0, 3}), (Lines{" (  1)|X", " (  0)|", " (  3)|XXX"}));
  // Up to 58 values a bar has one character per value.
  auto l = histogram_lines({58, 1});
  EXPECT_EQ(l[0], " ( 58)|" + std::string(58, 'X'));
  EXPECT_EQ(l[1], " (  1)|X");
  // Above 58 the longest bar is 58 characters and the others scale down.
  l = histogram_lines({100, 200, 50});
  EXPECT_EQ(l[0], " (100)|" + std::string(29, 'X'));
  EXPECT_EQ(l[1], " (200)|" + std::string(58, 'X'));
  EXPECT_EQ(l[2], " ( 50)|" + std::string(15, 'X'));  // 14.5 rounds up
  // Counts above 999 keep the three columns, in thousands.
  l = histogram_lines({999, 1000, 1999, 50000});
  EXPECT_EQ(l[0].substr(0, 7), " (999)|");
  EXPECT_EQ(l[1].substr(0, 7), " ( 1k)|");
  EXPECT_EQ(l[2].substr(0, 7), " ( 1k)|");
  EXPECT_EQ(l[3], " (50k)|" + std::string(58, 'X'));
}

TEST(BinCommand, VariablesAndTheCurrentVariable) {
  CommandSession t;
  t.points({0, 1, 2, 3, 4}, {0, 0, 0, 0, 8}, {1, 1, 1, 1, 1});
  const Lines x3 = {"", " (  1)|X", " (  2)|XX", " (  2)|XX", ""};
  const Lines y3 = {"", " (  4)|XXXX", " (  0)|", " (  1)|X", ""};
  EXPECT_EQ(t.run("BIN 3"), x3);
  EXPECT_EQ(t.run("BIN 3,Y"), y3);
  EXPECT_EQ(t.run("HIST 3  y"), y3);
  EXPECT_EQ(t.run("BIN 3 S"), (Lines{"", " (  5)|XXXXX", " (  0)|", " (  0)|", ""}));
  // Only X, Y and S are names: Z in form 7 falls back to the current one.
  t.form(7);
  EXPECT_EQ(t.run("BIN 3 Z"), x3);
  t.s.ws.variable = 2;
  EXPECT_EQ(t.run("BIN 3"), y3);
  // At most three digits make the count.
  t.s.ws.variable = 1;
  EXPECT_EQ(t.run("BIN 0005"), (Lines{" _number of bins:"}));
  EXPECT_EQ(t.run("BIN 1234").size(), 123u + 2u);
}

TEST(BinCommand, PromptsForTheCount) {
  CommandSession t;
  t.points({1, 2, 3});
  EXPECT_EQ(t.run("BIN/1:2", {"2 y"}),
            (Lines{" _number of bins:2 y", "", " (  3)|XXX", " (  0)|", ""}));
  EXPECT_EQ(t.run("BIN -3", {"1"}), (Lines{" _number of bins:1", "", " (  3)|XXX", ""}));
  EXPECT_EQ(t.run("BIN"), (Lines{" _number of bins:"}));
}

TEST(BinCommand, RangeLimitsTheData) {
  CommandSession t;
  V x(30);
  for (int i = 0; i < 30; ++i) x[i] = static_cast<float>(i + 1);
  t.points(x);
  Lines out = t.run("BIN/11:20 10");
  ASSERT_EQ(out.size(), 12u);
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(out[k], " (  1)|X");
  EXPECT_EQ(t.run("BIN/20:11 10"), Lines{});
  // A one-point range is one value in the first bin.
  EXPECT_EQ(t.run("BIN/5:5 2"), (Lines{"", " (  1)|X", " (  0)|", ""}));
}

// The STAT report for the values 1, 2, 3, 4.
const Lines kStat1234 = {"",
                         "",
                         " Statistics on X for       4 data points:",
                         "",
                         " Average   =  2.5",
                         " Avg. Dev. =  1",
                         " Std. Dev. =  1.2909944",
                         " Variance  =  1.6666666",
                         " Skew      =  0",
                         " Kurtosis  =  -2.0774999",
                         "              (platykurtic)",
                         "",
                         " Minimum =  1",
                         " Maximum =  4",
                         " Median  =  2.5",
                         " Sum     =  10",
                         ""};

TEST(StatCommand, ReportLayout) {
  CommandSession t;
  t.points({4, 1, 3, 2});
  EXPECT_EQ(t.run("STAT"), kStat1234);
  // The data are not changed (the median sorts a copy).
  EXPECT_EQ(t.xs(4), (V{4, 1, 3, 2}));
}

TEST(StatCommand, ConstantDataAreMesokurtic) {
  CommandSession t;
  t.points({3, 3, 3});
  Lines out = t.run("STAT");
  ASSERT_EQ(out.size(), 17u);
  EXPECT_EQ(out[7], " Variance  =  0");
  EXPECT_EQ(out[8], " Skew      =  0");
  EXPECT_EQ(out[9], " Kurtosis  =  0");
  EXPECT_EQ(out[10], "              (mesokurtic )");
}

TEST(StatCommand, WeightedAverageInFormsTwoAndFour) {
  CommandSession t;
  t.points({1, 2, 3}, {0, 0, 0}, {1, 1, 2});
  t.form(3);
  EXPECT_EQ(t.run("STAT").size(), 17u);
  for (int form : {2, 4}) {
    t.form(form);
    Lines out = t.run("STAT");
    ASSERT_EQ(out.size(), 19u) << form;
    // Weights 1, 1, 1/4: (1 + 2 + 3/4) / 2.25 and sqrt(1 / 2.25).
    EXPECT_EQ(out[17], " weighted average =  1.6666666  +/-  0.6666667");
    EXPECT_EQ(out[18], "");
  }
  // The weights come from the same points as the data.
  t.points({1, 2, 3, 5}, {0, 0, 0, 0}, {1, 1, 2, 1});
  Lines out = t.run("STAT/3:4");
  ASSERT_EQ(out.size(), 19u);
  EXPECT_EQ(out[17], " weighted average =  4.6  +/-  0.8944272");
}

TEST(StatCommand, VariableLetters) {
  CommandSession t;
  t.points({1, 2}, {4, 1, 3, 2}, {1, 2, 3, 4});
  t.s.ws.Npts = 4;
  Lines out = t.run("STAT Y");
  EXPECT_EQ(out[2], " Statistics on Y for       4 data points:");
  EXPECT_EQ(Lines(out.begin() + 3, out.end()), Lines(kStat1234.begin() + 3, kStat1234.end()));
  EXPECT_EQ(t.run("STAT S")[2], " Statistics on S for       4 data points:");
  // Form 7: Z names the third array (shown as S), S is not a name.
  t.form(7);
  EXPECT_EQ(t.run("STAT Z")[2], " Statistics on S for       4 data points:");
  EXPECT_EQ(t.run("STAT S")[2], " Statistics on X for       4 data points:");
  t.s.ws.variable = 3;
  EXPECT_EQ(t.run("STAT")[2], " Statistics on S for       4 data points:");
  EXPECT_EQ(t.run("STAT/2:4 Q")[2], " Statistics on S for       3 data points:");
}

TEST(StatCommand, NeedsTwoPoints) {
  CommandSession t;
  t.points({1, 2, 3, 4, 5});
  const Lines msg = {"<<<VERTO!!!>>> Must have at least 2 points!"};
  EXPECT_EQ(t.run("STAT/5:5"), msg);
  EXPECT_EQ(t.run("STAT/4:1"), msg);
  t.points({7});
  EXPECT_EQ(t.run("STAT"), msg);
  EXPECT_EQ(t.run("STAT/1:2")[2], " Statistics on X for       2 data points:");
}

}  // namespace
}  // namespace verto
