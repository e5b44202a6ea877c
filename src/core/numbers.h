#pragma once
// Numbers as text: the one place where text becomes a single-precision value
// and a value becomes text again.
//
// Reading converts the decimal text correctly rounded, straight to float
// (never through double, which would round twice), independent of the
// locale. The syntax read:
//   [+|-] digits [. digits] [exponent]      at least one mantissa digit
//   exponent: (E|e|D|d) [+|-] digits,  or  (+|-) digits
// The second exponent form ("1.5-3" for 1.5E-3) is the one data files use.
// Values beyond the single-precision range are refused; values too small
// for it become the nearest denormal or a zero of the number's sign.
//
// Writing gives the shortest text that reads back to the same float:
// plain decimals from 1E-04 to below 1E+08 ("0.0015", "123456.7", "3",
// "-0.25"), otherwise one digit before the point and a signed exponent of at
// least two digits ("1.5E-05", "3.4028235E+38"); "NaN", "Inf", "-Inf".
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace verto {

// Reads the longest number that starts at `first`. Returns the character
// after it, or nullptr when no number starts there or its value lies
// beyond the single-precision range (`out` is then left alone).
const char* parse_float(const char* first, const char* last, float& out);
// True when the whole of `text` is one number in range.
bool parse_float(std::string_view text, float& out);

// Appends the shortest text of `value` to `out`.
void append_real(std::string& out, float value);
// The shortest text of `value`.
std::string shortest_real(float value);

// Writes at `first` (32 bytes must be free) exactly the text that
// std::to_chars(first, last, value) writes, the shortest that reads back
// to the same float ("168.09361", "170", "1e+05", "-2.5"), and returns its
// end. Values from 1 to 65536 in size, where the coordinates of plot files
// lie, take a short exact path of their own; all others go to to_chars.
char* shortest_chars(char* first, float value);

// The same text held in two words, character i in byte i (counted from
// the lowest) and the length in the last byte: a value of 16 bytes travels
// in two registers, and writers put it down with two stores. Formatting
// into a buffer and copying from there would read back what was just
// written, which stalls the processor.
struct ShortText {
  std::uint64_t lo = 0, hi = 0;
  int size() const { return static_cast<int>(hi >> 56); }  // at most 15
};
ShortText shortest_text(float value);

// Puts t's characters at p, where 16 bytes must be free, and returns the
// end of its text.
inline char* put_text(char* p, ShortText t) {
  if constexpr (std::endian::native == std::endian::big) {
    t.lo = __builtin_bswap64(t.lo);
    t.hi = __builtin_bswap64(t.hi);
  }
  std::memcpy(p, &t.lo, 8);
  std::memcpy(p + 8, &t.hi, 8);
  return p + t.size();
}

}  // namespace verto
