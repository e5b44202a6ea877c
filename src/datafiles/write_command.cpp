// WRITE (WR, SAV, OUT): points or line points into a data file in the
// layout of the current form, so that READ in the same form reads them
// back unchanged.
#include <algorithm>
#include <filesystem>
#include <string>

#include "datafiles/commands.h"
#include "datafiles/file_names.h"
#include "core/file_writer.h"
#include "core/records.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"
#include "core/session_record.h"

namespace verto {

namespace fs = std::filesystem;

void (*write_block_hook)() = nullptr;

namespace {

// The clobber question; true when the file may be written.
bool may_overwrite(Session& s, bool override_flag) {
  write_formatted(s.con, "(1X,A,A,$)",
                  {"<<<VERTO!!!>>> File already exists! ", "Overwrite it? (Y/N) : "});
  if (override_flag) {
    s.con.append("YES-override!");
    s.con.record("");
    return true;
  }
  auto answer = s.con.read_line(60);
  if (!answer) return false;
  auto c = answer->find_first_not_of(' ');
  return c != std::string::npos && ((*answer)[c] == 'Y' || (*answer)[c] == 'y');
}

}  // namespace

void cmd_write(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const int argument = argument_start(ws.upper);
  const std::string quals = qualifier_line(ws.upper, argument);
  const std::string_view scan = std::string_view(quals).substr(0, 68);
  const bool line_data = scan.find("/L") != std::string_view::npos;
  const bool override_flag = scan.find('!') != std::string_view::npos;

  // The range runs over the data set written: N is its count.
  const auto [n1, n2] = parse_range(s, quals, line_data ? ws.Nline : ws.Npts, ws.Mpts);
  parse_form(s, quals, ws.form);

  auto given = file_name_argument(s, argument);
  if (!given) return;
  std::string name = std::move(*given);
  if (name.empty()) {
    con.record("<<<VERTO!!!>>> Error writing to file!!!");
    return;
  }

  std::error_code ec;
  if (ws.clobber && fs::exists(name, ec) && !may_overwrite(s, override_flag)) return;

  // Forms without a file layout are written as form 4, which becomes the
  // current form once the file is written.
  const bool form_assumed = !line_data && (ws.form == 0 || ws.form == 5 || ws.form == 6);
  const int form = form_assumed ? 4 : ws.form;

  // The whole text is made first, so that a file written in place is
  // touched only when everything is ready.
  std::string text;
  text.reserve(static_cast<std::size_t>(std::clamp(n2 - n1 + 1, 0, kMaxNpts)) * 40);
  std::size_t block_end = 1 << 16;
  for (int i = n1; i <= n2; ++i) {
    if (line_data)
      append_line_record(text, ws, 3, i);  // LX LY in every form
    else
      append_point_record(text, ws, form, i);
    text += '\n';
    if (text.size() >= block_end) {
      block_end += 1 << 16;
      if (write_block_hook) write_block_hook();
      // VERTO is closing: nothing is written, the target stays as it was.
      if (s.closing.load(std::memory_order_acquire)) {
        s.abandoned = true;
        con.record("<<<VERTO!!!>>> VERTO is closing: " + name + " was not written.");
        return;
      }
    }
  }
  if (write_whole_file(name, text) == FileWrite::Failed) {
    con.record("<<<VERTO!!!>>> Error writing to file!!!");
    return;
  }
  if (form_assumed) {
    ws.form = 4;
    con.record("<<<VERTO!!!>>> Warning! Unknown output format, Form 4 assumed.");
    write_formatted(con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  }
  note_file(s, FileUse::Written, name);
  if (s.closing.load(std::memory_order_acquire)) con.record(" " + name + " written.");
}

}  // namespace verto
