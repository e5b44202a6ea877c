#pragma once
// A console held in memory: the screen is a list of lines, input comes
// from a script of lines (and keys). Used by the transcript tests, the
// unit tests and the fuzz targets; it never touches a terminal.
#include <deque>
#include <string>
#include <vector>

#include "core/console.h"

namespace verto {

class MemoryConsole : public Console {
 public:
  // Lines given to read_line (and pause) in order; an empty script is the
  // end of input.
  void add_input(std::string line) { input_.push_back(std::move(line)); }
  void add_key(int key) { keys_.push_back(key); }
  int inputs_left() const { return static_cast<int>(input_.size()); }

  // The screen: one entry per line, as a user would see it. The cursor
  // stays where a terminal would leave it: text appended after a shorter
  // overwrite replaces the characters under it.
  const std::vector<std::string>& lines() const { return lines_; }
  std::string text() const;  // the lines joined with '\n'
  void clear() { lines_.clear(); }
  // Stop keeping the screen (fuzzing): output is only counted.
  void set_discard(bool discard) { discard_ = discard; }
  // Pretend a user types at a keyboard: the line editor then reads the
  // scripted keys one at a time instead of whole lines.
  void set_interactive(bool on) { interactive_ = on; }
  bool interactive() const override { return interactive_; }
  void set_title(std::string_view title) override { title_.assign(title); }
  const std::string& title() const { return title_; }

 protected:
  void do_record(std::string_view text) override;
  void do_prompt(std::string_view text) override;
  void do_overwrite(std::string_view text) override;
  void do_append(std::string_view text) override;
  std::optional<std::string> do_read_line(int max_len) override;
  int do_read_key() override;
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  std::vector<std::string> lines_;
  std::deque<std::string> input_;
  std::deque<int> keys_;
  bool discard_ = false;
  bool interactive_ = false;
  std::string title_;
  std::size_t cursor_ = 0;  // column of the cursor on the last line
};

}  // namespace verto
