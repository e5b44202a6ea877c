// READ (LOAD, IN...): data files into the XYS data set or the column
// worksheet, in the layout of the current form.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/commands.h"
#include "datafiles/file_names.h"
#include "datafiles/read_stream.h"
#include "datafiles/reader.h"
#include "core/capacity.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/scratch_file.h"
#include "core/session.h"
#include "core/session_record.h"

namespace verto {

namespace {

// Decodes the user format between the first and last quote: "0" a dropped
// column, X/Y/S a column read into that array, "," a dropped column when
// it comes first or after another ",". False for a format of fewer than
// two characters or without any column.
bool decode_user_format(std::string_view upper, int argument, ReadPlan& plan) {
  // Quotes in the command word belong to it; without them the whole line
  // is searched (and a quote in the file name then spoils the name).
  std::string_view where = upper;
  if (argument > 0) {
    std::string_view word = upper.substr(0, static_cast<std::size_t>(argument - 1));
    if (std::count(word.begin(), word.end(), '\'') >= 2) where = word;
  }
  auto first = where.find('\'');
  auto last = where.rfind('\'');
  if (first == std::string_view::npos || last <= first + 2) return false;
  std::string_view fmt = where.substr(first + 1, last - first - 1);
  int column = 0;
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    switch (fmt[i]) {
      case '0': ++column; break;
      case 'X': plan.xcol = ++column; break;
      case 'Y': plan.ycol = ++column; break;
      case 'S': plan.scol = ++column; break;
      case ',':
        if (i == 0 || fmt[i - 1] == ',') ++column;
        break;
      default: break;
    }
  }
  plan.values = std::min(column, kMaxRecordValues);
  // Columns beyond the record are never reached.
  if (plan.xcol > plan.values) plan.xcol = 0;
  if (plan.ycol > plan.values) plan.ycol = 0;
  if (plan.scol > plan.values) plan.scol = 0;
  return column > 0;
}

// "_number of columns:" for form 6; false when the answer is no count.
bool ask_columns(Session& s) {
  auto answer = ask(s, "_number of columns:");
  if (!answer) return false;
  RecordParser p;
  p.start(1);
  if (p.feed(*answer) != RecordParser::Status::Complete || !p.given(0)) return false;
  float v = 0;
  p.store(&v);
  if (v != static_cast<float>(static_cast<int>(v)) || v < 1) return false;
  s.ws.Num_columns = std::min(static_cast<int>(v), kMaxColumns);
  return true;
}

void print_user_format_help(Console& con) {
  con.record(" User format: READ/user_fmt filename");
  con.record("    use X,Y,S and 0 (dummy value not read) inside of single quotes.");
  con.record("    example:  '0,0,X,0,Y' , X is read in from 3rd column, Y from 5th column");
  con.record("");
}

// The directory listing of DIR, run as that command; the line buffers
// stay as they were.
void show_directory(Session& s) {
  const std::string line = s.ws.line, upper = s.ws.upper;
  dispatch(s, "DIR");
  s.ws.line = line;
  s.ws.upper = upper;
}

bool is_file_list(std::string_view name) {
  return to_upper(name) == to_upper(kFileList);
}

// The files a READ of `name` reads: the names of a list file, the matches
// of a pattern (`pattern` then true) or the one name; nullopt with the
// message when none is found. A name other than the scratch file becomes
// the last file read.
std::optional<std::vector<std::string>> files_to_read(Session& s, const std::string& name,
                                                      bool& pattern) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const bool listed = is_file_list(name);
  pattern = listed || has_wildcard(name);
  std::vector<std::string> files;
  if (listed) {
    auto names = listed_files();
    if (!names) {
      con.record("<<<VERTO!!!>>> File not Found!");
      return std::nullopt;
    }
    files = std::move(*names);
  } else if (pattern) {
    auto names = match_files(name);
    if (!names) {
      con.record("<<<VERTO!!!>>> File Not Found!");
      return std::nullopt;
    }
    files = std::move(*names);
  } else {
    files.push_back(name);
  }
  if (name.rfind(kScratchFile, 0) != 0) {
    ws.last_file = name.substr(0, kLabelLength);
    if (pattern)
      ws.matched_files = files;
    else
      ws.matched_files.clear();
  }
  return files;
}

// Reads the files one after the other, `rows` counting the worksheet rows
// read. False when a file cannot be opened: the read ends there with the
// rows read so far.
bool read_files(Session& s, const std::vector<std::string>& files, bool pattern, ReadPlan& plan,
                int n0, int& rows) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const bool worksheet = plan.form == 5 || plan.form == 6;
  for (std::size_t k = 0; k < files.size(); ++k) {
    const std::string& file = files[k];
    if (pattern) write_formatted(con, "(1X,A,A)", {"file : ", file});
    std::FILE* f = open_data_file(file);
    if (!f) {
      con.record("<<<VERTO!!!>>> File not Found!");
      if (worksheet) ws.Mpts = plan.first_row + rows;  // rows read so far stay
      return false;
    }
    note_file(s, FileUse::Read, file);
    if (k == 0 && plan.form == 5) {
      ws.Num_columns = std::min(auto_columns(f), kMaxColumns);
      std::rewind(f);
    }
    if (worksheet) plan.values = std::max(ws.Num_columns, 0);
    const bool complete = read_stream(s, f, plan, rows);
    std::fclose(f);
    // The marker stands at the point count the read leaves (rows copied
    // from the worksheet included).
    if (ws.auto_marker) add_point_marker(ws, con, worksheet && n0 == 0 ? rows : ws.Npts, file);
    if (!complete) break;
  }
  return true;
}

// The form the read leaves, and the worksheet's rows as the data set when
// it was empty.
void settle_form(Session& s, const ReadPlan& plan, int n0, int rows) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const bool worksheet = plan.form == 5 || plan.form == 6;
  if (plan.form == 0) {
    ws.form = plan.ycol > 0 ? 3 : 1;
    if (plan.scol > 0) ++ws.form;
    write_formatted(con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  } else if (worksheet) {
    ws.Mpts = plan.first_row + rows;
    const int nc = ws.Num_columns;
    if (n0 == 0) {
      for (int i = 1; i <= rows; ++i) {
        const int row = plan.first_row + i;
        ws.X[i - 1] = ws.column(row, 1);
        if (nc >= 2) ws.Y[i - 1] = ws.column(row, 2);
        if (nc >= 3) ws.S[i - 1] = ws.column(row, 3);
      }
      ws.Npts = rows;
    }
    ws.form = nc == 1 ? 1 : nc == 2 ? 3 : 4;
    if (nc > 3) {
      write_formatted(con, "(1X,A,I6)", {"Num_columns =", nc});
      write_formatted(con, "(1X,A,I6,A)", {"Mpts        =", ws.Mpts, "  (points in column worksheet)"});
      con.record("");
    }
    write_formatted(con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  }
}

}  // namespace

void cmd_read(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const int argument = argument_start(ws.upper);
  const std::string quals = qualifier_line(ws.upper, argument);
  // A user format in the command word asks for form 0.
  if (quals.find("/'") != std::string::npos) ws.form = 0;
  parse_form(s, quals, ws.form);

  auto given = file_name_argument(s, argument);
  if (!given) return;
  std::string name = std::move(*given);
  while (!name.empty() && name[0] == '?') {
    if (ws.form == 0) {
      print_user_format_help(con);
      show_directory(s);
      return;
    }
    show_directory(s);
    auto answer = ask_file_name(s);
    if (!answer) return;
    name = std::move(*answer);
  }

  ReadPlan plan;
  plan.form = ws.form;
  if (plan.form == 0 && !decode_user_format(ws.upper, argument, plan)) {
    con.record("<<<VERTO!!!>>> Bad user format.");
    return;
  }
  // The decoded format's column count is the worksheet's column count.
  if (plan.form == 0) ws.Num_columns = std::min(plan.values, kMaxColumns);
  if (plan.form == 6 && ws.Num_columns <= 0 && !ask_columns(s)) return;
  if (name.empty()) {
    con.record("<<<VERTO!!!>>> File not Found!");
    return;
  }

  bool pattern = false;
  auto found = files_to_read(s, name, pattern);
  if (!found) return;
  const std::vector<std::string> files = std::move(*found);

  const int n0 = ws.Npts;
  plan.first_row = ws.Mpts;
  int rows = 0;
  if (!read_files(s, files, pattern, plan, n0, rows)) return;
  settle_form(s, plan, n0, rows);
  print_npts(s);
}

}  // namespace verto
