#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
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

namespace {

constexpr std::uint32_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// The eight decimal digits of n < 10^8, leading zeros kept, as the bytes
// of one word, the first digit in the lowest byte: both halves of four digits are split into
// pairs and then into digits side by side, by multiplications.
[[gnu::always_inline]] inline std::uint64_t eight_digits(std::uint32_t n) {
  const std::uint64_t merged = (n / 10000) | (std::uint64_t{n % 10000} << 32);
  const std::uint64_t hundreds_hi = ((merged * 10486) >> 20) & 0x0000007F0000007Full;
  const std::uint64_t pairs = ((merged - 100 * hundreds_hi) << 16) + hundreds_hi;
  std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Full;
  tens += (pairs - 10 * tens) << 8;
  return tens | 0x3030303030303030ull;
}



// Characters 0..15 of `text` as the two words of a ShortText of `size`.
ShortText short_text(unsigned __int128 text, int size) {
  text &= (static_cast<unsigned __int128>(1) << 120) - 1;
  text |= static_cast<unsigned __int128>(size) << 120;
  return {static_cast<std::uint64_t>(text), static_cast<std::uint64_t>(text >> 64)};
}

// The text of to_chars, for the values the short path leaves alone.
ShortText shortest_text_slowly(float value) {
  char buf[32] = {};
  const int size = static_cast<int>(std::to_chars(buf, buf + sizeof buf, value).ptr - buf);
  unsigned __int128 text = 0;
  for (int i = size - 1; i >= 0; --i) text = (text << 8) | static_cast<unsigned char>(buf[i]);
  return short_text(text, size);  // at most 15 characters
}

// For the floats in [2^e, 2^(e+1)), e = 0..15, which lie 2^(e-23) apart:
// the fewest decimals k with 10^-k below that spacing, so that the decimal
// with k decimals nearest to such a float always reads back to it.
constexpr std::array<int, 16> kSureDecimals = [] {
  std::array<int, 16> t{};
  for (int e = 0; e < 16; ++e) {
    std::uint64_t p = 1;
    int k = 0;
    for (; p <= (std::uint64_t{1} << (23 - e)); p *= 10) ++k;
    t[static_cast<std::size_t>(e)] = k;
  }
  return t;
}();

}  // namespace

ShortText shortest_text(float value) {
  const float a = std::fabs(value);
  if (!(a >= 1.f && a < 65536.f)) return shortest_text_slowly(value);
  const auto whole = static_cast<std::uint32_t>(a);
  // Digits of the whole part, without a branch.
  const int d = 1 + (whole >= 10) + (whole >= 100) + (whole >= 1000) + (whole >= 10000);
  // The text is built in one 128-bit word, the first character in the
  // lowest byte.
  unsigned __int128 text;
  int size = d;
  if (static_cast<float>(whole) == a) {
    text = eight_digits(whole) >> (8 * (8 - d));
  } else {
    // a = m 2^(e-23) with m of 24 bits. Not being whole, a is no power of
    // two, so its neighbours lie 2^(e-23) away on both sides, and a
    // decimal reads back to a when it lies less than h = 2^(e-24) from
    // it, or exactly h when m is even (a tie goes to the even neighbour).
    // In units of h / 10^k a is 2 m 10^k and the decimal n / 10^k is
    // n 2^(24-e): whole numbers below 2^50, compared exactly.
    const auto bits = std::bit_cast<std::uint32_t>(a);
    const int shift = 24 - (static_cast<int>(bits >> 23) - 127);
    const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
    const bool even = (m & 1u) == 0;
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    // The nearest n, ties to even, and whether it reads back.
    auto nearest = [&](std::uint64_t scaled, std::uint32_t pow10, bool& reads_back) {
      const std::uint64_t n = (scaled + half - 1 + ((scaled >> shift) & 1u)) >> shift;
      const std::uint64_t at = n << shift;
      const std::uint64_t off = at > scaled ? at - scaled : scaled - at;
      reads_back = off < pow10 || (off == pow10 && even);
      return n;
    };
    // The shortest decimal that reads back has k0 - 1 or k0 decimals (k0
    // from the table): the nearest one with k0 decimals always does, and
    // a shorter one, when there is one, is also the nearest with k0 - 1
    // decimals, written with trailing zeros. Of two equally near, the
    // even one is taken, as to_chars does.
    int k = kSureDecimals[static_cast<std::size_t>(24 - shift)] - 1;
    const std::uint64_t scaled = 2 * m * kPow10[k];
    bool ok = false;
    std::uint64_t n = nearest(scaled, kPow10[k], ok);
    if (!ok) {
      ++k;
      n = nearest(scaled * 10, kPow10[k], ok);
      if (!ok) return shortest_text_slowly(value);  // never met
    }
    // The whole part is that of a: a decimal rounded up to the next whole
    // number would be a whole number reading back to a, which is not
    // whole. The k decimals follow the point, their trailing zeros
    // dropped: the highest byte that is no '0' ends them (the decimals of
    // a value that is not whole are never all zeros). n's digits are
    // those of the whole part, then the k decimals: one word holds them
    // all when they are eight at most (as for every coordinate of a plot
    // file); else the two parts take a word each.
    std::uint64_t decimals;
    if (d + k <= 8) {
      const std::uint64_t digits = eight_digits(static_cast<std::uint32_t>(n)) >> (8 * (8 - d - k));
      text = digits & ((std::uint64_t{1} << (8 * d)) - 1);
      decimals = digits >> (8 * d);
    } else {
      text = eight_digits(whole) >> (8 * (8 - d));
      decimals = eight_digits(static_cast<std::uint32_t>(n - std::uint64_t{whole} * kPow10[k])) >>
                 (8 * (8 - k));
    }
    const std::uint64_t values = decimals ^ (0x3030303030303030ull >> (8 * (8 - k)));
    const std::uint64_t nonzero = (values + 0x7F7F7F7F7F7F7F7Full) & 0x8080808080808080ull;
    const int kept = 1 + (63 - std::countl_zero(nonzero)) / 8;
    text |= static_cast<unsigned __int128>('.') << (8 * d);
    text |= static_cast<unsigned __int128>(decimals) << (8 * (d + 1));
    size += 1 + kept;
  }
  if (value < 0) {
    text = (text << 8) | '-';
    ++size;
  }
  return short_text(text, size);
}

char* shortest_chars(char* first, float value) { return put_text(first, shortest_text(value)); }

}  // namespace verto
