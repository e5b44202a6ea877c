#pragma once
// The frame window "VERTO!": a main window whose multiple-document area
// holds the child windows (the console "VERTO! Console", the "Plot" and
// "Plot Legend" windows). Menus are added to it from src/qt/menu_bar through
// main_window(), area() and queue().
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>
#include <string>
#include <vector>

namespace verto {
class HandOverQueue;
}

namespace verto::qt {

class ConsoleView;

// The program's icon: a peak on its axes.
QIcon program_icon();

// 90 % of the width and 80 % of the height of the screen's available
// area, never larger than it.
QSize initial_frame_size(const QRect& available);

class Frame : public QMainWindow {
 public:
  Frame(ConsoleView* console, HandOverQueue& queue);

  QMainWindow& main_window() { return *this; }
  QMdiArea& area() { return *area_; }
  HandOverQueue& queue() { return queue_; }
  ConsoleView& console_view() { return *console_; }
  QMdiSubWindow& console_window() { return *console_window_; }

  // Called once when the user closes the frame (before it goes).
  void on_close(std::function<void()> handler) { on_close_ = std::move(handler); }
  // Called with the local files (absolute paths, in order) dropped on the
  // frame or any window in it.
  using DropHandler = std::function<void(const std::vector<std::string>&)>;
  void on_files_dropped(DropHandler handler) { on_drop_ = std::move(handler); }
  // Sizes the frame by the screen and the console to 25 x 81 cells.
  void lay_out();
  // Moves `sub` so that as much of it as fits lies in the visible area,
  // its title bar first.
  void keep_inside(QMdiSubWindow* sub);

 protected:
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  QMdiArea* area_;
  ConsoleView* console_;
  QMdiSubWindow* console_window_;
  HandOverQueue& queue_;
  std::function<void()> on_close_;
  DropHandler on_drop_;
};

}  // namespace verto::qt
