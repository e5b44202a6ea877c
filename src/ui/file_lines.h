#pragma once
// The file-selection state shared by the open and save items and the file
// dialog, and the command line an item builds from the chosen name.
#include <string>
#include <string_view>
#include <vector>

#include "ui/lines.h"

namespace verto::ui {

constexpr int kFileNameLength = 75;

struct FileSelection {
  static constexpr int kNone = 0, kRead = 1, kWrite = 3;
  // Set to kRead or kWrite before the dialog opens; after it closes, 1 when
  // a name was chosen and 0 otherwise.
  int mode = kNone;
  std::string name;  // the last chosen name, kept when the dialog is cancelled
};

// Closes the dialog: with OK and a non-blank name the name (trailing blanks
// cut; a path longer than the 75-character field is kept whole) replaces the chosen one and the mode becomes 1;
// otherwise the mode becomes 0 and the previous name stays.
void close_file_dialog(FileSelection& sel, bool ok, std::string_view typed);

// The lines of a file item once the dialog has closed: a blank line when no
// file was chosen, else `prefix` + the name, count -1; the name is written
// relative to `current_dir` when that is shorter. A name that makes the
// line longer than 70 characters is never cut (that would name another
// file): the item changes to the file's directory first ("CD " + directory,
// then the command with the bare name, count -2), and when even that does
// not fit it only echoes a message and reads or writes nothing.
QueuedLines file_item_lines(std::string_view prefix, const FileSelection& sel,
                            std::string_view current_dir);

// The prefix of "Open data...": files are read with "Read " + the name.
constexpr std::string_view kReadPrefix = "Read ";

// The lines that read files dropped on the frame (absolute paths), one
// hand-over per file in the order given, each as "Open data..." with that
// file chosen would hand it over. A file whose lines change the directory
// first makes the names of the files after it relative to that directory.
std::vector<QueuedLines> dropped_file_lines(const std::vector<std::string>& paths,
                                            std::string_view current_dir);

constexpr std::string_view kPathTooLong =
    "echo <<<VERTO!!!>>> File path too long for the command line.";

}  // namespace verto::ui
