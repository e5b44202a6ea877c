// FORM, MAKE and SET: the current form and variable, and the counts of the
// data sets.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/evaluator.h"
#include "core/capacity.h"
#include "workspace/commands.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/qualifier_words.h"
#include "core/session.h"

namespace verto {

namespace {

// The command word with its qualifiers, as typed: what a prompting command
// puts before the answer when it runs again.
std::string command_word(const Workspace& ws, int argument) {
  std::string_view line = ws.line;
  if (argument > 0) line = line.substr(0, static_cast<std::size_t>(argument - 1));
  return std::string(trim_right(line));
}

void select_form(Session& s, int form) {
  Workspace& ws = s.ws;
  ws.form = form;
  // Form 7 holds Z in the third array; every other form calls it S.
  const char third = form == 7 ? 'Z' : 'S';
  ws.variable_letters[2] = third;
  s.expr.third_name = third;
}

}  // namespace

void cmd_form(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  if (scan_after(upper, "?H") != -1) {
    s.con.record("");
    s.con.record(" VERTO! Formats:");
    for (int f = 0; f <= 7; ++f) write_formatted(s.con, "(1X,I2,A,A)", {f, ")  ", form_name(f)});
  }
  // The digit stands at the argument or right after the first "=".
  const auto eq = upper.find('=');
  const int after_eq = eq == std::string_view::npos ? 0 : static_cast<int>(eq) + 2;
  const int pos = std::max(argument_start(upper), after_eq);
  const auto size = static_cast<int>(upper.size());
  if (pos < 1 || pos > size || upper[pos - 1] < '0' || upper[pos - 1] > '7') {
    auto answer = ask(s, "_format:");
    if (!answer) return;
    dispatch(s, "format " + *answer);
    return;
  }
  select_form(s, upper[pos - 1] - '0');
  // An optional variable letter follows after a blank or comma: FORM 3,Y.
  std::size_t next = static_cast<std::size_t>(pos);
  while (next < upper.size() && (upper[next] == ' ' || upper[next] == ',')) ++next;
  if (next < upper.size())
    for (int v = 1; v <= 3; ++v)
      if (upper[next] == ws.variable_letters[v - 1]) ws.variable = v;
  s.con.record("");
  write_formatted(s.con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  const char letter = variable_letter(ws, ws.variable);
  write_formatted(s.con, "(1X,A,A)", {"variable: ", std::string_view(&letter, 1)});
}

void cmd_make(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  long long count = 0;
  const int arg = argument_start(upper);
  if (arg > 0) {
    std::string_view rest = upper.substr(static_cast<std::size_t>(arg - 1));
    rest = rest.substr(0, std::min<std::size_t>(rest.find_first_not_of("1234567890-"), 6));
    long long value = 0;
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (ec == std::errc() && end == rest.data() + rest.size()) count = value;
  }
  if (count == 0) {
    auto answer = ask(s, "_number to add:");
    if (!answer) return;
    dispatch(s, "make " + *answer);
    return;
  }
  ws.Npts = checked_count(s.con, ws.Npts + count, "Npts");
  print_npts(s);
  if (!ws.auto_marker) return;
  if (count > 0) {
    add_point_marker(ws, s.con, ws.Npts, "created data");
  } else if (ws.point_markers.count > 0) {
    ws.point_markers.entries[ws.point_markers.count - 1].index = ws.Npts;
  }
}

void cmd_set(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  const int arg = argument_after_qualifiers(upper, {"/L"});
  const bool line = has_qualifier(qualifier_text(upper, arg, 68), "/L");
  if (arg == 0) {
    auto answer = ask(s, "_set_Npts:");
    if (!answer) return;
    dispatch(s, command_word(ws, arg) + " " + *answer);
    return;
  }
  const std::string argument = rest_of_line(upper, arg);
  const char target = argument[0];
  const auto eq = argument.rfind('=');
  if ((target != 'N' && target != 'M' && target != 'C') || eq == std::string::npos) {
    s.con.record("<<<VERTO!!!>>> Illegal SET command!!" + argument);
    return;
  }
  float value = 0;
  if (!expr::evaluate_constant_expression(s.con, s.expr, argument.substr(eq + 1),
                                          line ? ws.Nline : ws.Npts, ws.Mpts, value))
    return;
  if (std::isnan(value)) {
    s.con.record("<<<VERTO!!!>>> Illegal SET command!!" + argument);
    return;
  }
  // Out-of-range results are brought back by checked_count with a message.
  const long long wanted = round_to_int(value, -1, kMaxNpts + 1);

  if (line) {
    const int old = ws.Nline;
    ws.Nline = checked_count(s.con, wanted, "Nline");
    print_nline(s);
    if (!ws.auto_marker) return;
    if (ws.Nline > old)
      add_line_marker(ws, s.con, ws.Nline, "created data");
    else if (ws.line_markers.count > 0)
      ws.line_markers.entries[ws.line_markers.count - 1].index = ws.Nline;
    return;
  }
  if (target == 'N') {
    const int old = ws.Npts;
    ws.Npts = checked_count(s.con, wanted, "Npts");
    print_npts(s);
    if (!ws.auto_marker) return;
    MarkerList& m = ws.point_markers;
    if (ws.Npts > old) {
      add_point_marker(ws, s.con, ws.Npts, "created data");
      return;
    }
    // Markers at or past the new end go; the last one left closes the data.
    int kept = 0;
    for (int i = 0; i < m.count; ++i)
      if (m.entries[i].index < ws.Npts) m.entries[kept++] = m.entries[i];
    m.count = kept;
    if (kept > 0) m.entries[kept - 1].index = ws.Npts;
    return;
  }
  if (target == 'M') {
    ws.Mpts = checked_count(s.con, wanted, "Mpts");
  } else {
    int columns = static_cast<int>(std::clamp<long long>(wanted, 0, kMaxColumns));
    if (columns != wanted)
      s.con.record("<<<VERTO!!!>>> Num_columns lies between 0 and 9: set to " +
                   std::to_string(columns) + ".");
    ws.Num_columns = columns;
  }
  write_formatted(s.con, "(1X,A,I6)", {"Num_columns =", ws.Num_columns});
  write_formatted(s.con, "(1X,A,I6,A)",
                  {"Mpts        =", ws.Mpts, "  (points in column worksheet)"});
}

}  // namespace verto
