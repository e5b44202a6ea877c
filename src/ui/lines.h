#pragma once
// What a menu item or dialog hands to the console input: command lines in
// the order they run and whether the half-typed line is kept (a positive
// pending count) or discarded (a negative one). Nothing here runs a
// command; the lines go through the hand-over queue exactly as if typed.
#include <string>
#include <string_view>
#include <vector>

namespace verto::ui {

constexpr int kCommandLineLength = 70;

struct QueuedLines {
  std::vector<std::string> lines;  // run order; each at most 70 characters
  bool keep_typed = false;         // + count keeps the half-typed line

  // The pending count: +k or -k for k lines, 0 when nothing is queued.
  int count() const {
    const int k = static_cast<int>(lines.size());
    return keep_typed ? k : -k;
  }
  bool empty() const { return lines.empty(); }
};

// Nothing queued (Cancel in the dialogs that run nothing).
inline QueuedLines nothing() { return {}; }
// One blank line: the console shows a new prompt and nothing runs.
QueuedLines blank_line(bool keep_typed);
// One line, cut to the command-line length.
QueuedLines one_line(std::string line, bool keep_typed);

// The first `width` characters of a fixed-width field, cut at the last
// non-blank character.
std::string field(std::string_view text, int width);
// The whole fixed-width field: the first `width` characters, padded with
// blanks to `width`.
std::string full_field(std::string_view text, int width);
// The text cut to the 70-character command line.
std::string cut_line(std::string line);

}  // namespace verto::ui
