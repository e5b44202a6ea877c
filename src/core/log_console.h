#pragma once
// A console that shows everything on another console and also appends it,
// as plain text, to a session log file: prompts, typed lines and output,
// one line of the file per screen line (core/tee_console.h).
#include <cstdio>
#include <memory>
#include <string>

#include "core/tee_console.h"

namespace verto {

class LogConsole : public TeeConsole {
 public:
  // nullptr when `path` cannot be opened for appending.
  static std::unique_ptr<LogConsole> open(Console& shown, const std::string& path);
  ~LogConsole() override;

 protected:
  void line_finished(std::string_view line, bool typed) override;

 private:
  LogConsole(Console& shown, std::FILE* file) : TeeConsole(shown), file_(file) {}

  std::FILE* file_;
};

}  // namespace verto
