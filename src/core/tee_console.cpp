#include "core/tee_console.h"

namespace verto {

void TeeConsole::finish_line() {
  if (!line_open_) return;
  line_finished(line_, typed_);
  forget_line();
}

void TeeConsole::forget_line() {
  line_.clear();
  cursor_ = 0;
  line_open_ = false;
  typed_ = false;
}

void TeeConsole::start_line(std::string_view text) {
  finish_line();
  line_.assign(text);
  cursor_ = line_.size();
  line_open_ = true;
  typed_ = keys_;
}

// Characters under the cursor are replaced, as on a screen.
void TeeConsole::write_at_cursor(std::string_view text) {
  line_open_ = true;
  if (line_.size() < cursor_ + text.size()) line_.resize(cursor_ + text.size(), ' ');
  line_.replace(cursor_, text.size(), text);
  cursor_ += text.size();
}

void TeeConsole::do_record(std::string_view text) {
  start_line(text);
  shown_.record(text);
}

void TeeConsole::do_prompt(std::string_view text) {
  start_line(text);
  shown_.prompt(text);
}

void TeeConsole::do_overwrite(std::string_view text) {
  cursor_ = 0;
  write_at_cursor(text);
  shown_.overwrite(text);
}

void TeeConsole::do_append(std::string_view text) {
  write_at_cursor(text);
  shown_.append(text);
}

std::optional<std::string> TeeConsole::do_read_line(int max_len) {
  auto line = shown_.read_line(max_len);
  if (line) {
    write_at_cursor(*line);
    typed_ = true;
  }
  return line;
}

std::optional<std::string> TeeConsole::do_pause(std::string_view message) {
  start_line(message);
  auto answer = shown_.pause(message);
  if (answer) write_at_cursor(*answer);
  return answer;
}

}  // namespace verto
