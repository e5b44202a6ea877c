#pragma once
// The program's one main loop.
namespace verto {

struct Session;

// Reads lines through the line editor and runs them until QUIT/EXIT or the
// end of input.
void run_command_loop(Session& s);

}  // namespace verto
