// LIST (SHOW, L...): data sets, markers and the last file name on the
// console.
#include <string>
#include <vector>

#include "datafiles/commands.h"
#include "core/records.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

std::string numbered(int index) { return " " + std::to_string(index); }

void list_columns(Session& s, int n1, int n2) {
  Workspace& ws = s.ws;
  const int nc = std::min(ws.Num_columns, kMaxColumns);
  std::string line;
  if (nc < 4) {
    for (int i = n1; i <= n2; ++i) {
      line = numbered(i);
      append_row_record(line, ws, i);
      s.con.record(line);
    }
    return;
  }
  std::vector<FormatItem> header;
  for (int c = 1; c <= nc; ++c) {
    header.emplace_back(std::string_view("C"));
    header.emplace_back(c);
  }
  write_formatted(s.con, "(4X,1HI,1X,9(4X,A1,I1,2X))", header);
  std::vector<FormatItem> row;
  for (int i = n1; i <= n2; ++i) {
    row.clear();
    row.emplace_back(i);
    for (int c = 1; c <= nc; ++c) row.emplace_back(static_cast<double>(ws.column(i, c)));
    write_formatted(s.con, "(1X,I5,9(1X,E7.2E1))", row);
  }
}

void list_files(Session& s) {
  const Workspace& ws = s.ws;
  s.con.record(" Last file read = " + ws.last_file);
  if (ws.last_file.find_first_of("*?") == std::string::npos) return;
  int k = 0;
  for (const std::string& name : ws.matched_files)
    write_formatted(s.con, "(5X,I3,2X,A)", {++k, std::string_view(name)});
}

void list_marker_set(Session& s, const MarkerList& list, const char* count_text) {
  for (int k = 0; k < list.count; ++k) {
    const Marker& m = list.entries[k];
    s.con.record(numbered(k + 1) + " " + std::to_string(m.index) + "    " +
                 m.label.substr(0, 50));
  }
  s.con.record(std::string(" ") + count_text + std::to_string(list.count));
}

}  // namespace

void cmd_list(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const std::string_view scan = std::string_view(ws.upper).substr(0, 69);
  auto has = [&](const char* q) { return scan.find(q) != std::string_view::npos; };
  // The range goes first: the evaluator's activity mark then falls on the
  // command line itself.
  Range range;
  const bool columns = has("/C"), files = !columns && has("/F");
  const bool line_data = !columns && !files && has("/L");
  const bool markers = !columns && !files && !line_data && has("/M");
  if (columns) {
    range = parse_range(s, ws.upper, ws.Npts, ws.Mpts, true);
  } else if (line_data) {
    range = parse_range(s, ws.upper, ws.Nline, ws.Mpts);
  } else if (!files && !markers) {
    range = parse_range(s, ws.upper, ws.Npts, ws.Mpts);
  }
  const auto [n1, n2] = range;
  con.record("");

  if (columns) {
    list_columns(s, n1, n2);
    return;
  }
  if (files) {
    list_files(s);
    return;
  }
  std::string line;
  if (line_data) {
    for (int i = n1; i <= n2; ++i) {
      line = numbered(i);
      append_line_record(line, ws, ws.form, i);
      con.record(line);
    }
    return;
  }
  if (markers) {
    list_marker_set(s, ws.point_markers, "Number of point markers = ");
    con.record("");
    list_marker_set(s, ws.line_markers, "Number of line markers = ");
    return;
  }
  if (ws.form == 0 || ws.form == 5 || ws.form == 6) {
    con.record(
        "<<VERTO!!!>> Choose form 1 to 4 to see X,Y,S data, or /COL to see column data.");
    return;
  }
  for (int i = n1; i <= n2; ++i) {
    line = numbered(i);
    append_point_record(line, ws, ws.form, i);
    con.record(line);
  }
}

}  // namespace verto
