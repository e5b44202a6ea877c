#pragma once
// The console as the core sees it: records, prompts, overwrites of the
// current line, line and key input, and a pause. The terminal, the test
// recorder and the window front-end implement the protected hooks.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numeric/status.h"

namespace verto {

// Key codes of read_key beyond the characters themselves.
constexpr int kKeyEndOfInput = -1;   // no more input
constexpr int kKeyInterrupted = -2;  // interrupt_key_read was called
constexpr int kKeyPageDown = 0x151;  // keys without a character code
constexpr int kKeyPageUp = 0x149;
constexpr int kKeyLeft = 0x14B;      // cursor keys that move within the typed line
constexpr int kKeyRight = 0x14D;
constexpr int kKeyHome = 0x147;
constexpr int kKeyEnd = 0x14F;
constexpr int kKeyDelete = 0x153;    // deletes the character under the cursor
constexpr int kKeyOther = 0x100;     // any other function or cursor key

// The standard 16-colour palette of the console's text and of the plot
// windows, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 16> kStandardPalette = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

// Palette indices used by the console.
constexpr int kColourRed = 4;
constexpr int kColourLightBlue = 9;
constexpr int kColourWhite = 15;

class Console {
 public:
  virtual ~Console() = default;

  // A new line holding `text`; the cursor stays at its end until the next
  // record starts another line.
  void record(std::string_view text) {
    last_overwrite_valid_ = false;
    do_record(text);
  }
  // A new line holding `text`, the cursor kept after it ("$" prompts).
  void prompt(std::string_view text) {
    last_overwrite_valid_ = false;
    do_prompt(text);
  }
  // `text` written over the current line from its first column ("1H+").
  // A repeat of the previous overwrite with nothing written in between is
  // dropped: activity marks written per evaluated token cost a compare.
  void overwrite(std::string_view text) {
    if (last_overwrite_valid_ && text == last_overwrite_) return;
    remember_overwrite(text);
  }
  // `text` appended at the cursor (echo of a typed character).
  void append(std::string_view text) {
    last_overwrite_valid_ = false;
    do_append(text);
  }
  // Reads a line of at most `max_len` characters typed after the current
  // prompt; the line shows on the console as typed. nullopt at end of input.
  std::optional<std::string> read_line(int max_len) {
    last_overwrite_valid_ = false;
    return do_read_line(max_len);
  }
  // One key without echo; -1 at end of input.
  int read_key() { return do_read_key(); }
  // Shows `message` and waits until the user enters a line, which shows
  // after the message as typed; gives back that line (nullopt at end of
  // input).
  std::optional<std::string> pause(std::string_view message) {
    last_overwrite_valid_ = false;
    return do_pause(message);
  }
  // True when a user types at a keyboard (key-by-key input is possible).
  virtual bool interactive() const { return false; }
  // True when programs that VERTO starts cannot write to this console's
  // screen themselves (a window): their output is passed through it.
  virtual bool shows_program_output() const { return false; }

  // Key-at-a-time input without echo (on) or line input (off). The line
  // editor switches it on while it reads the keys of one line.
  virtual void set_key_mode(bool /*on*/) {}
  // Ends the current line and sends out what was written, so that text
  // another program writes to the same screen starts on a line of its own.
  virtual void end_line() {}
  // Makes a read_key blocked on another thread return kKeyInterrupted
  // soon. Safe to call from any thread; a wake-up that finds no reader
  // may end the next read_key early, so readers treat it as "look again".
  virtual void interrupt_key_read() {}
  // Text colour as an index of the standard 16-colour palette
  // (kColourRed, kColourLightBlue, kColourWhite); ignored where the
  // console shows no colours.
  virtual void set_text_colour(int /*palette_index*/) {}
  // Title of the console window.
  virtual void set_title(std::string_view /*title*/) {}

 protected:
  virtual void do_record(std::string_view text) = 0;
  virtual void do_prompt(std::string_view text) = 0;
  virtual void do_overwrite(std::string_view text) = 0;
  virtual void do_append(std::string_view text) = 0;
  virtual std::optional<std::string> do_read_line(int max_len) = 0;
  virtual int do_read_key() = 0;
  virtual std::optional<std::string> do_pause(std::string_view message) = 0;

 private:
  void remember_overwrite(std::string_view text);
  std::string last_overwrite_;
  bool last_overwrite_valid_ = false;
};

// Shows what a kernel met as a pause, once for each time it met it, and
// gives back whether the kernel succeeded.
inline bool report(Console& con, const Status& st) {
  for (int i = 0; i < st.times; ++i) con.pause(st.message);
  return st.ok;
}

}  // namespace verto
