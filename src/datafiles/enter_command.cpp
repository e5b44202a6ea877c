// ENTER: points typed at the console, one free-format record each, until
// a "/" ends the entry.
#include <string>

#include "datafiles/commands.h"
#include "datafiles/reader.h"
#include "workspace/console.h"
#include "workspace/format.h"
#include "workspace/parsers.h"
#include "workspace/session.h"

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
  int n = 3;
  switch (form) {
    case 1:
      n = 1;
      arrays[0] = ws.variable == 2 ? ws.Y.data() : ws.variable == 3 ? ws.S.data() : ws.X.data();
      break;
    case 2:
      n = 2;
      arrays[0] = ws.X.data();
      arrays[1] = ws.S.data();
      break;
    case 3:
      n = 2;
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      break;
    default:
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      arrays[2] = ws.S.data();
      break;
  }

  RecordParser parser;
  bool done = form == 0;  // the user format has no typed layout
  if (done) write_formatted(con, "(1X,A,A,$)", {label, ":"});
  while (!done) {
    if (ws.Npts >= kMaxNpts) {
      con.record("<<<VERTO!!!>>> Capacity of " + std::to_string(kMaxNpts) +
                 " points reached; entry ended.");
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
  write_formatted(con, "(1X,A,I6)", {"Npts =", ws.Npts});
  if (ws.auto_marker) add_point_marker(ws, con, ws.Npts, "keyboard entry");
}

}  // namespace verto
