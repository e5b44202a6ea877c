#pragma once
// Commands of the workspace itself.
namespace verto {
struct Session;
void cmd_exit(Session& s);   // QUIT and EXIT
void cmd_echo(Session& s);
void cmd_cls(Session& s);
void cmd_clear(Session& s);
}  // namespace verto
