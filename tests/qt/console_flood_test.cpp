// Output flooding the console window from the command thread while the
// window applies it: every line arrives once and in order, writes over the
// current line land on the right line, and the scrollback keeps the newest
// lines.
#include <gtest/gtest.h>

#include <QTextBlock>
#include <string>
#include <thread>

#include "qt/console_window.h"
#include "qt_test_support.h"

namespace verto::qt {
namespace {

using testing::wait_until;

// The view's lines from the first to the last.
QStringList lines_of(const ConsoleView& view) {
  QStringList out;
  for (QTextBlock b = view.document()->firstBlock(); b.isValid(); b = b.next()) out << b.text();
  return out;
}

// Writes `count` numbered records as a command does, with a colour change,
// a write over the current line and an append now and then.
void flood(QtConsole& con, int count) {
  for (int i = 1; i <= count; ++i) {
    if (i % 997 == 0) con.set_text_colour(i % 16);
    if (i % 501 == 0) {
      con.record("Status:");  // shorter than the line that replaces it
      con.overwrite(" line " + std::to_string(i));
    } else {
      con.record(" line " + std::to_string(i));
    }
    if (i % 333 == 0) con.append(" +");
  }
  con.prompt(">");
}

QString expected_line(int i) {
  QString s = QStringLiteral(" line %1").arg(i);
  if (i % 333 == 0) s += QStringLiteral(" +");
  return s;
}

TEST(ConsoleFlood, EveryLineArrivesOnceInOrder) {
  QtConsole con;
  ConsoleView view(con.outbox(), con.keys());
  view.show();
  con.record("before");
  std::thread writer([&] { flood(con, 6000); });
  // The window keeps applying and painting while the lines pour in.
  const bool done = wait_until([&] { return view.document()->lastBlock().text() == ">"; }, 30000);
  writer.join();
  ASSERT_TRUE(done);
  const QStringList lines = lines_of(view);
  ASSERT_EQ(lines.size(), 6002);
  EXPECT_EQ(lines.front(), "before");
  for (int i = 1; i <= 6000; ++i) ASSERT_EQ(lines[i], expected_line(i)) << "line " << i;
}

TEST(ConsoleFlood, ALongFloodKeepsTheNewestLinesOfTheScrollback) {
  QtConsole con;
  ConsoleView view(con.outbox(), con.keys());
  view.show();
  con.record("before");
  constexpr int kCount = 3 * kScrollbackLines + 123;
  std::thread writer([&] { flood(con, kCount); });
  const bool done = wait_until([&] { return view.document()->lastBlock().text() == ">"; }, 60000);
  writer.join();
  ASSERT_TRUE(done);
  const QStringList lines = lines_of(view);
  ASSERT_EQ(lines.size(), kScrollbackLines);
  const int first = kCount - kScrollbackLines + 2;
  for (int k = 0; k + 1 < lines.size(); ++k)
    ASSERT_EQ(lines[k], expected_line(first + k)) << "kept line " << k;
  // Output after the flood goes on from the prompt.
  con.append("LIST");
  con.record(" next");
  ASSERT_TRUE(wait_until([&] { return view.document()->lastBlock().text() == " next"; }));
  EXPECT_EQ(view.document()->lastBlock().previous().text(), ">LIST");
  EXPECT_EQ(view.document()->blockCount(), kScrollbackLines);
}

}  // namespace
}  // namespace verto::qt
