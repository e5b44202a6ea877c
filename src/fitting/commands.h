#pragma once
// The fitting commands.
namespace verto {
struct Session;
void cmd_fit(Session& s);      // FIT
void cmd_regress(Session& s);  // REGRESS
}  // namespace verto
