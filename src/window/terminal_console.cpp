#include "window/terminal_console.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "window/raw_terminal.h"

namespace verto {

TerminalConsole::TerminalConsole(std::FILE* in, std::FILE* out)
    : out_(out), in_fd_(fileno(in)) {
  input_is_terminal_ = isatty(in_fd_) != 0;
  const char* term = std::getenv("TERM");
  styled_output_ = isatty(fileno(out_)) != 0 && term && *term && std::strcmp(term, "dumb") != 0 &&
                   !std::getenv("NO_COLOR");
  output_is_terminal_ = isatty(fileno(out_)) != 0;
  if (input_is_terminal_) {
    if (raw_terminal::prepare(in_fd_)) raw_terminal::enter();
    if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) wake_[0] = wake_[1] = -1;
  }
}

TerminalConsole::~TerminalConsole() {
  set_key_mode(false);
  finish();
  if (input_is_terminal_) raw_terminal::leave();
  for (int fd : wake_)
    if (fd >= 0) close(fd);
}

void TerminalConsole::finish() {
  if (styled_output_) put("\033[0m");
  if (line_open_) put("\n");
  line_open_ = false;
  std::fflush(out_);
}

void TerminalConsole::put(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out_);
}

void TerminalConsole::set_key_mode(bool on) {
  std::fflush(out_);
  key_mode_ = on;
}

void TerminalConsole::end_line() {
  if (line_open_) put("\n");
  line_open_ = false;
  shown_.clear();
  std::fflush(out_);
}

void TerminalConsole::interrupt_key_read() {
  if (wake_[1] >= 0) {
    const char c = 'w';
    [[maybe_unused]] auto n = write(wake_[1], &c, 1);
  }
}

void TerminalConsole::set_text_colour(int palette_index) {
  if (!styled_output_) return;
  // The standard 16-colour palette in ANSI terms; white is the terminal's
  // own text colour, which also suits terminals with a light background.
  static constexpr const char* kAnsi[16] = {"30", "34", "32", "36", "31", "35", "33", "37",
                                            "90", "94", "92", "96", "91", "95", "93", "0"};
  if (palette_index < 0 || palette_index > 15) return;
  put("\033[");
  put(kAnsi[palette_index]);
  put("m");
}

void TerminalConsole::set_title(std::string_view title) {
  if (!styled_output_) return;
  put("\033]0;");
  put(title);
  put("\007");
}

void TerminalConsole::do_record(std::string_view text) {
  if (line_open_) put("\n");
  put(text);
  line_open_ = true;
  if (!output_is_terminal_) shown_.assign(text.data(), text.size());
  if (key_mode_) std::fflush(out_);
}

void TerminalConsole::do_prompt(std::string_view text) {
  do_record(text);
  std::fflush(out_);
}

void TerminalConsole::do_overwrite(std::string_view text) {
  if (!output_is_terminal_ && line_open_) {
    // A log or pipe gets what a screen would finally show: an overwrite
    // that changes nothing is left out, and one on an empty line is
    // written without the carriage return.
    std::string now = shown_;
    if (now.size() < text.size()) now.resize(text.size(), ' ');
    now.replace(0, text.size(), text);
    if (now == shown_) return;
    if (shown_.empty()) {
      put(text);
      shown_ = std::move(now);
      return;
    }
    shown_ = std::move(now);
  }
  put("\r");
  put(text);
  line_open_ = true;
  if (key_mode_) std::fflush(out_);
}

void TerminalConsole::do_append(std::string_view text) {
  put(text);
  if (!output_is_terminal_) shown_.append(text.data(), text.size());
  line_open_ = true;
  if (key_mode_) std::fflush(out_);
}

int TerminalConsole::next_byte() {
  if (buffer_pos_ < buffer_.size()) return static_cast<unsigned char>(buffer_[buffer_pos_++]);
  if (at_end_) return -1;
  buffer_.resize(4096);
  buffer_pos_ = 0;
  for (;;) {
    ssize_t n = read(in_fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      buffer_.resize(static_cast<std::size_t>(n));
      return static_cast<unsigned char>(buffer_[buffer_pos_++]);
    }
    if (n < 0 && errno == EINTR) continue;
    buffer_.clear();
    at_end_ = true;
    return -1;
  }
}

std::optional<std::string> TerminalConsole::read_typed_line(int max_len) {
  std::fflush(out_);
  std::string line;
  for (;;) {
    const int key = read_raw_key();
    if (key == kKeyInterrupted) continue;
    if (key == kKeyEndOfInput || (key == 4 && line.empty())) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (key == 13) break;
    if (key == 8) {
      if (!line.empty()) {
        line.pop_back();
        put("\b \b");
      }
    } else if (key >= 32 && key <= 255 && (max_len < 0 || static_cast<int>(line.size()) < max_len)) {
      line.push_back(static_cast<char>(key));
      put(line.substr(line.size() - 1));
    }
    std::fflush(out_);
  }
  put("\n");
  line_open_ = false;
  std::fflush(out_);
  return line;
}

std::optional<std::string> TerminalConsole::do_read_line(int max_len) {
  if (input_is_terminal_ && raw_terminal::active()) return read_typed_line(max_len);
  std::fflush(out_);
  std::string line;
  int c;
  bool any = false;
  while ((c = next_byte()) != -1) {
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
    if (!output_is_terminal_) shown_ += line;
  }
  return line;
}

bool TerminalConsole::byte_within(int ms) {
  if (buffer_pos_ < buffer_.size()) return true;
  struct pollfd p {in_fd_, POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

int TerminalConsole::read_raw_key() {
  if (pushed_back_ >= 0) return decode_key(std::exchange(pushed_back_, -1));
  if (buffer_pos_ >= buffer_.size()) {
    // Sleep until a key arrives or interrupt_key_read wakes us.
    struct pollfd p[2] = {{in_fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    for (;;) {
      int n = poll(p, wake_[0] >= 0 ? 2 : 1, -1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return kKeyEndOfInput;
      if (p[1].revents & POLLIN) {
        char drain[16];
        while (read(wake_[0], drain, sizeof drain) > 0) {
        }
        return kKeyInterrupted;
      }
      break;
    }
  }
  // Raw input delivers what is there; read it byte by byte.
  int c;
  if (buffer_pos_ < buffer_.size()) {
    c = static_cast<unsigned char>(buffer_[buffer_pos_++]);
  } else {
    unsigned char byte;
    ssize_t n;
    do n = read(in_fd_, &byte, 1);
    while (n < 0 && errno == EINTR);
    if (n <= 0) return kKeyEndOfInput;
    c = byte;
  }
  return decode_key(c);
}

int TerminalConsole::decode_key(int c) {
  auto more = [this]() -> int {
    if (!byte_within(30)) return -1;
    if (buffer_pos_ < buffer_.size()) return static_cast<unsigned char>(buffer_[buffer_pos_++]);
    unsigned char byte;
    return read(in_fd_, &byte, 1) == 1 ? byte : -1;
  };
  switch (c) {
    case 127: return 8;   // the Backspace key of most terminals
    case '\n': return 13;
    case 27: {
      // A lone Esc, or the start of a cursor or function key sequence.
      int next = more();
      if (next < 0) return 27;
      if (next != '[' && next != 'O') {
        pushed_back_ = next;  // Esc typed quickly before another key
        return 27;
      }
      std::string params;
      int final = -1;
      for (int i = 0; i < 16; ++i) {
        int b = more();
        if (b < 0) break;
        if (b >= 0x40 && b <= 0x7E) {
          final = b;
          break;
        }
        params.push_back(static_cast<char>(b));
      }
      // Modifiers ("1;5D" for Ctrl-Left) do not change what a key does.
      switch (final) {
        case 'A': return 26;  // cursor up: recall back, as Ctrl-Z
        case 'B': return 24;  // cursor down: recall forward, as Ctrl-X
        case 'C': return kKeyRight;
        case 'D': return kKeyLeft;
        case 'H': return kKeyHome;
        case 'F': return kKeyEnd;
        case '~': {
          // "n~" keys, n before any modifier: Home and End as the Linux
          // console (1, 4) and rxvt (7, 8) send them.
          const int n = std::atoi(params.c_str());
          if (n == 1 || n == 7) return kKeyHome;
          if (n == 4 || n == 8) return kKeyEnd;
          if (n == 3) return kKeyDelete;
          if (n == 5) return kKeyPageUp;
          if (n == 6) return kKeyPageDown;
          return kKeyOther;
        }
        default: return kKeyOther;
      }
    }
    default:
      return c;
  }
}

int TerminalConsole::do_read_key() {
  if (key_mode_ && input_is_terminal_) return read_raw_key();
  std::fflush(out_);
  int c = next_byte();
  return c < 0 ? kKeyEndOfInput : c;
}

std::optional<std::string> TerminalConsole::do_pause(std::string_view message) {
  do_record(message);
  return do_read_line(75);
}

}  // namespace verto
