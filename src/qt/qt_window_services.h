#pragma once
// The window services on screen: graphics child windows in the frame's
// document area, sized and placed in text cells of the console font.
//
// Every call comes from the command thread. Window management runs on the
// Qt thread through a blocking queued call (it is quick and returns what
// the caller needs); drawing goes into a picture the command thread owns,
// and present() hands a copy of the finished image to the window, which
// keeps it and repaints from it, so nothing is lost when the window is
// covered, moved or restored.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include "core/window_services.h"
#include "qt/drawing.h"
#include "qt/key_queue.h"

class QMdiSubWindow;

namespace verto::qt {

class Frame;

// A graphics child window: shows the last presented image and passes its
// keys on. Resized, it shows the whole picture scaled to its new size,
// drawn again from the picture's drawing; its context menu saves the
// picture (PNG, PDF or SVG) and copies it to the clipboard.
class PictureView : public QWidget {
 public:
  explicit PictureView(KeyQueue& keys, QWidget* parent = nullptr);
  void show_image(QImage image, Drawing drawing = {});
  const QImage& image() const { return image_; }

  // The picture at `size`: the image itself at its own size, else drawn
  // again scaled.
  QImage rendered(QSize size) const;
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
    KeyQueue keys;
    std::atomic<bool> open{false};      // cleared when the window goes
    std::unique_ptr<GraphicsWindow> picture;  // command thread
    QSize picture_size;                       // command thread
  };
  // Runs `f` on the Qt thread and waits for it.
  void on_gui(const std::function<void()>& f);
  Child* child(ChildWindow w);
  QSize cell() const;
  QSize view_size(ChildWindow w);

  Frame& frame_;
  KeyQueue& console_keys_;
  PictureMaker maker_;
  std::array<Child, 2> children_;  // Plot, Legend
  std::atomic<bool> closing_{false};
  QObject guard_;  // ends the connections to the windows with the services
};

}  // namespace verto::qt
