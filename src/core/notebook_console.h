#pragma once
// The notebook hooked into a session: a console that shows everything on
// another console and writes each finished screen line into the notebook,
// with the command lines as they run and the files commands read and
// write (SessionRecord), and window services that pass every picture they
// present on to it. The notebook is written out whenever the console
// waits for input, so it is complete after every command.
#include <memory>
#include <string>

#include "core/notebook.h"
#include "core/session_record.h"
#include "core/tee_console.h"
#include "core/window_services.h"

namespace verto {

class NotebookConsole : public TeeConsole, public SessionRecord {
 public:
  // nullptr with `error` set when the notebook cannot be opened (see
  // Notebook::open); the header holds the date, folder and version now.
  static std::unique_ptr<NotebookConsole> open(Console& shown, const std::string& path,
                                               std::string& error);
  ~NotebookConsole() override;

  void set_key_mode(bool on) override;
  void command(std::string_view line) override;
  void file(FileUse use, std::string_view name) override;
  // A picture a window showed, after the lines written before it.
  void picture(std::string_view caption, const PictureData& picture);

 protected:
  void line_finished(std::string_view line, bool typed) override;
  std::optional<std::string> do_read_line(int max_len) override;
  std::optional<std::string> do_pause(std::string_view message) override;

 private:
  NotebookConsole(Console& shown, std::unique_ptr<Notebook> nb)
      : TeeConsole(shown), nb_(std::move(nb)) {}
  // Writes the notebook out; the first failure is told on the console.
  void write_out();

  std::unique_ptr<Notebook> nb_;
  bool failure_told_ = false;
};

// Window services that pass each presented picture to the notebook.
class NotebookWindows : public WindowServices {
 public:
  NotebookWindows(WindowServices& target, NotebookConsole& notebook)
      : t_(target), nb_(notebook) {}

  std::optional<CellSize> largest_cells(ChildWindow w) override { return t_.largest_cells(w); }
  std::optional<CellSize> current_cells(ChildWindow w) override { return t_.current_cells(w); }
  PixelSize frame_pixels() override { return t_.frame_pixels(); }
  bool open(ChildWindow w, std::string_view title) override { return t_.open(w, title); }
  bool configure(ChildWindow w, WindowConfig& request) override {
    return t_.configure(w, request);
  }
  void place(ChildWindow w, int col, int row, int cols, int rows) override {
    t_.place(w, col, row, cols, rows);
  }
  void close(ChildWindow w, bool keep) override { t_.close(w, keep); }
  GraphicsWindow* graphics(ChildWindow w) override { return t_.graphics(w); }
  std::string present(ChildWindow w) override;
  void focus(ChildWindow w) override { t_.focus(w); }
  int wait_key(ChildWindow w) override { return t_.wait_key(w); }
  PictureData snapshot(ChildWindow w) override { return t_.snapshot(w); }

 private:
  WindowServices& t_;
  NotebookConsole& nb_;
};

}  // namespace verto
