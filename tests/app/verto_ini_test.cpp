#include <gtest/gtest.h>

#include <string>

#include "app/line_editor.h"
#include "core/memory_console.h"
#include "app/verto_ini.h"

namespace verto {
namespace {

DefaultsGroup read_ok(std::string_view text) {
  DefaultsGroup g;
  EXPECT_TRUE(read_defaults_namelist(text, g)) << text;
  return g;
}

void expect_refused(std::string_view text) {
  DefaultsGroup g;
  g.iform_def = 4;
  g.plot_mode_def = "/M=EGA";
  EXPECT_FALSE(read_defaults_namelist(text, g)) << text;
  EXPECT_EQ(g.iform_def, 4) << "a failed read must leave the values alone: " << text;
  EXPECT_EQ(g.plot_mode_def, "/M=EGA") << text;
}

TEST(DefaultsNamelist, ReadsEveryKeyInAnyCaseAndLayout) {
  auto g = read_ok(
      "&DEFAULTS\n"
      "  IFORM_def=3, ivar_def = 2\n"
      "  Plot_Mode_Def='/M=EGA'\n"
      "  I_CLOBBER=-1\n"
      "  I_MARKER=+1, I_NOTIFY=7 /\n");
  EXPECT_EQ(g.iform_def, 3);
  EXPECT_EQ(g.ivar_def, 2);
  EXPECT_EQ(g.plot_mode_def, "/M=EGA");
  EXPECT_EQ(g.i_clobber, -1);
  EXPECT_EQ(g.i_marker, 1);
  EXPECT_EQ(g.i_notify, 7);

  auto one_line = read_ok("&defaults iform_def=7 ivar_def=3/");
  EXPECT_EQ(one_line.iform_def, 7);
  EXPECT_EQ(one_line.ivar_def, 3);

  auto ended_by_end = read_ok("$DEFAULTS IFORM_DEF=1 $END");
  EXPECT_EQ(ended_by_end.iform_def, 1);
}

TEST(DefaultsNamelist, KeysNotGivenKeepTheirValues) {
  DefaultsGroup g;
  g.iform_def = 6;
  g.plot_mode_def = "/M=CGA";
  ASSERT_TRUE(read_defaults_namelist("&DEFAULTS I_MARKER=-1 /", g));
  EXPECT_EQ(g.iform_def, 6);
  EXPECT_EQ(g.plot_mode_def, "/M=CGA");
  EXPECT_EQ(g.i_marker, -1);
  EXPECT_EQ(g.i_clobber, 0) << "a missing I_CLOBBER must not switch the question off";

  auto empty_group = read_ok("&DEFAULTS /");
  EXPECT_EQ(empty_group.iform_def, 5);
  // Empty values and "1*" leave the key as it was.
  auto nulls = read_ok("&DEFAULTS IFORM_DEF=, IVAR_DEF=1*, I_MARKER=1 /");
  EXPECT_EQ(nulls.iform_def, 5);
  EXPECT_EQ(nulls.ivar_def, 1);
  EXPECT_EQ(nulls.i_marker, 1);
  // Unquoted, the slash of /M=VGA ends the group before the text.
  DefaultsGroup unquoted;
  unquoted.plot_mode_def = "/M=EGA";
  EXPECT_TRUE(read_defaults_namelist("&DEFAULTS PLOT_MODE_DEF=/M=VGA /", unquoted));
  EXPECT_EQ(unquoted.plot_mode_def, "/M=EGA");
  auto repeat_one = read_ok("&DEFAULTS IFORM_DEF=1*4 /");
  EXPECT_EQ(repeat_one.iform_def, 4);
}

TEST(DefaultsNamelist, QuotedTextsCommentsAndRepeatedKeys) {
  auto g = read_ok(
      "! my settings\n"
      "&DEFAULTS   ! the group\n"
      "  PLOT_MODE_DEF=\"/M=VGA/LEG\"   ! legend always\n"
      "  IFORM_DEF=3 ! first\n"
      "  IFORM_DEF=4 ! the last one counts\n"
      "/\n");
  EXPECT_EQ(g.plot_mode_def, "/M=VGA/LEG");
  EXPECT_EQ(g.iform_def, 4);

  EXPECT_EQ(read_ok("&DEFAULTS PLOT_MODE_DEF='it''s' /").plot_mode_def, "it's");
  EXPECT_EQ(read_ok("&DEFAULTS PLOT_MODE_DEF='a/b!c,d' /").plot_mode_def, "a/b!c,d")
      << "slashes, commas and ! inside quotes are text";
  EXPECT_EQ(read_ok("&DEFAULTS PLOT_MODE_DEF='/M=VGA/XLOG/YLOG/DATA/LEG' /").plot_mode_def,
            "/M=VGA/XLOG/YLOG/DAT")
      << "cut to 20 characters";
}

TEST(DefaultsNamelist, GroupIsFoundAfterOtherLines) {
  auto g = read_ok(
      "@PL\n2\nFORM 3\nPLOT %1%\n"
      "&OTHER X=1 /\n"
      "&DEFAULTS IFORM_DEF=2 /\n");
  EXPECT_EQ(g.iform_def, 2);
}

TEST(DefaultsNamelist, MalformedGroupsAreRefusedWhole) {
  expect_refused("");
  expect_refused("@PL\n1\nPLOT\n");                       // no group at all
  expect_refused("IFORM_DEF=3 /");                         // no group name
  expect_refused("&DEFAULTS IFORM_DEF=3\n");               // no end
  expect_refused("&DEFAULTS IFORM_DEF=3, COLOUR=2 /");     // unknown key
  expect_refused("&DEFAULTS IFORM_DEF=3.5 /");             // not an integer
  expect_refused("&DEFAULTS IFORM_DEF=X /");
  expect_refused("&DEFAULTS IFORM_DEF='3' /");             // text for a number
  expect_refused("&DEFAULTS PLOT_MODE_DEF=3 /");           // number for a text
  expect_refused("&DEFAULTS PLOT_MODE_DEF='/M=VGA /");     // unterminated quote
  expect_refused("&DEFAULTS IFORM_DEF=3 4 /");             // two values
  expect_refused("&DEFAULTS IFORM_DEF=2*3 /");             // repeat beyond one
  expect_refused("&DEFAULTS IFORM_DEF=99999999999 /");     // overflow
  expect_refused("&DEFAULTS IFORM_DEF 3 /");               // no "="
  expect_refused("&DEFAULTS IFORM_DEF(1)=3 /");
}

MemoryConsole run_macro_pass(std::string_view text, MacroTable& table, bool expect_ok = true) {
  MemoryConsole con;
  EXPECT_EQ(load_macros(text, table, con), expect_ok);
  return con;
}

TEST(MacroPass, LoadsNamesCountsAndLines) {
  MacroTable table;
  auto con = run_macro_pass(
      "&DEFAULTS IFORM_DEF=3 /\n"
      "@pl   \n"
      "2\n"
      "FORM 3\n"
      "PLOT %1%\n"
      "ignored line\n"
      "@Setup\r\n"
      " 1 lines\r\n"
      "read data.dat\r\n",
      table);
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.entries[0].name, "@PL");
  ASSERT_EQ(table.entries[0].line_count, 2);
  EXPECT_EQ(table.entries[0].lines[0], "FORM 3");
  EXPECT_EQ(table.entries[0].lines[1], "PLOT %1%");
  EXPECT_EQ(table.entries[1].name, "@SETUP");
  EXPECT_EQ(table.entries[1].lines[0], "read data.dat") << "line ends and case";
  EXPECT_EQ(con.lines(), (std::vector<std::string>{" Loaded macro command: @pl",
                                                   " Loaded macro command: @Setup"}));
}

TEST(MacroPass, LinesAndNamesAreCutToTheirWidths) {
  MacroTable table;
  std::string long_line(90, 'A');
  run_macro_pass("@" + std::string(30, 'n') + "\n1\n" + long_line + "\n", table);
  ASSERT_EQ(table.count, 1);
  EXPECT_EQ(table.entries[0].name.size(), 20u);
  EXPECT_EQ(table.entries[0].lines[0].size(), 75u);
}

TEST(MacroPass, LongMacrosWarnAndTooLongOnesStopThePass) {
  std::string text = "@FIRST\n1\nECHO 1\n@SIXTEEN\n16\n";
  for (int i = 0; i < 16; ++i) text += "ECHO " + std::to_string(i) + "\n";
  text += "@HUGE\n26\n";
  for (int i = 0; i < 26; ++i) text += "ECHO\n";
  text += "@LATER\n1\nECHO later\n";
  MacroTable table;
  auto con = run_macro_pass(text, table, false);
  ASSERT_EQ(table.count, 2) << "macros before the long one stay, later ones are not loaded";
  EXPECT_EQ(table.entries[1].line_count, 16);
  EXPECT_EQ(con.lines(), (std::vector<std::string>{
                             " Loaded macro command: @FIRST",
                             "<<<VERTO!!!>>> Warning! Long macro may cause problems.",
                             " Loaded macro command: @SIXTEEN",
                             "<<<VERTO!!!>>> Warning! Long macro may cause problems.",
                             "<<<VERTO!!!>>> Error reading VERTO.INI, using defaults",
                         }));
}

TEST(MacroPass, AtMostTenMacros) {
  std::string text;
  for (int i = 0; i < 12; ++i)
    text += "@M" + std::to_string(i) + "\n2\nECHO a\n@NOT_A_MACRO_LINE\n";
  MacroTable table;
  auto con = run_macro_pass(text, table);
  EXPECT_EQ(table.count, kMaxMacros);
  EXPECT_EQ(table.entries[9].name, "@M9");
  EXPECT_EQ(table.entries[9].lines[1], "@NOT_A_MACRO_LINE") << "lines of a macro are not names";
  ASSERT_EQ(con.lines().size(), 12u);
  EXPECT_EQ(con.lines()[10], "<<<VERTO!!!>>> Too many macros (at most 10); @M10 is not loaded.");
}

TEST(MacroPass, UnreadableCountsAndEarlyEnds) {
  MacroTable table;
  auto con = run_macro_pass("@A\nthree\nECHO\n@B\n1\nECHO\n", table, false);
  EXPECT_EQ(table.count, 0);
  EXPECT_EQ(con.lines(), std::vector<std::string>{"<<<VERTO!!!>>> Error reading VERTO.INI, using defaults"});

  MacroTable cut;
  auto quiet = run_macro_pass("@A\n1\nECHO a\n@B\n3\nECHO b\n", cut);
  EXPECT_EQ(cut.count, 1) << "a macro cut short by the end of the file is not loaded";
  EXPECT_EQ(quiet.lines().size(), 1u);

  MacroTable empty;
  run_macro_pass("@EMPTY\n0\n@NEG\n-3\n", empty);
  EXPECT_EQ(empty.count, 2);
  EXPECT_EQ(empty.entries[1].line_count, 0);
}

}  // namespace
}  // namespace verto
