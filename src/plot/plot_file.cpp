#include "plot/plot_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

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

// Writes the plot file's bytes to `fd` from its current position; a
// regular file is then cut where they end. False when a write failed.
bool write_plot(const PlotModel& model, int fd, bool postscript, bool background) {
  bool failed;
  {
    RecordWriter out(fd);
    render(model, *file_device(out, postscript, background));
    out.flush();
    failed = out.failed();
  }
  if (failed) return false;
  // An existing file is written over in place, which spares the system
  // freeing its pages and blocks and taking new ones; what is left of a
  // longer old plot is cut off.
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return true;
  const off_t end = lseek(fd, 0, SEEK_CUR);
  return end >= 0 && ftruncate(fd, end) == 0;
}

}  // namespace

FileResult write_plot_file(const PlotModel& model, bool postscript, bool over,
                           bool background, const std::filesystem::path& dir) {
  int fd = -1;
  std::string name;
  constexpr int kFlags = O_WRONLY | O_CREAT | O_CLOEXEC;
  if (over) {
    name = plot_file_name(0, postscript);
    fd = ::open((dir / name).c_str(), kFlags, 0666);
    if (fd < 0) return {FileStatus::CannotOpen, name};
  } else {
    for (int n = 0; n < kPlotFileNames && fd < 0; ++n) {
      name = plot_file_name(n, postscript);
      // O_EXCL: created here, never an existing file.
      fd = ::open((dir / name).c_str(), kFlags | O_EXCL, 0666);
      if (fd < 0 && errno != EEXIST) return {FileStatus::CannotOpen, name};
    }
    if (fd < 0) return {FileStatus::NoFreeName, {}};
  }

  struct Closer {
    int fd;
    ~Closer() {
      if (fd >= 0) ::close(fd);
    }
  } closer{fd};
  bool failed = !write_plot(model, fd, postscript, background);
  closer.fd = -1;
  if (::close(fd) != 0) failed = true;
  if (failed) {
    // A half-written plot (a full disk) is removed rather than left behind
    // looking like a plot; anything but a plain file is left alone.
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / name, ec)))
      std::filesystem::remove(dir / name, ec);
    return {FileStatus::WriteFailed, name};
  }
  return {FileStatus::Written, name};
}

}  // namespace verto::plot
