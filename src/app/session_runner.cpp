#include "app/session_runner.h"

#include <memory>

#include "app/command_loop.h"
#include "app/command_table.h"
#include "core/log_console.h"
#include "core/session.h"
#include "core/system.h"
#include "core/window_services.h"

namespace verto {

SessionRun::SessionRun(Console& con, WindowServices* window, RunOptions options)
    : options_(std::move(options)) {
  if (!options_.log_path.empty()) log_ = LogConsole::open(con, options_.log_path);
  session_ = std::make_unique<Session>(log_ ? static_cast<Console&>(*log_) : con, os_services(),
                                       command_table());
  session_->window = window;
}

SessionRun::~SessionRun() = default;

void SessionRun::run() {
  Session& s = *session_;
  if (WindowServices* window = s.window) {
    editor_.glance_at_plot = [window] {
      if (!window->current_cells(ChildWindow::Plot)) return false;
      window->focus(ChildWindow::Plot);
      window->wait_key(ChildWindow::Plot);
      window->focus(ChildWindow::Console);
      return true;
    };
  }
  run_startup(s, editor_.macros, options_.arguments, options_.startup);
  run_command_loop(s, editor_);
}

void run_session(Console& con, WindowServices* window, const RunOptions& options) {
  SessionRun(con, window, options).run();
}

}  // namespace verto
