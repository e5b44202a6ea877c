#pragma once
// Calls queued onto the Qt thread, with their hand-over shown to
// ThreadSanitizer. Qt's event queue and the semaphore of a blocking call
// wait on futexes directly, which the sanitizer does not see: without these
// marks every value a queued call reads from its caller (and every result a
// blocking call gives back) would look unsynchronised. The marks add
// nothing outside sanitizer builds.
#include <QMetaObject>
#include <QObject>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace verto::qt {

namespace detail {
// One synchronisation point for every queued call: posting releases it,
// running acquires it, as Qt's own queue lock does.
inline char queue_token;
inline void released() {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(&queue_token);
#endif
}
inline void acquired() {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(&queue_token);
#endif
}
}  // namespace detail

// Runs `f` on `target`'s thread later; the caller goes on.
template <class F>
void post_to(QObject* target, F f) {
  detail::released();
  QMetaObject::invokeMethod(
      target,
      [f = std::move(f)]() mutable {
        detail::acquired();
        f();
      },
      Qt::QueuedConnection);
}

// Runs `f` on `target`'s thread and waits until it has run. Must not be
// called on that thread.
template <class F>
void call_and_wait(QObject* target, F& f) {
  detail::released();
  QMetaObject::invokeMethod(
      target,
      [&f] {
        detail::acquired();
        f();
        detail::released();
      },
      Qt::BlockingQueuedConnection);
  detail::acquired();
}

}  // namespace verto::qt
