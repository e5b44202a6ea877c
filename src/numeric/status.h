#pragma once
// How a kernel or engine ended. Kernels never talk to the user: when one
// meets a condition the user must hear about (a singular matrix, a sort stack
// too small), it names it here and its caller shows the text as a pause.
#include <string_view>

namespace verto {

struct [[nodiscard]] Status {
  bool ok = true;
  std::string_view message;  // fixed text for the user; empty when none
  int times = 0;             // how often the condition was met (pauses owed)

  // Notes one meeting of the condition named by `text`.
  void raise(std::string_view text) {
    message = text;
    ++times;
  }
  explicit operator bool() const { return ok; }

  static Status success() { return {}; }
  static Status failure() { return Status{false, {}, 0}; }
  // A failure that owes the user one pause with `text`.
  static Status fault(std::string_view text) { return Status{false, text, 1}; }
};

}  // namespace verto
