#include "plot/plot_file.h"

#include <cerrno>
#include <cstdio>

#include "plot/file_devices.h"
#include "plot/render.h"

namespace verto::plot {

std::string plot_file_name(int n, bool postscript) {
  const char c = n < 9 ? static_cast<char>('1' + n) : static_cast<char>('A' + (n - 9));
  std::string name = "VERTO";
  name += c;
  name += postscript ? ".PS" : ".HPG";
  return name;
}

namespace {

struct FileCloser {
  std::FILE* f;
  ~FileCloser() {
    if (f) std::fclose(f);
  }
};

}  // namespace

FileResult write_plot_file(const PlotModel& model, bool postscript, bool over,
                           bool background, const std::filesystem::path& dir) {
  std::FILE* file = nullptr;
  std::string name;
  if (over) {
    name = plot_file_name(0, postscript);
    file = std::fopen((dir / name).c_str(), "w");
    if (!file) return {FileStatus::CannotOpen, name};
  } else {
    for (int n = 0; n < kPlotFileNames && !file; ++n) {
      name = plot_file_name(n, postscript);
      errno = 0;
      // "x": created here, never an existing file.
      file = std::fopen((dir / name).c_str(), "wx");
      if (!file && errno != EEXIST) return {FileStatus::CannotOpen, name};
    }
    if (!file) return {FileStatus::NoFreeName, {}};
  }

  FileCloser closer{file};
  bool failed;
  {
    RecordWriter out(file);
    render(model, *file_device(out, postscript, background));
    out.flush();
    failed = out.failed();
  }
  closer.f = nullptr;
  if (std::fclose(file) != 0) failed = true;
  if (failed) return {FileStatus::WriteFailed, name};
  return {FileStatus::Written, name};
}

}  // namespace verto::plot
