#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <thread>
#include <functional>
#include <string>
#include <vector>

#include "support/command_session.h"
#include "qt/menu_bar.h"

namespace verto::qt {
namespace {

using Lines = std::vector<std::string>;

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame.setCentralWidget(area);
    build_menu_bar(frame, *area, queue, [this] { return view; });
  }

  QAction* action(const QString& menu, const QString& text) {
    for (QAction* m : frame.menuBar()->actions()) {
      if (m->text() != menu) continue;
      for (QAction* a : m->menu()->actions())
        if (a->text() == text) return a;
    }
    ADD_FAILURE() << "no item " << text.toStdString();
    return nullptr;
  }

  // Fills the next modal dialog with `fill` once it is shown.
  static void when_shown(std::function<void(QWidget&)> fill) {
    QTimer::singleShot(0, [fill] {
      QWidget* w = QApplication::activeModalWidget();
      if (w) fill(*w);
      else ADD_FAILURE() << "no dialog";
    });
  }
  template <typename T>
  static T* child(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  static void click(QWidget& w, const char* name) { child<QAbstractButton>(w, name)->click(); }
  static void type(QWidget& w, const char* name, const char* text) {
    child<QLineEdit>(w, name)->setText(text);
  }

  // The handed-over lines in run order, with the count; frees the queue.
  std::pair<Lines, int> take() {
    QApplication::processEvents();
    const int count = queue.count();
    Lines lines;
    for (int k = std::abs(count); k >= 1; --k) lines.emplace_back(queue.slot(k));
    for (auto& l : lines) l.erase(l.find_last_not_of(' ') + 1);
    queue.release();
    return {lines, count};
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  HandOverQueue queue;
  ui::WorkspaceView view{.form = 3, .variable = 1, .Npts = 0, .Nline = 0, .Num_columns = 3};
};

TEST_F(MenuBarTest, MenusInOrderAndGrayedItems) {
  QStringList titles;
  for (QAction* m : frame.menuBar()->actions()) titles << m->text();
  EXPECT_EQ(titles, (QStringList{"File", "Data", "P&rocess", "Plot", "Window", "Help"}));
  EXPECT_FALSE(action("File", "O&ptions...")->isEnabled());
  EXPECT_FALSE(action("Window", "Full Screen   Alt-Enter")->isEnabled());
  action("File", "O&ptions...")->trigger();
  EXPECT_EQ(take().second, 0);
}

TEST_F(MenuBarTest, FixedItemsQueueTheirLinesWithTheirSign) {
  action("Data", "Statistics on &X")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{"Stat X"}, 1));
  action("Data", "E&dit")->trigger();
  auto [lines, count] = take();
  EXPECT_EQ(count, -5);
  EXPECT_EQ(lines.back(), "Edit");
  // A second item while the first is still waiting follows it afterwards.
  action("Plot", "Plot")->trigger();
  action("Help", "Advice")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{"Plot"}, -1));
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (queue.count() == 0 && std::chrono::steady_clock::now() < until) {
    QApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(take(), std::make_pair(Lines{"Yo"}, 1));
}

TEST_F(MenuBarTest, FormatDialogRunsFormThenSetColumns) {
  when_shown([](QWidget& w) {
    click(w, "form6");
    type(w, "columns", "4");
    click(w, "ok");
  });
  action("Data", "Data &Format...")->trigger();
  const auto [lines, count] = take();
  EXPECT_EQ(lines, (Lines{"Form 6  X", "Set C=4"}));
  EXPECT_EQ(count, 2);
  testing::CommandSession cs;
  cs.s.ws.Num_columns = 3;
  for (const auto& l : lines) cs.run(l);
  EXPECT_EQ(cs.s.ws.form, 6);
  EXPECT_EQ(cs.s.ws.Num_columns, 4);
}

TEST_F(MenuBarTest, MathRemembersAndCancelRunsBlankLine) {
  when_shown([](QWidget& w) { click(w, "cancel"); });
  action("P&rocess", "Math...")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{""}, -1));
  when_shown([](QWidget& w) {
    child<QComboBox>(w, "function")->setEditText("Y=2*X");
    click(w, "ok");
  });
  action("P&rocess", "Math...")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{"Math/1:N Y=2*X"}, -1));
  QString shown;
  int entries = 0;
  when_shown([&](QWidget& w) {
    auto* c = child<QComboBox>(w, "function");
    shown = c->currentText();
    entries = c->count();
    click(w, "help");
  });
  action("P&rocess", "Math...")->trigger();
  EXPECT_EQ(shown, "Y=2*X");
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(take(), std::make_pair(Lines{"Help math"}, -1));
}

TEST_F(MenuBarTest, FitDialogEnablingAndCancel) {
  when_shown([](QWidget& w) { click(w, "cancel"); });
  action("Data", "Fit Function...")->trigger();
  EXPECT_EQ(take().second, 0);
  bool limits_enabled = true;
  when_shown([&](QWidget& w) {
    child<QComboBox>(w, "model")->setCurrentIndex(5);
    click(w, "fix_fwhm");
    type(w, "parameter", "2.5");
    click(w, "no_line");
    limits_enabled = child<QWidget>(w, "data_limits")->isEnabled();
    click(w, "replace");
    click(w, "ok");
  });
  action("Data", "Fit Function...")->trigger();
  EXPECT_FALSE(limits_enabled);
  EXPECT_EQ(take(), std::make_pair(Lines{"Fit/1:N GAUSS=2.5"}, -1));
  // The model is remembered.
  int model = -1;
  when_shown([&](QWidget& w) {
    model = child<QComboBox>(w, "model")->currentIndex();
    click(w, "cancel");
  });
  action("Data", "Fit Function...")->trigger();
  EXPECT_EQ(model, 5);
}

TEST_F(MenuBarTest, FunctionLineDialogAddsPointsWhenItsLinesRun) {
  when_shown([](QWidget& w) {
    type(w, "xmin", "0");
    type(w, "xmax", "10");
    type(w, "steps", "11");
    type(w, "function", "SIN(X)");
    click(w, "ok");
  });
  action("Plot", "Add &function line...")->trigger();
  const auto [lines, count] = take();
  EXPECT_EQ(count, -4);
  testing::CommandSession cs;
  for (const auto& l : lines) cs.run(l);
  ASSERT_EQ(cs.s.ws.Nline, 11);
  EXPECT_FLOAT_EQ(cs.s.ws.LX[10], 10.f);
  EXPECT_NEAR(cs.s.ws.LY[3], std::sin(3.f), 1e-5);
}

TEST_F(MenuBarTest, TransferAndPlotOptionsPresets) {
  when_shown([](QWidget& w) {
    click(w, "points_to_line");
    click(w, "retain");
    click(w, "ok");
  });
  action("Data", "Transfer data...")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{"Line", "Points"}, -2));
  when_shown([](QWidget& w) { click(w, "ok"); });
  action("Plot", "Plot with &options...")->trigger();
  EXPECT_EQ(take(), std::make_pair(Lines{"Plot/1:N"}, -1));
}

}  // namespace
}  // namespace verto::qt
