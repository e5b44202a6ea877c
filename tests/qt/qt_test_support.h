#pragma once
// Keys typed into widgets and waits that keep the event loop running.
#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace verto::testing {

// The application that the tests' main made.
inline QApplication& qt_app() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
inline bool wait_until(const std::function<bool()>& done, int ms = 5000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The result of `f` run on another thread (as the command thread calls the
// window services), with the event loop served meanwhile.
template <class F>
auto on_command_thread(F f) {
  auto result = std::async(std::launch::async, std::move(f));
  wait_until([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  return result.get();
}

inline void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier,
                  const QString& text = {}) {
  QKeyEvent down(QEvent::KeyPress, key, mods, text);
  QCoreApplication::sendEvent(w, &down);
}

inline void type(QWidget* w, const QString& text) {
  for (QChar c : text) press(w, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

inline void type_line(QWidget* w, const QString& text) {
  type(w, text);
  press(w, Qt::Key_Return, Qt::NoModifier, "\r");
}

}  // namespace verto::testing
