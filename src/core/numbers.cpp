#include "core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace verto {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Exponents beyond this size put every value out of range either way; the
// scan stops growing them here so that no digit string can overflow it.
constexpr long kExponentCap = 100000;

// What the scan of a number found: its parts within the text.
struct Scanned {
  const char* end = nullptr;       // after the number; nullptr: no number
  bool negative = false;
  const char* mantissa = nullptr;  // digits and point, without the sign
  const char* mantissa_end = nullptr;
  long exponent = 0;               // capped at +-kExponentCap
  int magnitude = 0;               // value in [10^(m-1), 10^m) before the exponent
  bool zero = true;                // all mantissa digits are 0
};

const char* skip_digits(const char* p, const char* last) {
  while (p < last && is_digit(*p)) ++p;
  return p;
}

Scanned scan(const char* first, const char* last) {
  Scanned s;
  const char* p = first;
  if (p < last && (*p == '+' || *p == '-')) s.negative = *p++ == '-';
  s.mantissa = p;
  const char* int_end = skip_digits(p, last);
  const char* frac_end = int_end;
  if (int_end < last && *int_end == '.') frac_end = skip_digits(int_end + 1, last);
  const bool has_digits = int_end > p || frac_end > int_end + 1;
  if (!has_digits) return s;
  s.mantissa_end = frac_end;

  // The order of magnitude of the mantissa, from its first nonzero digit.
  const char* q = p;
  while (q < int_end && *q == '0') ++q;
  if (q < int_end) {
    s.zero = false;
    s.magnitude = static_cast<int>(int_end - q);
  } else if (frac_end > int_end) {
    const char* f = int_end + 1;
    while (f < frac_end && *f == '0') ++f;
    if (f < frac_end) {
      s.zero = false;
      s.magnitude = -static_cast<int>(f - (int_end + 1));
    }
  }
  s.end = frac_end;

  // An exponent counts only when digits follow its letter or sign.
  const char* e = frac_end;
  if (e < last && (*e == 'E' || *e == 'e' || *e == 'D' || *e == 'd')) ++e;
  bool exp_negative = false;
  if (e < last && (*e == '+' || *e == '-')) exp_negative = *e++ == '-';
  if (e == frac_end) return s;
  const char* digits_end = skip_digits(e, last);
  if (digits_end == e) return s;
  long value = 0;
  for (const char* d = e; d < digits_end; ++d)
    if (value < kExponentCap) value = value * 10 + (*d - '0');
  s.exponent = exp_negative ? -value : value;
  s.end = digits_end;
  return s;
}

}  // namespace

const char* parse_float(const char* first, const char* last, float& out) {
  const Scanned s = scan(first, last);
  if (!s.end) return nullptr;
  const float sign = s.negative ? -1.f : 1.f;
  if (s.zero) {
    out = sign * 0.f;
    return s.end;
  }
  // from_chars wants the mantissa and "e" exponent without a plus sign.
  char small[128];
  std::vector<char> large;
  const std::size_t mant_len = static_cast<std::size_t>(s.mantissa_end - s.mantissa);
  char* buf = small;
  if (mant_len + 16 > sizeof small) {
    large.resize(mant_len + 16);
    buf = large.data();
  }
  std::copy(s.mantissa, s.mantissa_end, buf);
  char* p = buf + mant_len;
  *p++ = 'e';
  p = std::to_chars(p, p + 12, s.exponent).ptr;

  float f = 0.f;
  const auto res = std::from_chars(buf, p, f, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Nonzero and out of range: too large when at least 1, else too small.
    if (s.exponent + s.magnitude > 0) return nullptr;
    f = 0.f;
  } else if (res.ec != std::errc() || res.ptr != p) {
    return nullptr;
  }
  out = sign * f;
  return s.end;
}

bool parse_float(std::string_view text, float& out) {
  const char* last = text.data() + text.size();
  float v = 0.f;
  if (parse_float(text.data(), last, v) != last || text.empty()) return false;
  out = v;
  return true;
}

void append_real(std::string& out, float value) {
  if (std::isnan(value)) {
    out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-Inf" : "Inf";
    return;
  }
  // Shortest digits in scientific form: "-d.ddde+XX".
  char sci[32];
  auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific);
  const char* p = sci;
  const char* end = res.ptr;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  char digits[16];
  int nd = 0;
  while (p < end && *p != 'e') {
    if (*p != '.' && nd < 16) digits[nd++] = *p;
    ++p;
  }
  int exponent = 0;
  if (p < end) {
    ++p;
    if (*p == '+') ++p;
    std::from_chars(p, end, exponent);
  }
  if (exponent >= -4 && exponent <= 7) {
    // Plain decimal, the point placed by the exponent.
    if (exponent < 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out.append(digits, nd);
    } else if (nd <= exponent + 1) {
      out.append(digits, nd);
      out.append(static_cast<std::size_t>(exponent + 1 - nd), '0');
    } else {
      out.append(digits, exponent + 1);
      out += '.';
      out.append(digits + exponent + 1, nd - exponent - 1);
    }
    return;
  }
  out += digits[0];
  if (nd > 1) {
    out += '.';
    out.append(digits + 1, nd - 1);
  }
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  const int mag = std::abs(exponent);
  if (mag < 10) out += '0';
  char eb[8];
  auto er = std::to_chars(eb, eb + sizeof eb, mag);
  out.append(eb, er.ptr);
}

std::string shortest_real(float value) {
  std::string out;
  append_real(out, value);
  return out;
}

}  // namespace verto
