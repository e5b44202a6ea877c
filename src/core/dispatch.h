#pragma once
// Dispatch and the shape of a command table. Every command is a plain
// function of the session; it reads its qualifiers and arguments from the
// session's line buffers (Workspace::line as typed, Workspace::upper in
// upper case) and reports through the console.
#include <span>
#include <string_view>

namespace verto {

struct Session;

using CommandFn = void (*)(Session&);

struct CommandEntry {
  std::string_view prefixes[3];  // alternatives; unused slots are empty
  std::string_view name;         // the command's name in messages and help
  CommandFn run;                 // nullptr: not available in this build
};

// A command table is in matching order: the first entry with a prefix that
// starts the upper-case line runs. The session carries the table it runs
// (Session::commands): the commands sit above this layer, the dispatch
// that every command may call to run a rebuilt line below it.

// The entry of `table` that runs the upper-case line, or nullptr for an
// unknown word.
const CommandEntry* find_command(std::span<const CommandEntry> table, std::string_view upper);

// Puts `text` into both line buffers (cut or blank-padded to 70
// characters, leading blanks shifted out) and runs it as if typed.
void dispatch(Session& s, std::string_view text);
// Runs the command in the line buffers as they stand (used by dispatch and
// by commands that rebuild their line after a prompt).
void dispatch_buffers(Session& s);
extern const char* const kNotAvailableMessage;

}  // namespace verto
