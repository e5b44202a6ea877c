#include "core/workspace.h"

#include <algorithm>

#include "core/console.h"
#include "core/format.h"
#include "core/page_memory.h"

namespace verto {

const char* const kVersionText = "Version 5.3";
const char* const kVersionSuffix = "-Win 3.0";

Workspace::Workspace()
    : arrays_(static_cast<float*>(map_pages(kArrayFloats * sizeof(float)))) {
  std::span<float> all(arrays_, kArrayFloats);
  for (std::span<float>* a : {&X, &Y, &S, &LX, &LY, &LZ}) {
    *a = all.first(kMaxNpts);
    all = all.subspan(kMaxNpts);
  }
  columns = all;
}

Workspace::~Workspace() { unmap_pages(arrays_, kArrayFloats * sizeof(float)); }

Workspace::Workspace(const Workspace& other) : Workspace() { *this = other; }

Workspace& Workspace::operator=(const Workspace& other) {
  if (this != &other) {
    WorkspaceValues::operator=(other);
    std::copy(other.arrays_, other.arrays_ + kArrayFloats, arrays_);
  }
  return *this;
}

std::string_view form_name(int form) {
  static constexpr std::string_view names[8] = {
      "user form", "(X)      ", "(X,S)    ", "(X,Y)    ",
      "(X,Y,S)  ", "auto form", "multi-col", "(X,Y,Z)  "};
  if (form < 0 || form > 7) return "?????????";
  return names[form];
}

char variable_letter(const Workspace& ws, int variable) {
  if (variable < 1 || variable > 3) return '?';
  return ws.variable_letters[variable - 1];
}

static bool add_marker(MarkerList& list, Console& con, int index,
                       std::string_view label, std::string_view what) {
  if (list.count >= kMaxMarkers) {
    con.record(std::string("<<<VERTO!!!>>> Too many ") + std::string(what) +
               " markers (max 100); no marker added.");
    return false;
  }
  Marker& m = list.entries[list.count++];
  m.index = index;
  m.label.assign(label.substr(0, kLabelLength));
  return true;
}

bool add_point_marker(Workspace& ws, Console& con, int index,
                      std::string_view label) {
  return add_marker(ws.point_markers, con, index, label, "point");
}

bool add_line_marker(Workspace& ws, Console& con, int index,
                     std::string_view label) {
  return add_marker(ws.line_markers, con, index, label, "line");
}

void print_welcome(const Workspace& ws, Console& con) {
  con.record("");
  con.record("");
  con.record("");
  con.record(" Welcome to VERTO!");
  // The 12-character version text and the 12-character suffix.
  std::string version(kVersionText);
  version.resize(12, ' ');
  version += kVersionSuffix;
  version.resize(24, ' ');
  con.record(" " + version);
  con.record("");
  write_formatted(con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  write_formatted(con, "(1X,A,A)",
                  {"variable: ", std::string_view(&ws.variable_letters[ws.variable - 1], 1)});
  con.record("");
  con.record("");
}

void reset_workspace(Workspace& ws, Console& con) {
  ws.Nline = 0;
  ws.Npts = 0;
  ws.Mpts = 0;
  ws.point_markers.count = 0;
  ws.line_markers.count = 0;
  ws.form = ws.default_form;
  ws.variable = ws.default_variable;
  ws.plot_mode = ws.plot_mode_startup;
  ws.startup_file.clear();
  print_welcome(ws, con);
}

}  // namespace verto
