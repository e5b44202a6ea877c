#include "ui/lines.h"

namespace verto::ui {

QueuedLines blank_line(bool keep_typed) { return {{" "}, keep_typed}; }

QueuedLines one_line(std::string line, bool keep_typed) {
  return {{cut_line(std::move(line))}, keep_typed};
}

std::string field(std::string_view text, int width) {
  text = text.substr(0, static_cast<std::size_t>(width));
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string full_field(std::string_view text, int width) {
  std::string out(text.substr(0, static_cast<std::size_t>(width)));
  out.resize(static_cast<std::size_t>(width), ' ');
  return out;
}

std::string cut_line(std::string line) {
  if (line.size() > static_cast<std::size_t>(kCommandLineLength)) line.resize(kCommandLineLength);
  return line;
}

}  // namespace verto::ui
