#pragma once
// Shared parsers of command lines. Positions are 1-based, as users count
// columns; 0 and -1 carry the special meanings given below.
#include <optional>
#include <string>
#include <string_view>

namespace verto {

struct Session;

// Position of the first character that is not a blank and that follows the
// first blank of the line; -1 when the line has no blank, 0 when only
// blanks follow the first blank.
int argument_start(std::string_view upper);

// The general form: position of the first character not in `set` that
// follows the first character that is in `set`; -1 when no character of
// `set` occurs, 0 when only characters of `set` follow it.
int scan_after(std::string_view text, std::string_view set);

// Moves the text to start at its first non-blank character and returns
// its trimmed length (up to the last non-blank character).
int trim_left(std::string& text);

// The range qualifier /n1:n2 of the upper-case line. Defaults: n1 = 1 and
// n2 = `count`, or `alt_count` when `end_at_alt`. Bounds are expressions
// with E, PI, N (= count) and M (= alt_count). Both results are kept
// inside 1..50000 (n2 may be 0 for an empty range).
struct Range {
  int n1 = 1;
  int n2 = 0;
};
Range parse_range(Session& s, std::string_view upper, int count, int alt_count,
                  bool end_at_alt = false);

// The form qualifier (/n on READ, WRITE and ENTER): sets `form` to the
// digit 0..7 found, and prints "format:   " with the form's name whenever
// a qualifier position was found.
void parse_form(Session& s, std::string_view upper, int& form);

// Text of `line` (1-based `from`) to its last non-blank character.
std::string rest_of_line(std::string_view line, int from);
// The text without trailing blanks.
std::string_view trim_right(std::string_view text);
// Upper-case copy (a..z only).
std::string to_upper(std::string_view text);

// Rounds to the nearest integer, halves away from zero, and keeps the
// result inside [lo, hi] (NaN gives lo).
int round_to_int(double value, int lo, int hi);

// Writes a prompt such as "_filename:" and reads an answer of up to 60
// characters; nullopt at end of input.
std::optional<std::string> ask(Session& s, std::string_view prompt);

}  // namespace verto
