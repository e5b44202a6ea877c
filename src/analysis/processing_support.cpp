#include "analysis/processing_support.h"

#include <string>

#include "core/session.h"

namespace verto {

void rewrite_point_markers(Session& s, std::string_view word, std::string_view default_label) {
  Workspace& ws = s.ws;
  const int before = ws.point_markers.count;
  std::string label = before == 1 ? std::string(word) + ws.point_markers.entries[0].label
                                  : std::string(default_label);
  if (label.size() > static_cast<std::size_t>(kLabelLength)) label.resize(kLabelLength);
  ws.point_markers.count = 0;
  if (ws.auto_marker) add_point_marker(ws, s.con, ws.Npts, label);
}

bool starts_unsigned_number(char c) { return (c >= '0' && c <= '9') || c == '.'; }

std::string_view token_at(std::string_view upper, int from, std::string_view stops) {
  if (from < 1 || from > static_cast<int>(upper.size())) return {};
  std::string_view rest = upper.substr(static_cast<std::size_t>(from - 1));
  return rest.substr(0, rest.find_first_of(stops));
}

}  // namespace verto
