#include "workspace/line_editor.h"

#include "workspace/console.h"
#include "workspace/session.h"

namespace verto {

std::optional<std::string> read_command_line(Session& s) {
  s.con.record("");
  s.con.overwrite(">");
  return s.con.read_line(kLineLength);
}

}  // namespace verto
