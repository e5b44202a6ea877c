#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/command_session.h"
#include "ui/analysis_dialogs.h"
#include "ui/data_dialogs.h"
#include "ui/file_lines.h"
#include "ui/menu_items.h"

namespace verto::ui {
namespace {

using Lines = std::vector<std::string>;

// Runs the queued lines through the command dispatcher in their order.
void run_all(testing::CommandSession& cs, const QueuedLines& q) {
  for (const auto& line : q.lines) cs.run(line);
}

TEST(FitDialogLines, LineOutputAndLimitsCombine) {
  FitDialog d = open_fit_dialog(1);
  d.parameter = "2";
  d.data_limits = true;
  d.output = LineOutput::Add;
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/D/ADD/1:N POLY=2"});
  EXPECT_EQ(fit_lines(d).count(), -1);
  d.output = LineOutput::NoLine;  // drops the data limits
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/NL/1:N POLY=2"});
  EXPECT_FALSE(fit_data_limits_enabled(d.output));
  d.output = LineOutput::SubtractFit;
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/SUB/1:N POLY=2"});
}

TEST(FitDialogLines, PeakModelsTakeFixedWidthAndPositions) {
  FitDialog d = open_fit_dialog(6);
  d.parameter = "2.5";
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/1:N GAUSS"});  // not fixed: no width
  EXPECT_EQ(fit_parameter_label(6, false), "");
  d.fix_fwhm = true;
  EXPECT_EQ(fit_parameter_label(6, true), "FWHM=");
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/1:N GAUSS=2.5"});
  d = open_fit_dialog(8);
  d.x1 = "3";
  d.x2 = "7   ";
  EXPECT_EQ(fit_lines(d).lines, Lines{"Fit/1:N GAUSS2 3,7"});
  EXPECT_EQ(fit_parameter_label(3, false), "p=");
  EXPECT_FALSE(fit_is_peak_model(11));
}

TEST(MathDialogLines, RemembersTextAndHistory) {
  MathMemory memory;
  MathDialog d = open_math_dialog(memory);
  EXPECT_EQ(d.function, "Y=X");
  EXPECT_EQ(d.history, Lines{"Y=X"});
  d.function = "Y=SIN(X)";
  d.relative = true;
  d.data = MathData::Line;
  d.from = "2";
  EXPECT_EQ(accept_math_dialog(memory, d).lines, Lines{"Math/line/J/2:N Y=SIN(X)"});
  d = open_math_dialog(memory);
  EXPECT_EQ(d.function, "Y=SIN(X)");
  EXPECT_EQ(d.history, (Lines{"Y=SIN(X)", "Y=X"}));
  EXPECT_TRUE(d.relative);
  for (int i = 0; i < 25; ++i) {
    d.function = "Y=" + std::to_string(i);
    accept_math_dialog(memory, d);
    d = open_math_dialog(memory);
  }
  EXPECT_EQ(d.history.size(), 20u);
  EXPECT_EQ(d.history.front(), "Y=24");
  EXPECT_EQ(math_help_lines().lines, Lines{"Help math"});
}

TEST(SmallDialogLines, BuildTheirCommands) {
  NormalizeDialog n;
  EXPECT_EQ(normalize_lines(n).lines, Lines{"Norm/1:N Y=1.0"});
  EXPECT_EQ(normalize_lines(n).count(), 1);
  n.line_data = n.specific_point = true;
  n.point = "5";
  n.variable = 3;
  EXPECT_EQ(normalize_lines(n).lines, Lines{"Norm/line/1:N I=5 S=1.0"});

  AverageDialog a;
  a.standard_deviation = a.discard = true;
  a.delta_x = "0.5";
  EXPECT_EQ(average_lines(a).lines[0], "Average/sd/D=2.5 0.5       ");
  EXPECT_EQ(sum_lines("0.123456789012").lines[0], "Average/sum0.12345678");
  EXPECT_FALSE(average_error_bars_enabled(4));

  SmoothDialog sm;
  sm.median = true;
  EXPECT_EQ(smooth_lines(sm).lines, Lines{"Smooth/M 1.0"});

  SortDialog so = open_sort_dialog({.form = 3, .variable = 2});
  so.descending = true;
  EXPECT_EQ(sort_lines(so, 3).lines, Lines{"Sort/D Y"});
  EXPECT_EQ(sort_lines({3, false}, 7).lines, Lines{"Sort Z"});

  SwapDialog sw = open_swap_dialog({.form = 2});
  EXPECT_EQ(swap_lines(sw).lines, Lines{"SWAP X=S"});
  sw.line_data = true;
  EXPECT_EQ(swap_lines(sw).count(), -1);
  EXPECT_EQ(swap_lines(sw).lines, Lines{"SWAP/LINE X=S"});
}

TEST(FormatDialogLines, SetsColumnsOnlyWhenChangedToOneDigit) {
  testing::CommandSession cs;
  cs.s.ws.Num_columns = 3;
  FormatDialog f = open_format_dialog({.form = 3, .variable = 1, .Num_columns = 3});
  f.form = 6;
  EXPECT_EQ(format_lines(f, 3).lines, Lines{"Form 6  X"});
  f.columns = "4";
  const QueuedLines q = format_lines(f, 3);
  EXPECT_EQ(q.lines, (Lines{"Form 6  X", "Set C=4"}));
  EXPECT_EQ(q.count(), 2);
  run_all(cs, q);
  EXPECT_EQ(cs.s.ws.form, 6);
  EXPECT_EQ(cs.s.ws.Num_columns, 4);
  f.columns = "12";
  EXPECT_EQ(format_lines(f, 3).lines.size(), 1u);
  f = {7, 3, ""};
  EXPECT_EQ(format_lines(f, 3).lines, Lines{"Form 7  Z"});
}

TEST(HelpTopicLines, SpecialPagesAndPlainTopics) {
  EXPECT_EQ(help_topic_lines("SMOOTH").lines, Lines{"Help SMOOTH"});
  const QueuedLines leg = help_topic_lines(kHelpTopics[12]);
  EXPECT_EQ(leg.count(), 7);
  EXPECT_EQ(leg.lines[2], "echo LEGEND [0]");
  const QueuedLines evil = help_topic_lines(kHelpTopics.back());
  EXPECT_EQ(evil.count(), 8);
  for (const auto& l : evil.lines) {
    EXPECT_TRUE(l.starts_with("echo")) << l;
    EXPECT_LE(l.size(), 70u);
  }
}

TEST(PlotOptionsLines, PresetsAndEveryOption) {
  PlotOptionsDialog p;
  EXPECT_EQ(plot_options_lines(p).lines, Lines{"Plot/1:N"});
  p.data_limits = p.droplines = p.x_log = p.y_log = true;
  p.colour_coding = 6;
  p.legend = 2;
  p.orientation = 0;
  EXPECT_EQ(plot_options_lines(p).lines, Lines{"Plot/D/YNM/DROP/Leg=2/THETA=-45/Xlog/Ylog/1:N"});
  p.contour = true;
  p.orientation = 4;
  EXPECT_EQ(plot_options_lines(p).lines, Lines{"Plot/D/YNM/DROP/Leg=2/CONT/Xlog/Ylog/1:N"});
}

TEST(CreateLineLines, AppendsEquallySpacedPointsWhenRun) {
  testing::CommandSession cs;
  cs.line_points({-1.f, -2.f});
  CreateLineDialog d{"0", "10", "11", "SIN(X)"};
  const BuiltLines b = create_line_lines(d, cs.s.ws.Nline);
  ASSERT_EQ(b.error, "");
  EXPECT_EQ(b.queued.count(), -4);
  EXPECT_EQ(b.queued.lines[2], "math/J/line/3: X=0+(I-1)/(11-1)*(10-0)");
  run_all(cs, b.queued);
  ASSERT_EQ(cs.s.ws.Nline, 13);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_FLOAT_EQ(cs.s.ws.LX[static_cast<std::size_t>(i) + 2], static_cast<float>(i));
    EXPECT_NEAR(cs.s.ws.LY[static_cast<std::size_t>(i) + 2], std::sin(static_cast<float>(i)), 1e-5);
  }
  EXPECT_FLOAT_EQ(cs.s.ws.LX[0], -1.f);  // earlier points untouched
}

TEST(CreateLineLines, ReportsTextsThatAreNotNumbers) {
  EXPECT_NE(create_line_lines({"0", "1O", "11", "X"}, 0).error, "");
  EXPECT_NE(create_line_lines({"", "10", "11", "X"}, 0).error, "");
  EXPECT_NE(create_line_lines({"0", "10", "11.5", "X"}, 0).error, "");
  EXPECT_TRUE(create_line_lines({"0", "10", "11.5", "X"}, 0).queued.empty());
  EXPECT_EQ(create_line_lines({"-1.5e2", "1E3", "+4", "X"}, 0).error, "");
}

TEST(CreateDataLines, LineCountFollowsFormatAndRuns) {
  CreateDataMemory memory;
  CreateDataDialog d = open_create_data_dialog(memory, 5);
  EXPECT_EQ(d.format, 3);
  d.n = "5";
  d.xmin = "1";
  d.xmax = "5";
  d.format = 1;
  EXPECT_EQ(create_data_lines(d, 0).queued.count(), -4);
  d.format = 7;
  const BuiltLines b7 = create_data_lines(d, 0);
  EXPECT_EQ(b7.queued.count(), -6);
  EXPECT_TRUE(b7.queued.lines.back().ends_with(": Z=0.05*Y")) << b7.queued.lines.back();
  d.format = 4;
  remember_create_data(memory, d);
  EXPECT_EQ(open_create_data_dialog(memory, 3).format, 4);
  EXPECT_EQ(open_create_data_dialog(memory, 6).format, 3);

  testing::CommandSession cs;
  cs.points({10.f});
  d.y_function = "2*X";
  run_all(cs, create_data_lines(d, cs.s.ws.Npts).queued);
  ASSERT_EQ(cs.s.ws.Npts, 6);
  EXPECT_EQ(cs.s.ws.form, 4);
  EXPECT_FLOAT_EQ(cs.s.ws.X[1], 1.f);
  EXPECT_FLOAT_EQ(cs.s.ws.X[5], 5.f);
  EXPECT_FLOAT_EQ(cs.s.ws.Y[5], 10.f);
  EXPECT_FLOAT_EQ(cs.s.ws.S[5], 0.5f);
  EXPECT_FLOAT_EQ(cs.s.ws.X[0], 10.f);

  d.equally_spaced = false;
  d.xmin = "x";  // not read when X comes from a function
  d.x_function = "I*I";
  EXPECT_EQ(create_data_lines(d, 0).error, "");
  d.n = "many";
  EXPECT_NE(create_data_lines(d, 0).error, "");
}

TEST(TransferLines, EveryChoice) {
  TransferDialog t;
  EXPECT_EQ(transfer_lines(t, 3).lines, Lines{"Points"});
  t.choice = Transfer::PointsToLine;
  t.retain_points = true;
  const QueuedLines q = transfer_lines(t, 3);
  EXPECT_EQ(q.lines, (Lines{"Line", "Points"}));
  EXPECT_EQ(q.count(), -2);
  t.choice = Transfer::Columns;
  t.y_column = 4;
  t.s_column = 0;
  EXPECT_EQ(transfer_lines(t, 4).lines, Lines{"Add/1:N C1 C4"});
  t.s_column = 3;
  EXPECT_EQ(transfer_lines(t, 2).lines, Lines{"Add/1:N C1 C3"});  // Y not in form 2
  EXPECT_EQ(transfer_lines(t, 3).lines, Lines{"Add/1:N C1 C4"});  // S not in form 3
  t.choice = Transfer::ColumnRange;
  t.c1_from = "2";
  t.c1_to = "8";
  t.clear_old = true;
  EXPECT_EQ(transfer_lines(t, 3).lines, Lines{"Port/C 2,8"});
}

TEST(TransferLines, RetainRunsLineThenPoints) {
  testing::CommandSession cs;
  cs.points({1.f, 2.f, 3.f}, {4.f, 5.f, 6.f});
  TransferDialog t;
  t.choice = Transfer::PointsToLine;
  t.retain_points = true;
  run_all(cs, transfer_lines(t, cs.s.ws.form));
  EXPECT_EQ(cs.s.ws.Nline, 3);
  EXPECT_EQ(cs.s.ws.Npts, 3);
}

TEST(FileItemLines, ChosenNameCancelAndLongPaths) {
  FileSelection sel;
  sel.mode = FileSelection::kRead;
  close_file_dialog(sel, false, "x.dat");
  EXPECT_EQ(sel.mode, 0);
  EXPECT_EQ(file_item_lines("Read ", sel, "/w").lines, Lines{" "});
  close_file_dialog(sel, true, "Run12.Dat  ");
  EXPECT_EQ(file_item_lines("Write/line ", sel, "/w").lines, Lines{"Write/line Run12.Dat"});
  close_file_dialog(sel, true, "   ");
  EXPECT_EQ(sel.mode, 0);
  EXPECT_EQ(sel.name, "Run12.Dat");

  close_file_dialog(sel, true, "/w/sub/a.dat");
  EXPECT_EQ(file_item_lines("Read ", sel, "/w").lines, Lines{"Read sub/a.dat"});
  EXPECT_EQ(file_item_lines("Read ", sel, "/v/x/y").lines, Lines{"Read /w/sub/a.dat"});
  const std::string deep = "/data/" + std::string(50, 'd') + "/" + std::string(10, 'e');
  close_file_dialog(sel, true, deep + "/Run.dat");
  EXPECT_EQ(file_item_lines("Read ", sel, deep).lines, Lines{"Read Run.dat"});
  const QueuedLines cd = file_item_lines("Line/add ", sel, "/home");
  EXPECT_EQ(cd.lines, (Lines{"CD " + deep, "Line/add Run.dat"}));
  EXPECT_EQ(cd.count(), -2);
  close_file_dialog(sel, true, "/" + std::string(80, 'f') + "/a.dat");
  EXPECT_EQ(file_item_lines("Read ", sel, "/").lines, Lines{std::string(kPathTooLong)});
}

TEST(MenuItemLines, EditQueuesFiveLinesDiscardingTypedText) {
  const Menu& data = menu_bar()[1];
  const auto edit = std::find_if(data.items.begin(), data.items.end(),
                                 [](const MenuItem& i) { return i.text == "E&dit"; });
  ASSERT_NE(edit, data.items.end());
  const QueuedLines q = item_lines(*edit);
  EXPECT_EQ(q.count(), -5);
  EXPECT_EQ(q.lines.front(), "echo ");
  EXPECT_EQ(q.lines.back(), "Edit");
}

}  // namespace
}  // namespace verto::ui
