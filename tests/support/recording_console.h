#pragma once
// A console for unit tests: keeps every record (the messages a command
// printed), the screen as lines, and counts the overwrites that reach the
// device. Input comes from a script of lines and keys.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/console.h"

namespace verto::test {

class RecordingConsole : public Console {
 public:
  std::vector<std::string> records;  // texts given to record(), in order
  std::vector<std::string> screen;   // every line as it would show
  int overwrites = 0;                // overwrites not dropped as repeats
  std::deque<std::string> input;     // lines for read_line and pause
  std::deque<int> keys;              // keys for read_key

  void clear() {
    records.clear();
    screen.clear();
    overwrites = 0;
  }
  // True when some record equals `text` exactly.
  bool has_record(std::string_view text) const {
    for (const auto& r : records) {
      if (r == text) return true;
    }
    return false;
  }

 protected:
  void do_record(std::string_view text) override {
    records.emplace_back(text);
    screen.emplace_back(text);
  }
  void do_prompt(std::string_view text) override { screen.emplace_back(text); }
  void do_overwrite(std::string_view text) override {
    ++overwrites;
    if (screen.empty()) screen.emplace_back();
    std::string& line = screen.back();
    if (line.size() < text.size()) line.resize(text.size(), ' ');
    line.replace(0, text.size(), text);
  }
  void do_append(std::string_view text) override {
    if (screen.empty()) screen.emplace_back();
    screen.back() += text;
  }
  std::optional<std::string> do_read_line(int max_len) override {
    if (input.empty()) return std::nullopt;
    std::string line = input.front().substr(0, max_len);
    input.pop_front();
    if (screen.empty()) screen.emplace_back();
    screen.back() += line;
    return line;
  }
  int do_read_key() override {
    if (keys.empty()) return -1;
    const int k = keys.front();
    keys.pop_front();
    return k;
  }
  void do_pause(std::string_view message) override {
    screen.emplace_back(message);
    if (!input.empty()) input.pop_front();
  }
};

}  // namespace verto::test
