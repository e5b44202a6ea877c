#pragma once
// The console line editor: the ">" prompt, key-by-key echo, Backspace,
// Esc, recall of the last 30 lines (Ctrl-Z back, Ctrl-X forward), macro
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

// Replaces the last "%1%" of a macro line by `argument` (when there is
// one) and cuts the result to 70 characters.
std::string substitute_argument(std::string_view macro_line, std::string_view argument);

}  // namespace verto
