// EDIT, DIR/LS, CD and "$": the commands that reach outside VERTO.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/records.h"
#include "workspace/commands.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/scratch_file.h"
#include "core/session.h"

namespace verto {

namespace fs = std::filesystem;

namespace {

enum class EditTarget { Points, Columns, Line };

// Writes the chosen data set to the scratch file, one free-format record
// per point; false when the file could not be written completely.
bool write_scratch(const Workspace& ws, EditTarget target) {
  std::ofstream out(kScratchFile, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string record;
  switch (target) {
    case EditTarget::Columns:
      for (int i = 1; i <= ws.Mpts; ++i) out << row_record(ws, i) << '\n';
      break;
    case EditTarget::Line:
      for (int i = 1; i <= ws.Nline; ++i) out << line_record(ws, ws.form, i) << '\n';
      break;
    case EditTarget::Points:
      for (int i = 1; i <= ws.Npts; ++i) {
        record = point_record(ws, ws.form, i);
        if (!record.empty()) out << record << '\n';
      }
      break;
  }
  out.close();
  return !out.fail();
}

}  // namespace

void cmd_edit(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view qualifiers = std::string_view(ws.upper).substr(0, 68);
  EditTarget target = EditTarget::Points;
  if (qualifiers.find("/C") != std::string_view::npos)
    target = EditTarget::Columns;
  else if (qualifiers.find("/L") != std::string_view::npos)
    target = EditTarget::Line;

  // Forms 0, 5 and 6 have no point layout: points would be emptied and never
  // come back, so they are edited in form 4, as WRITE writes them.
  if (target == EditTarget::Points && ws.Npts > 0 &&
      (ws.form == 0 || ws.form == 5 || ws.form == 6)) {
    ws.form = 4;
    s.con.record("<<<VERTO!!!>>> Warning! Unknown output format, Form 4 assumed.");
    write_formatted(s.con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  }

  if (!write_scratch(ws, target)) {
    // Nothing has been emptied: the data stay where they are.
    s.con.record("<<<VERTO!!!>>> Error writing to file!!!");
    return;
  }
  if (target == EditTarget::Columns) {
    ws.Mpts = 0;
    ws.form = 6;
  } else if (target == EditTarget::Points) {
    ws.Npts = 0;
    ws.point_markers.count = 0;
  }
  // The line is emptied by the LINE command that reads it back.
  s.con.end_line();
  if (!s.system.run_editor(kScratchFile))
    s.con.record("<<<VERTO!!!>>> No text editor could be started; the data are read back unchanged.");
  dispatch(s, std::string(target == EditTarget::Line ? "LINE " : "LOAD ") + kScratchFile);
}

namespace {

// One "(1X,A80)" line: the text stands left in its 80 columns, as a
// blank-padded 80-character name does.
void print_a80(Session& s, std::string text) {
  text.resize(80, ' ');
  write_formatted(s.con, "(1X,A80)", {text});
}

}  // namespace

void list_directory(Session& s) {
  const std::string dir = s.system.current_directory();
  print_a80(s, "Directory of " + dir);
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end;
       it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) print_a80(s, name);
  s.con.record(free_record({static_cast<int>(names.size()), " Files"}));
}

void cmd_dir(Session& s) { list_directory(s); }

void cmd_cd(Session& s) {
  const int arg = argument_start(s.ws.upper);
  if (arg <= 0) return;
  // A directory that cannot be entered is left silently.
  s.system.change_directory(rest_of_line(s.ws.line, arg));
}

namespace {

// A program's output as console records: tabs expanded to stops of 8,
// other control characters left out; a carriage return starts the line
// again, as on a terminal.
class ConsoleProgramOutput : public ProgramOutput {
 public:
  explicit ConsoleProgramOutput(Session& s) : s_(s) {}
  void line(std::string_view text) override {
    if (auto cr = text.rfind('\r'); cr != std::string_view::npos) text.remove_prefix(cr + 1);
    std::string shown;
    for (char c : text) {
      if (c == '\t') shown.append(8 - shown.size() % 8, ' ');
      else if (static_cast<unsigned char>(c) >= 32 && c != 127) shown.push_back(c);
    }
    s_.con.record(shown);
  }
  bool stop() override { return s_.closing.load(std::memory_order_acquire); }

 private:
  Session& s_;
};

}  // namespace

void cmd_shell(Session& s) {
  const std::string command = rest_of_line(s.ws.line, 2);
  if (trim_right(command).empty()) return;
  if (s.con.shows_program_output()) {
    ConsoleProgramOutput out(s);
    s.system.run_shell_captured(command, out);
    return;
  }
  // The typed line ends before the program writes to the same screen.
  s.con.end_line();
  s.system.run_shell(command);
}

}  // namespace verto
