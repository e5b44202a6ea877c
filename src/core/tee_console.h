#pragma once
// A console that shows everything on another console and follows what
// the screen shows line by line, handing each finished screen line to a
// record of the session (the session log, the notebook). A line is
// finished when the next one starts, so overwrites of the current line
// (the line editor, the progress display) leave only what the screen
// finally showed.
#include <string>
#include <string_view>

#include "core/console.h"

namespace verto {

class TeeConsole : public Console {
 public:
  explicit TeeConsole(Console& shown) : shown_(shown) {}
  TeeConsole(const TeeConsole&) = delete;
  TeeConsole& operator=(const TeeConsole&) = delete;

  bool interactive() const override { return shown_.interactive(); }
  bool shows_program_output() const override { return shown_.shows_program_output(); }
  // Lines shown while keys are read one at a time are typed lines.
  void set_key_mode(bool on) override {
    keys_ = on;
    if (on) typed_ = line_open_;
    shown_.set_key_mode(on);
  }
  void interrupt_key_read() override { shown_.interrupt_key_read(); }
  void set_text_colour(int palette_index) override { shown_.set_text_colour(palette_index); }
  void set_title(std::string_view title) override { shown_.set_title(title); }
  // The current line is finished as it stands; the shown console ends its
  // line too.
  void end_line() override {
    finish_line();
    shown_.end_line();
  }

 protected:
  // A finished screen line; `typed` when the user typed into it (a prompt
  // and its answer).
  virtual void line_finished(std::string_view line, bool typed) = 0;
  // Hands the current line on, if there is one.
  void finish_line();
  // The current, unfinished line: what it shows so far, whether one is
  // open at all and whether typing went into it. forget_line drops it.
  const std::string& current_line() const { return line_; }
  bool line_open() const { return line_open_; }
  bool line_typed() const { return typed_; }
  void forget_line();
  Console& shown() { return shown_; }

  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override { return shown_.read_key(); }
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  void start_line(std::string_view text);
  void write_at_cursor(std::string_view text);

  Console& shown_;
  std::string line_;        // the current screen line, not yet handed on
  std::size_t cursor_ = 0;  // its cursor column
  bool line_open_ = false;
  bool typed_ = false;
  bool keys_ = false;  // key-by-key input is on
};

}  // namespace verto
