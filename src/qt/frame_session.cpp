#include "qt/frame_session.h"

#include <QCoreApplication>
#include <QDir>

#include "core/session.h"
#include "qt/gui_call.h"
#include "qt/menu_bar.h"
#include "qt/picture_window.h"
#include "ui/file_lines.h"

namespace verto::qt {

FrameSession::FrameSession(const RunOptions& options, PictureMaker maker)
    : run_(console_, nullptr, options) {
  auto* view = new ConsoleView(console_.outbox(), console_.keys());
  frame_ = std::make_unique<Frame>(view, run_.editor().queue);
  // The dialogs preset from what the command thread published before it
  // read its last line.
  const PublishedCounts& counts = run_.editor().published;
  const LineHand hand = build_menu_bar(*frame_, frame_->area(), frame_->queue(), [&counts] {
    constexpr auto order = std::memory_order_acquire;
    return ui::WorkspaceView{counts.form.load(order), counts.variable.load(order),
                             counts.npts.load(order), counts.nline.load(order),
                             counts.columns.load(order)};
  });
  // Dropped data files are read as "Open data..." reads a chosen one.
  frame_->on_files_dropped([hand](const std::vector<std::string>& files) {
    for (ui::QueuedLines& lines : ui::dropped_file_lines(files, QDir::currentPath().toStdString()))
      hand(std::move(lines));
  });
  if (!maker.make) {
    // Pictures with the console's text cells, so that plot text lines up
    // with the cells the window is sized in.
    const QSize cell = view->cell();
    maker.make = [cell](QSize pixels) -> std::unique_ptr<GraphicsWindow> {
      return std::make_unique<PictureWindow>(pixels, cell);
    };
    maker.image = [](const GraphicsWindow& g) {
      return static_cast<const PictureWindow&>(g).image();
    };
    maker.drawing = [](const GraphicsWindow& g) {
      return static_cast<const PictureWindow&>(g).drawing();
    };
  }
  services_ = std::make_unique<QtWindowServices>(*frame_, console_.keys(), std::move(maker));
  run_.session().window = services_.get();
}

// The command thread uses the console, the services and the frame: it is
// waited for before they go, however long its command computes.
FrameSession::~FrameSession() {
  while (!stop(std::chrono::seconds(1))) {
  }
}

void FrameSession::start(std::function<void()> on_end) {
  frame_->show();
  frame_->lay_out();
  frame_->console_view().setFocus();
  QObject* context = frame_.get();
  thread_ = std::thread([this, context, on_end = std::move(on_end)] {
    run_.run();
    done_.store(true, std::memory_order_release);
    if (on_end) post_to(context, on_end);
  });
}

int FrameSession::exit_status() { return session().abandoned ? 1 : 0; }

bool FrameSession::stop(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  run_.session().closing.store(true, std::memory_order_release);
  console_.close();
  services_->close_all();
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!finished() && std::chrono::steady_clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!finished()) return false;
  thread_.join();
  return true;
}

}  // namespace verto::qt
