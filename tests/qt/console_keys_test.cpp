// The console window's keys: what each key press becomes for the line
// editor, and a line edited in the view with the caret where the user
// left it.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <future>

#include "app/command_table.h"
#include "app/line_editor.h"
#include "core/session.h"
#include "core/system.h"
#include "qt/console_window.h"
#include "qt_test_support.h"

namespace verto::qt {
namespace {

using verto::testing::press;
using verto::testing::type;
using verto::testing::wait_until;

int code(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent e(QEvent::KeyPress, key, mods, text);
  return key_code(e);
}

TEST(ConsoleKeys, EditingKeysBecomeTheEditorsCodes) {
  EXPECT_EQ(code(Qt::Key_Left), kKeyLeft);
  EXPECT_EQ(code(Qt::Key_Right, Qt::ControlModifier), kKeyRight) << "modifiers do not matter";
  EXPECT_EQ(code(Qt::Key_Home), kKeyHome);
  EXPECT_EQ(code(Qt::Key_End), kKeyEnd);
  EXPECT_EQ(code(Qt::Key_Delete), kKeyDelete) << "Delete is not Backspace";
  EXPECT_EQ(code(Qt::Key_Backspace), keys::kBackspace);
  EXPECT_EQ(code(Qt::Key_Up), keys::kRecallBack);
  EXPECT_EQ(code(Qt::Key_Down), keys::kRecallForward);
  EXPECT_EQ(code(Qt::Key_A, Qt::ControlModifier, "\x01"), edit_keys::kStartOfLine);
  EXPECT_EQ(code(Qt::Key_E, Qt::ControlModifier, "\x05"), edit_keys::kEndOfLine);
  EXPECT_EQ(code(Qt::Key_K, Qt::ControlModifier, "\x0b"), edit_keys::kKillToEnd);
  EXPECT_EQ(code(Qt::Key_U, Qt::ControlModifier, "\x15"), edit_keys::kKillToStart);
  EXPECT_EQ(code(Qt::Key_W, Qt::ControlModifier, "\x17"), edit_keys::kKillWord);
  EXPECT_EQ(code(Qt::Key_D, Qt::ControlModifier, "\x04"), edit_keys::kDeleteOrEnd);
  EXPECT_EQ(code(Qt::Key_A, Qt::NoModifier, "a"), 'a');
}

TEST(ConsoleKeys, ALineEditedInTheViewKeepsTheCaretWhereItWasLeft) {
  verto::testing::qt_app();
  QtConsole con;
  ConsoleView view(con.outbox(), con.keys());
  view.show();
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};
  LineEditor ed;
  auto caret = [&] { return view.textCursor().positionInBlock(); };
  auto last_line = [&] { return view.document()->lastBlock().text(); };

  auto line = std::async(std::launch::async, [&] { return read_command_line(s, ed); });
  type(&view, "ECHO wrld");
  for (int i = 0; i < 3; ++i) press(&view, Qt::Key_Left);
  type(&view, "o");
  ASSERT_TRUE(wait_until([&] { return last_line() == ">ECHO world" && caret() == 8; }))
      << last_line().toStdString() << " caret " << caret();
  press(&view, Qt::Key_Delete);
  ASSERT_TRUE(wait_until([&] { return last_line() == ">ECHO wold " && caret() == 8; }))
      << last_line().toStdString() << " caret " << caret();
  press(&view, Qt::Key_K, Qt::ControlModifier, "\x0b");
  press(&view, Qt::Key_A, Qt::ControlModifier, "\x01");
  ASSERT_TRUE(wait_until([&] { return caret() == 1; })) << caret();
  press(&view, Qt::Key_End);
  type(&view, "rld");
  press(&view, Qt::Key_Return, Qt::NoModifier, "\r");
  ASSERT_TRUE(wait_until(
      [&] { return line.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_EQ(line.get(), "ECHO world");
}

}  // namespace
}  // namespace verto::qt
