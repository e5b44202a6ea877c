#include "core/parsers.h"

#include <algorithm>
#include <cmath>

#include "core/evaluator.h"
#include "core/console.h"
#include "core/format.h"
#include "core/session.h"

namespace verto {

int scan_after(std::string_view text, std::string_view set) {
  auto first = text.find_first_of(set);
  if (first == std::string_view::npos) return -1;
  auto next = text.find_first_not_of(set, first);
  if (next == std::string_view::npos) return 0;
  return static_cast<int>(next) + 1;
}

int argument_start(std::string_view upper) { return scan_after(upper, " "); }

int trim_left(std::string& text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    std::fill(text.begin(), text.end(), ' ');
    return 0;
  }
  std::rotate(text.begin(), text.begin() + first, text.end());
  std::fill(text.end() - first, text.end(), ' ');
  return static_cast<int>(trim_right(text).size());
}

std::string_view trim_right(std::string_view text) {
  auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string rest_of_line(std::string_view line, int from) {
  if (from < 1 || from > static_cast<int>(line.size())) return {};
  return std::string(trim_right(line.substr(from - 1)));
}

std::string to_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

int round_to_int(double value, int lo, int hi) {
  if (std::isnan(value)) return lo;
  double r = value >= 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
  if (r < lo) return lo;
  if (r > hi) return hi;
  return static_cast<int>(r);
}

namespace {

// The second bound runs to the first blank after the colon, or to a "/"
// that starts a further qualifier (WRITE/1:50/F=4 file): a slash followed
// by letters that are not one of the names a bound may use (E, PI, N, M)
// ends the bound, while N/2 or 100/M still divide.
std::size_t second_bound_end(std::string_view upper, std::size_t colon) {
  for (std::size_t i = colon; i < upper.size(); ++i) {
    if (upper[i] == ' ') return i;
    if (upper[i] != '/') continue;
    std::size_t j = i + 1;
    while (j < upper.size() && upper[j] >= 'A' && upper[j] <= 'Z') ++j;
    std::string_view word = upper.substr(i + 1, j - i - 1);
    if (!word.empty() && word != "E" && word != "PI" && word != "N" && word != "M") return i;
  }
  return upper.size();
}

}  // namespace

Range parse_range(Session& s, std::string_view upper, int count, int alt_count,
                  bool end_at_alt) {
  int n1 = 1;
  int n2 = end_at_alt ? alt_count : count;
  // The colon of the range is the first ":" met before any blank that
  // follows a "/"; the first bound starts after the latest "/" before it.
  int slash = 0, colon = 0;
  bool blank_after_slash = false;
  for (int i = 0; i < static_cast<int>(upper.size()); ++i) {
    char c = upper[i];
    if (c == '/') slash = i + 1;
    else if (c == ' ' && slash > 0) blank_after_slash = true;
    else if (c == ':' && !blank_after_slash) {
      colon = i + 1;
      break;
    }
  }
  if (slash > 0 && colon > slash) {
    auto end = second_bound_end(upper, colon);
    std::string_view first = upper.substr(slash, colon - 1 - slash);
    std::string_view second = upper.substr(colon, end - colon);
    float v = 0;
    if (!trim_right(first).empty() &&
        expr::evaluate_constant_expression(s.con, s.expr, first, count, alt_count, v))
      n1 = round_to_int(v, -kMaxNpts, 2 * kMaxNpts);
    if (!trim_right(second).empty() &&
        expr::evaluate_constant_expression(s.con, s.expr, second, count, alt_count, v))
      n2 = round_to_int(v, -kMaxNpts, 2 * kMaxNpts);
  }
  // Keep every index a command uses inside the arrays.
  n1 = std::clamp(n1, 1, kMaxNpts);
  n2 = std::clamp(n2, 0, kMaxNpts);
  return {n1, n2};
}

void parse_form(Session& s, std::string_view upper, int& form) {
  const int eq = scan_after(upper, "=");
  const int sl = scan_after(upper, "/");
  const int bl = argument_start(upper);
  int candidate;
  if (bl > eq || bl == 0)
    candidate = std::max({eq, sl, 0});
  else
    candidate = std::max(sl, 0);
  auto colon = upper.find(':');
  bool has_range = colon != std::string_view::npos &&
                   upper.find_first_not_of(' ', colon + 1) != std::string_view::npos;
  if (has_range && !(eq > 0 && eq < bl)) return;
  if (candidate < 1 || candidate > static_cast<int>(upper.size())) return;
  char c = upper[candidate - 1];
  if (c >= '0' && c <= '7') form = c - '0';
  write_formatted(s.con, "(1X,A,A)", {"format:   ", form_name(form)});
}

std::optional<std::string> ask(Session& s, std::string_view prompt) {
  write_formatted(s.con, "(1X,A,$)", {prompt});
  return s.con.read_line(60);
}

}  // namespace verto
