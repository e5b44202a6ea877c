#pragma once
// The source of command lines for the command loop.
#include <optional>
#include <string>

namespace verto {
struct Session;
// Shows the ">" prompt on a fresh line and returns the next line typed
// (at most 70 characters); nullopt at end of input.
std::optional<std::string> read_command_line(Session& s);
}  // namespace verto
