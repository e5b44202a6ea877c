#pragma once
// Keys from the window side (the Qt event loop) to the command thread.
// The widget pushes; read_key on the command thread (or the line
// editor's key reader) pops, sleeping while there is nothing.
#include <condition_variable>
#include <deque>
#include <mutex>

#include "core/console.h"

namespace verto::qt {

class KeyQueue {
 public:
  void push(int key) {
    {
      std::lock_guard lock(mutex_);
      if (closed_) return;
      keys_.push_back(key);
    }
    ready_.notify_all();
  }
  // The next key; kKeyInterrupted after interrupt(), kKeyEndOfInput once
  // closed (the frame is going away).
  int pop() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return closed_ || interrupted_ || !keys_.empty(); });
    if (closed_) return kKeyEndOfInput;
    if (interrupted_) {
      interrupted_ = false;
      return kKeyInterrupted;
    }
    int key = keys_.front();
    keys_.pop_front();
    return key;
  }
  void interrupt() {
    {
      std::lock_guard lock(mutex_);
      interrupted_ = true;
    }
    ready_.notify_all();
  }
  void close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    ready_.notify_all();
  }
  void clear() {
    std::lock_guard lock(mutex_);
    keys_.clear();
    interrupted_ = false;
  }
  bool closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<int> keys_;
  bool interrupted_ = false;
  bool closed_ = false;
};

}  // namespace verto::qt
