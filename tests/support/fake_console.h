#pragma once
// A console for tests: keeps what is written, answers line reads from a
// queue and records every pause message.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/console.h"

namespace verto::test {

class FakeConsole : public Console {
 public:
  std::vector<std::string> lines;    // records and prompts, one per line
  std::vector<std::string> pauses;   // pause messages in order
  std::deque<std::string> input;     // lines handed to read_line

 protected:
  void do_record(std::string_view text) override { lines.emplace_back(text); }
  void do_prompt(std::string_view text) override { lines.emplace_back(text); }
  void do_overwrite(std::string_view text) override {
    if (lines.empty())
      lines.emplace_back(text);
    else
      lines.back() = std::string(text);
  }
  void do_append(std::string_view text) override {
    if (lines.empty()) lines.emplace_back();
    lines.back() += text;
  }
  std::optional<std::string> do_read_line(int) override {
    if (input.empty()) return std::nullopt;
    std::string s = std::move(input.front());
    input.pop_front();
    return s;
  }
  int do_read_key() override { return -1; }
  void do_pause(std::string_view message) override { pauses.emplace_back(message); }
};

}  // namespace verto::test
