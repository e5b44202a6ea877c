#pragma once
// Key-at-a-time terminal input (termios) that always gives the terminal
// its mode back: on leave(), at normal exit (atexit), and when the
// process ends through SIGINT, SIGTERM, SIGHUP, SIGQUIT or a crash signal
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT); a stop signal gives the
// shell the saved mode until the process continues. One terminal per
// process.
namespace verto::raw_terminal {

// Remembers the mode of the terminal on `fd` and installs the handlers.
// False when `fd` is not a terminal. Later calls do nothing.
bool prepare(int fd);

// Keys arrive one at a time without echo; Ctrl-Z, Ctrl-S, Ctrl-Q, Ctrl-V
// and Ctrl-O reach the program as characters and Enter as 13. Ctrl-C
// still interrupts. Output processing stays as it was.
bool enter();
// Back to the remembered mode.
void leave();
bool active();

// The saved mode for the lifetime of the object (a program started from
// VERTO gets a normal terminal); key mode comes back afterwards if it was on.
class SavedModeScope {
 public:
  SavedModeScope() : was_active_(active()) {
    if (was_active_) leave();
  }
  ~SavedModeScope() {
    if (was_active_) enter();
  }
  SavedModeScope(const SavedModeScope&) = delete;
  SavedModeScope& operator=(const SavedModeScope&) = delete;

 private:
  bool was_active_;
};

}  // namespace verto::raw_terminal
