// ENTER: points typed at the console, one free-format record each, until
// a "/" ends the entry.
#include <string>

#include "datafiles/commands.h"
#include "datafiles/reader.h"
#include "core/records.h"
#include "core/capacity.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

constexpr int kTypedLine = 250;

}  // namespace

void cmd_enter(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  parse_form(s, ws.upper, ws.form);
  if (ws.form == 5 || ws.form == 6) {
    ws.form = 3;
    con.record("<<<VERTO!!!>>> Unknown format! VERTO! has set it to form 3");
  }
  con.record("");
  con.record(" Enter data ('/' to terminate)");

  const int form = ws.form;
  const std::string letter(1, variable_letter(ws, ws.variable));
  const std::string label = form == 1 ? letter : std::string(form_name(form));
  float* arrays[3] = {};
  const int n = point_arrays(ws, form, arrays);

  RecordParser parser;
  bool done = form == 0;  // the user format has no typed layout
  if (done) write_formatted(con, "(1X,A,A,$)", {label, ":"});
  while (!done) {
    if (ws.Npts >= kMaxNpts) {
      report_capacity(con, "points", "entry ended");
      break;
    }
    write_formatted(con, "(1X,A,A,$)", {label, ":"});
    parser.start(n);
    RecordParser::Status status = RecordParser::Status::NeedMore;
    bool started = false;
    for (;;) {
      auto typed = con.read_line(kTypedLine);
      if (!typed) {
        done = true;  // end of input ends the entry like "/"
        break;
      }
      status = parser.feed(*typed);
      if (status != RecordParser::Status::NeedMore) break;
      if (!started && trim_right(*typed).empty()) {
        // Nothing typed yet: ask again for the same point.
        write_formatted(con, "(1X,A,A,$)", {label, ":"});
        continue;
      }
      started = true;
      con.prompt("");  // the record goes on on the next line
    }
    if (done) break;
    if (status == RecordParser::Status::Unreadable) continue;  // same point again
    if (!parser.given(0)) break;  // "/" before the first value
    const int i = ws.Npts;
    float v[3] = {};
    for (int k = 0; k < n; ++k) v[k] = arrays[k][i];
    parser.store(v);
    for (int k = 0; k < n; ++k) arrays[k][i] = v[k];
    ++ws.Npts;
  }
  print_npts(s);
  if (ws.auto_marker) add_point_marker(ws, con, ws.Npts, "keyboard entry");
}

}  // namespace verto
