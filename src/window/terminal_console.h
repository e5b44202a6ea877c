#pragma once
// The console on a terminal or on piped standard input and output.
// Records start a new line lazily, so "overwrite the current line" is a
// carriage return on the line last written. With standard input not a
// terminal, each line read is echoed after its prompt as if typed.
#include <cstdio>

#include "workspace/console.h"

namespace verto {

class TerminalConsole : public Console {
 public:
  TerminalConsole(std::FILE* in = stdin, std::FILE* out = stdout);
  ~TerminalConsole() override;
  bool interactive() const override { return input_is_terminal_; }
  // Ends the current line (at exit).
  void finish();

 protected:
  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override;
  void do_pause(std::string_view message) override;

 private:
  void put(std::string_view text);
  std::FILE* in_;
  std::FILE* out_;
  bool input_is_terminal_ = false;
  bool line_open_ = false;  // a line was started and not yet ended
};

}  // namespace verto
