#include "core/dispatch.h"

#include <algorithm>

#include "core/console.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

const char* const kNotAvailableMessage =
    "<<<VERTO!!!>>> Command not available in this build.";

static void fill_buffers(Workspace& ws, std::string_view text) {
  std::string& line = ws.line;
  line.assign(kLineLength, ' ');
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kLineLength), line.begin());
  for (char& c : line)
    if (c == '\0' || c == '\t' || c == '\r' || c == '\n') c = ' ';
  // A line that starts with a blank and holds more is shifted left.
  if (line[0] == ' ' && line.find_first_not_of(' ') != std::string::npos)
    trim_left(line);
  ws.upper = to_upper(line);
}

const CommandEntry* find_command(std::span<const CommandEntry> table, std::string_view upper) {
  for (const CommandEntry& e : table)
    for (std::string_view p : e.prefixes)
      if (!p.empty() && upper.substr(0, p.size()) == p) return &e;
  return nullptr;
}

void dispatch_buffers(Session& s) {
  if (const CommandEntry* e = find_command(s.commands, s.ws.upper)) {
    if (e->run)
      e->run(s);
    else
      s.con.record(kNotAvailableMessage);
    return;
  }
  if (s.ws.upper[0] != ' ') s.con.record("<<<VERTO!!!>>> Unknown command!");
}

void dispatch(Session& s, std::string_view text) {
  fill_buffers(s.ws, text);
  dispatch_buffers(s);
}

}  // namespace verto
