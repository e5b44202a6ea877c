#pragma once
// The lab notebook: one self-contained HTML file that grows while VERTO
// runs. Each session is a section with a header (date, working folder,
// version) and the start-up output, collapsed; each command is an entry with its prompt, its output as
// preformatted text, the pictures it drew (inline SVG, or a PNG as a data:
// URI) and the files it read and wrote. Every text is escaped; the file
// needs no script, no network and no other file to be read.
//
// The file is a whole, well-formed document after every write: new
// content is written over the closing tags at the end of the file,
// followed by the closing tags of whatever is open at that moment, in one
// write. A process killed between two writes therefore leaves a complete
// document up to the last write, which the console makes before it waits
// for input (that is, after every command). An existing notebook (a file
// ending with the closing tags a notebook ends with) is continued: the new
// session follows the earlier ones.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/session_record.h"

namespace verto {

class Notebook {
 public:
  struct About {
    std::string date, folder, version;
  };

  // Opens `path` for a new session; nullptr with `error` set when it cannot
  // be written or is a file other than a notebook.
  static std::unique_ptr<Notebook> open(const std::string& path, const About& about,
                                        std::string& error);
  // What keeps `path` from being a notebook (empty when nothing does);
  // creates the file when it is missing.
  static std::string check(const std::string& path);
  ~Notebook();
  Notebook(const Notebook&) = delete;
  Notebook& operator=(const Notebook&) = delete;

  // A new entry that starts with a line holding a prompt (">LIST").
  void entry(std::string_view prompt_line);
  // A line of output in the current entry (or before the first one).
  void output(std::string_view line);
  void file(FileUse use, std::string_view name);
  // A picture: `mime` "image/svg+xml" (an SVG document, put inline) or
  // "image/png" (the image bytes); `caption` names the window.
  void picture(std::string_view caption, std::string_view mime, std::string_view data);
  // Writes what came since the last write, then the closing tags.
  void write();
  // True once a write failed (a full disk); later writes are not tried.
  bool failed() const { return failed_; }

 private:
  Notebook(int fd, long long end) : fd_(fd), end_(end) {}
  void close_pre();
  void close_entry();
  std::string tail() const;

  int fd_;
  long long end_;        // where the closing tags of the file begin
  std::string pending_;  // written at the next write()
  // What is open: the start-up block (collapsed) or a command's entry.
  enum class Block { None, Startup, Entry } block_ = Block::None;
  bool pre_open_ = false;
  struct Note {
    FileUse use;
    std::string name;
  };
  std::vector<Note> notes_;  // files of the current entry, listed at its end
  static void append_closing(std::string& out, bool pre_open, const std::vector<Note>& notes,
                             Block block);
  bool failed_ = false;
};

// `text` with the characters that mean something in HTML written as
// entities, malformed UTF-8 and control characters as U+FFFD.
void append_escaped_html(std::string& out, std::string_view text);

}  // namespace verto
