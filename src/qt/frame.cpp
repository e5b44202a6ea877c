#include "qt/frame.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

#include "qt/console_window.h"

namespace verto::qt {

QIcon program_icon() {
  QPixmap pix(64, 64);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(Qt::black);
  p.setPen(QPen(standard_colour(7), 2));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 8, 8);
  p.setPen(QPen(standard_colour(9), 3));
  p.drawPolyline(QPolygonF({QPointF(10, 12), QPointF(10, 50), QPointF(56, 50)}));
  QPainterPath peak(QPointF(12, 48));
  peak.cubicTo(24, 48, 26, 16, 33, 16);
  peak.cubicTo(40, 16, 42, 48, 54, 48);
  p.setPen(QPen(standard_colour(12), 3));
  p.setBrush(Qt::NoBrush);
  p.drawPath(peak);
  return QIcon(pix);
}

QSize initial_frame_size(const QRect& available) {
  return QSize(available.width() * 9 / 10, available.height() * 8 / 10)
      .boundedTo(available.size());
}

Frame::Frame(ConsoleView* console, HandOverQueue& queue)
    : area_(new QMdiArea(this)), console_(console), queue_(queue) {
  setWindowTitle("VERTO!");
  area_->setBackground(QBrush(QColor(0x80, 0x80, 0x80)));
  setCentralWidget(area_);
  console_window_ = area_->addSubWindow(console_);
  console_window_->setWindowTitle("VERTO! Console");
  setWindowIcon(program_icon());
  console_window_->setWindowIcon(program_icon());
  // The console is not closed on its own: only the frame ends VERTO.
  console_window_->setAttribute(Qt::WA_DeleteOnClose, false);
  console_window_->installEventFilter(this);
  // Child windows never end up out of reach: when the frame shrinks they
  // move back into it, and what is still larger than the area scrolls.
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->viewport()->installEventFilter(this);
  // Data files dropped anywhere on the frame are read; the console does
  // not take them as text.
  setAcceptDrops(true);
  console_->setAcceptDrops(false);
  console_->viewport()->setAcceptDrops(false);
}

void Frame::keep_inside(QMdiSubWindow* sub) {
  if (!sub || sub->isMaximized() || sub->isMinimized()) return;
  const QSize room = area_->viewport()->size();
  QPoint at = sub->pos();
  at.setX(std::max(0, std::min(at.x(), room.width() - sub->width())));
  at.setY(std::max(0, std::min(at.y(), room.height() - sub->height())));
  if (at != sub->pos()) sub->move(at);
}

namespace {

// The regular files among the dropped URLs, in their order.
std::vector<std::string> dropped_files(const QMimeData* mime) {
  std::vector<std::string> files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    const QFileInfo info(url.toLocalFile());
    if (info.isFile()) files.push_back(info.absoluteFilePath().toStdString());
  }
  return files;
}

}  // namespace

void Frame::dragEnterEvent(QDragEnterEvent* e) {
  if (on_drop_ && !dropped_files(e->mimeData()).empty()) e->acceptProposedAction();
}

void Frame::dragMoveEvent(QDragMoveEvent* e) {
  if (on_drop_ && !dropped_files(e->mimeData()).empty()) e->acceptProposedAction();
}

void Frame::dropEvent(QDropEvent* e) {
  const std::vector<std::string> files = dropped_files(e->mimeData());
  if (!on_drop_ || files.empty()) return;
  e->acceptProposedAction();
  on_drop_(files);
}

bool Frame::eventFilter(QObject* watched, QEvent* e) {
  if (watched == console_window_ && e->type() == QEvent::Close) {
    e->ignore();
    return true;
  }
  if (watched == area_->viewport() && e->type() == QEvent::Resize) {
    for (QMdiSubWindow* sub : area_->subWindowList()) keep_inside(sub);
  }
  return QMainWindow::eventFilter(watched, e);
}

void Frame::lay_out() {
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  QSize size = initial_frame_size(available);
  resize(size);
  move(available.x() + (available.width() - size.width()) / 2,
       available.y() + (available.height() - size.height()) / 2);
  QSize inner = console_->size_for(kConsoleColumns, kConsoleRows);
  QSize decoration = console_window_->size() - console_->size();
  if (decoration.width() < 0 || decoration.height() < 0) decoration = QSize(0, 0);
  console_window_->resize(inner + decoration);
  console_window_->move(0, 0);
}

void Frame::closeEvent(QCloseEvent* e) {
  if (on_close_) {
    auto handler = std::move(on_close_);
    on_close_ = nullptr;
    handler();
  }
  e->accept();
}

}  // namespace verto::qt
