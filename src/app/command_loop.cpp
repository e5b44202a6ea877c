#include "app/command_loop.h"

#include "app/line_editor.h"
#include "core/dispatch.h"
#include "core/session.h"

namespace verto {

void run_command_loop(Session& s) {
  while (!s.quit) {
    auto line = read_command_line(s);
    if (!line) break;
    dispatch(s, *line);
  }
}

}  // namespace verto
