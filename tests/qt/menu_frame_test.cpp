// Menu items in the frame window: their lines run in the console as if
// typed, and a half-typed line survives an item with a positive count.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTimer>
#include <memory>

#include "core/session.h"
#include "support/scoped_directory.h"
#include "qt/frame_session.h"
#include "qt/qt_test_support.h"

namespace verto::qt {
namespace {

using verto::testing::type;
using verto::testing::wait_until;

class MenuFrameTest : public ::testing::Test {
 protected:
  MenuFrameTest() : dir_("verto-qt-menus") {
    verto::testing::qt_app();
    RunOptions options;
    options.startup.wait_after_banner = false;
    session_ = std::make_unique<FrameSession>(options);
    session_->start();
  }
  ~MenuFrameTest() override { EXPECT_TRUE(session_->stop(std::chrono::seconds(5))); }

  QAction* item(const QString& menu, const QString& text) {
    for (QAction* m : session_->frame().menuBar()->actions())
      if (m->text() == menu)
        for (QAction* a : m->menu()->actions())
          if (a->text() == text) return a;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
  }
  QStringList lines() { return session_->console_view().toPlainText().split('\n'); }
  bool shows_line(const QString& line) {
    return wait_until([&] {
      for (const QString& l : lines())
        if (l.trimmed() == line.trimmed()) return true;
      return false;
    });
  }
  bool at_prompt(const QString& text = {}) {
    return wait_until([&] { return lines().last().trimmed() == ">" + text; });
  }

  verto::testing::ScopedDirectory dir_;
  std::unique_ptr<FrameSession> session_;
};

TEST_F(MenuFrameTest, ItemsAndDialogsRunTheirLinesInTheConsole) {
  ASSERT_TRUE(at_prompt());
  // Format dialog: OK runs the FORM line, which the console shows.
  QTimer::singleShot(0, [] {
    QWidget* w = QApplication::activeModalWidget();
    ASSERT_NE(w, nullptr);
    w->findChild<QAbstractButton*>("form3")->click();
    w->findChild<QAbstractButton*>("y")->click();
    w->findChild<QAbstractButton*>("ok")->click();
  });
  item("Data", "Data &Format...")->trigger();
  // Handed-over lines show after the prompt as if typed, then run.
  ASSERT_TRUE(shows_line(" format:   (X,Y)"));
  ASSERT_TRUE(shows_line(" variable: Y"));
  EXPECT_TRUE(wait_until([&] { return session_->session().ws.variable == 2; }));
  {
    const QStringList shown = lines();
    const auto at = shown.indexOf(QRegularExpression("^ format:   \\(X,Y\\).*"));
    ASSERT_GT(at, 1);
    EXPECT_TRUE(shown[at - 2].startsWith(">FORM", Qt::CaseInsensitive)) << shown[at - 2].toStdString();
  }

  // A half-typed line: the handed-over line takes its place on the prompt
  // line, and the half-typed text comes back after the output.
  ASSERT_TRUE(at_prompt());
  type(&session_->console_view(), "echo partial");
  ASSERT_TRUE(at_prompt("echo partial"));
  item("Data", "Statistics on &X")->trigger();
  ASSERT_TRUE(wait_until([&] { return lines().indexOf(QRegularExpression("^>Stat X *$")) > 0; }));
  ASSERT_TRUE(at_prompt("echo partial"));
  {
    const QStringList shown = lines();
    const auto stat = shown.lastIndexOf(QRegularExpression("^>Stat X *$"));
    ASSERT_GT(stat, 0);
    EXPECT_EQ(shown.mid(0, shown.size() - 1).filter(QRegularExpression("^>echo partial")).size(), 0);
    EXPECT_FALSE(shown[stat + 1].startsWith(">"));
  }
  verto::testing::press(&session_->console_view(), Qt::Key_Escape);

  // A positive count keeps the half-typed line; a negative one drops it.
  ASSERT_TRUE(at_prompt());
  type(&session_->console_view(), "ECHO hal");
  ASSERT_TRUE(at_prompt("ECHO hal"));
  auto before = lines().size();
  item("Help", "Math Help")->trigger();
  ASSERT_TRUE(wait_until([&] { return lines().size() > before + 5; }));
  ASSERT_TRUE(at_prompt("ECHO hal"));
  before = lines().size();
  item("Data", "List")->trigger();
  ASSERT_TRUE(wait_until([&] { return lines().size() > before; }));
  EXPECT_TRUE(at_prompt());
}

}  // namespace
}  // namespace verto::qt
