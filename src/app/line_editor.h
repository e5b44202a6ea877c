#pragma once
// The console line editor: the ">" prompt, key-by-key echo, Backspace,
// Esc, recall of the last 30 lines (Ctrl-Z back, Ctrl-X forward), cursor
// movement and deletion within the line (edit_typed_line), macro
// commands from VERTO.INI with "%1%" argument substitution, and the
// hand-over queue through which menus and dialogs (on another thread)
// push command lines.
// Its state lives in app/editor_state.h.
#include <optional>
#include <string>
#include <string_view>

#include "app/editor_state.h"

namespace verto {

struct Session;

// The next command line for the command loop (at most 70 characters, not
// padded); nullopt at end of input.
std::optional<std::string> read_command_line(Session& s, LineEditor& ed);

// The line being typed: its text, the cursor (0 .. text size, before the
// character it stands on) and the recall position in the history (1 the
// oldest entry .. count + 1, the new line).
struct TypedLine {
  std::string text;
  int cursor = 0;
  int recall = 1;
};

// What the console must redraw after a key changed the typed line.
struct LineRedraw {
  enum Kind {
    None,       // nothing changed
    Echo,       // one character added at the end: shown after the cursor
    Recall,     // a history entry replaced the text: erase, then the text
    NewPrompt,  // the line was dropped: erase, then a fresh prompt
    Line,       // the text changed: the whole text, `blanks` over what was removed
    Cursor,     // only the cursor moved
  } kind = None;
  int blanks = 0;
};

// Control keys that move or delete within the line (Tab, Enter, Esc,
// Backspace and recall are in keys::).
namespace edit_keys {
constexpr int kStartOfLine = 1;   // Ctrl-A, as Home
constexpr int kBack = 2;          // Ctrl-B, as cursor left
constexpr int kDeleteOrEnd = 4;   // Ctrl-D: deletes under the cursor; ends input on an empty line
constexpr int kEndOfLine = 5;     // Ctrl-E, as End
constexpr int kForward = 6;       // Ctrl-F, as cursor right
constexpr int kKillToEnd = 11;    // Ctrl-K
constexpr int kKillToStart = 21;  // Ctrl-U
constexpr int kKillWord = 23;     // Ctrl-W: the word before the cursor
}  // namespace edit_keys

// Applies one key to the typed line; it knows nothing of the console. Tab,
// Enter and the end of input are the caller's. Printable characters (and
// NUL, a blank on return) are inserted at the cursor while the text holds
// fewer than 70; other keys without an editing meaning change nothing.
LineRedraw edit_typed_line(TypedLine& line, int key, const History& history);

// Replaces the last "%1%" of a macro line by `argument` (when there is
// one) and cuts the result to 70 characters.
std::string substitute_argument(std::string_view macro_line, std::string_view argument);

}  // namespace verto
