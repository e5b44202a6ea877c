#include "core/log_console.h"

namespace verto {

std::unique_ptr<LogConsole> LogConsole::open(Console& shown, const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return nullptr;
  return std::unique_ptr<LogConsole>(new LogConsole(shown, f));
}

LogConsole::~LogConsole() {
  finish_line();
  std::fclose(file_);
}

void LogConsole::line_finished(std::string_view line, bool) {
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);  // the log is the record of a session that may be killed
}

}  // namespace verto
