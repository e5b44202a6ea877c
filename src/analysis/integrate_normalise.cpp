// INT (trapezoid integral of Y over X) and NORM (scale one variable so
// that a reference value becomes a target value).
#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "analysis/processing_commands.h"
#include "analysis/processing_support.h"
#include "core/evaluator.h"
#include "numeric/sort3.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

bool starts_signed_number(char c) { return starts_unsigned_number(c) || c == '-'; }

// Integration limits x1,x2 from the argument. Returns false when the
// command must end; `given` tells whether limits were typed at all.
bool parse_limits(Session& s, float& x1, float& x2, bool& given) {
  const std::string_view up = s.ws.upper;
  given = false;
  const int arg = argument_start(up);
  if (arg <= 0) return true;
  const std::string_view text = trim_right(up.substr(static_cast<std::size_t>(arg - 1)));
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return true;
  std::string_view first = text.substr(0, comma);
  std::string_view second = text.substr(comma + 1);
  second.remove_prefix(std::min(second.size(), second.find_first_not_of(' ')));
  if (first.empty() || second.empty() || !starts_signed_number(first[0]) ||
      !starts_signed_number(second[0]))
    return false;
  first = first.substr(0, first.find(' '));
  second = second.substr(0, second.find(' '));
  const std::optional<float> v1 = expr::checked_number(s.con, first);
  if (!v1) return false;
  const std::optional<float> v2 = expr::checked_number(s.con, second);
  if (!v2) return false;
  x1 = *v1;
  x2 = *v2;
  given = true;
  return true;
}

}  // namespace

void cmd_int(Session& s) {
  Workspace& ws = s.ws;
  const int n = ws.Npts;
  if (n < 2) {
    s.con.record("<<<VERTO!!!>>>  Need at least two points!");
    return;
  }
  const auto size = static_cast<std::size_t>(n);
  std::span<float> X(ws.X.data(), size), Y(ws.Y.data(), size), S(ws.S.data(), size);
  {
    std::vector<float> wksp(size);
    std::vector<int> iwksp(size);
    report(s.con, Sort3(n, X, Y, S, wksp, iwksp));
  }
  float x1 = 0.f, x2 = 0.f;
  bool given = false;
  if (!parse_limits(s, x1, x2, given)) return;
  int i1 = 0, i2 = n - 1;  // 0-based
  if (given) {
    s.con.record("");
    write_free(s.con, {"desired_int_limits = ", x1, " to ", x2});
    // i1: the first point exactly at x1, else the last point below it.
    const auto below = std::lower_bound(X.begin(), X.end(), x1) - X.begin();
    if (below < n && X[static_cast<std::size_t>(below)] == x1)
      i1 = static_cast<int>(below);
    else if (below > 0)
      i1 = static_cast<int>(below) - 1;
    // i2: the last point exactly at x2, else the first point above it.
    const auto above = std::upper_bound(X.begin(), X.end(), x2) - X.begin();
    if (above > 0 && X[static_cast<std::size_t>(above) - 1] == x2)
      i2 = static_cast<int>(above) - 1;
    else if (above < n)
      i2 = static_cast<int>(above);
    write_free(s.con, {"actual_int_limits =  ", X[static_cast<std::size_t>(i1)], " to ",
                       X[static_cast<std::size_t>(i2)]});
  }
  // Runs of equal X count as one point with their mean Y, placed at the
  // run's X.
  float area = 0.f, prev_x = 0.f, prev_y = 0.f;
  bool have_prev = false;
  for (int i = i1; i <= i2;) {
    const float xr = X[static_cast<std::size_t>(i)];
    float sum = 0.f;
    int m = 0;
    // The run holds at least its first point: a NaN equals nothing, not
    // even itself, and must still move the scan on.
    do sum += Y[static_cast<std::size_t>(i++)], ++m;
    while (i <= i2 && X[static_cast<std::size_t>(i)] == xr);
    const float yr = sum / static_cast<float>(m);
    if (have_prev) area += (prev_y + yr) / 2.f * (xr - prev_x);
    prev_x = xr;
    prev_y = yr;
    have_prev = true;
  }
  write_free(s.con, {"Integrated area = ", area});
}

void cmd_norm(Session& s) {
  Workspace& ws = s.ws;
  std::string up = ws.upper;
  // /L and the range stand in the command word, before the argument, so
  // that nothing in the argument can act as a qualifier.
  const int start = argument_start(up);
  const std::string qualifiers = start > 0 ? up.substr(0, static_cast<std::size_t>(start - 1)) : up;
  const bool line = qualifiers.find("/L") != std::string::npos;
  const int count = line ? ws.Nline : ws.Npts;
  auto [n1, n2] = parse_range(s, qualifiers, ws.Npts, ws.Nline, line);
  n2 = std::min(n2, count);

  int ref_point = 0;
  const auto iat = up.find("I=");
  if (iat != std::string::npos) {
    const auto end = up.find_first_of(" ,", iat + 2);
    const std::string_view num =
        std::string_view(up).substr(iat + 2, (end == std::string::npos ? up.size() : end) - iat - 2);
    const std::optional<float> point = expr::checked_number(s.con, num);
    if (!point) return;
    ref_point = round_to_int(*point, -1, kMaxNpts + 1);
    up.erase(iat, (end == std::string::npos ? up.size() : end) - iat);
    up.resize(kLineLength, ' ');
  }

  int var = 2;
  float target = 1.f;
  int arg = argument_start(up);
  if (arg > 0) {
    std::string rest = up.substr(static_cast<std::size_t>(arg - 1));
    while (rest.size() >= 2 && rest[1] == '=' &&
           (rest[0] == 'X' || rest[0] == 'Y' || rest[0] == 'S' || rest[0] == 'Z')) {
      var = rest[0] == 'X' ? 1 : rest[0] == 'Y' ? 2 : 3;
      rest.erase(0, 2);
    }
    if (!rest.empty() && starts_unsigned_number(rest[0])) {
      const std::optional<float> typed = expr::checked_number(s.con, rest.substr(0, rest.find(' ')));
      if (!typed) return;  // a target that cannot be read scales nothing
      target = *typed;
    }
  }

  if (line && var == 3) {
    s.con.record("<<<VERTO!!!>>> The line data set has no errors to normalize!");
    return;
  }
  std::span<float> values = line ? (var == 1 ? ws.LX : ws.LY)
                                    : (var == 1 ? ws.X : var == 2 ? ws.Y : ws.S);
  float reference = 0.f;
  if (iat != std::string::npos) {
    if (ref_point < 1 || ref_point > count) {
      s.con.record("<<<VERTO!!!>>> Reference point outside the data set!");
      return;
    }
    reference = values[static_cast<std::size_t>(ref_point - 1)];
  } else {
    if (n1 > n2) return;  // nothing to scale
    reference = *std::max_element(values.begin() + (n1 - 1), values.begin() + n2);
  }
  if (reference == 0.f) {
    s.con.record("<<<VERTO!!!>>> Attempt to normalize to zero!!!");
    return;
  }
  const bool errors_follow =
      !line && ((ws.form == 2 && var != 3) || (ws.form == 4 && var == 2));
  for (int i = n1; i <= n2; ++i) {
    const auto u = static_cast<std::size_t>(i - 1);
    values[u] = values[u] * target / reference;
    if (errors_follow) ws.S[u] = ws.S[u] * target / reference;
  }
}

}  // namespace verto
