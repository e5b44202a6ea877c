#pragma once
// Commands of the workspace itself.
#include <string_view>

namespace verto {
struct Session;
void cmd_exit(Session& s);   // QUIT and EXIT
void cmd_echo(Session& s);
void cmd_cls(Session& s);
void cmd_clear(Session& s);

void cmd_form(Session& s);   // FORM [n][,v], FORM ?, FORM H
void cmd_make(Session& s);   // MAKE n: Npts changes by n
void cmd_set(Session& s);    // SET[/LINE] N=..., M=..., C=...
void cmd_edit(Session& s);   // EDIT[/C|/L] through the scratch file
void cmd_dir(Session& s);    // DIR and LS
void cmd_cd(Session& s);     // CD directory
void cmd_shell(Session& s);  // $command
void cmd_yo(Session& s);     // YO, YOYO and YO!
void cmd_help(Session& s);   // HELP and "?": summary, topic or math help

// The listing of DIR: "Directory of " with the current directory, one line
// per entry in name order, and the number of entries with " Files". READ ?
// shows the same listing.
void list_directory(Session& s);

// The hidden sayings: number 1..kNumSayings, empty text outside.
constexpr int kNumSayings = 28;
std::string_view saying(int number);
}  // namespace verto
