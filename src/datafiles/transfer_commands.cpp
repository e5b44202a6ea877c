// ADD, PORT, LINE and POINT: worksheet columns into points, points into the
// line and back. Every command that appends stops at the 50000-point
// capacity, keeps what fitted and says so.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "datafiles/file_names.h"
#include "datafiles/marker_commands.h"
#include "datafiles/reader.h"
#include "core/evaluator.h"
#include "core/capacity.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/qualifier_words.h"
#include "core/session.h"
#include "core/session_record.h"

namespace verto {

namespace {

// Appends one point whose values come from up to three source columns, by
// the current form: form 1 fills the current variable, form 2 X and S,
// every other form X, Y and S. Targets without a source keep their value.
void append_from_sources(Workspace& ws, const std::array<float, 3>& src, int sources) {
  const std::size_t i = static_cast<std::size_t>(ws.Npts++);
  if (sources < 1) return;
  if (ws.form == 1) {
    std::span<float> target = ws.variable == 2 ? ws.Y : ws.variable == 3 ? ws.S : ws.X;
    target[i] = src[0];
  } else if (ws.form == 2) {
    ws.X[i] = src[0];
    if (sources >= 2) ws.S[i] = src[1];
  } else {
    ws.X[i] = src[0];
    if (sources >= 2) ws.Y[i] = src[1];
    if (sources >= 3) ws.S[i] = src[2];
  }
}

}  // namespace

void cmd_add(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  // Rows of the worksheet: default last row Mpts.
  const auto [n1, n2] = parse_range(s, upper, ws.Npts, ws.Mpts, true);
  parse_form(s, upper, ws.form);

  const int arg = argument_after_qualifiers(
      upper, {"/0", "/1", "/2", "/3", "/4", "/5", "/6", "/7"}, true);
  std::string list;
  if (arg > 0) {
    list = rest_of_line(upper, arg);
  } else {
    auto answer = ask(s, "_columns_to_add:");
    if (!answer) return;
    list = to_upper(*answer);
  }
  // Items: C1..C9, separated by blanks or commas; the first three are used.
  std::array<int, 3> columns{};
  int listed = 0;
  bool bad = false;
  std::size_t pos = 0;
  while (true) {
    pos = list.find_first_not_of(" ,", pos);
    if (pos == std::string::npos) break;
    std::size_t end = list.find_first_of(" ,", pos);
    if (end == std::string::npos) end = list.size();
    std::string_view item(list.data() + pos, end - pos);
    if (item.size() != 2 || item[0] != 'C' || item[1] < '1' || item[1] > '9') {
      bad = true;
      break;
    }
    if (listed < 3) columns[static_cast<std::size_t>(listed)] = item[1] - '0';
    ++listed;
    pos = end;
  }
  if (bad || listed == 0) {
    s.con.record("<<<VERTO!!!>>> Bad column name.");
    return;
  }
  const int sources = std::min(listed, 3);
  std::array<float, 3> src{};
  for (int row = n1; row <= n2; ++row) {
    if (ws.Npts >= kMaxNpts) {
      report_capacity(s.con, "points");
      break;
    }
    for (int k = 0; k < sources; ++k)
      src[static_cast<std::size_t>(k)] = ws.column(row, columns[static_cast<std::size_t>(k)]);
    append_from_sources(ws, src, sources);
  }
  print_npts(s);
  if (ws.auto_marker) {
    // The label names the second column; a single column names itself.
    const int named = columns[listed >= 2 ? 1 : 0];
    add_point_marker(ws, s.con, ws.Npts, "column " + std::to_string(named));
  }
}

void cmd_port(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  const auto slash = upper.find('/');
  const char clearing = slash != std::string::npos && slash + 1 < upper.size() ? upper[slash + 1] : ' ';
  // The limits are checked before /C or /X clears anything: with limits
  // that cannot be read the data stay as they were.
  const int arg = argument_after_qualifiers(upper, {"/C", "/X"});
  const auto comma = arg > 0 ? upper.find(',', static_cast<std::size_t>(arg - 1)) : std::string::npos;
  if (comma == std::string::npos) {
    s.con.record("<<<VERTO!!!>>> Messed up limits.");
    return;
  }
  // Each limit is one word of at most 20 characters that looks like a number.
  auto limit_text = [&](std::size_t from, std::size_t to) {
    std::string_view t(upper.data() + from, to - from);
    auto first = t.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string_view{};
    t = t.substr(first);
    return t.substr(0, std::min<std::size_t>({t.find(' '), t.size(), 20}));
  };
  const std::string_view t1 = limit_text(static_cast<std::size_t>(arg - 1), comma);
  const std::string_view t2 = limit_text(comma + 1, upper.size());
  const auto numeric_start = [](std::string_view t) {
    return !t.empty() && std::string_view("1234567890.-").find(t[0]) != std::string_view::npos;
  };
  if (!numeric_start(t1) || !numeric_start(t2)) return;
  // Both limits are converted before anything is cleared: a limit that is
  // not a number leaves the data as they were.
  const std::optional<float> l1 = expr::checked_number(s.con, t1);
  if (!l1) return;
  const std::optional<float> l2 = expr::checked_number(s.con, t2);
  if (!l2) return;
  const float x1 = *l1, x2 = *l2;
  if (clearing == 'C' || clearing == 'X') {
    ws.Npts = 0;
    ws.point_markers.count = 0;
    if (clearing == 'X') {
      ws.Nline = 0;
      ws.line_markers.count = 0;
    }
  }

  const int sources = std::min(ws.Num_columns, 3);
  std::array<float, 3> src{};
  for (int row = 1; row <= ws.Mpts; ++row) {
    const float c1 = ws.column(row, 1);
    if (!(c1 >= x1 && c1 <= x2)) continue;
    if (ws.Npts >= kMaxNpts) {
      report_capacity(s.con, "points");
      break;
    }
    for (int k = 0; k < 3; ++k) src[static_cast<std::size_t>(k)] = ws.column(row, k + 1);
    append_from_sources(ws, src, sources);
  }
  print_npts(s);
  if (ws.auto_marker) add_point_marker(ws, s.con, ws.Npts, "user selected range of data");
}

void cmd_point(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  // Line points: default last Nline.
  const auto [n1, n2] = parse_range(s, upper, ws.Npts, ws.Nline, true);
  if (std::string_view(upper).substr(0, 68).find("/R") != std::string_view::npos) {
    ws.Npts = 0;
    ws.point_markers.count = 0;
  }
  for (int i = n1; i <= n2; ++i) {
    if (ws.Npts >= kMaxNpts) {
      report_capacity(s.con, "points");
      break;
    }
    const std::size_t from = static_cast<std::size_t>(i - 1), to = static_cast<std::size_t>(ws.Npts);
    ws.X[to] = ws.LX[from];
    ws.Y[to] = ws.LY[from];
    if (ws.form == 7) ws.S[to] = ws.LZ[from];
    ++ws.Npts;
  }
  print_npts(s);
  if (ws.auto_marker) {
    const MarkerList& lines = ws.line_markers;
    const std::string label = lines.count == 1 ? lines.entries[0].label : "from line data";
    add_point_marker(ws, s.con, ws.Npts, label);
  }
}

namespace {

// LINE/ZERO: a Y=0 line across the X values of the points (and of the line
// itself with /ADD).
void zero_line(Session& s, bool add) {
  Workspace& ws = s.ws;
  bool any = false;
  float lo = 0, hi = 0;
  auto take = [&](float x) {
    if (std::isnan(x)) return;
    if (!any) lo = hi = x;
    lo = std::min(lo, x);
    hi = std::max(hi, x);
    any = true;
  };
  for (int i = 0; i < ws.Npts; ++i) take(ws.X[static_cast<std::size_t>(i)]);
  if (add)
    for (int i = 0; i < ws.Nline; ++i) take(ws.LX[static_cast<std::size_t>(i)]);
  else
    ws.Nline = 0;
  if (any) {
    if (ws.Nline + 2 > kMaxNpts) {
      report_capacity(s.con, "line points");
    } else {
      for (float x : {lo, hi}) {
        const std::size_t i = static_cast<std::size_t>(ws.Nline++);
        ws.LX[i] = x;
        ws.LY[i] = 0;
        ws.LZ[i] = 0;
      }
    }
  }
  print_nline(s);
  if (!add) ws.line_markers.count = 0;
  if (ws.auto_marker) add_line_marker(ws, s.con, ws.Nline, "Y=0");
}

// LINE without a file: points n1..n2 become the line and leave the XYS
// data set. When the line cannot take them all, the points stay where
// they are as well, so nothing is lost.
void points_to_line(Session& s, bool add, int n1, int n2) {
  Workspace& ws = s.ws;
  if (!add) ws.Nline = 0;
  bool all_fitted = true;
  for (int i = n1; i <= n2; ++i) {
    if (ws.Nline >= kMaxNpts) {
      all_fitted = false;
      break;
    }
    const std::size_t from = static_cast<std::size_t>(i - 1), to = static_cast<std::size_t>(ws.Nline);
    ws.LX[to] = ws.X[from];
    ws.LY[to] = ws.Y[from];
    if (ws.form == 7) ws.LZ[to] = ws.S[from];
    ++ws.Nline;
  }
  if (all_fitted) {
    ws.Npts = 0;
    ws.point_markers.count = 0;
  } else {
    report_capacity(s.con, "line points", "the points are kept as they were");
  }
  if (!add) ws.line_markers.count = 0;
  if (ws.auto_marker) add_line_marker(ws, s.con, ws.Nline, "point data");
  print_npts(s);
}

// LINE with a file name: records of LX LY (LX LY LZ in form 7) appended to
// the line. The last file name stays as it was. The file is read
// completely before the line changes, so a file that cannot be opened or
// read leaves the line and its markers as they were.
void line_from_file(Session& s, bool add, const std::string& name) {
  Workspace& ws = s.ws;
  std::FILE* file = open_data_file(name);
  if (!file) {
    s.con.record("<<<VERTO!!!>>> File not Found!");
    return;
  }
  note_file(s, FileUse::Read, name);
  const int n = ws.form == 7 ? 3 : 2;
  const int first = add ? ws.Nline : 0;
  std::vector<float> lx, ly, lz;
  RecordReader reader(file);
  bool full = false;
  for (int count = first;; ++count) {
    const std::size_t i = static_cast<std::size_t>(std::min(count, kMaxNpts - 1));
    // Values a record leaves unset ("/") keep what the arrays held there.
    float v[3] = {ws.LX[i], ws.LY[i], ws.LZ[i]};
    if (!reader.next(v, n)) break;
    if (count >= kMaxNpts) {
      full = true;
      break;
    }
    lx.push_back(v[0]);
    ly.push_back(v[1]);
    lz.push_back(v[2]);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    s.con.record("<<<VERTO!!!>>> Error reading file; the line is kept.");
    return;
  }
  for (std::size_t k = 0; k < lx.size(); ++k) {
    const std::size_t i = static_cast<std::size_t>(first) + k;
    ws.LX[i] = lx[k];
    ws.LY[i] = ly[k];
    if (n == 3) ws.LZ[i] = lz[k];
  }
  ws.Nline = first + static_cast<int>(lx.size());
  if (full) report_capacity(s.con, "line points", "the rest of the file was not read");
  print_nline(s);
  if (!add) ws.line_markers.count = 0;
  if (ws.auto_marker) add_line_marker(ws, s.con, ws.Nline, name);
}

}  // namespace

void cmd_line(Session& s) {
  Workspace& ws = s.ws;
  const std::string upper = ws.upper;
  const int arg = argument_after_qualifiers(upper, {"/A", "/NO", "/CL", "/Z"}, true);
  const std::string_view q = qualifier_text(upper, arg, 69);
  const bool add = has_qualifier(q, "/A");
  const bool remove = has_qualifier(q, "/NO") || has_qualifier(q, "/CL");
  const bool zero = has_qualifier(q, "/Z");
  const auto [n1, n2] = parse_range(s, q, ws.Npts, ws.Nline);  // default last Npts

  if (remove) {
    ws.Nline = 0;
    ws.line_markers.count = 0;
    print_nline(s);
  } else if (zero) {
    zero_line(s, add);
  } else if (arg > 0) {
    line_from_file(s, add, rest_of_line(ws.line, arg));
  } else {
    points_to_line(s, add, n1, n2);
  }
}

}  // namespace verto
