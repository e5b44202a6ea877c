#pragma once
// The console on a terminal or on piped standard input and output.
// Records start a new line lazily, so "overwrite the current line" is a
// carriage return on the line last written. With standard input not a
// terminal, each line read is echoed after its prompt as if typed. On a
// terminal, the terminal stays in key-at-a-time mode (raw_terminal.h)
// from construction to destruction, also while commands run, so keys
// typed ahead wait unechoed for the next prompt; lines asked for by
// commands are echoed and edited here;
// colours and the title are written as ANSI sequences only when standard
// output is a terminal that shows them.
#include <cstdio>
#include <string>

#include "core/console.h"

namespace verto {

class TerminalConsole : public Console {
 public:
  TerminalConsole(std::FILE* in = stdin, std::FILE* out = stdout);
  ~TerminalConsole() override;
  TerminalConsole(const TerminalConsole&) = delete;
  TerminalConsole& operator=(const TerminalConsole&) = delete;

  bool interactive() const override { return input_is_terminal_; }
  void set_key_mode(bool on) override;
  void end_line() override;
  void interrupt_key_read() override;
  void set_text_colour(int palette_index) override;
  void set_title(std::string_view title) override;
  // Ends the current line (at exit).
  void finish();

 protected:
  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override;
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  void put(std::string_view text);
  int next_byte();             // from the buffer or the descriptor; -1 at the end
  bool byte_within(int ms);    // more input arrives within `ms` milliseconds
  int read_raw_key();          // one key in key mode, escape sequences decoded
  int decode_key(int byte);    // the key a byte starts (reads the rest of a sequence)
  std::optional<std::string> read_typed_line(int max_len);  // a line typed in key mode
  std::FILE* out_;
  int in_fd_;
  bool input_is_terminal_ = false;
  bool styled_output_ = false;  // ANSI colours and title
  bool key_mode_ = false;
  bool line_open_ = false;      // a line was started and not yet ended
  bool output_is_terminal_ = false;
  std::string shown_;           // the current line, kept when output is not a terminal
  bool at_end_ = false;
  int wake_[2] = {-1, -1};      // interrupt_key_read writes, read_key polls
  std::string buffer_;          // input read but not yet used
  std::size_t buffer_pos_ = 0;
  int pushed_back_ = -1;        // a byte read after Esc that starts the next key
};

}  // namespace verto
