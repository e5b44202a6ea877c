#pragma once
// Commands that move data between the data sets and files or the
// keyboard: READ (LOAD, IN...), WRITE (WR, SAV, OUT), ENTER and LIST
// (SHOW, L...).
namespace verto {
struct Session;
void cmd_read(Session& s);
void cmd_write(Session& s);
void cmd_enter(Session& s);
void cmd_list(Session& s);

// Called by WRITE after each block it puts into its file; null normally.
// Tests slow a write down with it to close VERTO in the middle of one.
extern void (*write_block_hook)();
}  // namespace verto
