#pragma once
// One run of VERTO on a given console: the session, the optional session
// log, start-up and the command loop. Every front-end (piped input, the
// terminal, the frame window) ends up here, on the thread that computes.
#include <memory>
#include <string>
#include <vector>

#include "app/editor_state.h"
#include "app/startup.h"

namespace verto {

class Console;
class LogConsole;
class NotebookConsole;
class NotebookWindows;
class WindowServices;
struct Session;

struct RunOptions {
  std::vector<std::string> arguments;  // program arguments without the "--" options
  StartupOptions startup;
  std::string log_path;                // --log FILE; empty: no log
  std::string notebook_path;           // --notebook FILE.html; empty: none
};

// The session of one run and its line editor, made before it runs so that
// a front-end can reach the editor's hand-over queue; run() may then be
// called on another thread.
class SessionRun {
 public:
  SessionRun(Console& con, WindowServices* window, RunOptions options);
  ~SessionRun();
  SessionRun(const SessionRun&) = delete;
  SessionRun& operator=(const SessionRun&) = delete;
  Session& session() { return *session_; }
  LineEditor& editor() { return editor_; }
  // Start-up and the command loop until QUIT, EXIT or the end of input.
  void run();

 private:
  RunOptions options_;
  std::unique_ptr<LogConsole> log_;
  std::unique_ptr<NotebookConsole> notebook_;
  std::unique_ptr<NotebookWindows> notebook_windows_;
  std::unique_ptr<Session> session_;
  LineEditor editor_;
};

// Runs start-up and the command loop until QUIT, EXIT or the end of input.
// `window` may be null (no plot windows). With window services, Tab in the
// line editor glances at the Plot window.
void run_session(Console& con, WindowServices* window, const RunOptions& options);

// Signature of the frame window's entry point in the Qt front-end library:
// runs the whole program in the frame and returns the exit status.
using FrameEntry = int (*)(const RunOptions* options);
constexpr const char* kFrameEntryName = "verto_run_frame";

}  // namespace verto
