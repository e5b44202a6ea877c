// The frame window with its console and the command loop on its own
// thread, driven by keys sent to the widgets (offscreen platform).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "core/editor_state.h"
#include "core/session.h"
#include "datafiles/commands.h"
#include "qt_test_support.h"
#include "support/scoped_directory.h"
#include "qt/frame_session.h"

namespace verto::qt {
namespace {

using verto::testing::on_command_thread;
using verto::testing::press;
using verto::testing::type;
using verto::testing::type_line;
using verto::testing::wait_until;

class FrameSessionTest : public ::testing::Test {
 protected:
  FrameSessionTest() : dir_("verto-qt-frame") { verto::testing::qt_app(); }
  ~FrameSessionTest() override {
    if (session_) {
      EXPECT_TRUE(session_->stop(std::chrono::seconds(5)));
    }
  }

  void start(bool wait_after_banner = false, std::string log_path = {}) {
    RunOptions options;
    options.startup.wait_after_banner = wait_after_banner;
    options.log_path = std::move(log_path);
    session_ = std::make_unique<FrameSession>(options);
    session_->start([this] { ended_ = true; });
  }
  QWidget* console() { return &session_->console_view(); }
  QStringList lines() { return session_->console_view().toPlainText().split('\n'); }
  bool shows_line(const QString& line) {
    return wait_until([&] { return lines().contains(line); });
  }
  bool at_prompt(const QString& text = {}) {
    return wait_until([&] { return lines().last().trimmed() == ">" + text; });
  }

  verto::testing::ScopedDirectory dir_;
  std::unique_ptr<FrameSession> session_;
  bool ended_ = false;
};

TEST_F(FrameSessionTest, TypedKeysRunCommandsWithEchoRecallAndPrompts) {
  start();
  ASSERT_TRUE(shows_line(" Welcome to VERTO!"));
  ASSERT_TRUE(at_prompt());
  EXPECT_EQ(session_->frame().windowTitle(), "VERTO!");
  EXPECT_EQ(session_->frame().console_window().windowTitle(), "VERTO! Console");

  // Backspace rewrites the current line; Enter runs it.
  type(console(), "ECHX");
  press(console(), Qt::Key_Backspace);
  type_line(console(), "O hello");
  ASSERT_TRUE(shows_line(" hello"));
  EXPECT_TRUE(lines().contains(">ECHO hello"));

  // Cursor up recalls the line; it runs again.
  ASSERT_TRUE(at_prompt());
  press(console(), Qt::Key_Up);
  ASSERT_TRUE(at_prompt("ECHO hello"));
  press(console(), Qt::Key_Return, Qt::NoModifier, "\r");
  ASSERT_TRUE(wait_until([&] { return lines().count(" hello") == 2; }));

  // A command that prompts for its argument reads the answer from the window.
  ASSERT_TRUE(at_prompt());
  type_line(console(), "FORM");
  ASSERT_TRUE(wait_until([&] { return lines().last() == " _format:"; }));
  // A line feed (scripted input, Ctrl-J) ends the answer like Enter.
  type(console(), "3");
  press(console(), Qt::Key_unknown, Qt::NoModifier, "\n");
  ASSERT_TRUE(shows_line(" format:   (X,Y)    "));

  type_line(console(), "QUIT");
  EXPECT_TRUE(wait_until([&] { return ended_; }));
  EXPECT_TRUE(session_->finished());
}

TEST_F(FrameSessionTest, BannerInColourWaitsForAKeyInTheConsole) {
  start(/*wait_after_banner=*/true);
  ASSERT_TRUE(shows_line("                        Hit [PageDown] key to continue"));
  QTextDocument* doc = session_->console_view().document();
  auto colour_of = [&](const QString& text) {
    QTextCursor at = doc->find(text);
    return at.isNull() ? QColor() : at.charFormat().foreground().color();
  };
  EXPECT_EQ(colour_of("XX     XX").rgb(), standard_colour(kColourRed).rgb());
  EXPECT_EQ(colour_of("Version 5.3").rgb(), standard_colour(kColourLightBlue).rgb());
  EXPECT_EQ(colour_of("Hit [PageDown]").rgb(), standard_colour(kColourWhite).rgb());

  wait_until([] { return false; }, 100);
  EXPECT_FALSE(lines().contains(" Welcome to VERTO!"));
  press(console(), Qt::Key_PageDown);
  EXPECT_TRUE(shows_line(" Welcome to VERTO!"));
}

TEST_F(FrameSessionTest, PastedLinesRunOneByOne) {
  start();
  ASSERT_TRUE(at_prompt());
  QApplication::clipboard()->setText("ECHO one\nECHO two\n");
  press(console(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_TRUE(shows_line(" two"));
  EXPECT_TRUE(lines().contains(" one"));
  EXPECT_LT(lines().indexOf(" one"), lines().indexOf(">ECHO two"));
}

TEST_F(FrameSessionTest, MenuHandOverWaitsForTheBusyCommandAndClosingEndsCleanly) {
  start();
  ASSERT_TRUE(at_prompt());
  type_line(console(), "$ sleep 0.4");
  ASSERT_TRUE(shows_line(">$ sleep 0.4"));
  // The Qt thread hands a line over while the command still runs; the
  // window goes on serving events meanwhile.
  ASSERT_TRUE(session_->session().editor.queue.hand_over({"ECHO from menu"}, false));
  EXPECT_FALSE(lines().contains(" from menu"));
  ASSERT_TRUE(shows_line(" from menu"));

  // Closing while a command runs: the command ends, then the loop.
  ASSERT_TRUE(at_prompt());
  type_line(console(), "$ sleep 0.3");
  ASSERT_TRUE(shows_line(">$ sleep 0.3"));
  EXPECT_TRUE(session_->stop(std::chrono::seconds(5)));
  EXPECT_TRUE(session_->finished());
  EXPECT_FALSE(ended_);  // ended from the window side, not by QUIT
}

TEST_F(FrameSessionTest, ServicesReportSizesAndTabGlancesAtThePlot) {
  start();
  ASSERT_TRUE(at_prompt());
  QtWindowServices& svc = session_->services();
  auto console_cells = on_command_thread([&] { return svc.current_cells(ChildWindow::Console); });
  ASSERT_TRUE(console_cells);
  EXPECT_EQ(console_cells->cols, kConsoleColumns);
  EXPECT_EQ(console_cells->rows, kConsoleRows);
  EXPECT_FALSE(on_command_thread([&] { return svc.current_cells(ChildWindow::Plot); }));
  EXPECT_FALSE(on_command_thread([&] { return svc.largest_cells(ChildWindow::Legend); }));

  ASSERT_TRUE(on_command_thread([&] { return svc.open(ChildWindow::Plot, "Plot"); }));
  QMdiSubWindow* plot = svc.sub_window(ChildWindow::Plot);
  ASSERT_NE(plot, nullptr);
  EXPECT_EQ(plot->windowTitle(), "Plot");
  on_command_thread([&] {
    svc.place(ChildWindow::Plot, 3, 2, 40, 12);
    return 0;
  });
  auto plot_cells = on_command_thread([&] { return svc.current_cells(ChildWindow::Plot); });
  ASSERT_TRUE(plot_cells);
  EXPECT_EQ(plot_cells->cols, 40);
  EXPECT_EQ(plot_cells->rows, 12);
  QSize cell = session_->console_view().cell();
  EXPECT_EQ(plot->pos(), QPoint(2 * cell.width(), cell.height()));
  auto largest = on_command_thread([&] { return svc.largest_cells(ChildWindow::Plot); });
  ASSERT_TRUE(largest);
  PixelSize frame = on_command_thread([&] { return svc.frame_pixels(); });
  EXPECT_EQ(largest->cols, (frame.width - (plot->width() - plot->widget()->width())) / cell.width());
  WindowConfig config;
  EXPECT_TRUE(on_command_thread([&] { return svc.configure(ChildWindow::Plot, config); }));
  EXPECT_EQ(config.colours, 256);
  EXPECT_EQ(config.cols, 40);

  // A picture drawn on the command thread reaches the window whole.
  on_command_thread([&] {
    GraphicsWindow* g = svc.graphics(ChildWindow::Plot);
    if (!g) return 0;
    g->set_colour(12);
    g->move_to_px(0, 5);
    g->line_to_px(30, 5);
    return static_cast<int>(svc.present(ChildWindow::Plot).size());
  });
  auto* view = dynamic_cast<PictureView*>(plot->widget());
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(wait_until([&] { return !view->image().isNull(); }));
  EXPECT_EQ(view->image().size(), view->size());
  EXPECT_EQ(view->image().pixel(10, 5), standard_colour(12).rgb());
  EXPECT_EQ(view->image().pixel(10, 6), standard_colour(0).rgb());

  // Tab: the plot gets the focus until a key is pressed there.
  press(console(), Qt::Key_Tab, Qt::NoModifier, "\t");
  ASSERT_TRUE(wait_until([&] { return session_->frame().area().activeSubWindow() == plot; }));
  press(plot->widget(), Qt::Key_X, Qt::NoModifier, "x");
  ASSERT_TRUE(wait_until([&] {
    return session_->frame().area().activeSubWindow() == &session_->frame().console_window();
  }));
  type_line(console(), "ECHO back");
  EXPECT_TRUE(shows_line(" back"));

  on_command_thread([&] {
    svc.close(ChildWindow::Plot, false);
    return 0;
  });
  EXPECT_FALSE(on_command_thread([&] { return svc.current_cells(ChildWindow::Plot); }));
}

TEST_F(FrameSessionTest, ShellOutputShowsInTheConsoleWhileTheProgramRuns) {
  start();
  ASSERT_TRUE(at_prompt());
  type_line(console(), "$ echo first; sleep 1; printf 'a\\tb\\n' >&2; echo last");
  ASSERT_TRUE(shows_line("first"));
  EXPECT_FALSE(lines().contains("last")) << "shown as it arrives, not at the end";
  ASSERT_TRUE(shows_line("last"));
  EXPECT_TRUE(lines().contains("a       b")) << "standard error too, tabs expanded";
  EXPECT_TRUE(at_prompt());
}

TEST_F(FrameSessionTest, ClosingDuringAWriteLeavesNoTemporaryFile) {
  // Each block of the write takes a while, so the frame closes mid-way.
  static std::atomic<int> blocks{0};
  blocks = 0;
  write_block_hook = [] {
    ++blocks;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
  };
  {
    std::ofstream old("out.dat");
    old << "old contents\n";
  }
  start(false, "session.log");
  ASSERT_TRUE(at_prompt());
  type_line(console(), "MAKE 50000");
  ASSERT_TRUE(shows_line(" Npts = 50000"));
  type_line(console(), "WRITE! out.dat");
  ASSERT_TRUE(wait_until([&] { return blocks > 1; }));
  EXPECT_TRUE(session_->stop(std::chrono::seconds(5)));
  write_block_hook = nullptr;
  EXPECT_EQ(session_->exit_status(), 1);
  std::ifstream log("session.log");
  std::stringstream logged;
  logged << log.rdbuf();
  EXPECT_NE(logged.str().find(">WRITE! out.dat\n"), std::string::npos);
  EXPECT_NE(logged.str().find("\n<<<VERTO!!!>>> VERTO is closing: out.dat was not written.\n"),
            std::string::npos)
      << logged.str();
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(".")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"out.dat", "session.log"})) << "no temporary file is left";
  std::ifstream in("out.dat");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "old contents");
}

// The console window shows 81 x 25 cells of the font in use, whatever the
// fractions of its advance: 81-column lines need no horizontal scrolling.
TEST(ConsoleGeometryTest, ShowsEightyOneColumnsAndTwentyFiveRows) {
  verto::testing::qt_app();
  struct OpenView : ConsoleView {
    using ConsoleView::ConsoleView;
    using QPlainTextEdit::blockBoundingGeometry;
    using QPlainTextEdit::contentOffset;
    using QPlainTextEdit::firstVisibleBlock;
  };
  QtConsole con;
  OpenView view(con.outbox(), con.keys());
  view.resize(view.sizeHint());
  view.show();
  for (int i = 1; i <= kConsoleRows; ++i)
    con.record(std::string(kConsoleColumns - 2, static_cast<char>('A' + i)) + std::to_string(i % 10) + "|");
  ASSERT_TRUE(wait_until([&] { return view.blockCount() == kConsoleRows; }));
  wait_until([] { return false; }, 50);
  EXPECT_EQ(view.cells_shown(), QSize(kConsoleColumns, kConsoleRows));
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0) << "81 columns fit";
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 0) << "25 rows fit";
  view.verticalScrollBar()->setValue(0);
  QTextBlock last = view.document()->lastBlock();
  const QRectF box = view.blockBoundingGeometry(last).translated(view.contentOffset());
  EXPECT_LE(box.bottom(), view.viewport()->height()) << "row 25 shows whole";
  EXPECT_EQ(view.firstVisibleBlock().blockNumber(), 0) << "with row 1";
}

// The console alone: output order, overwrites, scrollback and the pause.
TEST(QtConsoleTest, OutputInOrderWithOverwritesAndAPauseAnsweredInTheView) {
  verto::testing::qt_app();
  QtConsole con;
  ConsoleView view(con.outbox(), con.keys());
  view.show();
  auto writer = std::async(std::launch::async, [&] {
    for (int i = 1; i <= 12000; ++i) con.record("line " + std::to_string(i));
    con.record("Status: ");
    con.overwrite("Status: ****");
    con.overwrite("Status: Done!");
    con.prompt(">");
    con.append("A");
    con.pause("Matrix is singular");
    return true;
  });
  ASSERT_TRUE(wait_until([&] { return view.toPlainText().endsWith("Matrix is singular"); }));
  QStringList lines = view.toPlainText().split('\n');
  EXPECT_EQ(lines.size(), kScrollbackLines);
  EXPECT_EQ(lines[lines.size() - 4], "line 12000");
  EXPECT_EQ(lines[lines.size() - 3], "Status: Done!");
  EXPECT_EQ(lines[lines.size() - 2], ">A");
  EXPECT_EQ(writer.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  type_line(&view, "go");
  ASSERT_TRUE(wait_until([&] {
    return writer.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }));
  EXPECT_TRUE(wait_until([&] { return view.toPlainText().endsWith("Matrix is singulargo"); }));
}

}  // namespace
}  // namespace verto::qt
