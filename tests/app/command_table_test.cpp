#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace verto {
namespace {

std::string resolve(std::string_view typed) {
  std::string upper = to_upper(typed);
  upper.resize(kLineLength, ' ');
  const CommandEntry* e = find_command(command_table(), upper);
  return e ? std::string(e->name) : "(unknown)";
}

TEST(CommandTable, HasTheFortyThreeEntriesInOrder) {
  auto table = command_table();
  ASSERT_EQ(table.size(), 43u);
  EXPECT_EQ(table.front().prefixes[0], "LAB");
  EXPECT_EQ(table[11].prefixes[0], "L");
  EXPECT_EQ(table[35].prefixes[0], "D");
  EXPECT_EQ(table.back().prefixes[0], "YOYO");
}

TEST(CommandTable, PrefixOrderSettlesOverlaps) {
  for (const char* w : {"list", "List", "LIS", "L", "l", "LISTING", "SHOW"})
    EXPECT_EQ(resolve(w), "LIST") << w;
  EXPECT_EQ(resolve("LAB text"), "LABEL");
  EXPECT_EQ(resolve("LABEL/NUM=2 x"), "LABEL");
  EXPECT_EQ(resolve("LOAD file"), "READ");
  EXPECT_EQ(resolve("LS"), "DIR");
  EXPECT_EQ(resolve("LINE"), "LINE");
  EXPECT_EQ(resolve("LEG"), "LEGEND");
  EXPECT_EQ(resolve("DIR"), "DIR");
  EXPECT_EQ(resolve("DD"), "D");
  EXPECT_EQ(resolve("D/ADD 0.5"), "D");
  EXPECT_EQ(resolve("INT"), "INT");
  EXPECT_EQ(resolve("IN file"), "READ");
  EXPECT_EQ(resolve("INCLUDE file"), "READ");
  EXPECT_EQ(resolve("MAKE 3"), "MAKE");
  EXPECT_EQ(resolve("MARK"), "MARK");
  EXPECT_EQ(resolve("MATH Y=X"), "MATH");
  EXPECT_EQ(resolve("QWERTY"), "QUIT");
  EXPECT_EQ(resolve("EXIT"), "EXIT");
  EXPECT_EQ(resolve("ECHO"), "ECHO");
  EXPECT_EQ(resolve("EDIT"), "EDIT");
  EXPECT_EQ(resolve("ENTER"), "ENTER");
  EXPECT_EQ(resolve("E"), "(unknown)");
  EXPECT_EQ(resolve("SAVE f"), "WRITE");
  EXPECT_EQ(resolve("OUTPUT f"), "WRITE");
  EXPECT_EQ(resolve("HIST"), "BIN");
  EXPECT_EQ(resolve("?"), "HELP");
  EXPECT_EQ(resolve("YO!"), "YO");
  EXPECT_EQ(resolve("CLS"), "CLS");
  EXPECT_EQ(resolve("CLEAR"), "CLEAR");
  EXPECT_EQ(resolve("CALC"), "CALC");
  EXPECT_EQ(resolve("ZAP"), "(unknown)");
}

// Every entry of the table runs a command: none answers "not available".
TEST(CommandTable, EveryCommandIsAvailable) {
  const std::set<std::string> expected = {};
  std::set<std::string> missing;
  for (const auto& e : command_table())
    if (!e.run) missing.insert(std::string(e.name));
  EXPECT_EQ(missing, expected);
}

}  // namespace
}  // namespace verto
