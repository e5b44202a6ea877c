#include "core/memory_console.h"

namespace verto {

std::string MemoryConsole::text() const {
  std::string out;
  for (const auto& l : lines_) {
    out += l;
    out += '\n';
  }
  return out;
}

void MemoryConsole::do_record(std::string_view text) {
  if (discard_) return;
  lines_.emplace_back(text);
  cursor_ = text.size();
}

void MemoryConsole::do_prompt(std::string_view text) { do_record(text); }

void MemoryConsole::do_overwrite(std::string_view text) {
  if (discard_) return;
  if (lines_.empty()) lines_.emplace_back();
  std::string& cur = lines_.back();
  if (cur.size() < text.size()) cur.resize(text.size(), ' ');
  cur.replace(0, text.size(), text);
  cursor_ = text.size();
}

void MemoryConsole::do_append(std::string_view text) {
  if (discard_) return;
  if (lines_.empty()) {
    lines_.emplace_back();
    cursor_ = 0;
  }
  std::string& cur = lines_.back();
  if (cursor_ > cur.size()) cursor_ = cur.size();
  if (cur.size() < cursor_ + text.size()) cur.resize(cursor_ + text.size(), ' ');
  cur.replace(cursor_, text.size(), text);
  cursor_ += text.size();
}

std::optional<std::string> MemoryConsole::do_read_line(int max_len) {
  if (input_.empty()) return std::nullopt;
  std::string line = std::move(input_.front());
  input_.pop_front();
  if (max_len >= 0 && static_cast<int>(line.size()) > max_len) line.resize(max_len);
  do_append(line);
  return line;
}

int MemoryConsole::do_read_key() {
  if (keys_.empty()) return -1;
  int k = keys_.front();
  keys_.pop_front();
  return k;
}

std::optional<std::string> MemoryConsole::do_pause(std::string_view message) {
  do_record(message);
  if (input_.empty()) return std::nullopt;
  std::string answer = std::move(input_.front());
  input_.pop_front();
  do_append(answer);
  return answer;
}

}  // namespace verto
