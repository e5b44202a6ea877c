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
#include "qt/picture_data.h"

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
  shown_ = QImage();
  update();
}

void PictureView::forward_keys(KeyQueue* console, const std::atomic<bool>* waited_for,
                               std::function<void()> back) {
  console_keys_ = console;
  waited_for_ = waited_for;
  back_ = std::move(back);
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::black);
  if (image_.isNull()) return;
  const qreal ratio = devicePixelRatioF();
  if (size() == image_.size() && ratio == 1.0) {
    p.drawImage(0, 0, image_);
    return;
  }
  // Resized since the last plot (the whole picture, scaled, until the next
  // plot draws at the new size), or a screen with more pixels than the
  // picture: drawn again once for this size and pixel ratio.
  if (shown_.isNull() || shown_.devicePixelRatio() != ratio ||
      shown_.deviceIndependentSize() != QSizeF(size()))
    shown_ = rendered(size(), ratio);
  p.drawImage(QRectF(rect()), shown_);
}

QImage PictureView::rendered(QSize size, qreal ratio) const {
  if (image_.isNull() || size.isEmpty()) return image_;
  if (size == image_.size() && ratio == 1.0) return image_;
  const QSize device(qRound(size.width() * ratio), qRound(size.height() * ratio));
  if (drawing_.empty() || drawing_.pixels() != image_.size()) {
    QImage out = image_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out.setDevicePixelRatio(ratio);
    return out;
  }
  QImage out(device, QImage::Format_RGB32);
  out.setDevicePixelRatio(ratio);
  out.fill(Qt::black);
  QPainter p(&out);
  drawing_.replay(p, QRectF(QPointF(0, 0), QSizeF(size)));
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
  if (console_keys_ && waited_for_ && !waited_for_->load()) {
    // Nothing waits for a key here: the key belongs to the console.
    console_keys_->push(key);
    if (back_) back_();
    return;
  }
  keys_.push(key);
}

// ---------------------------------------------------------------- services

namespace {

// Calls `changed` after a watched widget changed its size or was shown,
// and `closed` when one is being closed.
class SizeWatch : public QObject {
 public:
  SizeWatch(std::function<void()> changed, std::function<void(QObject*)> closed, QObject* parent)
      : QObject(parent), changed_(std::move(changed)), closed_(std::move(closed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Close:
        closed_(watched);
        break;
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
      case QEvent::FontChange:
        changed_();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, e);
  }

 private:
  std::function<void()> changed_;
  std::function<void(QObject*)> closed_;
};

constexpr int kConsoleSlot = 2;

}  // namespace

QtWindowServices::QtWindowServices(Frame& frame, KeyQueue& console_keys, PictureMaker maker)
    : frame_(frame), console_keys_(console_keys), maker_(std::move(maker)) {
  on_gui([this] {
    watch_ = new SizeWatch([this] { update_geometry(); }, [this](QObject* w) { gone(w); }, &guard_);
    frame_.area().viewport()->installEventFilter(watch_);
    frame_.console_window().installEventFilter(watch_);
    frame_.console_view().installEventFilter(watch_);
    update_geometry();
  });
}

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

void QtWindowServices::post(std::function<void()> f) {
  if (closing_.load()) return;
  // Through the guard, so that a call still queued when the services go
  // is dropped.
  post_to(&guard_, std::move(f));
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

void QtWindowServices::update_geometry() {
  Geometry g;
  g.cell = cell().expandedTo(QSize(1, 1));
  g.room = frame_.area().viewport()->size();
  auto decoration_of = [](QMdiSubWindow& sub) {
    const QSize d = sub.size() - sub.widget()->size();
    return QSize(std::max(d.width(), 0), std::max(d.height(), 0));
  };
  g.decoration[kConsoleSlot] = decoration_of(frame_.console_window());
  for (std::size_t i = 0; i < children_.size(); ++i) {
    Child& c = children_[i];
    if (!c.open.load() || !c.sub || !c.sub->widget()) continue;
    g.view[i] = c.sub->widget()->size();
    g.decoration[i] = decoration_of(*c.sub);
    g.title[i] = c.sub->windowTitle();
  }
  std::lock_guard lock(geometry_mutex_);
  geometry_ = g;
}

QtWindowServices::Geometry QtWindowServices::geometry() const {
  std::lock_guard lock(geometry_mutex_);
  return geometry_;
}

void QtWindowServices::gone(QObject* window) {
  // Closed by the user. An earlier window of a child, closed by close()
  // and deleted after its successor opened, leaves the successor alone.
  for (Child& c : children_) {
    if (c.current == nullptr || c.current != window) continue;
    c.current = nullptr;
    c.view = nullptr;
    c.open.store(false);
    c.keys.interrupt();  // a wait for a key there ends
  }
  update_geometry();
}

QMdiSubWindow* QtWindowServices::sub_window(ChildWindow w) {
  if (w == ChildWindow::Console) return &frame_.console_window();
  Child* c = child(w);
  return c->open.load() ? c->sub.data() : nullptr;
}

namespace {

CellSize cells_in(QSize room, QSize cell) {
  return CellSize{std::max(1, room.width() / cell.width()),
                  std::max(1, room.height() / cell.height())};
}

}  // namespace

std::optional<CellSize> QtWindowServices::largest_cells(ChildWindow w) {
  if (Child* c = child(w)) {
    if (!c->open.load()) return std::nullopt;
    const Geometry g = geometry();
    const std::size_t i = static_cast<std::size_t>(c - children_.data());
    return cells_in(g.room - g.decoration[i], g.cell);
  }
  std::optional<CellSize> out;
  on_gui([&] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    QSize decoration = sub->size() - sub->widget()->size();
    out = cells_in(frame_.area().viewport()->size() - decoration, cell());
  });
  return out;
}

std::optional<CellSize> QtWindowServices::current_cells(ChildWindow w) {
  if (Child* c = child(w)) {
    if (!c->open.load()) return std::nullopt;
    const Geometry g = geometry();
    const QSize view = g.view[static_cast<std::size_t>(c - children_.data())];
    return CellSize{view.width() / g.cell.width(), view.height() / g.cell.height()};
  }
  std::optional<CellSize> out;
  on_gui([&] {
    const QSize shown = frame_.console_view().cells_shown();
    out = CellSize{shown.width(), shown.height()};
  });
  return out;
}

PixelSize QtWindowServices::frame_pixels() {
  // The room the graphics windows have, in whole cells of the text: pixels
  // per cell taken from it are the text cell itself.
  const Geometry g = geometry();
  std::size_t slot = kConsoleSlot;
  for (std::size_t i = 0; i < children_.size(); ++i)
    if (children_[i].open.load() && !g.view[i].isEmpty()) {
      slot = i;
      break;
    }
  const CellSize cells = cells_in(g.room - g.decoration[slot], g.cell);
  return PixelSize{cells.cols * g.cell.width(), cells.rows * g.cell.height()};
}

bool QtWindowServices::open(ChildWindow w, std::string_view title) {
  Child* c = child(w);
  if (!c || closing_.load()) return false;
  const QString t = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
  // A new legend waits for its key; a new plot window passes keys on.
  c->waited_for.store(w == ChildWindow::Legend);
  on_gui([&] {
    if (!c->open.load() || !c->sub) {
      c->keys.clear();
      c->view = new PictureView(c->keys);
      c->view->forward_keys(&console_keys_, &c->waited_for, [this] {
        frame_.area().setActiveSubWindow(&frame_.console_window());
        frame_.console_view().setFocus(Qt::OtherFocusReason);
      });
      c->sub = frame_.area().addSubWindow(c->view);
      c->view->resize(kDefaultPictureSize.boundedTo(frame_.area().viewport()->size()));
      c->sub->adjustSize();
      c->view->installEventFilter(watch_);
      c->current = c->sub.data();
      c->sub->installEventFilter(watch_);
      QObject::connect(c->sub, &QObject::destroyed, &guard_,
                       [this, sub = c->current] { gone(sub); });
      c->open.store(true);
    }
    c->sub->setWindowTitle(t);
    c->sub->show();
    update_geometry();
  });
  c->picture.reset();
  return c->open.load();
}

bool QtWindowServices::configure(ChildWindow w, WindowConfig& request) {
  Child* c = child(w);
  const bool resize = (request.width_px > 0 && request.height_px > 0) ||
                      (request.cols > 0 && request.rows > 0);
  if (c && !resize) {
    // Nothing to change but the title: answered from the sizes at hand.
    if (!c->open.load()) return false;
    const Geometry g = geometry();
    const std::size_t i = static_cast<std::size_t>(c - children_.data());
    if (request.title.empty() || g.title[i] == QString::fromStdString(request.title)) {
      const QSize now = g.view[i];
      const bool ok = request.colours <= kColoursInForce;
      request.width_px = now.width();
      request.height_px = now.height();
      request.cols = now.width() / g.cell.width();
      request.rows = now.height() / g.cell.height();
      request.colours = kColoursInForce;
      return ok;
    }
  }
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
    update_geometry();
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
    frame_.keep_inside(sub);
    update_geometry();
  });
}

void QtWindowServices::close(ChildWindow w, bool keep) {
  Child* c = child(w);
  if (!c) return;
  c->waited_for.store(false);
  on_gui([&] {
    if (!c->sub) return;
    if (keep) {
      // Left on screen above the console, which takes the keyboard back;
      // the next window opened in its place (a later LEG) replaces it.
      c->sub->setWindowFlags(c->sub->windowFlags() | Qt::WindowStaysOnTopHint);
      c->sub->show();
      return;
    }
    c->open.store(false);
    QMdiSubWindow* sub = c->sub;
    c->sub = nullptr;
    c->current = nullptr;
    c->view = nullptr;
    sub->close();  // deletes it
    update_geometry();
  });
  if (keep) return;
  c->open.store(false);
  c->picture.reset();
}

GraphicsWindow* QtWindowServices::graphics(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->open.load() || !maker_.make) return nullptr;
  const QSize size = geometry().view[static_cast<std::size_t>(c - children_.data())];
  if (!size.isValid() || size.isEmpty()) return nullptr;
  if (!c->picture || c->picture_size != size) {
    c->picture = maker_.make(size);
    c->picture_size = size;
  }
  return c->picture.get();
}

// The picture as the command thread drew it (the window shows a copy).
PictureData QtWindowServices::snapshot(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture || !maker_.image) return {};
  const Drawing drawing = maker_.drawing ? maker_.drawing(*c->picture) : Drawing{};
  return picture_data(maker_.image(*c->picture), drawing,
                      w == ChildWindow::Legend ? "Plot Legend" : "Plot");
}

Presented QtWindowServices::present(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture || !maker_.image || closing_.load()) return {};
  // A copy of its own for the window, while the command thread goes on
  // drawing into the picture.
  QImage copy = maker_.image(*c->picture);
  copy.detach();
  Drawing drawing = maker_.drawing ? maker_.drawing(*c->picture) : Drawing{};
  drawing.detach();
  post([c, copy = std::move(copy), drawing = std::move(drawing)]() mutable {
    if (c->open.load() && c->view) c->view->show_image(std::move(copy), std::move(drawing));
  });
  return {};
}

void QtWindowServices::focus(ChildWindow w) {
  // A window given the focus is one whose key a command waits for.
  if (Child* c = child(w)) c->waited_for.store(true);
  post([this, w] {
    QMdiSubWindow* sub = sub_window(w);
    if (!sub) return;
    frame_.area().setActiveSubWindow(sub);
    sub->widget()->setFocus(Qt::OtherFocusReason);
  });
}

int QtWindowServices::wait_key(ChildWindow w) {
  Child* c = child(w);
  KeyQueue* keys = c ? &c->keys : &console_keys_;
  if (c) c->waited_for.store(true);
  for (;;) {
    if (c && !c->open.load()) {
      c->waited_for.store(false);
      return kKeyEndOfInput;
    }
    int key = keys->pop();
    if (key != kKeyInterrupted) {
      if (c) c->waited_for.store(false);
      return key;
    }
  }
}

}  // namespace verto::qt
