#include "core/notebook_console.h"

#include <ctime>
#include <filesystem>

#include "core/parsers.h"
#include "core/workspace.h"

namespace verto {

namespace {

Notebook::About about_now() {
  Notebook::About about;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char date[64] = "";
  if (localtime_r(&now, &local)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S %Z", &local);
  about.date = date;
  std::error_code ec;
  about.folder = std::filesystem::current_path(ec).string();
  about.version = std::string("VERTO, Data Analysis Program, ") + kVersionText;
  return about;
}

// A line of the prompt alone (or blanked by the line editor).
bool bare_prompt(std::string_view line) { return trim_right(line) == ">"; }

}  // namespace

std::unique_ptr<NotebookConsole> NotebookConsole::open(Console& shown, const std::string& path,
                                                       std::string& error) {
  auto nb = Notebook::open(path, about_now(), error);
  if (!nb) return nullptr;
  return std::unique_ptr<NotebookConsole>(new NotebookConsole(shown, std::move(nb)));
}

NotebookConsole::~NotebookConsole() { finish_line(); }

void NotebookConsole::line_finished(std::string_view line, bool typed) {
  if (typed && bare_prompt(line)) return;
  nb_->output(line);
}

void NotebookConsole::command(std::string_view line) {
  if (line_open()) {
    if (line_typed()) {
      // The prompt line the command was typed on; another typed line (a
      // macro call whose lines now run) stays as an entry of its own.
      const std::string_view shown = trim_right(current_line());
      if (!bare_prompt(shown) && shown.substr(1) != trim_right(line)) nb_->entry(shown);
      forget_line();
    } else {
      finish_line();
    }
  }
  nb_->entry(">" + std::string(line));
}

void NotebookConsole::file(FileUse use, std::string_view name) { nb_->file(use, name); }

void NotebookConsole::picture(std::string_view caption, const PictureData& picture) {
  if (picture.bytes.empty()) return;
  if (line_open() && !line_typed()) finish_line();
  nb_->picture(caption, picture.mime, picture.bytes);
  write_out();
}

void NotebookConsole::write_out() {
  nb_->write();
  if (nb_->failed() && !failure_told_) {
    failure_told_ = true;
    record("<<<VERTO!!!>>> Cannot write the notebook; it ends here.");
  }
}

// Before every wait for input the notebook is brought up to date.
void NotebookConsole::set_key_mode(bool on) {
  if (on) write_out();
  TeeConsole::set_key_mode(on);
}

std::optional<std::string> NotebookConsole::do_read_line(int max_len) {
  write_out();
  return TeeConsole::do_read_line(max_len);
}

std::optional<std::string> NotebookConsole::do_pause(std::string_view message) {
  write_out();
  return TeeConsole::do_pause(message);
}

std::string NotebookWindows::present(ChildWindow w) {
  std::string saved = t_.present(w);
  nb_.picture(w == ChildWindow::Legend ? "Plot Legend" : "Plot", t_.snapshot(w));
  if (!saved.empty()) nb_.file(FileUse::Written, saved);
  return saved;
}

}  // namespace verto
