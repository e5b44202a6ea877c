#pragma once
// The program's one main loop.
namespace verto {

struct Session;
struct LineEditor;

// Reads lines through the line editor and runs them until QUIT/EXIT or the
// end of input.
void run_command_loop(Session& s, LineEditor& ed);

}  // namespace verto
