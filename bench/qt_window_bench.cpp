// The frame window on the offscreen platform: start-up to the first
// prompt, and 50000 LIST lines into the console window with the longest
// pause of the event loop meanwhile. Batch start-up of the program itself
// (piped QUIT), which must not pay for the window front-end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/session.h"
#include "core/workspace.h"
#include "qt/frame_session.h"

namespace {

using Clock = std::chrono::steady_clock;

QApplication& app() {
  static int argc = 1;
  static char name[] = "verto_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* a = new QApplication(argc, argv);
  return *a;
}

// Serves the event loop until `done`; returns the longest single round.
template <class Done>
double serve_until(Done done, int timeout_ms = 20000) {
  double longest = 0;
  const auto until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done() && Clock::now() < until) {
    auto t0 = Clock::now();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return longest;
}

bool at_prompt(verto::qt::FrameSession& s) {
  return s.console_view().toPlainText().endsWith("\n>");
}

void type_line(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent k(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(w, &k);
  }
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QCoreApplication::sendEvent(w, &enter);
}

verto::RunOptions quiet_options() {
  verto::RunOptions o;
  o.startup.wait_after_banner = false;
  return o;
}

void BM_WindowStartupToFirstPrompt(benchmark::State& state) {
  app();
  for (auto _ : state) {
    auto t0 = Clock::now();
    verto::qt::FrameSession s(quiet_options());
    s.start();
    serve_until([&] { return at_prompt(s); });
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    s.stop(std::chrono::seconds(5));
  }
}
BENCHMARK(BM_WindowStartupToFirstPrompt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_List50000IntoConsole(benchmark::State& state) {
  app();
  double longest = 0;
  for (auto _ : state) {
    verto::qt::FrameSession s(quiet_options());
    s.session().ws.default_form = 3;  // X,Y pairs, one line per point
    s.start();
    serve_until([&] { return at_prompt(s); });
    type_line(&s.console_view(), "MAKE 50000");
    serve_until([&] { return s.console_view().toPlainText().endsWith("50000\n>"); });
    auto t0 = Clock::now();
    type_line(&s.console_view(), "LIST");
    QTextDocument* doc = s.console_view().document();
    longest = std::max(longest, serve_until([&] {
      QTextBlock last = doc->lastBlock();
      return last.text() == ">" && last.previous().text().startsWith(" 50000 ");
    }));
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    s.stop(std::chrono::seconds(5));
  }
  state.counters["longest_event_round_ms"] = longest;
}
BENCHMARK(BM_List50000IntoConsole)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BatchStartupToQuit(benchmark::State& state) {
  const std::string command = std::string("printf 'QUIT\\n' | ") + VERTO_BINARY + " > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("verto failed");
  }
}
BENCHMARK(BM_BatchStartupToQuit)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
