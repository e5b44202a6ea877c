#pragma once
// VERTO.INI: the namelist group DEFAULTS and the macro definitions.
//
//   &DEFAULTS  IFORM_DEF=3, IVAR_DEF=2
//              PLOT_MODE_DEF='/M=VGA'   ! comments run to the end of the line
//              I_CLOBBER=1, I_MARKER=-1 /
//   @SETUP
//   2
//   FORM 3
//   READ %1%
#include <string>
#include <string_view>

namespace verto {

class Console;
struct MacroTable;

// The variables of the DEFAULTS group. A key that is not given keeps the
// value it had before the read.
struct DefaultsGroup {
  int iform_def = 5;
  int ivar_def = 1;
  std::string plot_mode_def = "/M=VGA";  // at most 20 characters
  // Overwrite protection stays on unless I_CLOBBER=-1 is written out, so
  // a missing key never lets WRITE replace files silently.
  int i_clobber = 0;
  int i_marker = 0;
  int i_notify = 0;
};

// Reads the group DEFAULTS in namelist notation: "&DEFAULTS" (any case,
// first on its line), key=value items separated by commas, blanks or line
// breaks, ended by "/" (or "&END"). Integers may carry a sign; texts are
// quoted with ' or " (a doubled quote stands for itself); a key may be
// repeated (the last value counts); an empty value or "r*" leaves the key
// as it was; "!" starts a comment. Lines before the group are skipped.
// Returns false, leaving `group` unchanged, when the group is missing or
// cannot be read (an unknown key, a malformed value, no end).
bool read_defaults_namelist(std::string_view text, DefaultsGroup& group);

// The macro pass over the whole file, read as lines of 75 characters: an
// "@" line names a macro (upper case, 20 characters), the next line holds
// its number of command lines, then come the lines. Prints "Loaded macro
// command: " for each macro, the long-macro warning from 16 lines, and
// stops with the read error from 26 lines or on an unreadable count. The
// end of the text ends the pass (a macro cut short is not loaded). Returns
// false when the pass stopped with the read error.
bool load_macros(std::string_view text, MacroTable& table, Console& con);

extern const char* const kIniErrorMessage;  // "... Error reading VERTO.INI, using defaults"

}  // namespace verto
