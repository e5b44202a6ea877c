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

#include "app/editor_state.h"
#include "core/session.h"
#include "datafiles/commands.h"
#include "picture_checks.h"
#include "qt/offscreen_services.h"
#include "qt_test_support.h"
#include "support/command_session.h"
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
  ASSERT_TRUE(session_->editor().queue.hand_over({"ECHO from menu"}, false));
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
  // One cell for drawing and text: the frame's pixels are the room the
  // windows have, in whole cells.
  PixelSize frame = on_command_thread([&] { return svc.frame_pixels(); });
  const int room = session_->frame().area().viewport()->width();
  EXPECT_EQ(largest->cols, (room - (plot->width() - plot->widget()->width())) / cell.width());
  EXPECT_EQ(frame.width, largest->cols * cell.width());
  EXPECT_EQ(frame.height, largest->rows * cell.height());
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
  on_command_thread([&] {
    svc.focus(ChildWindow::Console);
    return 0;
  });
  ASSERT_TRUE(wait_until([&] {
    return session_->frame().area().activeSubWindow() == &session_->frame().console_window();
  }));
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

TEST_F(FrameSessionTest, AfterALegendTheConsoleKeepsTheKeyboardAndOneLegendStays) {
  start();
  ASSERT_TRUE(at_prompt());
  Frame& frame = session_->frame();
  auto legends = [&] {
    int n = 0;
    for (QMdiSubWindow* sub : frame.area().subWindowList())
      n += sub->windowTitle() == "Plot Legend" && sub->isVisible();
    return n;
  };
  // Typed where the keyboard is: the frame's focus widget.
  auto typed = [&](const QString& line) { type_line(frame.focusWidget(), line); };
  for (int round = 0; round < 2; ++round) {
    typed("LEG 0");
    ASSERT_TRUE(wait_until([&] { return legends() == 1 && frame.focusWidget() == console(); }));
    ASSERT_TRUE(at_prompt());
    typed("ECHO typed after LEG " + QString::number(round));
    ASSERT_TRUE(shows_line(" typed after LEG " + QString::number(round)));
    ASSERT_TRUE(at_prompt());
  }
  // The kept window stays above the console.
  for (QMdiSubWindow* sub : frame.area().subWindowList()) {
    if (sub->windowTitle() == "Plot Legend") {
      EXPECT_TRUE(sub->windowFlags() & Qt::WindowStaysOnTopHint);
    }
  }
  // The menu's Legend item queues the same line.
  ASSERT_TRUE(session_->editor().queue.hand_over({"Legend 0", "ECHO item ran"}, false));
  ASSERT_TRUE(shows_line(" item ran"));
  ASSERT_TRUE(at_prompt());
  ASSERT_TRUE(wait_until([&] { return frame.focusWidget() == console(); }));
  EXPECT_EQ(legends(), 1);

  // A legend that waits for its key and is closed by the user: the
  // command ends and the next line runs.
  typed("LEG");
  QMdiSubWindow* waiting = nullptr;
  ASSERT_TRUE(wait_until([&] {
    for (QMdiSubWindow* sub : frame.area().subWindowList())
      if (sub->windowTitle() == "Plot Legend" && !(sub->windowFlags() & Qt::WindowStaysOnTopHint))
        waiting = sub;
    return waiting != nullptr;
  }));
  waiting->close();
  ASSERT_TRUE(at_prompt()) << lines().join("\n").toStdString();
  type_line(console(), "ECHO after closing");
  EXPECT_TRUE(shows_line(" after closing"));
  EXPECT_EQ(legends(), 0);
}

TEST_F(FrameSessionTest, PlotWindowIsTheOffscreenPictureAndKeepsLabelsClearWhenEnlarged) {
  start();
  ASSERT_TRUE(at_prompt());
  std::ofstream(dir_.path() / "p.dat") << "0.37 -3.2\n2 3\n5 4\n8.2 47\n";
  type_line(console(), "READ/3 p.dat");
  ASSERT_TRUE(at_prompt());
  type_line(console(), "PLOT/LEG");
  QtWindowServices& svc = session_->services();
  PictureView* view = nullptr;
  ASSERT_TRUE(wait_until([&] {
    QMdiSubWindow* sub = svc.sub_window(ChildWindow::Plot);
    view = sub ? dynamic_cast<PictureView*>(sub->widget()) : nullptr;
    return view && !view->image().isNull();
  }));
  const QSize cell = session_->console_view().cell();
  const QImage shown = view->image().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.width() % cell.width(), 0);
  ASSERT_EQ(shown.height() % cell.height(), 0);

  // The same plot without a display, in a window of the same cells.
  verto::testing::ScopedDirectory other("verto-qt-offscreen");
  std::ofstream(other.path() / "p.dat") << "0.37 -3.2\n2 3\n5 4\n8.2 47\n";
  OffscreenWindowServices offscreen(other.path(), cell);
  verto::testing::CommandSession cs;
  cs.s.window = &offscreen;
  cs.run("READ/3 p.dat");
  cs.run("PLOT/LEG");
  offscreen.place(ChildWindow::Plot, 1, 1, shown.width() / cell.width(),
                  shown.height() / cell.height());
  cs.run("PLOT/LEG");
  const QImage saved(QString::fromStdString((other.path() / "VERTO2.PNG").string()));
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);

  // Enlarged by the user, the next plot fills the window with the labels
  // below and left of the frame.
  ASSERT_TRUE(at_prompt());
  QMdiSubWindow* sub = svc.sub_window(ChildWindow::Plot);
  sub->resize(sub->size() + QSize(7 * cell.width() + 3, 9 * cell.height() + 5));
  const QSize bigger = view->size();
  type_line(console(), "PLOT");
  ASSERT_TRUE(wait_until([&] { return view->image().size() == bigger; }));
  const QImage big = view->image().convertToFormat(QImage::Format_RGB32);
  const auto pal = PictureWindow::default_palette();
  const int cols = bigger.width() / cell.width();
  EXPECT_TRUE(verto::testing::labels_below_frame(big, 9 * cell.width(), (cols - 3) * cell.width(),
                                                 pal[15], pal[0]));
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
