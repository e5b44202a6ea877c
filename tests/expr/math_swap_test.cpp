// MATH and SWAP on data put straight into the workspace: targets, the
// line data set and the worksheet, the default ranges and the rule that
// gives an empty data set the worksheet's length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/commands.h"
#include "support/command_session.h"

namespace verto {
namespace {

using V = std::vector<float>;
using Lines = std::vector<std::string>;
using testing::CommandSession;

const std::string kIllegalTarget = "<<<VERTO!!!>>> Illegal Expression!! ";
const std::string kIllegal = "<<<VERTO!!!>>> Illegal expression!";
const std::string kSwapError = "<<<VERTO!!!>>> Error figuring out what columns to swap!";

TEST(TargetCode, LettersColumnsAndTheThirdArrayByForm) {
  using expr::target_code;
  EXPECT_EQ(target_code("X=1", 5), 1);
  EXPECT_EQ(target_code("XVAL", 5), 1);
  EXPECT_EQ(target_code("Y", 5), 2);
  EXPECT_EQ(target_code("S", 4), 3);
  EXPECT_EQ(target_code("S", 7), 0);
  EXPECT_EQ(target_code("Z", 7), 3);
  EXPECT_EQ(target_code("Z", 4), 0);
  EXPECT_EQ(target_code("C1", 5), 4);
  EXPECT_EQ(target_code("C9=", 5), 12);
  EXPECT_EQ(target_code("C0", 5), 0);
  EXPECT_EQ(target_code("C", 5), 0);
  EXPECT_EQ(target_code("CX", 5), 0);
  EXPECT_EQ(target_code(" X", 5), 0);
  EXPECT_EQ(target_code("", 5), 0);
  EXPECT_EQ(target_code("I", 5), 0);
}

TEST(MathCommand, EmptyDataSetTakesTheWorksheetLength) {
  CommandSession t;
  t.s.ws.Mpts = 25;
  EXPECT_EQ(t.run("MATH X=I"), Lines{});
  EXPECT_EQ(t.s.ws.Npts, 25);
  for (int i = 1; i <= 25; ++i) EXPECT_EQ(t.s.ws.X[i - 1], i);
  EXPECT_EQ(t.s.ws.X[25], 0.f);

  // The line data set the same way with /L; a worksheet target leaves the
  // counts alone.
  t.run("MATH/L Y=2*I");
  EXPECT_EQ(t.s.ws.Nline, 25);
  EXPECT_EQ(t.s.ws.LY[24], 50.f);
  t.s.ws.Npts = 0;
  t.run("MATH C3=I");
  EXPECT_EQ(t.s.ws.Npts, 0);
  EXPECT_EQ(t.col(3, 3), (V{1, 2, 3}));
}

TEST(MathCommand, RelativeIndexAndRanges) {
  CommandSession t;
  t.points(V(10, 0.f), V(10, 0.f));
  t.run("MATH/J/5:8 Y=I");
  EXPECT_EQ(t.ys(10), (V{0, 0, 0, 0, 1, 2, 3, 4, 0, 0}));
  t.run("MATH/5:8 Y=I");
  EXPECT_EQ(t.ys(10), (V{0, 0, 0, 0, 5, 6, 7, 8, 0, 0}));
  t.run("MATH/N-1:N X=N");
  EXPECT_EQ(t.xs(10), (V{0, 0, 0, 0, 0, 0, 0, 0, 10, 10}));
  // An empty range, and one beyond the count: the count is not changed.
  t.run("MATH/4:3 Y=99");
  EXPECT_EQ(t.ys(10), (V{0, 0, 0, 0, 5, 6, 7, 8, 0, 0}));
  t.run("MATH/11:12 Y=-1");
  EXPECT_EQ(t.s.ws.Npts, 10);
  EXPECT_EQ(t.s.ws.Y[11], -1.f);
}

TEST(MathCommand, PerPointVariables) {
  CommandSession t;
  t.points({1, 2, 3}, {10, 20, 30}, {0.5f, 0.25f, 0.125f});
  t.s.ws.Mpts = 7;
  t.column(1, {100, 200, 300});
  t.column(9, {-1, -2, -3});
  t.run("MATH Y=X+Y+S+C1+C9");
  EXPECT_EQ(t.ys(3), (V{110.5f, 220.25f, 330.125f}));
  t.run("MATH S=N*10+M");
  EXPECT_EQ(t.ss(3), (V{37, 37, 37}));
  t.run("MATH X=(PI-PI)*E+I");
  EXPECT_EQ(t.xs(3), (V{1, 2, 3}));
}

TEST(MathCommand, WorksheetTargetsDefaultToItsRows) {
  CommandSession t;
  t.points({1, 2});
  t.s.ws.Mpts = 4;
  t.column(1, {1, 2, 3, 4, 5});
  t.run("MATH C2=C1*2");
  EXPECT_EQ(t.col(2, 5), (V{2, 4, 6, 8, 0}));
  // M stands for Mpts in a range too.
  t.run("MATH/M-1:M C2=-C1");
  EXPECT_EQ(t.col(2, 5), (V{2, 4, -3, -4, 0}));
}

TEST(MathCommand, LineDataSetAndTheThirdArray) {
  CommandSession t;
  t.form(4);
  t.line_points({1, 2}, {3, 4}, {5, 6});
  // Outside form 7 the line set has no third array: S reads 0 and a
  // result for it is dropped.
  EXPECT_EQ(t.run("MATH/L S=1"), Lines{});
  EXPECT_EQ(t.s.ws.LZ[0], 5.f);
  EXPECT_EQ(t.s.ws.LX[0], 1.f);
  t.run("MATH/L Y=S+X");
  EXPECT_EQ(t.s.ws.LY[0], 1.f);
  EXPECT_EQ(t.s.ws.LY[1], 2.f);

  t.form(7);
  t.run("MATH/L Z=Z*10+I");
  EXPECT_EQ(t.s.ws.LZ[0], 51.f);
  EXPECT_EQ(t.s.ws.LZ[1], 62.f);
  // The XYS data set is untouched by /L.
  EXPECT_EQ(t.s.ws.Npts, 0);
}

TEST(MathCommand, TheThirdNameFollowsTheForm) {
  CommandSession t;
  t.points({1, 2}, {0, 0}, {3, 4});
  t.form(4);
  EXPECT_EQ(t.run("MATH Z=1"), Lines{kIllegalTarget + "1"});
  EXPECT_EQ(t.run("MATH Y=Z"), Lines{kIllegal});
  t.run("MATH Y=S");
  EXPECT_EQ(t.ys(2), (V{3, 4}));
  t.form(7);
  EXPECT_EQ(t.run("MATH S=1"), Lines{kIllegalTarget + "1"});
  EXPECT_EQ(t.run("MATH Y=S"), Lines{kIllegal});
  t.run("MATH Z=Z+X");
  EXPECT_EQ(t.ss(2), (V{4, 6}));
}

TEST(MathCommand, MessagesLeaveTheDataAlone) {
  CommandSession t;
  t.points({1, 2, 3});
  // The message shows the field after the last "=", or the whole field.
  Lines out = t.run("MATH Q=X+1");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], kIllegalTarget + "X+1");
  EXPECT_EQ(t.run("MATH X+1"), Lines{kIllegalTarget + "X+1"});
  // The blank-padded field is written in full.
  t.run("MATH X");
  EXPECT_EQ(t.con.lines().back().size(), kIllegalTarget.size() + kLineLength);
  // An empty expression does nothing.
  EXPECT_EQ(t.run("MATH X="), Lines{});
  EXPECT_EQ(t.xs(3), (V{1, 2, 3}));
}

TEST(MathCommand, StopsAtTheFirstFailingPoint) {
  CommandSession t;
  t.points({4, -1, 9});
  Lines out = t.run("MATH X=SQRT(X)");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], "<<<VERTO!!!>>> Error in evaluating: SQRT");
  EXPECT_EQ(t.xs(3), (V{2, -1, 9}));
  // A pop from an empty stack fails the point too.
  t.points({1, 2});
  out = t.run("MATH Y=DROP X");
  EXPECT_EQ(out, (Lines{"<<<VERTO!!!>>> Empty Stack!!"}));
  // A division by zero at point 2 keeps point 1's new value.
  t.points({1, 0, 4}, {0, 0, 0});
  t.run("MATH Y=1/X");
  EXPECT_EQ(t.ys(3), (V{1, 0, 0}));
}

TEST(MathCommand, AsksForAMissingExpression) {
  CommandSession t;
  t.points({1, 2, 3});
  // The typed qualifiers are not kept: Y=I runs over all points.
  Lines out = t.run("MATH/2:3", {"y=i*3"});
  EXPECT_EQ(out, (Lines{">_expression:y=i*3"}));
  EXPECT_EQ(t.ys(3), (V{3, 6, 9}));
  // End of input at the prompt ends the command.
  EXPECT_EQ(t.run("MATH"), (Lines{" _expression:"}));
}

TEST(MathCommand, QualifiersStandBeforeTheExpression) {
  CommandSession t;
  t.points({1, 2}, {5, 6});
  t.line_points({7, 8});
  // "/L" inside the expression is a division, not the line qualifier.
  t.run("MATH X=Y/LOG(10)");
  EXPECT_EQ(t.xs(2), (V{5, 6}));
  EXPECT_EQ(t.s.ws.LX[0], 7.f);
  t.run("MATH/L X=Y/LOG(10)");
  EXPECT_EQ(t.s.ws.LX[0], 0.f);
}

TEST(SwapCommand, SeparatorsNamesAndRanges) {
  CommandSession t;
  t.points({1, 2, 3}, {10, 20, 30});
  t.run("SWAP X,Y");
  EXPECT_EQ(t.xs(3), (V{10, 20, 30}));
  EXPECT_EQ(t.ys(3), (V{1, 2, 3}));
  t.run("SWAP X=Y");
  EXPECT_EQ(t.xs(3), (V{1, 2, 3}));
  t.run("SW/2:3 YVAL , XVAL");
  EXPECT_EQ(t.xs(3), (V{1, 20, 30}));
  EXPECT_EQ(t.ys(3), (V{10, 2, 3}));
  // The last "=" or "," separates: X=C,Y swaps X with Y.
  t.run("SWAP/1:1 X=C,Y");
  EXPECT_EQ(t.xs(1), (V{10}));
}

TEST(SwapCommand, WorksheetColumns) {
  CommandSession t;
  t.points({1, 2, 3});
  t.s.ws.Mpts = 4;
  t.column(1, {11, 12, 13, 14});
  t.column(3, {31, 32, 33, 34});
  t.run("SWAP C1=C3");
  EXPECT_EQ(t.col(1, 4), (V{31, 32, 33, 34}));
  EXPECT_EQ(t.col(3, 4), (V{11, 12, 13, 14}));
  // The first name decides the default range: X runs over Npts.
  t.run("SWAP X=C2");
  EXPECT_EQ(t.xs(4), (V{0, 0, 0, 0}));
  EXPECT_EQ(t.col(2, 4), (V{1, 2, 3, 0}));
  t.run("SWAP C2=Y");
  EXPECT_EQ(t.col(2, 4), (V{0, 0, 0, 0}));
}

TEST(SwapCommand, LineDataSetUsesItsThirdArrayInEveryForm) {
  CommandSession t;
  t.form(3);
  t.line_points({1, 2}, {3, 4}, {5, 6});
  t.run("SWAP/L X=S");
  EXPECT_EQ(t.s.ws.LX[0], 5.f);
  EXPECT_EQ(t.s.ws.LZ[1], 2.f);
  // An empty line data set takes the worksheet's length.
  t.s.ws.Nline = 0;
  t.s.ws.Mpts = 1;
  t.run("SWAP/L X,Y");
  EXPECT_EQ(t.s.ws.Nline, 1);
  EXPECT_EQ(t.s.ws.LX[0], 3.f);
  EXPECT_EQ(t.s.ws.LX[1], 6.f);
}

TEST(SwapCommand, Errors) {
  CommandSession t;
  t.points({1, 2});
  t.form(7);
  EXPECT_EQ(t.run("SWAP X"), Lines{kSwapError});
  EXPECT_EQ(t.run("SWAP S=X"), Lines{kSwapError});
  EXPECT_EQ(t.run("SWAP X=S"), Lines{kSwapError});
  EXPECT_EQ(t.run("SWAP X="), Lines{kSwapError});
  EXPECT_EQ(t.run("SWAP X=Z"), Lines{});
  EXPECT_EQ(t.run("SWAP", {"x y"}),
            (Lines{" _columns to swap (i.e. X=Y):x y", kSwapError}));
  EXPECT_EQ(t.xs(2), (V{0, 0}));
}

TEST(CalcCommand, NamesTheDataSetSizes) {
  CommandSession t;
  t.points({1, 2, 3});
  t.s.ws.Mpts = 8;
  t.s.expr.stack.count = 3;  // entering CALC empties the stack
  Lines out = t.run("CALC", {"N M", "+", "exit"});
  EXPECT_EQ(out, (Lines{">  :N M", " 1 : 3", " 2 : 8", ">  :+", " 1 : 11", "   :exit"}));
}

}  // namespace
}  // namespace verto
