#pragma once
// VERTO in the frame window: the console window, the window services and
// the session, with the command loop on a thread of its own. The Qt event
// loop stays on the thread that made the FrameSession and owns every
// widget; the command thread computes, writes to the console and draws.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/session_runner.h"
#include "qt/console_window.h"
#include "qt/frame.h"
#include "qt/qt_window_services.h"

namespace verto::qt {

class FrameSession {
 public:
  explicit FrameSession(const RunOptions& options, PictureMaker maker = {});
  ~FrameSession();
  FrameSession(const FrameSession&) = delete;
  FrameSession& operator=(const FrameSession&) = delete;

  Frame& frame() { return *frame_; }
  ConsoleView& console_view() { return frame_->console_view(); }
  QtConsole& console() { return console_; }
  QtWindowServices& services() { return *services_; }
  Session& session() { return run_.session(); }
  LineEditor& editor() { return run_.editor(); }

  // Shows the frame and starts the command thread. `on_end` runs on the Qt
  // thread when the session ended by itself (QUIT, EXIT).
  void start(std::function<void()> on_end = {});
  bool finished() const { return done_.load(std::memory_order_acquire); }
  // Ends the session from the window side: key reads end (the line editor
  // sees the end of input), window waits return, and a command writing a
  // file or running a program ends at its next safe point (the session's
  // `closing`). Waits up to `timeout` for the command thread, serving its
  // window calls meanwhile, and joins it; false when a command is still
  // busy.
  bool stop(std::chrono::milliseconds timeout);
  // The exit status of the run: 1 when a command gave up its work because
  // the frame closed, else 0.
  int exit_status();

 private:
  QtConsole console_;
  SessionRun run_;
  std::unique_ptr<Frame> frame_;
  std::unique_ptr<QtWindowServices> services_;
  std::thread thread_;
  std::atomic<bool> done_{false};
};

}  // namespace verto::qt
