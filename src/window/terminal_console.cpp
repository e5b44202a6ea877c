#include "window/terminal_console.h"

#include <unistd.h>

#include <string>

namespace verto {

TerminalConsole::TerminalConsole(std::FILE* in, std::FILE* out)
    : in_(in), out_(out), input_is_terminal_(isatty(fileno(in)) != 0) {}

TerminalConsole::~TerminalConsole() { finish(); }

void TerminalConsole::finish() {
  if (line_open_) put("\n");
  line_open_ = false;
  std::fflush(out_);
}

void TerminalConsole::put(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out_);
}

void TerminalConsole::do_record(std::string_view text) {
  if (line_open_) put("\n");
  put(text);
  line_open_ = true;
}

void TerminalConsole::do_prompt(std::string_view text) {
  do_record(text);
  std::fflush(out_);
}

void TerminalConsole::do_overwrite(std::string_view text) {
  put("\r");
  put(text);
  line_open_ = true;
}

void TerminalConsole::do_append(std::string_view text) {
  put(text);
  line_open_ = true;
}

std::optional<std::string> TerminalConsole::do_read_line(int max_len) {
  std::fflush(out_);
  std::string line;
  int c;
  bool any = false;
  while ((c = std::fgetc(in_)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (c == '\r') continue;
    line.push_back(static_cast<char>(c));
  }
  if (!any) return std::nullopt;
  if (max_len >= 0 && static_cast<int>(line.size()) > max_len) line.resize(max_len);
  if (input_is_terminal_) {
    line_open_ = false;  // the terminal echoed the line and its newline
  } else {
    put(line);
  }
  return line;
}

int TerminalConsole::do_read_key() {
  std::fflush(out_);
  int c = std::fgetc(in_);
  return c == EOF ? -1 : c;
}

void TerminalConsole::do_pause(std::string_view message) {
  do_record(message);
  do_read_line(75);
}

}  // namespace verto
