#pragma once
// The window services on screen: graphics child windows in the frame's
// document area, sized and placed in text cells of the console font.
//
// Every call comes from the command thread. Opening, placing and closing a
// window run on the Qt thread through a blocking queued call (they are
// quick and return what the caller needs). Sizes are read from a copy of
// the windows' geometry that the Qt thread keeps up to date whenever a
// window or the frame changes size, so a plot into an open window never
// waits for the Qt thread: it reads its sizes, draws into a picture the
// command thread owns, and present() hands a copy of the finished image to
// the window (a queued call), which keeps it and repaints from it.
//
// One text cell for everything: the frame's size in pixels is reported as
// the room the child windows have in it, counted in whole text cells, so
// pixels per cell (frame pixels over the largest size in cells) is the
// cell the texts are drawn in, and a plot's frame and its labels share one
// grid at every window size.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "core/window_services.h"
#include "qt/drawing.h"
#include "qt/key_queue.h"

class QMdiSubWindow;

namespace verto::qt {

class Frame;

// A graphics child window: shows the last presented image and passes its
// keys on. Resized, it shows the whole picture scaled to its new size,
// drawn again from the picture's drawing; on a high-density screen (device
// pixel ratio above 1) it draws the picture again at the screen's own
// resolution, so lines and text stay crisp. Its context menu saves the
// picture (PNG, PDF or SVG) and copies it to the clipboard.
class PictureView : public QWidget {
 public:
  explicit PictureView(KeyQueue& keys, QWidget* parent = nullptr);
  void show_image(QImage image, Drawing drawing = {});
  const QImage& image() const { return image_; }
  // Keys typed while no command waits for one here go to `console` and
  // `back` gives it the focus, so no typed line is lost.
  void forward_keys(KeyQueue* console, const std::atomic<bool>* waited_for,
                    std::function<void()> back);

  // The picture at `size` (logical pixels) for a screen of `ratio` device
  // pixels to one: the image itself at its own size and ratio 1, else
  // drawn again scaled at the screen's resolution.
  QImage rendered(QSize size, qreal ratio = 1.0) const;
  // Writes the picture as it is shown now: a PDF page for a name ending
  // in .pdf, an SVG drawing for .svg (where built with SVG), else a PNG
  // image. False when the file cannot be written.
  bool save(const QString& path) const;
  void copy_to_clipboard() const;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void ask_and_save();

  KeyQueue& keys_;
  QImage image_;
  Drawing drawing_;
  // The picture drawn again at the widget's size and pixel ratio.
  mutable QImage shown_;
  KeyQueue* console_keys_ = nullptr;
  const std::atomic<bool>* waited_for_ = nullptr;
  std::function<void()> back_;
};

// How pictures are made and read: a drawing surface of the given pixel
// size, and the finished image of one.
struct PictureMaker {
  std::function<std::unique_ptr<GraphicsWindow>(QSize)> make;
  std::function<QImage(const GraphicsWindow&)> image;
  // What it was drawn from, for drawing it again at another size (optional).
  std::function<Drawing(const GraphicsWindow&)> drawing;
};

class QtWindowServices : public WindowServices {
 public:
  QtWindowServices(Frame& frame, KeyQueue& console_keys, PictureMaker maker = {});
  ~QtWindowServices() override;

  // The frame is going away: calls return at once, waits end.
  void close_all();

  std::optional<CellSize> largest_cells(ChildWindow w) override;
  std::optional<CellSize> current_cells(ChildWindow w) override;
  PixelSize frame_pixels() override;
  bool open(ChildWindow w, std::string_view title) override;
  bool configure(ChildWindow w, WindowConfig& request) override;
  void place(ChildWindow w, int col, int row, int cols, int rows) override;
  void close(ChildWindow w, bool keep) override;
  GraphicsWindow* graphics(ChildWindow w) override;
  std::string present(ChildWindow w) override;
  void focus(ChildWindow w) override;
  int wait_key(ChildWindow w) override;
  PictureData snapshot(ChildWindow w) override;

  // The window of a child (Qt thread; null when it is not open).
  QMdiSubWindow* sub_window(ChildWindow w);

 private:
  struct Child {
    QPointer<QMdiSubWindow> sub;        // Qt thread
    PictureView* view = nullptr;        // Qt thread
    QMdiSubWindow* current = nullptr;   // Qt thread: the window in use
    KeyQueue keys;
    std::atomic<bool> open{false};      // cleared when the window goes
    std::atomic<bool> waited_for{false};  // a command waits for a key here
    std::unique_ptr<GraphicsWindow> picture;  // command thread
    QSize picture_size;                       // command thread
  };
  // The sizes the command thread reads, written by the Qt thread.
  struct Geometry {
    QSize cell{1, 1};   // the console's text cell
    QSize room;         // the document area's viewport
    // The frame and title bar of the Plot, Legend and console windows.
    std::array<QSize, 3> decoration;
    std::array<QSize, 2> view;  // Plot, Legend drawing surfaces
    std::array<QString, 2> title;
  };
  // Runs `f` on the Qt thread and waits for it.
  void on_gui(const std::function<void()>& f);
  // Runs `f` on the Qt thread later, in order with the other calls.
  void post(std::function<void()> f);
  Child* child(ChildWindow w);
  QSize cell() const;
  // Copies the windows' sizes for the command thread (Qt thread).
  void update_geometry();
  // A child's window is closed by the user or deleted (Qt thread).
  void gone(QObject* window);
  Geometry geometry() const;

  Frame& frame_;
  KeyQueue& console_keys_;
  PictureMaker maker_;
  std::array<Child, 2> children_;  // Plot, Legend
  std::atomic<bool> closing_{false};
  mutable std::mutex geometry_mutex_;
  Geometry geometry_;
  QObject guard_;  // ends the connections to the windows with the services
  QObject* watch_ = nullptr;  // sees size changes of the area and the windows
};

}  // namespace verto::qt
