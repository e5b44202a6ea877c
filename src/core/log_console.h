#pragma once
// A console that shows everything on another console and also appends it,
// as plain text, to a session log file: prompts, typed lines and output,
// one line of the file per screen line. A line is written when the next
// one starts, so overwrites of the current line (the line editor, the
// progress display) leave only what the screen finally showed.
#include <cstdio>
#include <memory>
#include <string>

#include "core/console.h"

namespace verto {

class LogConsole : public Console {
 public:
  // nullptr when `path` cannot be opened for appending.
  static std::unique_ptr<LogConsole> open(Console& shown, const std::string& path);
  ~LogConsole() override;
  LogConsole(const LogConsole&) = delete;
  LogConsole& operator=(const LogConsole&) = delete;

  bool interactive() const override { return shown_.interactive(); }
  bool shows_program_output() const override { return shown_.shows_program_output(); }
  void set_key_mode(bool on) override { shown_.set_key_mode(on); }
  void interrupt_key_read() override { shown_.interrupt_key_read(); }
  void set_text_colour(int palette_index) override { shown_.set_text_colour(palette_index); }
  void set_title(std::string_view title) override { shown_.set_title(title); }
  // The current line goes to the file as it stands; the shown console ends
  // its line too.
  void end_line() override {
    flush_line();
    shown_.end_line();
  }

 protected:
  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override { return shown_.read_key(); }
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  LogConsole(Console& shown, std::FILE* file) : shown_(shown), file_(file) {}
  void start_line(std::string_view text);
  void write_at_cursor(std::string_view text);
  void flush_line();

  Console& shown_;
  std::FILE* file_;
  std::string line_;         // the current screen line, not yet in the file
  std::size_t cursor_ = 0;   // its cursor column
  bool line_open_ = false;
};

}  // namespace verto
