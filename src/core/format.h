#pragma once
// Console layouts written as edit-descriptor lists, for example
// "(1X,A,I6)" or "(1H+,A,A20)", and free-format records.
//
// Descriptors: nX blanks; A / Aw text; In integer; Fw.d fixed; Ew.d and
// Ew.dEe exponent form; nHtext and 'text' literals; repeat counts before a
// descriptor or a parenthesised group; "/" ends a record; a leading "1H+"
// overwrites the current line; a trailing "$" keeps the cursor on the line.
// A value that does not fit its field fills the field with "*".
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/numbers.h"  // shortest_real: the free-format text of a real

namespace verto {

class Console;

// One output item: text, an integer or a real (reals are single precision
// in VERTO; double is accepted so that callers need no casts).
using FormatItem = std::variant<std::string_view, int, double>;

struct FormattedOutput {
  std::vector<std::string> records;  // one entry per output line
  bool overwrite = false;            // "1H+": first record overwrites
  bool keep_cursor = false;          // "$": cursor stays after last record
};

// Applies the descriptor list to the items. When items remain after the
// list is used up, the list is applied again from its last top-level
// group (or from its start) on a new record, as a line printer would.
FormattedOutput format_items(std::string_view descriptors,
                             std::initializer_list<FormatItem> items);
FormattedOutput format_items(std::string_view descriptors,
                             const std::vector<FormatItem>& items);

// Writes the formatted records to the console (record, prompt or overwrite).
void write_formatted(Console& con, std::string_view descriptors,
                     std::initializer_list<FormatItem> items);
void write_formatted(Console& con, std::string_view descriptors,
                     const std::vector<FormatItem>& items);

// Single-field helpers used by the above and by callers that build text.
std::string format_int(long long value, int width);               // In
std::string format_fixed(double value, int width, int decimals);  // Fw.d
std::string format_exp(double value, int width, int decimals,
                       int exp_digits = 0);                       // Ew.d[Ee]

// A free-format record: one leading blank, then the items separated by
// blanks; texts stand as they are, reals are written by shortest_real.
std::string free_record(std::initializer_list<FormatItem> items);
std::string free_record(const std::vector<FormatItem>& items);
void write_free(Console& con, std::initializer_list<FormatItem> items);

}  // namespace verto
