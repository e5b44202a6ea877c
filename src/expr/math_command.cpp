// MATH and SWAP: the two commands that name arrays by letter (X, Y, S or
// Z, C1..C9) and work on the XYS data set, the line data set (/L) or the
// column worksheet, over a range of points.
#include <cstddef>
#include <string>
#include <utility>

#include "expr/commands.h"
#include "core/evaluator.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

constexpr std::string_view kMsgIllegal = "<<<VERTO!!!>>> Illegal Expression!! ";
constexpr std::string_view kMsgSwap =
    "<<<VERTO!!!>>> Error figuring out what columns to swap!";

// Qualifiers are two-character pairs found anywhere in the first 69
// characters of the upper-case line.
bool has_qualifier(std::string_view upper, std::string_view pair) {
  return upper.substr(0, kLineLength - 1).find(pair) != std::string_view::npos;
}

// The argument, from its start to the end of the line, in a blank-padded
// field of the line's length.
std::string argument_field(std::string_view upper, int start) {
  std::string field(kLineLength, ' ');
  if (start > 0 && start <= static_cast<int>(upper.size())) {
    const std::string_view rest = upper.substr(static_cast<std::size_t>(start - 1));
    field.replace(0, std::min(rest.size(), field.size()), rest.substr(0, field.size()));
  }
  return field;
}

// The field with the text after position `pos` (0-based) moved to its
// front and blanks filled in behind.
std::string text_after(const std::string& field, std::size_t pos) {
  std::string moved = field.substr(pos + 1);
  moved.resize(field.size(), ' ');
  return moved;
}

// One array of the workspace seen as elements 1..kMaxNpts: a plain array,
// or a worksheet column (every ninth value of the row-major worksheet).
struct Column {
  float* base = nullptr;
  std::size_t stride = 1;
  explicit operator bool() const { return base != nullptr; }
  float& operator()(int i) const { return base[static_cast<std::size_t>(i - 1) * stride]; }
};

// The array of a target code; with `line` codes 1..3 are LX, LY, LZ.
Column array_of(Workspace& ws, int code, bool line) {
  switch (code) {
    case 1: return {(line ? ws.LX : ws.X).data(), 1};
    case 2: return {(line ? ws.LY : ws.Y).data(), 1};
    case 3: return {(line ? ws.LZ : ws.S).data(), 1};
    default: return {&ws.column(1, code - 3), static_cast<std::size_t>(kMaxColumns)};
  }
}

// The default range and the empty-data-set rule shared by MATH and SWAP:
// a worksheet target defaults to rows 1..Mpts, any other to the points of
// the data set worked on; an empty data set first takes the worksheet's
// length when the target is one of its arrays.
Range parse_target_range(Session& s, int code, bool line) {
  Workspace& ws = s.ws;
  int& count = line ? ws.Nline : ws.Npts;
  if (code >= 1 && code <= 3 && count == 0) count = ws.Mpts;
  return parse_range(s, ws.upper, count, ws.Mpts, code >= 4);
}

}  // namespace

namespace expr {

int target_code(std::string_view name, int form) {
  if (name.empty()) return 0;
  switch (name[0]) {
    case 'X': return 1;
    case 'Y': return 2;
    case 'S': return form != 7 ? 3 : 0;
    case 'Z': return form == 7 ? 3 : 0;
    case 'C':
      if (name.size() > 1 && name[1] >= '1' && name[1] <= '9') return name[1] - '0' + 3;
      return 0;
    default: return 0;
  }
}

}  // namespace expr

void cmd_math(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  const bool line = has_qualifier(upper, "/L");
  const bool relative = has_qualifier(upper, "/J");
  const int start = argument_start(upper);
  if (start <= 0) {
    // Qualifiers of the first line are not kept.
    auto answer = ask(s, "_expression:");
    if (!answer) return;
    dispatch(s, to_upper("math " + *answer));
    return;
  }

  std::string field = argument_field(upper, start);
  const int code = expr::target_code(field, ws.form);
  const Range range = parse_target_range(s, code, line);
  const std::size_t eq = field.rfind('=');
  if (eq != std::string::npos) field = text_after(field, eq);
  if (code == 0 || eq == std::string::npos) {
    s.con.record(std::string(kMsgIllegal) + field);
    return;
  }

  expr::Postfix list;
  if (expr::compile_expression(s.con, field, expr::kAdmitAll, list, s.expr.third_name) < 0 ||
      list.count == 0)
    return;

  auto& vars = s.expr.vars;
  vars[expr::kN] = static_cast<float>(line ? ws.Nline : ws.Npts);
  vars[expr::kM] = static_cast<float>(ws.Mpts);

  // With /L the third array is LZ, which only form 7 uses: outside form 7
  // S reads as 0 and a result for it is dropped.
  const bool form7 = ws.form == 7;
  const Column target = (line && code == 3 && !form7) ? Column{} : array_of(ws, code, line);
  const float* const xs = (line ? ws.LX : ws.X).data();
  const float* const ys = (line ? ws.LY : ws.Y).data();
  const float* const ss = line ? (form7 ? ws.LZ.data() : nullptr) : ws.S.data();
  const int n1 = range.n1;
  for (int i = n1; i <= range.n2; ++i) {
    const std::size_t k = static_cast<std::size_t>(i - 1);
    s.expr.stack.count = 0;
    vars[expr::kX] = xs[k];
    vars[expr::kY] = ys[k];
    vars[expr::kS] = ss ? ss[k] : 0.f;
    vars[expr::kI] = static_cast<float>(relative ? i - n1 + 1 : i);
    const float* row = &ws.columns[k * kMaxColumns];
    for (int c = 0; c < kMaxColumns; ++c) vars[expr::kC1 + c] = row[c];
    // A failing point ends the command: earlier points keep their new
    // values, this one and the rest stay as they were.
    if (expr::evaluate_postfix(s.con, list, expr::kAdmitAll, s.expr) < 0) return;
    float value;
    if (expr::pop_value(s.con, s.expr.stack, value) < 0) return;
    if (target) target(i) = value;
  }
}

void cmd_swap(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  const bool line = has_qualifier(upper, "/L");
  const int start = argument_start(upper);
  if (start <= 0) {
    auto answer = ask(s, "_columns to swap (i.e. X=Y):");
    if (!answer) return;
    dispatch(s, to_upper("swap " + *answer));
    return;
  }

  const std::string field = argument_field(upper, start);
  const int first = expr::target_code(field, ws.form);
  const Range range = parse_target_range(s, first, line);
  const std::size_t sep = field.find_last_of("=,");
  if (first == 0 || sep == std::string::npos) {
    s.con.record(kMsgSwap);
    return;
  }
  // The second name stands after the separator; blanks before it (SWAP
  // X, Y) are passed over.
  const std::string rest = text_after(field, sep);
  const std::size_t name = rest.find_first_not_of(' ');
  const int second =
      name == std::string::npos ? 0 : expr::target_code(std::string_view(rest).substr(name), ws.form);
  if (second == 0) {
    s.con.record(kMsgSwap);
    return;
  }

  const Column a = array_of(ws, first, line);
  const Column b = array_of(ws, second, line);
  for (int i = range.n1; i <= range.n2; ++i) {
    const float v1 = a(i);
    const float v2 = b(i);
    a(i) = v2;
    b(i) = v1;
  }
}

}  // namespace verto
