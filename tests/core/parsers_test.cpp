#include <gtest/gtest.h>

#include <cmath>

#include "app/command_table.h"
#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {
namespace {

std::string padded(std::string_view text) {
  std::string s = to_upper(text);
  s.resize(kLineLength, ' ');
  return s;
}

TEST(Parsers, ArgumentStartAndScanAfter) {
  EXPECT_EQ(argument_start(padded("READ/3 data.txt")), 8);
  EXPECT_EQ(argument_start(padded("LIST")), 0);
  EXPECT_EQ(argument_start(std::string(70, 'X')), -1);
  EXPECT_EQ(argument_start(padded("ECHO    far")), 9);
  EXPECT_EQ(scan_after(padded("READ/3 x"), "/ "), 6);
  EXPECT_EQ(scan_after(padded("FORM ?"), "?H"), 7);  // the blank after "?"
  EXPECT_EQ(scan_after("FORM ?", "?H"), 0);          // nothing after "?"
  EXPECT_EQ(scan_after(padded("LIST"), "/"), -1);
  EXPECT_EQ(scan_after("A==B", "="), 4);
}

TEST(Parsers, TrimLeftMovesTextAndKeepsLength) {
  std::string t = "   12.5   ";
  EXPECT_EQ(trim_left(t), 4);
  EXPECT_EQ(t, "12.5      ");
  std::string blank = "    ";
  EXPECT_EQ(trim_left(blank), 0);
  EXPECT_EQ(blank, "    ");
}

TEST(Parsers, RoundToIntHalvesAwayFromZero) {
  EXPECT_EQ(round_to_int(2.5, -100, 100), 3);
  EXPECT_EQ(round_to_int(-2.5, -100, 100), -3);
  EXPECT_EQ(round_to_int(2.49, -100, 100), 2);
  EXPECT_EQ(round_to_int(1e30, 0, 50000), 50000);
  EXPECT_EQ(round_to_int(std::nan(""), 1, 5), 1);
}

class RangeTest : public ::testing::Test {
 protected:
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  int n1 = 0, n2 = 0;
  void range(std::string_view line, int count, int alt = 0, bool use_alt = false) {
    const Range r = parse_range(s, padded(line), count, alt, use_alt);
    n1 = r.n1;
    n2 = r.n2;
  }
};

TEST_F(RangeTest, DefaultsAndExpressions) {
  range("LIST", 20);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 20);
  range("LIST", 20, 7, true);
  EXPECT_EQ(n2, 7);
  range("LIST/1:N", 20);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 20);
  range("LIST/N-4:N", 20);
  EXPECT_EQ(n1, 16);
  EXPECT_EQ(n2, 20);
  range("LIST/2*5:20", 30);
  EXPECT_EQ(n1, 10);
  EXPECT_EQ(n2, 20);
  range("LIST/M:M+1", 30, 4);
  EXPECT_EQ(n1, 4);
  EXPECT_EQ(n2, 5);
  range("LIST/2.5:7.5", 30);  // halves away from zero
  EXPECT_EQ(n1, 3);
  EXPECT_EQ(n2, 8);
}

TEST_F(RangeTest, BlanksDecideWhetherAColonIsARange) {
  range("LIST/1:10 /X", 50);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 10);
  range("LIST /1:10", 50);
  EXPECT_EQ(n2, 10);
  range("LIST/A B:3", 50);  // a blank follows the slash before the colon
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 50);
  range("READ C:3", 50);  // no slash at all
  EXPECT_EQ(n2, 50);
  range("LIST/:5", 50);  // empty first bound keeps its default
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 5);
  range("WRITE/1:20/F=4 file", 50);  // a qualifier after the range
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 20);
  range("LIST/1:N/2", 50);  // but a divisor stays part of the bound
  EXPECT_EQ(n2, 25);
  range("LIST/1:100/M", 50, 4);
  EXPECT_EQ(n2, 25);
  range("LIST/10:", 50);
  EXPECT_EQ(n1, 10);
  EXPECT_EQ(n2, 50);
}

TEST_F(RangeTest, FailingBoundKeepsDefaultAndIndicesStayInsideTheArrays) {
  range("LIST/Q:5", 50);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, 5);
  EXPECT_NE(con.text().find("Illegal expression!"), std::string::npos);
  range("LIST/-5:999999", 50);
  EXPECT_EQ(n1, 1);
  EXPECT_EQ(n2, kMaxNpts);
  range("LIST/10:3", 50);  // an empty range is allowed
  EXPECT_EQ(n1, 10);
  EXPECT_EQ(n2, 3);
  range("LIST/1:-7", 50);
  EXPECT_EQ(n2, 0);
}

class FormTest : public RangeTest {
 protected:
  int form = 5;
  std::string last_line() { return con.lines().empty() ? "" : con.lines().back(); }
};

TEST_F(FormTest, DigitAfterSlashSelectsTheForm) {
  parse_form(s, padded("READ/3 data.txt"), form);
  EXPECT_EQ(form, 3);
  EXPECT_EQ(last_line(), " format:   (X,Y)    ");
}

TEST_F(FormTest, UserFormatOnlyPrintsTheCurrentForm) {
  parse_form(s, padded("READ/'00XY' file"), form);
  EXPECT_EQ(form, 5);
  EXPECT_EQ(last_line(), " format:   auto form");
}

TEST_F(FormTest, NoQualifierPrintsNothing) {
  parse_form(s, padded("READ file"), form);
  EXPECT_EQ(form, 5);
  EXPECT_TRUE(con.lines().empty());
}

TEST_F(FormTest, WithARangeTheFormNeedsAnEqualsSign) {
  parse_form(s, padded("WRITE/1:50/F=4 file"), form);
  EXPECT_EQ(form, 4);
  con.clear();
  form = 5;
  parse_form(s, padded("WRITE/1:50 file"), form);
  EXPECT_EQ(form, 5);
  EXPECT_TRUE(con.lines().empty());
}

TEST_F(FormTest, EqualsInTheArgumentsIsNotAForm) {
  parse_form(s, padded("SET N=4"), form);
  EXPECT_EQ(form, 5);
}

}  // namespace
}  // namespace verto
