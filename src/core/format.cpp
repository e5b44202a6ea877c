#include "core/format.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <span>

#include "core/console.h"

namespace verto {

namespace {

// Limits that keep a malformed or hostile descriptor list cheap: widths,
// decimals and repeat counts are capped, groups nest at most kMaxDepth deep
// (deeper groups are dropped), and one call performs at most kMaxSteps
// descriptor visits and writes at most kMaxOutput characters (both limits
// grow with the number of items); output stops silently where one is hit.
constexpr int kMaxWidth = 1000;
constexpr int kMaxRepeat = 1000;
constexpr int kMaxDepth = 32;
constexpr long kMaxSteps = 100'000;
constexpr std::size_t kMaxOutput = 1'000'000;

std::string stars(int width) { return std::string(width > 0 ? width : 1, '*'); }

// Right-justifies `text` in `width` columns, or fills with "*" when it does
// not fit. Width 0 means "as wide as needed".
std::string justify(std::string text, int width) {
  if (width <= 0) return text;
  if (text.size() > static_cast<std::size_t>(width)) return stars(width);
  text.insert(0, width - text.size(), ' ');
  return text;
}

// "NaN", "Infinity" or "Inf" (with "-" when negative), right-justified.
std::string non_finite(double value, int width) {
  if (std::isnan(value)) return justify("NaN", width);
  std::string sign = value < 0 ? "-" : "";
  if (width <= 0 || static_cast<int>(sign.size()) + 8 <= width)
    return justify(sign + "Infinity", width);
  return justify(sign + "Inf", width);
}

// Rounds a decimal digit string to its first `keep` digits, halves away
// from zero. `tail` holds the digits after the kept ones; `exact_tail`
// recomputes them without any rounding and is called only when the
// (correctly rounded) tail reads exactly "5000...", where the short
// expansion cannot tell a true half from a value just below or above it.
// Returns true when the kept digits must be incremented.
template <class ExactTail>
bool round_up(std::string_view tail, ExactTail exact_tail) {
  if (tail.empty() || tail[0] < '5') return false;
  if (tail[0] > '5') return true;
  if (tail.find_first_not_of('0', 1) != std::string_view::npos) return true;
  std::string exact = exact_tail();
  return !exact.empty() && exact[0] >= '5';
}

// Adds one unit in the last place; returns true on a carry out ("99"->"00").
bool increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

// to_chars output for a non-negative finite value, split into its digit
// string (without the point) and the index where the point stood.
struct Expansion {
  std::string digits;
  int point = 0;
  int exponent = 0;  // scientific form only: d.ddd x 10^exponent
};

Expansion expand_fixed(double a, int precision) {
  std::string buf(400 + precision, '\0');
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a,
                           std::chars_format::fixed, precision);
  std::string_view text(buf.data(), res.ptr - buf.data());
  Expansion e;
  std::size_t dot = text.find('.');
  e.point = static_cast<int>(dot == std::string_view::npos ? text.size() : dot);
  e.digits.assign(text.substr(0, e.point));
  if (dot != std::string_view::npos) e.digits.append(text.substr(dot + 1));
  return e;
}

Expansion expand_scientific(double a, int precision) {
  std::string buf(40 + precision, '\0');
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), a,
                           std::chars_format::scientific, precision);
  std::string_view text(buf.data(), res.ptr - buf.data());
  Expansion e;
  std::size_t epos = text.find('e');
  std::string_view mant = text.substr(0, epos);
  e.digits.push_back(mant[0]);
  if (mant.size() > 2) e.digits.append(mant.substr(2));
  e.exponent = std::atoi(std::string(text.substr(epos + 1)).c_str());
  return e;
}

// Extra digits asked of to_chars beyond the kept ones, and precisions at
// which any double's expansion is exact (at most 1074 fractional digits,
// at most 767 significant digits).
constexpr int kGuardDigits = 20;
constexpr int kExactFixed = 1100;
constexpr int kExactScientific = 780;

std::string int_field(long long value, int width, int min_digits) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  std::string text(buf, res.ptr);
  bool neg = value < 0;
  int ndig = static_cast<int>(text.size()) - (neg ? 1 : 0);
  if (min_digits > ndig) text.insert(neg ? 1 : 0, min_digits - ndig, '0');
  return justify(std::move(text), width);
}

float to_float(double v) {
  // Values beyond the float range become infinite, as IEEE rounding does.
  if (std::isfinite(v) && std::fabs(v) > FLT_MAX) {
    constexpr double kHalfUlpAboveMax = 0x1.ffffffp+127;
    if (std::fabs(v) >= kHalfUlpAboveMax)
      return v > 0 ? INFINITY : -INFINITY;
    return v > 0 ? FLT_MAX : -FLT_MAX;
  }
  return static_cast<float>(v);
}

// ---------------------------------------------------------------------------
// Descriptor list parsing.

struct Node {
  enum Kind { Group, Blank, Text, Int, Fixed, Exp, Literal, Slash, Colon };
  Kind kind = Group;
  int repeat = 1;
  int width = -1;  // -1: not given
  int decimals = -1;
  int exp_digits = 0;
  std::string literal;
  std::vector<Node> kids;
};

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  Node parse() {
    Node root;
    skip_blanks();
    if (pos_ < s_.size() && s_[pos_] == '(') ++pos_;
    root.kids = parse_list(0);
    return root;
  }

 private:
  void skip_blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  char peek_upper() {
    skip_blanks();
    if (pos_ >= s_.size()) return '\0';
    char c = s_[pos_];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  // Unsigned number with blanks ignored between digits, saturating.
  bool number(int& out) {
    skip_blanks();
    bool any = false;
    long v = 0;
    while (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) ||
                                (any && s_[pos_] == ' '))) {
      if (s_[pos_] != ' ') {
        v = std::min(v * 10 + (s_[pos_] - '0'), 1'000'000L);
        any = true;
      }
      ++pos_;
    }
    out = static_cast<int>(v);
    return any;
  }
  int width() {
    int w;
    return number(w) ? std::min(w, kMaxWidth) : -1;
  }
  int after_dot() {
    if (peek_upper() != '.') return -1;
    ++pos_;
    int d;
    return number(d) ? std::min(d, kMaxWidth) : 0;
  }
  std::string quoted() {
    char q = s_[pos_++];
    std::string text;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == q) {
        if (pos_ < s_.size() && s_[pos_] == q) {
          text.push_back(q);
          ++pos_;
          continue;
        }
        break;
      }
      text.push_back(c);
    }
    return text;
  }
  void skip_group() {  // past the ")" that closes an already opened group
    int depth = 1;
    while (pos_ < s_.size() && depth > 0) {
      if (s_[pos_] == '(') ++depth;
      if (s_[pos_] == ')') --depth;
      ++pos_;
    }
  }

  // Reads the descriptor that starts with `c` (passed already unless it is
  // a quote) into `n`, `count` being the number before it; false when it
  // adds no node.
  bool descriptor(char c, int count, int depth, Node& n) {
    switch (c) {
      case '(':
        if (depth + 1 >= kMaxDepth) {
          skip_group();
          return false;
        }
        n.kind = Node::Group;
        n.kids = parse_list(depth + 1);
        return true;
      case 'X':
        n.kind = Node::Blank;
        n.width = n.repeat;
        n.repeat = 1;
        return true;
      case 'H': {
        n.kind = Node::Literal;
        std::size_t len = std::min<std::size_t>(count, s_.size() - pos_);
        n.literal.assign(s_.substr(pos_, len));
        pos_ += len;
        n.repeat = 1;
        return true;
      }
      case '\'':
      case '"':
        n.kind = Node::Literal;
        n.literal = quoted();
        return true;
      case 'A':
        n.kind = Node::Text;
        n.width = width();
        return true;
      case 'I':
        n.kind = Node::Int;
        n.width = width();
        n.decimals = after_dot();
        return true;
      case 'F':
        n.kind = Node::Fixed;
        n.width = width();
        n.decimals = after_dot();
        return true;
      case 'E':
        n.kind = Node::Exp;
        n.width = width();
        n.decimals = after_dot();
        if (peek_upper() == 'E') {
          std::size_t save = pos_++;
          int e;
          if (number(e))
            n.exp_digits = std::min(e, kMaxWidth);
          else
            pos_ = save;
        }
        return true;
      case '/':
        n.kind = Node::Slash;
        return true;
      case '$':
      case '\\':
        // Keeps the cursor even when the items run out before it.
        keep_cursor = true;
        return false;
      case ':':
        n.kind = Node::Colon;
        return true;
      default:
        return false;  // unknown character: ignored
    }
  }

  std::vector<Node> parse_list(int depth) {
    std::vector<Node> list;
    for (;;) {
      char c = peek_upper();
      if (c == '\0') return list;
      if (c == ')') {
        ++pos_;
        return list;
      }
      if (c == ',') {
        ++pos_;
        continue;
      }
      Node n;
      int count = 0;
      bool has_count = number(count);
      n.repeat = has_count ? std::min(count, kMaxRepeat) : 1;
      c = peek_upper();
      if (c == '\0') return list;
      if (c == ')' || c == ',') continue;  // a count with no descriptor
      if (c != '\'' && c != '"') ++pos_;
      if (descriptor(c, count, depth, n)) list.push_back(std::move(n));
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;

 public:
  bool keep_cursor = false;  // the list holds a "$"
};

// ---------------------------------------------------------------------------
// Applying a parsed list to the items.

std::string item_text(const FormatItem& item) {
  if (auto* s = std::get_if<std::string_view>(&item)) return std::string(*s);
  if (auto* i = std::get_if<int>(&item)) return std::to_string(*i);
  return shortest_real(to_float(std::get<double>(item)));
}

class Writer {
 public:
  Writer(std::span<const FormatItem> items, bool keep_cursor)
      : items_(items),
        max_steps_(kMaxSteps + 10 * static_cast<long>(items.size())),
        max_output_(kMaxOutput + 1000 * items.size()) {
    out_.keep_cursor = keep_cursor;
  }

  FormattedOutput run(const Node& root) {
    std::size_t start = 0;
    const auto& top = root.kids;
    if (!top.empty() && top[0].kind == Node::Literal && top[0].literal == "+") {
      out_.overwrite = true;
      start = 1;
    }
    std::size_t revert = start;
    for (std::size_t i = start; i < top.size(); ++i)
      if (top[i].kind == Node::Group) revert = i;

    bool finished = run_list(top, start);
    std::size_t before = 0;
    while (finished && next_ < items_.size() && next_ != before) {
      // Items remain: reuse the list on a new record, provided the last
      // pass consumed something (a list without data descriptors would
      // otherwise loop for ever).
      before = next_;
      new_record();
      finished = run_list(top, revert);
    }
    out_.records.push_back(std::move(cur_));
    return std::move(out_);
  }

 private:
  bool run_list(const std::vector<Node>& list, std::size_t from) {
    for (std::size_t i = from; i < list.size(); ++i)
      if (!run_node(list[i])) return false;
    return true;
  }

  bool budget_left() {
    return ++steps_ <= max_steps_ && output_ + cur_.size() + pending_ <= max_output_;
  }

  bool run_node(const Node& n) {
    if (!budget_left()) return false;
    switch (n.kind) {
      case Node::Group:
        for (int r = 0; r < n.repeat; ++r)
          if (!run_list(n.kids, 0)) return false;
        return true;
      case Node::Blank:
        pending_ += n.width;
        return true;
      case Node::Literal:
        for (int r = 0; r < n.repeat; ++r) {
          if (!budget_left()) return false;
          put(n.literal);
        }
        return true;
      case Node::Slash:
        for (int r = 0; r < n.repeat; ++r) {
          if (!budget_left()) return false;
          new_record();
        }
        return true;
      case Node::Colon:
        return next_ < items_.size();
      default:
        for (int r = 0; r < n.repeat; ++r) {
          if (next_ >= items_.size() || !budget_left()) return false;
          put(edit(n, items_[next_++]));
        }
        return true;
    }
  }

  // Blanks from X are written only once something follows them in the same
  // record, so a record never ends in blanks that only positioned the cursor.
  void put(std::string_view text) {
    cur_.append(pending_, ' ');
    pending_ = 0;
    cur_ += text;
  }

  void new_record() {
    pending_ = 0;
    output_ += cur_.size() + 1;  // a record costs at least one character
    out_.records.push_back(std::move(cur_));
    cur_.clear();
  }

  static std::string edit(const Node& n, const FormatItem& item) {
    const auto* text = std::get_if<std::string_view>(&item);
    const auto* ival = std::get_if<int>(&item);
    const auto* dval = std::get_if<double>(&item);
    int w = n.width;
    switch (n.kind) {
      case Node::Text: {
        std::string t = item_text(item);
        if (w < 0) return t;
        if (t.size() >= static_cast<std::size_t>(w)) return t.substr(0, w);
        return std::string(w - t.size(), ' ') + t;
      }
      case Node::Int: {
        if (text) return stars(w);
        long long v;
        if (ival) {
          v = *ival;
        } else {
          // A real given to I is truncated toward zero.
          double t = std::trunc(*dval);
          if (!(std::fabs(t) < 9.2e18)) return stars(w);
          v = static_cast<long long>(t);
        }
        return int_field(v, std::max(w, 0), n.decimals);
      }
      case Node::Fixed:
      case Node::Exp: {
        if (text) return stars(w);
        double v = ival ? static_cast<double>(*ival) : *dval;
        int d = std::max(n.decimals, 0);
        return n.kind == Node::Fixed ? format_fixed(v, std::max(w, 0), d)
                                     : format_exp(v, std::max(w, 0), d, n.exp_digits);
      }
      default:
        return {};
    }
  }

  std::span<const FormatItem> items_;
  std::size_t next_ = 0;
  long max_steps_;
  std::size_t max_output_;
  long steps_ = 0;
  std::size_t output_ = 0;
  std::size_t pending_ = 0;
  std::string cur_;
  FormattedOutput out_;
};

FormattedOutput format_span(std::string_view descriptors,
                            std::span<const FormatItem> items) {
  Parser parser(descriptors);
  Node root = parser.parse();
  return Writer(items, parser.keep_cursor).run(root);
}

void write_records(Console& con, const FormattedOutput& out) {
  for (std::size_t i = 0; i < out.records.size(); ++i) {
    const std::string& r = out.records[i];
    if (i == 0 && out.overwrite)
      con.overwrite(r);
    else if (i + 1 == out.records.size() && out.keep_cursor)
      con.prompt(r);
    else
      con.record(r);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Single fields.

std::string format_int(long long value, int width) {
  return int_field(value, std::min(width, kMaxWidth), -1);
}

std::string format_fixed(double value, int width, int decimals) {
  width = std::min(width, kMaxWidth);
  int d = std::clamp(decimals, 0, kMaxWidth);
  if (!std::isfinite(value)) return non_finite(value, width);
  bool neg = std::signbit(value);
  double a = std::fabs(value);

  Expansion e = expand_fixed(a, d + kGuardDigits);
  std::size_t keep = e.point + d;
  std::string kept = e.digits.substr(0, keep);
  if (round_up(std::string_view(e.digits).substr(keep), [&] {
        return expand_fixed(a, std::max(kExactFixed, d + kGuardDigits)).digits.substr(keep);
      })) {
    if (increment(kept)) kept.insert(0, 1, '1');
  }
  std::string int_digits = kept.substr(0, kept.size() - d);
  std::string frac = kept.substr(kept.size() - d);
  int_digits.erase(0, int_digits.find_first_not_of('0'));
  // A value that rounds to zero is written without its sign.
  if (int_digits.empty() && frac.find_first_not_of('0') == std::string::npos) neg = false;

  std::string body = int_digits + "." + frac;
  if (neg) body.insert(0, 1, '-');
  if (int_digits.empty()) {
    // The "0" before the point is written only when there is room for it
    // (and always when there would be no digit at all).
    std::size_t at = neg ? 1 : 0;
    if (width <= 0 || d == 0 || body.size() < static_cast<std::size_t>(width))
      body.insert(at, 1, '0');
  }
  return justify(std::move(body), width);
}

std::string format_exp(double value, int width, int decimals, int exp_digits) {
  width = std::min(width, kMaxWidth);
  int d = std::min(decimals, kMaxWidth);
  exp_digits = std::min(exp_digits, kMaxWidth);
  if (!std::isfinite(value)) return non_finite(value, width);
  if (d <= 0) return stars(width);
  bool neg = std::signbit(value);
  double a = std::fabs(value);

  std::string kept;
  int exponent = 0;  // of the form 0.ddd x 10^exponent
  if (a == 0) {  // zero, negative zero included, is "0.000E+00"
    kept.assign(d, '0');
    neg = false;
  } else {
    Expansion e = expand_scientific(a, d - 1 + kGuardDigits);
    kept = e.digits.substr(0, d);
    exponent = e.exponent + 1;
    if (round_up(std::string_view(e.digits).substr(d), [&] {
          int p = std::max(kExactScientific, d - 1 + kGuardDigits);
          return expand_scientific(a, p).digits.substr(d);
        })) {
      if (increment(kept)) {
        kept[0] = '1';
        ++exponent;
      }
    }
  }

  std::string mag = std::to_string(exponent < 0 ? -exponent : exponent);
  char sign = exponent < 0 ? '-' : '+';
  std::string exp_field;
  if (exp_digits > 0) {
    if (static_cast<int>(mag.size()) > exp_digits) return stars(width);
    exp_field = std::string("E") + sign + std::string(exp_digits - mag.size(), '0') + mag;
  } else if (mag.size() <= 2) {
    exp_field = std::string("E") + sign + std::string(2 - mag.size(), '0') + mag;
  } else {
    exp_field = std::string(1, sign) + mag;  // |exponent| > 99: the "E" is dropped
  }

  std::string body = (neg ? "-." : ".") + kept + exp_field;
  if (width <= 0 || body.size() < static_cast<std::size_t>(width))
    body.insert(neg ? 1 : 0, 1, '0');
  return justify(std::move(body), width);
}

// ---------------------------------------------------------------------------
// Whole lists and records.

FormattedOutput format_items(std::string_view descriptors,
                             std::initializer_list<FormatItem> items) {
  return format_span(descriptors, std::span(items.begin(), items.size()));
}

FormattedOutput format_items(std::string_view descriptors,
                             const std::vector<FormatItem>& items) {
  return format_span(descriptors, std::span(items));
}

void write_formatted(Console& con, std::string_view descriptors,
                     std::initializer_list<FormatItem> items) {
  write_records(con, format_items(descriptors, items));
}

void write_formatted(Console& con, std::string_view descriptors,
                     const std::vector<FormatItem>& items) {
  write_records(con, format_items(descriptors, items));
}

std::string free_record(std::initializer_list<FormatItem> items) {
  return free_record(std::vector<FormatItem>(items));
}

std::string free_record(const std::vector<FormatItem>& items) {
  std::string out;
  for (const FormatItem& item : items) {
    out.push_back(' ');
    out += item_text(item);
  }
  return out.empty() ? " " : out;
}

void write_free(Console& con, std::initializer_list<FormatItem> items) {
  con.record(free_record(items));
}

}  // namespace verto
