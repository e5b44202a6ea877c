// HELP and "?": the heading, then the command summary, a topic's text or
// the math help. The texts themselves are core/help.cpp's.
#include <string>
#include <string_view>

#include "core/console.h"
#include "core/format.h"
#include "core/help.h"
#include "core/parsers.h"
#include "core/session.h"
#include "workspace/commands.h"

namespace verto {

void cmd_help(Session& s) {
  const std::string_view upper = trim_right(s.ws.upper);
  // The topic starts after the first run of blanks and slashes.
  const int at = scan_after(upper, "/ ");
  std::string_view topic;
  if (at > 0) {
    topic = upper.substr(at - 1);
    if ((at >= 2 && upper.substr(at - 2, 2) == "/M") || topic.substr(0, 4) == "MATH") {
      show_math_help(s);
      return;
    }
  }
  s.con.record("");
  write_formatted(s.con, "(1X,A,39X,A,I6,A)", {"VERTO! commands:", "( max Npts=", kMaxNpts, " )"});
  auto text = help_topic_text(topic);
  for (std::string_view line : text.empty() ? help_summary_text() : text)
    s.con.record(" " + std::string(line));
  s.con.record("");
}

}  // namespace verto
