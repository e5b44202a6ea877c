#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/command_table.h"
#include "app/line_editor.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto {
namespace {

constexpr int kCtrlZ = 26, kCtrlX = 24, kEsc = 27, kBs = 8, kTab = 9, kEnter = 13;

// A keyboard console whose script may hold actions: a key value found in
// `actions` runs its action on the key-reader thread (as a menu callback
// on the window thread would) instead of being delivered.
class ScriptedConsole : public MemoryConsole {
 public:
  ScriptedConsole() { set_interactive(true); }
  void type(std::string_view text) {
    for (char c : text) add_key(static_cast<unsigned char>(c));
  }
  void line(std::string_view text) {
    type(text);
    add_key(kEnter);
  }
  std::map<int, std::function<void()>> actions;

 protected:
  int do_read_key() override {
    for (;;) {
      int k = MemoryConsole::do_read_key();
      auto it = actions.find(k);
      if (it == actions.end()) return k;
      it->second();
    }
  }
};

struct EditorTest : ::testing::Test {
  ScriptedConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  LineEditor ed;

  std::string next() {
    auto line = read_command_line(s, ed);
    EXPECT_TRUE(line.has_value());
    return line.value_or("<end of input>");
  }
  std::vector<std::string> all_lines() {
    std::vector<std::string> out;
    while (auto line = read_command_line(s, ed)) out.push_back(*line);
    return out;
  }
  void define(std::string name, std::vector<std::string> lines) {
    Macro& m = ed.macros.entries[ed.macros.count++];
    m.name = std::move(name);
    m.line_count = static_cast<int>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) m.lines[i] = lines[i];
  }
};

TEST_F(EditorTest, EchoesKeysAfterThePromptAndReturnsTheLine) {
  con.line("read x");
  con.line("");
  EXPECT_EQ(next(), "read x");
  EXPECT_EQ(next(), "") << "an empty line is a line";
  EXPECT_FALSE(read_command_line(s, ed).has_value()) << "end of input";
  EXPECT_EQ(con.lines(), (std::vector<std::string>{">read x", ">", ">"}))
      << "each prompt is an empty line written over with \">\"";
  EXPECT_EQ(ed.history.count(), 2) << "the empty line is stored too";
}

TEST_F(EditorTest, RecallWithCtrlZAndCtrlX) {
  con.line("read x");
  con.add_key(kCtrlZ);
  con.add_key(kCtrlZ);  // a one-entry history keeps its entry
  con.add_key(kEnter);
  con.add_key(kCtrlZ);
  con.add_key(kCtrlX);  // back to the new, empty line
  con.type("list");
  con.add_key(kEnter);
  EXPECT_EQ(next(), "read x");
  EXPECT_EQ(next(), "read x");
  EXPECT_EQ(next(), "list");
  // Ctrl-X at the new line position does nothing.
  con.add_key(kCtrlX);
  con.line("go");
  EXPECT_EQ(next(), "go");
}

TEST_F(EditorTest, RecallRedrawsTheLine) {
  con.line("abc");
  con.type("zzzzz");
  con.add_key(kCtrlZ);
  con.add_key(kEnter);
  next();
  EXPECT_EQ(next(), "abc");
  EXPECT_EQ(con.lines().back(), ">abc" + std::string(75, ' '))
      << "the erase writes 78 blanks, the redraw puts the entry over them";
}

TEST_F(EditorTest, HistoryKeepsTheLastThirtyLines) {
  for (int i = 1; i <= 31; ++i) con.line("line " + std::to_string(i));
  for (int i = 0; i < 31; ++i) next();
  EXPECT_EQ(ed.history.count(), 30);
  EXPECT_EQ(ed.history.entry(1), "line 2");
  EXPECT_EQ(ed.history.entry(30), "line 31");
  for (int i = 0; i < 35; ++i) con.add_key(kCtrlZ);  // past the oldest entry
  con.add_key(kEnter);
  EXPECT_EQ(next(), "line 2") << "the first line can no longer be recalled";
  for (int i = 0; i < 30; ++i) con.add_key(kCtrlZ);
  con.add_key(kEnter);
  EXPECT_EQ(next(), "line 3") << "the recalled line 2 went to the end";
  con.add_key(kCtrlZ);
  con.add_key(kEnter);
  EXPECT_EQ(next(), "line 3") << "recalled lines are stored again as the newest entry";
  EXPECT_EQ(ed.history.entry(28), "line 2");
}

TEST_F(EditorTest, BackspaceAndEsc) {
  con.type("abc");
  con.add_key(kBs);
  con.add_key(127);  // the Backspace key of most terminals
  con.type("x");
  con.add_key(kEnter);
  EXPECT_EQ(next(), "ax");
  EXPECT_EQ(con.lines().back(), ">ax  ") << "blanks erased the removed characters";

  con.clear();
  con.type("q");
  con.add_key(kBs);  // the line becomes empty: a new prompt, as Esc gives
  con.add_key(kBs);  // nothing left to remove
  con.line("list");
  EXPECT_EQ(next(), "list");
  EXPECT_EQ(con.lines(), (std::vector<std::string>{">" + std::string(78, ' '), ">list"}));

  con.clear();
  con.type("half typed");
  con.add_key(kEsc);
  con.line("clear");
  EXPECT_EQ(next(), "clear");
  EXPECT_EQ(con.lines().back(), ">clear");
  EXPECT_EQ(con.lines()[0], ">" + std::string(78, ' '));
}

TEST_F(EditorTest, TextIsLimitedAndOddKeysAreHandled) {
  con.type(std::string(80, 'a'));
  con.add_key(kEnter);
  EXPECT_EQ(next(), std::string(70, 'a'));

  con.type("a");
  con.add_key(0);  // NUL becomes a blank in the returned line
  con.type("b");
  con.add_key(1);  // other control characters are ignored
  con.add_key(kKeyPageDown);
  con.add_key(kEnter);
  EXPECT_EQ(next(), "a b");

  int glances = 0;
  con.type("x");
  con.add_key(kTab);  // no plot window: ignored
  con.add_key(kEnter);
  EXPECT_EQ(next(), "x");
  ed.glance_at_plot = [&] {
    ++glances;
    return true;
  };
  con.type("y");
  con.add_key(kTab);
  con.add_key(kEnter);
  EXPECT_EQ(next(), "y") << "the text stays as it was";
  EXPECT_EQ(glances, 1);
}

TEST_F(EditorTest, CtrlDEndsInputOnlyOnAnEmptyLine) {
  con.type("ab");
  con.add_key(4);
  con.add_key(kEnter);
  con.add_key(4);
  con.line("never read");
  EXPECT_EQ(next(), "ab");
  EXPECT_FALSE(read_command_line(s, ed).has_value());
}

TEST_F(EditorTest, MacrosWithAndWithoutArgument) {
  define("@PL", {"FORM 3", "PLOT %1%"});
  con.line("@pl /LEG");
  con.line("@pl");
  con.line("@PLOT /XLOG");  // the name is a prefix of the word
  EXPECT_EQ(all_lines(), (std::vector<std::string>{"FORM 3", "PLOT /LEG", "FORM 3", "PLOT %1%",
                                                   "FORM 3", "PLOT /XLOG"}));
  EXPECT_EQ(ed.history.entry(1), "FORM 3") << "a macro call is not stored";
  EXPECT_EQ(ed.history.count(), 6);
}

TEST_F(EditorTest, OnlyTheLastPlaceholderIsReplaced) {
  EXPECT_EQ(substitute_argument("ECHO %1% and %1%", "x y"), "ECHO %1% and x y");
  EXPECT_EQ(substitute_argument("ECHO none", "x"), "ECHO none");
  EXPECT_EQ(substitute_argument("READ %1%", std::string(80, 'f')).size(), 70u);
}

TEST_F(EditorTest, NestedMacrosRunAtTheirPlace) {
  define("@OUTER", {"ECHO 1", "@INNER %1%", "ECHO 4"});
  define("@INNER", {"ECHO 2", "ECHO 3 %1%"});
  con.line("@outer arg");
  EXPECT_EQ(all_lines(),
            (std::vector<std::string>{"ECHO 1", "ECHO 2", "ECHO 3 arg", "ECHO 4"}));
}

TEST_F(EditorTest, MacrosThatCallThemselvesAreRefused) {
  define("@LOOP", {"ECHO a", "@LOOP"});
  define("@PING", {"@PONG"});
  define("@PONG", {"ECHO pong", "@PING"});
  con.line("@loop");
  con.line("@ping");
  EXPECT_EQ(all_lines(), (std::vector<std::string>{"ECHO a", "ECHO pong"}));
  int refusals = 0;
  for (const auto& l : con.lines())
    if (l.find("calls itself") != std::string::npos) ++refusals;
  EXPECT_EQ(refusals, 2);
}

TEST_F(EditorTest, MacrosThatMultiplyTheirLinesAreCutShort) {
  // Each of @A's lines calls @B, each of @B's calls @C: without a bound
  // the lines would multiply with every level.
  define("@A", std::vector<std::string>(kMaxMacroLines, "@B"));
  define("@B", std::vector<std::string>(kMaxMacroLines, "@C"));
  define("@C", std::vector<std::string>(kMaxMacroLines, "ECHO c"));
  con.line("@a");
  con.line("ECHO after");
  auto lines = all_lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "ECHO after") << "the next typed line runs with a fresh budget";
  EXPECT_LE(static_cast<int>(lines.size()), kMaxMacros * kMaxMacroLines + 1);
  EXPECT_NE(con.text().find("Macro calls produce too many lines"), std::string::npos);
}

TEST_F(EditorTest, DeepButFiniteNestingRuns) {
  // Ten macros each calling the next around their own lines: the deepest
  // chain the table allows must fit in the pending stack.
  for (int m = 0; m < kMaxMacros; ++m) {
    std::vector<std::string> lines;
    for (int i = 0; i < kMaxMacroLines; ++i)
      lines.push_back(i == 0 && m + 1 < kMaxMacros ? "@M" + std::string(1, char('A' + m + 1))
                                                   : "ECHO " + std::to_string(m));
    define("@M" + std::string(1, char('A' + m)), lines);
  }
  con.line("@MA");
  auto lines = all_lines();
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(9 * 24 + 25));
  EXPECT_EQ(lines.front(), "ECHO 9") << "the innermost macro runs first";
  EXPECT_EQ(lines.back(), "ECHO 0");
}

TEST_F(EditorTest, HandedOverLinesKeepOrDropTheTypedText) {
  // Each action waits until the editor has taken the lines, so that the
  // keys after it are typed after the hand-over (as a user would).
  auto wait_taken = [&] {
    while (ed.queue.count() != 0) std::this_thread::yield();
  };
  con.actions[1000] = [&] {
    EXPECT_TRUE(ed.queue.hand_over({"ECHO first", "ECHO second"}, true));
    wait_taken();
  };
  con.actions[1001] = [&] {
    EXPECT_TRUE(ed.queue.hand_over({"ECHO third"}, false));
    wait_taken();
  };
  con.type("rea");
  con.add_key(1000);  // a menu item with a positive count
  con.line("d x");
  con.type("lost");
  con.add_key(1001);  // a negative count
  con.line("list");
  EXPECT_EQ(next(), "ECHO first");
  EXPECT_EQ(next(), "ECHO second");
  EXPECT_EQ(next(), "read x") << "the half-typed text is shown again";
  EXPECT_EQ(next(), "ECHO third");
  EXPECT_EQ(next(), "list") << "the half-typed text is gone";
  EXPECT_EQ(ed.queue.count(), 0) << "the queue is free again";
  bool saw_saved_prompt = false;
  for (const auto& l : con.lines()) saw_saved_prompt |= l == ">read x";
  EXPECT_TRUE(saw_saved_prompt);
}

TEST_F(EditorTest, HandOverIsRefusedWhileThePreviousIsWaiting) {
  EXPECT_TRUE(ed.queue.hand_over({"ECHO 1"}, true));
  EXPECT_FALSE(ed.queue.hand_over({"ECHO 2"}, true));
  EXPECT_FALSE(ed.queue.hand_over(std::span<const std::string_view>{}, true));
  std::vector<std::string_view> nine(9, "ECHO");
  EXPECT_FALSE(ed.queue.hand_over(nine, true));
  EXPECT_EQ(next(), "ECHO 1");
  EXPECT_TRUE(ed.queue.hand_over({"ECHO 2", "@M"}, false));
  define("@M", {"ECHO from macro"});
  EXPECT_EQ(next(), "ECHO 2");
  EXPECT_EQ(next(), "ECHO from macro") << "handed-over lines may call macros";
}

TEST_F(EditorTest, WholeLinesWithoutAKeyboard) {
  con.set_interactive(false);
  define("@TWO", {"ECHO %1%", "ECHO done"});
  con.add_input("@two hello");
  con.add_input("plain");
  EXPECT_EQ(all_lines(), (std::vector<std::string>{"ECHO hello", "ECHO done", "plain"}));
  EXPECT_EQ(con.lines(), (std::vector<std::string>{">@two hello", ">plain", ">"}))
      << "macro lines run without a prompt";
  EXPECT_EQ(ed.history.count(), 3);

  // A positive hand-over keeps nothing typed here, but the saved text is
  // shown and the next line continues it.
  ed.saved_text = "ECHO sa";
  con.add_input("ved");
  EXPECT_EQ(next(), "ECHO saved");
}

// The edit logic alone: a line, its cursor and the redraw each key asks for.
struct TypedLineTest : ::testing::Test {
  History history;
  TypedLine line;
  LineRedraw last;
  void start(std::string text) {
    line = TypedLine{std::move(text), 0, history.count() + 1};
    line.cursor = static_cast<int>(line.text.size());
  }
  void keys(std::initializer_list<int> ks) {
    for (int k : ks) last = edit_typed_line(line, k, history);
  }
  void type(std::string_view text) {
    for (char c : text) last = edit_typed_line(line, c, history);
  }
};

TEST_F(TypedLineTest, CursorKeysMoveWithinTheLineAndTypingInserts) {
  start("ECHO wrld");
  keys({kKeyLeft, kKeyLeft, kKeyLeft});
  EXPECT_EQ(line.cursor, 6);
  EXPECT_EQ(last.kind, LineRedraw::Cursor);
  type("o");
  EXPECT_EQ(line.text, "ECHO world");
  EXPECT_EQ(line.cursor, 7) << "the cursor stays after the inserted character";
  EXPECT_EQ(last.kind, LineRedraw::Line);
  EXPECT_EQ(last.blanks, 0);
  keys({kKeyHome, kKeyLeft});
  EXPECT_EQ(line.cursor, 0);
  EXPECT_EQ(last.kind, LineRedraw::None) << "nothing left of the start";
  keys({kKeyEnd, kKeyRight});
  EXPECT_EQ(line.cursor, 10);
  EXPECT_EQ(last.kind, LineRedraw::None) << "nothing right of the end";
  keys({edit_keys::kStartOfLine, edit_keys::kForward});
  EXPECT_EQ(line.cursor, 1);
  keys({edit_keys::kEndOfLine, edit_keys::kBack});
  EXPECT_EQ(line.cursor, 9);
  keys({kKeyEnd});
  type("!");
  EXPECT_EQ(last.kind, LineRedraw::Echo) << "typing at the end echoes as before";

  start(std::string(kLineLength, 'a'));
  keys({kKeyHome});
  type("b");
  EXPECT_EQ(line.text, std::string(kLineLength, 'a')) << "a full line takes nothing more";
  EXPECT_EQ(last.kind, LineRedraw::None);
}

TEST_F(TypedLineTest, DeletingKeysRemoveAroundTheCursor) {
  start("read x.dat");
  keys({kKeyHome, kKeyDelete});
  EXPECT_EQ(line.text, "ead x.dat");
  EXPECT_EQ(line.cursor, 0);
  EXPECT_EQ(last.blanks, 1);
  keys({kKeyEnd, kKeyDelete, edit_keys::kDeleteOrEnd});
  EXPECT_EQ(last.kind, LineRedraw::None) << "nothing under the cursor at the end";
  keys({kKeyLeft, kKeyLeft, kKeyLeft, keys::kBackspace});
  EXPECT_EQ(line.text, "ead xdat") << "Backspace removes before the cursor";
  EXPECT_EQ(line.cursor, 5);
  EXPECT_EQ(last.blanks, 2);
  keys({edit_keys::kKillToEnd});
  EXPECT_EQ(line.text, "ead x");
  EXPECT_EQ(last.blanks, 3);
  keys({kKeyLeft, edit_keys::kKillToStart});
  EXPECT_EQ(line.text, "x");
  EXPECT_EQ(line.cursor, 0);
  keys({keys::kBackspace});
  EXPECT_EQ(last.kind, LineRedraw::None) << "Backspace at the start removes nothing";

  start("READ/3  run12.dat  ");
  keys({edit_keys::kKillWord});
  EXPECT_EQ(line.text, "READ/3  ") << "the blanks before the cursor and the word before them";
  keys({edit_keys::kKillWord, edit_keys::kKillWord});
  EXPECT_EQ(line.text, "");
  EXPECT_EQ(last.kind, LineRedraw::None);

  start("q");
  keys({keys::kBackspace});
  EXPECT_EQ(last.kind, LineRedraw::NewPrompt) << "an emptied line starts again as Esc does";
}

TEST_F(TypedLineTest, RecallPutsTheCursorAtTheEndOfTheEntry) {
  history.add("first");
  history.add("second");
  start("typed");
  keys({kKeyHome, keys::kRecallBack, keys::kRecallBack, keys::kRecallBack});
  EXPECT_EQ(line.text, "first");
  EXPECT_EQ(line.cursor, 5);
  EXPECT_EQ(last.kind, LineRedraw::None) << "no entry before the oldest";
  keys({kKeyLeft, keys::kRecallForward});
  EXPECT_EQ(line.text, "second");
  EXPECT_EQ(line.cursor, 6);
  keys({keys::kRecallForward});
  EXPECT_EQ(line.text, "");
  EXPECT_EQ(last.kind, LineRedraw::Recall);
}

TEST_F(EditorTest, EditedLinesAreRedrawnWithTheCursorKept) {
  con.type("ECHO wrld");
  for (int i = 0; i < 3; ++i) con.add_key(kKeyLeft);
  con.type("o");
  con.add_key(kEnter);
  EXPECT_EQ(next(), "ECHO world");
  EXPECT_EQ(con.lines().back(), ">ECHO world");

  con.clear();
  con.type("ECHO one two");
  con.add_key(edit_keys::kKillWord);
  con.add_key(kKeyHome);
  con.add_key(kKeyDelete);
  con.type("e");
  con.add_key(kEnter);
  EXPECT_EQ(next(), "eCHO one ");
  EXPECT_EQ(con.lines().back(), ">eCHO one    ") << "blanks over the removed word";
  // Enter with the cursor inside the line: what follows starts after it.
  con.clear();
  con.type("ab");
  con.add_key(kKeyHome);
  con.add_key(kEnter);
  EXPECT_EQ(next(), "ab");
  con.append("|");
  EXPECT_EQ(con.lines().back(), ">ab|");
}

}  // namespace
}  // namespace verto
