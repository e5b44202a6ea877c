#include "app/startup.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"
#include "app/verto_ini.h"

namespace verto {

const char* const kFileListName = "***File_List***";

namespace {

constexpr std::size_t kMaxIniSize = 1 << 20;  // VERTO.INI is a few lines

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buffer[4096];
  while (in && text.size() < kMaxIniSize) {
    in.read(buffer, sizeof buffer);
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return text;
}

// Block letters of the program's name, 16 lines drawn with "X" and a ":"
// shadow, then a small peak on its axes with the version beside it.
constexpr const char* kLetters[16] = {
    "XX     XX   XXXXXXXXX   XXXXXXXX    XXXXXXXXX    XXXXXXX",
    "XX:    XX:  XXXXXXXXX:  XX:::::XX   XXXXXXXXX:  XX:::::XX",
    "XX:    XX:  XX::::::::  XX:    XX:   ::XXX::::  XX:    XX:",
    "XX:    XX:  XX:         XX:    XX:     XXX:     XX:    XX:",
    "XX:    XX:  XX:         XX:    XX:     XXX:     XX:    XX:",
    "XX:    XX:  XX:         XX:    XX:     XXX:     XX:    XX:",
    "XX:    XX:  XX:         XX:    XX:     XXX:     XX:    XX:",
    "XX:    XX:  XXXXXXX     XXXXXXXX::     XXX:     XX:    XX:",
    "XX:    XX:  XX::::::    XX::XX:::      XXX:     XX:    XX:",
    " XX   XX::  XX:         XX:  XX:       XXX:     XX:    XX:",
    " XX:  XX:   XX:         XX:   XX:      XXX:     XX:    XX:",
    "  XX XX::   XX:         XX:    XX:     XXX:     XX:    XX:",
    "  XX:XX:    XX:         XX:    XX:     XXX:     XX:    XX:",
    "   XXX::    XXXXXXXXX   XX:    XX:     XXX:     XX:    XX:",
    "   XXX:     XXXXXXXXX:  XX:    XX:     XXX:      XXXXXXX::",
    "    :::      :::::::::   ::     ::      :::       :::::::",
};
constexpr const char* kPeak[3] = {
    "XX           :::",
    "XX         ::   ::",
    "XX   ::::::       ::::::",
};
constexpr const char* kAxis[2] = {
    "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX",
    " ::::::::::::::::::::::::::::::::::::::::::::::::::::::::::",
};
constexpr const char* kIndent = "          ";  // (10X,A)

void wait_for_key(Console& con) {
  con.set_key_mode(true);
  int key;
  do key = con.read_key();
  while (key == kKeyInterrupted);
  con.set_key_mode(false);
}

}  // namespace

void print_banner(Console& con) {
  con.record("");
  con.record("");
  con.set_text_colour(kColourRed);
  for (const char* line : kLetters) con.record(std::string(kIndent) + line);
  con.record(std::string(kIndent) + kPeak[0]);
  con.record(std::string(kIndent) + kPeak[1]);
  con.prompt(std::string(kIndent) + kPeak[2]);
  con.set_text_colour(kColourLightBlue);
  std::string version(kVersionText);
  version.resize(12, ' ');
  con.append(std::string(11, ' ') + version);
  con.set_text_colour(kColourRed);
  for (const char* line : kAxis) con.record(std::string(kIndent) + line);
  con.set_text_colour(kColourWhite);
  con.record("");
  con.record("");
  con.record("                        Hit [PageDown] key to continue");
}

void apply_defaults(Session& s, const DefaultsGroup& g) {
  Workspace& ws = s.ws;
  if (g.iform_def >= 0 && g.iform_def <= 7)
    ws.default_form = g.iform_def;
  else
    s.con.record("<<<VERTO!!!>>> VERTO.INI: IFORM_DEF must be 0 to 7; " +
                 std::to_string(g.iform_def) + " ignored.");
  if (g.ivar_def >= 1 && g.ivar_def <= 3)
    ws.default_variable = g.ivar_def;
  else
    s.con.record("<<<VERTO!!!>>> VERTO.INI: IVAR_DEF must be 1 to 3; " +
                 std::to_string(g.ivar_def) + " ignored.");
  ws.plot_mode_startup = g.plot_mode_def.substr(0, 20);
  ws.plot_mode = ws.plot_mode_startup;
  if (g.i_clobber == -1) ws.clobber = 0;
  else if (g.i_clobber == 1) ws.clobber = 1;
  if (g.i_marker == -1) ws.auto_marker = 0;
  else if (g.i_marker == 1) ws.auto_marker = 1;
}

void read_verto_ini(Session& s, MacroTable& macros) {
  std::string path = "VERTO.INI";
  if (auto dir = s.system.getenv("VERTO")) {
    // The value is a directory prefix that ends with a path separator.
    path = std::string(trim_right(*dir)) + "VERTO.INI";
    DefaultsGroup g;
    g.iform_def = s.ws.default_form;
    g.ivar_def = s.ws.default_variable;
    g.plot_mode_def = s.ws.plot_mode_startup;
    auto text = read_file(path);
    if (!text || !read_defaults_namelist(*text, g)) {
      s.con.record(kIniErrorMessage);
      return;
    }
    apply_defaults(s, g);
  }
  auto text = read_file(path);
  if (!text) {
    s.con.record(kIniErrorMessage);
    return;
  }
  load_macros(*text, macros, s.con);
}

std::string apply_arguments(Session& s, std::span<const std::string> arguments) {
  std::vector<std::string> files;
  for (const std::string& arg : arguments) {
    std::string upper = to_upper(arg);
    if (upper.rfind("/F=", 0) == 0) {
      if (upper.size() > 3 && upper[3] >= '0' && upper[3] <= '7' && upper[3] != '6')
        s.ws.default_form = upper[3] - '0';
    } else if (upper.rfind("/V=", 0) == 0) {
      if (upper.size() > 3) {
        if (upper[3] == 'X') s.ws.default_variable = 1;
        else if (upper[3] == 'Y') s.ws.default_variable = 2;
        else if (upper[3] == 'S') s.ws.default_variable = 3;
      }
    } else if (upper.rfind("/M=", 0) == 0) {
      s.ws.plot_mode_startup = arg.substr(0, 20);
      s.ws.plot_mode = s.ws.plot_mode_startup;
    } else if (!arg.empty() && arg[0] != '/') {
      files.push_back(arg);
    }
  }
  if (files.empty()) return {};
  if (files.size() == 1) return files.front();
  // Two or more: the list goes through the scratch file, one "(1X,A70)"
  // record per name, and READ loads every file it names.
  std::ofstream out("VTDATA.TMP", std::ios::binary | std::ios::trunc);
  for (const std::string& name : files) {
    std::string record = " " + name.substr(0, kLabelLength);
    record.resize(1 + kLabelLength, ' ');
    out << record << '\n';
  }
  if (!out) {
    s.con.record("<<<VERTO!!!>>> Error writing to file!!!");
    return {};
  }
  return kFileListName;
}

void run_startup(Session& s, MacroTable& macros, std::span<const std::string> arguments,
                 const StartupOptions& options) {
  read_verto_ini(s, macros);
  std::string startup_read = apply_arguments(s, arguments);
  s.ws.startup_file = startup_read;

  s.con.set_title("VERTO! Console");
  print_banner(s.con);
  if (options.wait_after_banner && s.con.interactive()) wait_for_key(s.con);

  reset_workspace(s.ws, s.con);  // also drops ws.startup_file, as CLEAR does
  if (!startup_read.empty()) {
    write_formatted(s.con, "(1X,A,A)", {"reading data from ", startup_read});
    dispatch(s, "Read " + startup_read);
  }
}

}  // namespace verto
