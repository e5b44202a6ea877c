#include "core/log_console.h"

namespace verto {

std::unique_ptr<LogConsole> LogConsole::open(Console& shown, const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (!f) return nullptr;
  return std::unique_ptr<LogConsole>(new LogConsole(shown, f));
}

LogConsole::~LogConsole() {
  flush_line();
  std::fclose(file_);
}

void LogConsole::flush_line() {
  if (!line_open_) return;
  line_ += '\n';
  std::fwrite(line_.data(), 1, line_.size(), file_);
  std::fflush(file_);  // the log is the record of a session that may be killed
  line_.clear();
  cursor_ = 0;
  line_open_ = false;
}

void LogConsole::start_line(std::string_view text) {
  flush_line();
  line_.assign(text);
  cursor_ = line_.size();
  line_open_ = true;
}

// Characters under the cursor are replaced, as on a screen.
void LogConsole::write_at_cursor(std::string_view text) {
  line_open_ = true;
  if (line_.size() < cursor_ + text.size()) line_.resize(cursor_ + text.size(), ' ');
  line_.replace(cursor_, text.size(), text);
  cursor_ += text.size();
}

void LogConsole::do_record(std::string_view text) {
  start_line(text);
  shown_.record(text);
}

void LogConsole::do_prompt(std::string_view text) {
  start_line(text);
  shown_.prompt(text);
}

void LogConsole::do_overwrite(std::string_view text) {
  cursor_ = 0;
  write_at_cursor(text);
  shown_.overwrite(text);
}

void LogConsole::do_append(std::string_view text) {
  write_at_cursor(text);
  shown_.append(text);
}

std::optional<std::string> LogConsole::do_read_line(int max_len) {
  auto line = shown_.read_line(max_len);
  if (line) write_at_cursor(*line);
  return line;
}

std::optional<std::string> LogConsole::do_pause(std::string_view message) {
  start_line(message);
  auto answer = shown_.pause(message);
  if (answer) write_at_cursor(*answer);
  return answer;
}

}  // namespace verto
