#pragma once
// Start-up: VERTO.INI (defaults through the environment variable VERTO,
// then the macro pass), the program arguments, the console title, the
// banner, the welcome text and the start-up READ.
#include <span>
#include <string>
#include <string_view>

namespace verto {

class Console;
struct Session;
struct DefaultsGroup;
struct MacroTable;

struct StartupOptions {
  // Wait for a key after the banner. Only ever done on a console where a
  // user types (Console::interactive); scripts and pipes never wait.
  bool wait_after_banner = true;
};

// Runs the whole start-up in its order and leaves the session ready for
// the command loop (a data file named as an argument has been read).
void run_startup(Session& s, MacroTable& macros, std::span<const std::string> arguments,
                 const StartupOptions& options = {});

// The pieces, in the order run_startup calls them.

// Reads VERTO.INI as far as the environment allows: the DEFAULTS group
// when VERTO names its directory, then the macros (from the same file, or
// from the current directory without VERTO). Applies the defaults and the
// clobber and marker settings to the session; the macros go to `macros`.
void read_verto_ini(Session& s, MacroTable& macros);
// Applies a DEFAULTS group that was read: default form and variable, plot
// mode string, and the clobber and marker flags (-1 off, 1 on, anything
// else leaves them as they are). Values outside their range are ignored
// with a message.
void apply_defaults(Session& s, const DefaultsGroup& g);
// /F=n, /V=c, /M=mode and data file names. Returns the name the start-up
// READ reads: empty, the one file, or "***File_List***" after writing two
// or more names to VTDATA.TMP.
std::string apply_arguments(Session& s, std::span<const std::string> arguments);
// The splash banner, ending with the "Hit [PageDown] key to continue" line.
void print_banner(Console& con);

extern const char* const kFileListName;  // "***File_List***"

}  // namespace verto
