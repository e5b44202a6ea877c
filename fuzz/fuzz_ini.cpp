// Feeds arbitrary text as VERTO.INI: the DEFAULTS namelist reader, the
// macro pass, and then a call of every loaded macro through the line
// editor, so that argument substitution and nested expansion run on
// whatever the file defines. Expansion must always end: a call that
// produces more lines than the macro table can hold is a fault.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/command_table.h"
#include "app/line_editor.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "app/startup.h"
#include "core/system.h"
#include "app/verto_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static verto::MemoryConsole con;
  static verto::InertSystemServices sys;
  static verto::Session s(con, sys, verto::command_table());
  con.set_discard(true);

  std::string_view text(reinterpret_cast<const char*>(data), size);
  verto::DefaultsGroup group;
  if (verto::read_defaults_namelist(text, group)) verto::apply_defaults(s, group);
  if (s.ws.default_form < 0 || s.ws.default_form > 7 || s.ws.default_variable < 1 ||
      s.ws.default_variable > 3 || s.ws.plot_mode_startup.size() > 20)
    std::abort();

  static verto::LineEditor ed;
  ed.macros.count = 0;
  ed.pending_count = 0;
  ed.saved_text.clear();
  verto::load_macros(text, ed.macros, con);

  for (int m = 0; m < ed.macros.count; ++m) {
    con.add_input(ed.macros.entries[m].name + " some argument");
    int lines = 0;
    while (auto line = verto::read_command_line(s, ed)) {
      if (line->size() > 70) std::abort();
      // Every macro may appear once in a chain of calls.
      if (++lines > verto::kMaxMacros * verto::kMaxMacroLines + 1) std::abort();
    }
  }
  return 0;
}
