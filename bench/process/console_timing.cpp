// LIST of 50000 points into the console window against the same LIST into
// a pseudo-terminal, in alternating rounds; prints the medians.
//
// Window: the frame on the offscreen platform in this process, the command
// loop on its thread; timed from the typed LIST to the moment the window
// has settled: the last point's line and the next prompt in the view and
// nothing left to apply or paint. The view must then hold the last lines
// of the listing in order, as many as the scrollback keeps.
// Terminal: `verto --terminal` on a pseudo-terminal; timed from writing
// "LIST" to reading the prompt after the last point's line.
//
//   verto_console_timing path/to/verto [rounds]
//   prints: "LIST 50000 window <ms> pty <ms>" (medians)
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/session.h"
#include "core/workspace.h"
#include "qt/frame_session.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPoints = 50000;

double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Serves the event loop until done() or the timeout; false on timeout.
template <class Done>
bool serve_until(Done done, int timeout_ms = 60000) {
  const auto until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (Clock::now() > until) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void type_line(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent k(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(w, &k);
  }
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QCoreApplication::sendEvent(w, &enter);
}

double window_round() {
  verto::RunOptions o;
  o.startup.wait_after_banner = false;
  verto::qt::FrameSession s(o);
  s.session().ws.default_form = 3;  // X,Y pairs, one line per point
  s.start();
  auto& view = s.console_view();
  QTextDocument* doc = view.document();
  auto last_lines = [doc](const char* before_prompt) {
    const QTextBlock last = doc->lastBlock();
    return last.text() == ">" && last.previous().text().startsWith(before_prompt);
  };
  serve_until([&] { return doc->lastBlock().text() == ">"; });
  type_line(&view, "MAKE 50000");
  serve_until([&] { return last_lines(" Npts ="); });
  const auto t0 = Clock::now();
  type_line(&view, "LIST");
  if (!serve_until([&] { return last_lines(" 50000 "); })) std::fprintf(stderr, "window: no end of LIST\n");
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();  // the last paint
  const double t = ms_since(t0);
  // The lines kept: the newest ones, in order, up to the prompt.
  QTextBlock b = doc->lastBlock().previous();
  int expect = kPoints, seen = 0;
  for (; b.isValid() && b.text().startsWith(' ' + QString::number(expect) + ' '); b = b.previous(), --expect)
    ++seen;
  if (seen < std::min(kPoints, doc->blockCount() - 3))
    std::fprintf(stderr, "window: only %d listed lines in order at the end\n", seen);
  s.stop(std::chrono::seconds(10));
  return t;
}

// Reads from the terminal until `text` has arrived after `from`; false on
// a timeout or the end of the output.
bool read_until(int fd, std::string& out, const std::string& text, std::size_t from) {
  char buf[1 << 16];
  const auto until = Clock::now() + std::chrono::seconds(20);
  while (out.find(text, from > text.size() ? from - text.size() : 0) == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (Clock::now() > until || poll(&p, 1, 1000) < 0) return false;
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    from = out.size();
    out.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

double pty_round(const char* verto) {
  int fd = -1;
  const pid_t pid = forkpty(&fd, nullptr, nullptr, nullptr);
  if (pid < 0) {
    std::perror("forkpty");
    std::exit(1);
  }
  if (pid == 0) {
    setenv("TERM", "xterm", 1);
    execl(verto, verto, "--terminal", "--no-wait", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string out;
  auto say = [&](const char* line) {
    const std::size_t from = out.size();
    if (write(fd, line, std::char_traits<char>::length(line)) < 0) std::perror("write");
    return from;
  };
  read_until(fd, out, "\n>", 0);
  read_until(fd, out, "\n>", say("FORM 3\r"));
  read_until(fd, out, "Npts", say("MAKE 50000\r"));
  read_until(fd, out, "\n>", out.size());
  const auto t0 = Clock::now();
  const std::size_t from = say("LIST\r");
  // The prompt after the last line, however the line editor starts it.
  const bool listed = read_until(fd, out, " 50000 0 0\r\n", from);
  if (!listed || !read_until(fd, out, ">", out.rfind(" 50000 0 0\r\n") + 13)) {
    const std::string tail = out.substr(out.size() > 200 ? out.size() - 200 : 0);
    std::fprintf(stderr, "pty: no end of LIST; last output:\n%s\n", tail.c_str());
  }
  const double t = ms_since(t0);
  say("QUIT\r");
  char buf[4096];
  while (read(fd, buf, sizeof buf) > 0) {
  }
  close(fd);
  int status = 0;
  waitpid(pid, &status, 0);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s path/to/verto [rounds]\n", argv[0]);
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(msg));
  });
  int qargc = 1;
  char name[] = "verto_console_timing";
  char* qargv[] = {name, nullptr};
  QApplication app(qargc, qargv);
  std::vector<double> window, pty;
  window_round();  // warm the caches and the fonts
  for (int r = 0; r < rounds; ++r) {
    window.push_back(window_round());
    pty.push_back(pty_round(argv[1]));
  }
  std::printf("LIST 50000 window %.1f pty %.1f\n", median(window), median(pty));
  return 0;
}
