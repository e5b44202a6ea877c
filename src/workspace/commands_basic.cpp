// QUIT/EXIT, ECHO, CLS and CLEAR.
#include "workspace/commands.h"
#include "core/console.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

void cmd_exit(Session& s) { s.quit = true; }

void cmd_echo(Session& s) {
  int start = argument_start(s.ws.upper);
  if (start <= 0) {
    s.con.record("");
    return;
  }
  s.con.record(" " + rest_of_line(s.ws.line, start));
}

void cmd_cls(Session& s) {
  for (int i = 0; i < 25; ++i) s.con.record(" ");
}

void cmd_clear(Session& s) { reset_workspace(s.ws, s.con); }

}  // namespace verto
