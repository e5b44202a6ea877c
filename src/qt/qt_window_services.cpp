#include "qt/qt_window_services.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QThread>
#ifdef VERTO_HAVE_SVG
#include <QSvgGenerator>
#endif

#include "qt/console_window.h"
#include "qt/frame.h"
#include "qt/gui_call.h"

namespace verto::qt {

constexpr int kColoursInForce = 256;
const QSize kDefaultPictureSize(640, 480);

// ------------------------------------------------------------ picture view

PictureView::PictureView(KeyQueue& keys, QWidget* parent) : QWidget(parent), keys_(keys) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::show_image(QImage image, Drawing drawing) {
  image_ = std::move(image);
  drawing_ = std::move(drawing);
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  if (image_.isNull()) return;
  if (size() == image_.size()) {
    p.drawImage(0, 0, image_);
  } else if (!drawing_.empty() && drawing_.pixels() == image_.size()) {
    // Resized since the last plot: the whole picture, scaled, until the
    // next plot draws at the new size.
    drawing_.replay(p, QRectF(rect()));
  } else {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect()), image_);
  }
}

QImage PictureView::rendered(QSize size) const {
  if (image_.isNull() || size == image_.size() || size.isEmpty()) return image_;
  if (drawing_.empty() || drawing_.pixels() != image_.size())
    return image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QImage out(size, QImage::Format_RGB32);
  out.fill(Qt::black);
  drawing_.replay(out);
  return out;
}

bool PictureView::save(const QString& path) const {
  if (image_.isNull()) return false;
  const QSize shown = size().isEmpty() ? image_.size() : size();
  const bool vector_drawing = !drawing_.empty() && drawing_.pixels() == image_.size();
#ifdef VERTO_HAVE_SVG
  if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(shown);
    svg.setViewBox(QRect(QPoint(0, 0), shown));
    QPainter p;
    if (!p.begin(&svg)) return false;
    if (vector_drawing) drawing_.replay(p, QRectF(QPoint(0, 0), shown));
    else p.drawImage(QRectF(QPoint(0, 0), shown), image_);
    return p.end();
  }
#endif
  if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
    return rendered(shown).save(path, "PNG");
  // One page the size of the window, one point to a pixel, drawn at
  // vector quality when the drawing is at hand.
  QPdfWriter pdf(path);
  pdf.setResolution(72);
  pdf.setPageSize(QPageSize(QSizeF(shown), QPageSize::Point, {}, QPageSize::ExactMatch));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter p;
  if (!p.begin(&pdf)) return false;
  const QRectF page(0, 0, pdf.width(), pdf.height());
  if (vector_drawing) drawing_.replay(p, page);
  else p.drawImage(page, image_);
  return p.end();
}

void PictureView::copy_to_clipboard() const {
  if (image_.isNull()) return;
  QGuiApplication::clipboard()->setImage(rendered(size()));
}

void PictureView::ask_and_save() {
  QString filter;
  const QString png = QStringLiteral("PNG image (*.png)"), pdf = QStringLiteral("PDF document (*.pdf)");
  QString filters = png + QStringLiteral(";;") + pdf;
#ifdef VERTO_HAVE_SVG
  const QString svg = QStringLiteral("SVG drawing (*.svg)");
  filters += QStringLiteral(";;") + svg;
#endif
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save picture as"), QString(),
                                              filters, &filter);
  if (path.isEmpty()) return;
  // A name without an extension takes the one of the chosen kind.
  if (QFileInfo(path).suffix().isEmpty())
    path += QLatin1Char('.') + filter.section(QLatin1String("*."), 1).chopped(1);
  if (!save(path)) {
    QMessageBox::warning(this, QStringLiteral("Save picture"),
                         QStringLiteral("Cannot write %1").arg(path));
  }
}

void PictureView::contextMenuEvent(QContextMenuEvent* e) {
  QMenu menu(this);
  QAction* save_as = menu.addAction(QString::fromUtf8("Save picture as\u2026"));
  QAction* copy = menu.addAction(QStringLiteral("Copy picture"));
  save_as->setEnabled(!image_.isNull());
  copy->setEnabled(!image_.isNull());
  QAction* chosen = menu.exec(e->globalPos());
  if (chosen == save_as) ask_and_save();
  else if (chosen == copy) copy_to_clipboard();
}

void PictureView::keyPressEvent(QKeyEvent* e) {
  int key = key_code(*e);
  if (key < 0) {
    QWidget::keyPressEvent(e);
    return;
  }
  keys_.push(key);
}

// ---------------------------------------------------------------- services

QtWindowServices::QtWindowServices(Frame& frame, KeyQueue& console_keys, PictureMaker maker)
    : frame_(frame), console_keys_(console_keys), maker_(std::move(maker)) {}

QtWindowServices::~QtWindowServices() { close_all(); }

void QtWindowServices::close_all() {
  closing_.store(true);
  for (Child& c : children_) c.keys.close();
}

void QtWindowServices::on_gui(const std::function<void()>& f) {
  if (QThread::currentThread() == frame_.thread()) {
    f();
    return;
  }
  if (closing_.load()) return;
  call_and_wait(&frame_, f);
}

QtWindowServices::Child* QtWindowServices::child(ChildWindow w) {
  switch (w) {
    case ChildWindow::Plot: return &children_[0];
    case ChildWindow::Legend: return &children_[1];
    case ChildWindow::Console: break;
  }
  return nullptr;
}

QSize QtWindowServices::cell() const { return frame_.console_view().cell(); }

QMdiSubWindow* QtWindowServices::sub_window(ChildWindow w) {
  if (w == ChildWindow::Console) return &frame_.console_window();
  Child* c = child(w);
  return c->open.load() ? c->sub.data() : nullptr;
}

std::optional<CellSize> QtWindowServices::largest_cells(ChildWindow w) {
  std::optional<CellSize> out;
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    QSize decoration = sub->size() - sub->widget()->size();
    QSize room = frame_.area().viewport()->size() - decoration;
    QSize c = cell();
    out = CellSize{std::max(1, room.width() / c.width()), std::max(1, room.height() / c.height())};
  });
  return out;
}

std::optional<CellSize> QtWindowServices::current_cells(ChildWindow w) {
  std::optional<CellSize> out;
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    QSize inner = sub->widget()->size();
    if (w == ChildWindow::Console) {
      ConsoleView& view = frame_.console_view();
      const int margin = static_cast<int>(view.document()->documentMargin());
      inner = view.viewport()->size() - QSize(2 * margin, 2 * margin);
    }
    QSize c = cell();
    out = CellSize{inner.width() / c.width(), inner.height() / c.height()};
  });
  return out;
}

PixelSize QtWindowServices::frame_pixels() {
  PixelSize out;
  on_gui([&] {
    QSize s = frame_.area().viewport()->size();
    out = PixelSize{s.width(), s.height()};
  });
  return out;
}

QSize QtWindowServices::view_size(ChildWindow w) {
  QSize s;
  on_gui([&] {
    if (QMdiSubWindow* sub = sub_window(w)) s = sub->widget()->size();
  });
  return s;
}

bool QtWindowServices::open(ChildWindow w, std::string_view title) {
  Child* c = child(w);
  if (!c || closing_.load()) return false;
  const QString t = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
  on_gui([&] {
    if (!c->open.load() || !c->sub) {
      c->keys.clear();
      c->view = new PictureView(c->keys);
      c->sub = frame_.area().addSubWindow(c->view);
      c->view->resize(kDefaultPictureSize.boundedTo(frame_.area().viewport()->size()));
      c->sub->adjustSize();
      QObject::connect(c->sub, &QObject::destroyed, &guard_, [c] {
        c->open.store(false);
        c->keys.interrupt();  // a wait for a key there ends
      });
      c->open.store(true);
    }
    c->sub->setWindowTitle(t);
    c->sub->show();
  });
  c->picture.reset();
  return c->open.load();
}

bool QtWindowServices::configure(ChildWindow w, WindowConfig& request) {
  bool ok = false;
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    QWidget* view = sub->widget();
    QSize c = cell();
    QSize want = view->size();
    if (request.width_px > 0 && request.height_px > 0) want = QSize(request.width_px, request.height_px);
    else if (request.cols > 0 && request.rows > 0)
      want = QSize(request.cols * c.width(), request.rows * c.height());
    if (want != view->size() && w != ChildWindow::Console) {
      QSize decoration = sub->size() - view->size();
      sub->resize(want + decoration);
    }
    if (!request.title.empty()) sub->setWindowTitle(QString::fromStdString(request.title));
    QSize now = view->size();
    ok = request.colours <= kColoursInForce;
    request.width_px = now.width();
    request.height_px = now.height();
    request.cols = now.width() / c.width();
    request.rows = now.height() / c.height();
    request.colours = kColoursInForce;
  });
  return ok;
}

void QtWindowServices::place(ChildWindow w, int col, int row, int cols, int rows) {
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    QSize c = cell();
    QSize decoration = sub->size() - sub->widget()->size();
    QSize inner(cols * c.width(), rows * c.height());
    if (w == ChildWindow::Console) inner = frame_.console_view().size_for(cols, rows);
    sub->move((col - 1) * c.width(), (row - 1) * c.height());
    sub->resize(inner + decoration);
  });
}

void QtWindowServices::close(ChildWindow w, bool keep) {
  Child* c = child(w);
  if (!c) return;
  on_gui([&] {
    if (!c->sub) return;
    c->open.store(false);
    QMdiSubWindow* sub = c->sub;
    c->sub = nullptr;
    c->view = nullptr;
    if (!keep) sub->close();  // deletes it
  });
  c->open.store(false);
  c->picture.reset();
}

GraphicsWindow* QtWindowServices::graphics(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->open.load() || !maker_.make) return nullptr;
  QSize size = view_size(w);
  if (!size.isValid() || size.isEmpty()) return nullptr;
  if (!c->picture || c->picture_size != size) {
    c->picture = maker_.make(size);
    c->picture_size = size;
  }
  return c->picture.get();
}

std::string QtWindowServices::present(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture || !maker_.image || closing_.load()) return {};
  // A copy of its own for the window, while the command thread goes on
  // drawing into the picture.
  QImage copy = maker_.image(*c->picture);
  copy.detach();
  Drawing drawing = maker_.drawing ? maker_.drawing(*c->picture) : Drawing{};
  drawing.detach();
  QPointer<QMdiSubWindow> sub;
  on_gui([&] { sub = c->sub; });
  if (!sub) return {};
  post_to(&frame_, [sub, copy = std::move(copy), drawing = std::move(drawing)]() mutable {
    if (auto* view = sub ? dynamic_cast<PictureView*>(sub->widget()) : nullptr)
      view->show_image(std::move(copy), std::move(drawing));
  });
  return {};
}

void QtWindowServices::focus(ChildWindow w) {
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    frame_.area().setActiveSubWindow(sub);
    sub->widget()->setFocus(Qt::OtherFocusReason);
  });
}

int QtWindowServices::wait_key(ChildWindow w) {
  Child* c = child(w);
  KeyQueue* keys = c ? &c->keys : &console_keys_;
  for (;;) {
    if (c && !c->open.load()) return kKeyEndOfInput;
    int key = keys->pop();
    if (key != kKeyInterrupted) return key;
  }
}

}  // namespace verto::qt
