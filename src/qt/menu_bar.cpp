#include "qt/menu_bar.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/menu_items.h"
#include "qt/dialogs.h"

namespace verto::qt {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Owns the dialog memory and hands lines to the queue in order. A hand-over
// the queue refuses (the previous lines are still waiting) is retried every
// 20 ms, so no menu action is lost while a long command runs.
class MenuController : public QObject {
 public:
  MenuController(QMainWindow& frame, QMdiArea& area, HandOverQueue& queue, WorkspaceSnapshot ws)
      : QObject(&frame), frame_(frame), area_(area), queue_(queue), workspace_(std::move(ws)) {
    retry_.setInterval(20);
    connect(&retry_, &QTimer::timeout, this, [this] { flush(); });
  }

  void hand(ui::QueuedLines lines) {
    if (lines.empty()) return;
    waiting_.push_back(std::move(lines));
    flush();
  }

  void trigger(const ui::MenuItem& item) {
    using ui::ItemKind;
    switch (item.kind) {
      case ItemKind::Lines:
        hand(ui::item_lines(item));
        break;
      case ItemKind::OpenDialog:
        hand(run_dialog(item.dialog, &frame_, memory_, view()));
        break;
      case ItemKind::FileRead:
      case ItemKind::FileWrite:
        run_file_dialog(&frame_, memory_.file,
                                item.kind == ItemKind::FileRead ? ui::FileSelection::kRead
                                                                : ui::FileSelection::kWrite);
        hand(ui::file_item_lines(item.prefix, memory_.file, QDir::currentPath().toStdString()));
        break;
      case ItemKind::SizeToFit:
        if (QMdiSubWindow* w = area_.activeSubWindow()) w->adjustSize();
        break;
      case ItemKind::Exit:
        frame_.close();
        break;
      case ItemKind::About:
        QMessageBox::about(&frame_, "About Verto", q(ui::kAboutText));
        break;
      default:
        break;
    }
  }

 private:
  ui::WorkspaceView view() const { return workspace_ ? workspace_() : ui::WorkspaceView{}; }

  void flush() {
    while (!waiting_.empty()) {
      const ui::QueuedLines& next = waiting_.front();
      std::vector<std::string_view> views(next.lines.begin(), next.lines.end());
      if (!queue_.hand_over(views, next.keep_typed)) break;
      waiting_.pop_front();
    }
    if (waiting_.empty()) {
      retry_.stop();
    } else if (!retry_.isActive()) {
      retry_.start();
    }
  }

  QMainWindow& frame_;
  QMdiArea& area_;
  HandOverQueue& queue_;
  WorkspaceSnapshot workspace_;
  DialogMemory memory_;
  std::deque<ui::QueuedLines> waiting_;
  QTimer retry_;
};

// The runtime's own window items: tile, cascade and the child windows.
void add_window_items(QMenu* menu, QMdiArea& area) {
  menu->addAction("&Tile", &area, &QMdiArea::tileSubWindows);
  menu->addAction("&Cascade", &area, &QMdiArea::cascadeSubWindows);
  QAction* list_start = menu->addSeparator();
  // The list of child windows is rebuilt each time the menu opens.
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &area, list_start] {
    const auto actions = menu->actions();
    bool after = false;
    for (QAction* a : actions) {
      if (after) {
        menu->removeAction(a);
        a->deleteLater();
      }
      if (a == list_start) after = true;
    }
    int n = 0;
    for (QMdiSubWindow* w : area.subWindowList()) {
      QAction* a = menu->addAction(QString("&%1 %2").arg(++n).arg(w->windowTitle()));
      a->setCheckable(true);
      a->setChecked(w == area.activeSubWindow());
      QObject::connect(a, &QAction::triggered, &area, [&area, w] { area.setActiveSubWindow(w); });
    }
  });
}

}  // namespace

LineHand build_menu_bar(QMainWindow& frame, QMdiArea& area, HandOverQueue& queue,
                        WorkspaceSnapshot workspace) {
  auto* controller = new MenuController(frame, area, queue, std::move(workspace));
  QMenuBar* bar = frame.menuBar();
  bar->clear();
  for (const ui::Menu& menu : ui::menu_bar()) {
    QMenu* m = bar->addMenu(q(menu.title));
    for (const ui::MenuItem& item : menu.items) {
      switch (item.kind) {
        case ui::ItemKind::Separator:
          m->addSeparator();
          break;
        case ui::ItemKind::WindowItems:
          add_window_items(m, area);
          break;
        case ui::ItemKind::Grayed:
        case ui::ItemKind::FullScreen:
          m->addAction(q(item.text))->setEnabled(false);
          break;
        default: {
          QAction* a = m->addAction(q(item.text));
          const ui::MenuItem* it = &item;  // the table lives for the whole run
          QObject::connect(a, &QAction::triggered, controller, [controller, it] { controller->trigger(*it); });
        }
      }
    }
  }
  return [controller](ui::QueuedLines lines) { controller->hand(std::move(lines)); };
}

}  // namespace verto::qt
