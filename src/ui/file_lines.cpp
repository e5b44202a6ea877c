#include "ui/file_lines.h"

#include <filesystem>

namespace verto::ui {

namespace {

bool fits(std::string_view prefix, const std::string& text) {
  return !text.empty() && prefix.size() + text.size() <= static_cast<std::size_t>(kCommandLineLength);
}

// The shorter of the path as it stands and relative to `base`.
std::string shortest(const std::filesystem::path& path, std::string_view base) {
  std::string best = path.generic_string();
  if (!base.empty() && path.is_absolute()) {
    const std::filesystem::path rel = path.lexically_relative(std::filesystem::path(base));
    const std::string r = rel.generic_string();
    if (!r.empty() && r.size() < best.size()) best = r;
  }
  return best;
}

}  // namespace

void close_file_dialog(FileSelection& sel, bool ok, std::string_view typed) {
  // The whole name is kept: cutting a long path would name another file.
  const std::string name = field(typed, static_cast<int>(typed.size()));
  if (ok && name.find_first_not_of(' ') != std::string::npos) {
    sel.name = name;
    sel.mode = FileSelection::kRead;
  } else {
    sel.mode = FileSelection::kNone;
  }
}

QueuedLines file_item_lines(std::string_view prefix, const FileSelection& sel,
                            std::string_view current_dir) {
  if (sel.mode != FileSelection::kRead) return blank_line(false);
  // A file of the current directory (or near it) is named relative to it,
  // as a user would type it.
  const std::filesystem::path path = std::filesystem::path(sel.name).lexically_normal();
  const std::string rel = shortest(path, current_dir);
  if (fits(prefix, rel)) return one_line(std::string(prefix) + rel, false);

  const std::string base = path.filename().generic_string();
  const std::string dir = shortest(path.parent_path(), current_dir);
  if (fits("CD ", dir) && fits(prefix, base)) {
    return {{"CD " + dir, std::string(prefix) + base}, false};
  }
  return {{std::string(kPathTooLong)}, false};
}

std::vector<QueuedLines> dropped_file_lines(const std::vector<std::string>& paths,
                                            std::string_view current_dir) {
  std::vector<QueuedLines> out;
  std::string dir(current_dir);
  for (const std::string& path : paths) {
    const FileSelection sel{FileSelection::kRead, path};
    QueuedLines lines = file_item_lines(kReadPrefix, sel, dir);
    if (lines.lines.size() > 1)  // "CD dir" first: later names start from there
      dir = std::filesystem::path(path).lexically_normal().parent_path().generic_string();
    out.push_back(std::move(lines));
  }
  return out;
}

}  // namespace verto::ui
