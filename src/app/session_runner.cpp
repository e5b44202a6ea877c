#include "app/session_runner.h"

#include <memory>

#include "app/command_loop.h"
#include "app/command_table.h"
#include "core/log_console.h"
#include "core/notebook_console.h"
#include "core/session.h"
#include "core/system.h"
#include "core/window_services.h"

namespace verto {

SessionRun::SessionRun(Console& con, WindowServices* window, RunOptions options)
    : options_(std::move(options)) {
  Console* shown = &con;
  if (!options_.log_path.empty()) log_ = LogConsole::open(con, options_.log_path);
  if (log_) shown = log_.get();
  if (!options_.notebook_path.empty()) {
    std::string error;
    notebook_ = NotebookConsole::open(*shown, options_.notebook_path, error);
    if (notebook_) shown = notebook_.get();
    else shown->record("<<<VERTO!!!>>> " + error);
  }
  session_ = std::make_unique<Session>(*shown, os_services(), command_table());
  session_->window = window;
  session_->record = notebook_.get();
}

SessionRun::~SessionRun() = default;

void SessionRun::run() {
  Session& s = *session_;
  // The notebook sees every picture the windows present.
  if (notebook_ && s.window) {
    notebook_windows_ = std::make_unique<NotebookWindows>(*s.window, *notebook_);
    s.window = notebook_windows_.get();
  }
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
