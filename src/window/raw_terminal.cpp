#include "window/raw_terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

namespace verto::raw_terminal {

namespace {

int g_fd = -1;
struct termios g_saved;
struct termios g_raw;
volatile sig_atomic_t g_active = 0;

// Only async-signal-safe calls from here on: the functions run inside
// signal handlers.
void restore() {
  if (g_active) {
    tcsetattr(g_fd, TCSANOW, &g_saved);
    g_active = 0;
  }
}

void restore_at_exit() { restore(); }

extern "C" void on_fatal_signal(int sig) {
  if (g_active) {
    restore();
    const char newline = '\n';
    [[maybe_unused]] auto n = write(STDOUT_FILENO, &newline, 1);
  }
  // The handler was installed with SA_RESETHAND: the signal raised again
  // (or the faulting instruction run again) now takes its default action.
  raise(sig);
}

void install(int sig, void (*handler)(int), int flags);

extern "C" void on_stop(int sig) {
  // A stop sent from outside (the terminal's own suspend key is off): the
  // shell gets the saved mode while VERTO is stopped; on_continue puts key
  // mode back.
  if (g_active) tcsetattr(g_fd, TCSANOW, &g_saved);
  // With the default action back, the signal stops the process right here
  // (SA_NODEFER); once continued, the handler is put in place again.
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  raise(sig);
  install(sig, on_stop, SA_NODEFER | SA_RESTART);
}

extern "C" void on_continue(int) {
  // Back from a stop: the shell may have put its own mode in place.
  if (g_active) tcsetattr(g_fd, TCSANOW, &g_raw);
}

void install(int sig, void (*handler)(int), int flags) {
  struct sigaction old {};
  if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) return;
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = flags;
  sigaction(sig, &sa, nullptr);
}

}  // namespace

bool prepare(int fd) {
  if (g_fd >= 0) return true;
  if (!isatty(fd) || tcgetattr(fd, &g_saved) != 0) return false;
  g_fd = fd;
  g_raw = g_saved;
  g_raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  g_raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
  g_raw.c_cc[VMIN] = 1;
  g_raw.c_cc[VTIME] = 0;
  g_raw.c_cc[VSUSP] = _POSIX_VDISABLE;  // Ctrl-Z recalls lines
#ifdef VDSUSP
  g_raw.c_cc[VDSUSP] = _POSIX_VDISABLE;
#endif
  std::atexit(restore_at_exit);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
    install(sig, on_fatal_signal, SA_RESETHAND);
  install(SIGCONT, on_continue, SA_RESTART);
  install(SIGTSTP, on_stop, SA_NODEFER | SA_RESTART);
  return true;
}

bool enter() {
  if (g_fd < 0) return false;
  if (g_active) return true;
  g_active = 1;  // set first: a signal arriving now must restore
  if (tcsetattr(g_fd, TCSANOW, &g_raw) != 0) {
    g_active = 0;
    return false;
  }
  return true;
}

void leave() { restore(); }

bool active() { return g_active != 0; }

}  // namespace verto::raw_terminal
