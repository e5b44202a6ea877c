// Typed numbers: the syntax of a number in an expression or a qualifier,
// converted through the number module.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "core/console.h"
#include "core/evaluator.h"
#include "core/numbers.h"

namespace verto::expr {

namespace {

constexpr std::string_view kMsgConversion = "<<<VERTO!!!>>> Number conversion error!!";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Conversion of a typed number from a 30-character copy of the text.
// Beyond the plain rules, these choices are made:
// - "E" with no exponent digits after it (1E, 1E+): exponent 0.
// - A mantissa with more than one point, a sign after its first position,
//   no digit at all, or any other character; an exponent with anything
//   but a sign and digits; a value beyond the single-precision range:
//   "Number conversion error!!" and 0. A value too small for single
//   precision becomes 0 without a message.
std::optional<float> typed_number(std::string_view text) {
  auto error = [] { return std::optional<float>(); };
  std::string_view s = text.substr(0, 30);
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return error();
  s.remove_prefix(first);

  std::string_view mantissa = s;
  std::string_view exponent;
  const std::size_t e = s.find('E');
  if (e != std::string_view::npos) {
    mantissa = s.substr(0, e);
    exponent = s.substr(e + 1);
  }
  // The first blank ends the mantissa; its last "." must lie within it.
  const std::size_t blank = mantissa.find(' ');
  const std::size_t end = blank == std::string_view::npos ? mantissa.size()
                                                          : blank;
  const std::size_t dot = mantissa.rfind('.');
  if (end == 0 || (dot != std::string_view::npos && dot >= end)) {
    return error();
  }
  mantissa = mantissa.substr(0, end);

  // Rebuild the number in a form from_chars reads: [-]int.frac e exp.
  char buf[80];
  int len = 0;
  std::size_t k = 0;
  if (mantissa[0] == '+' || mantissa[0] == '-') {
    if (mantissa[0] == '-') buf[len++] = '-';
    k = 1;
  }
  int digits = 0, points = 0;
  for (; k < mantissa.size(); ++k) {
    const char c = mantissa[k];
    if (is_digit(c)) {
      ++digits;
    } else if (c != '.' || ++points > 1) {
      return error();
    }
    buf[len++] = c;
  }
  if (digits == 0) return error();

  while (!exponent.empty() && exponent.back() == ' ') exponent.remove_suffix(1);
  long exp_value = 0;
  bool exp_negative = false;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    exp_negative = exponent[0] == '-';
    exponent.remove_prefix(1);
  }
  for (char c : exponent) {
    if (!is_digit(c)) return error();
    exp_value = std::min(exp_value * 10 + (c - '0'), 100000L);
  }
  buf[len++] = 'e';
  if (exp_negative) buf[len++] = '-';
  const auto [ptr, ec] = std::to_chars(buf + len, buf + sizeof buf, exp_value);
  len = static_cast<int>(ptr - buf);
  (void)ec;

  // Correctly rounded straight to single precision; tiny values become a
  // zero of their sign, values beyond the range are refused.
  float value = 0.f;
  if (!parse_float(std::string_view(buf, static_cast<std::size_t>(len)), value)) return error();
  return value;
}

float text_to_number(Console& con, std::string_view text) {
  if (const std::optional<float> value = typed_number(text)) return *value;
  con.record(kMsgConversion);
  return 0.f;
}

std::optional<float> checked_number(Console& con, std::string_view text) {
  std::optional<float> value = typed_number(text);
  if (!value) con.record(kMsgConversion);
  return value;
}

}  // namespace verto::expr
