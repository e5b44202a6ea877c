// MARK and LABEL: the point and line marker lists.
#include <string>

#include "datafiles/marker_commands.h"
#include "core/evaluator.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/qualifier_words.h"
#include "core/session.h"

namespace verto {

namespace {

// The count line, worded and spaced as LIST/MARKERS writes it.
void print_count(Session& s, bool line) {
  const Workspace& ws = s.ws;
  if (line)
    s.con.record(" Number of line markers = " + std::to_string(ws.line_markers.count));
  else
    s.con.record(" Number of point markers = " + std::to_string(ws.point_markers.count));
}

void list_markers(Session& s, const MarkerList& list) {
  for (int i = 0; i < list.count; ++i)
    s.con.record(free_record({i + 1, list.entries[static_cast<std::size_t>(i)].index}));
}

}  // namespace

void cmd_mark(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  const int arg = argument_after_qualifiers(upper, {"/C", "/NO", "/LIS", "/LIN", "/AD"});
  const std::string_view q = qualifier_text(upper, arg, 69);
  const bool line = has_qualifier(q, "/LIN");
  MarkerList& list = line ? ws.line_markers : ws.point_markers;

  if (has_qualifier(q, "/LIS")) {
    s.con.record("");
    s.con.record(" Point markers:");
    list_markers(s, ws.point_markers);
    s.con.record("");
    s.con.record(" Line markers:");
    list_markers(s, ws.line_markers);
    print_count(s, line);
    return;
  }
  if (has_qualifier(q, "/C") || has_qualifier(q, "/NO")) {
    list.count = 0;
    print_count(s, line);
    return;
  }
  if (arg == 0) {
    auto answer = ask(s, "_markers_to_add:");
    if (!answer) return;
    // The command word keeps its qualifiers (/LINE, /ADD) for the rerun.
    dispatch(s, std::string(trim_right(ws.line)) + " " + *answer);
    return;
  }
  if (!has_qualifier(q, "/AD")) list.count = 0;

  // Entries: runs of digits separated by blanks or commas.
  const std::string entries = rest_of_line(upper, arg);
  std::size_t pos = 0;
  while (true) {
    pos = entries.find_first_not_of(" ,", pos);
    if (pos == std::string::npos) break;
    if (entries[pos] < '0' || entries[pos] > '9') {
      s.con.record("<<<VERTO!!!>>> Bad marker entry.");
      return;
    }
    std::size_t end = entries.find_first_not_of("1234567890", pos);
    if (end == std::string::npos) end = entries.size();
    const float value = expr::text_to_number(s.con, std::string_view(entries).substr(pos, end - pos));
    const bool added = line ? add_line_marker(ws, s.con, round_to_int(value, 0, kMaxNpts), "manual mark position")
                            : add_point_marker(ws, s.con, round_to_int(value, 0, kMaxNpts), "manual mark position");
    if (!added) break;
    pos = end;
  }
  print_count(s, line);
}

void cmd_label(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  const int arg = argument_after_qualifiers(upper, {"/LIN", "/NUM"});
  const std::string_view q = qualifier_text(upper, arg, 69);
  const bool line = has_qualifier(q, "/LIN");
  MarkerList& list = line ? ws.line_markers : ws.point_markers;

  // The last marker, or the one numbered after "=" in the command word.
  int target = list.count;
  if (const auto eq = q.find('='); eq != std::string_view::npos) {
    std::string_view number = q.substr(eq + 1);
    number = number.substr(0, number.find_first_of(" /"));
    target = round_to_int(expr::text_to_number(s.con, number), -1, kMaxMarkers + 1);
  }
  if (target < 1 || target > list.count) {
    s.con.record(std::string("<<<VERTO!!!>>> No such ") + (line ? "line" : "point") +
                 " marker: no label set.");
    return;
  }
  std::string text;
  if (arg > 0) {
    text = rest_of_line(ws.line, arg);
  } else {
    auto answer = ask(s, "_text_label:");
    if (!answer) return;
    text = *answer;
  }
  list.entries[static_cast<std::size_t>(target - 1)].label = text.substr(0, kLabelLength);
}

}  // namespace verto
