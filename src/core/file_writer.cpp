#include "core/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>
#include <optional>

namespace verto {

namespace fs = std::filesystem;

namespace {

// The temporary file being written, for remove_unfinished_write.
std::mutex g_temp_mutex;
std::string g_temp_path;

void set_unfinished(const std::string& path) {
  std::lock_guard lock(g_temp_mutex);
  g_temp_path = path;
}

// The file a name finally stands for: symbolic links followed one by one
// (relative ones from the link's own folder), whether or not the last one
// names an existing file. nullopt for a loop of links.
std::optional<fs::path> resolve_links(const std::string& name) {
  fs::path path(name);
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return std::nullopt;
    fs::path next(std::string(buffer, static_cast<std::size_t>(n)));
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

bool write_all(int fd, std::string_view data, off_t offset) {
  while (!data.empty()) {
    const ssize_t n = ::pwrite(fd, data.data(), data.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
    offset += n;
  }
  return true;
}

bool append_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A device, FIFO or socket (or a link to one): written as it is.
FileWrite write_special(const fs::path& path, std::string_view data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return FileWrite::Failed;
  bool ok = append_all(fd, data);
  ok = ::close(fd) == 0 && ok;
  return ok ? FileWrite::InPlace : FileWrite::Failed;
}

// An existing regular file overwritten in place. Room for a longer text is
// claimed first, so a full disk is found before the old text changes.
FileWrite write_in_place(const fs::path& path, std::string_view data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return FileWrite::Failed;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  const auto size = static_cast<off_t>(data.size());
  if (ok && size > st.st_size) {
    const int r = ::fallocate(fd, 0, st.st_size, size - st.st_size);
    ok = r == 0 || errno == EOPNOTSUPP || errno == ENOSYS;
  }
  ok = ok && write_all(fd, data, 0) && ::ftruncate(fd, size) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok ? FileWrite::InPlace : FileWrite::Failed;
}

// Closes the descriptor of a temporary file when a write leaves early, and
// removes the file unless it was put in place.
struct TempFile {
  int fd = -1;
  std::string path;
  bool kept = false;
  ~TempFile() {
    if (fd >= 0) ::close(fd);
    if (!path.empty() && !kept) ::unlink(path.c_str());
    if (!path.empty()) set_unfinished({});
  }
};

}  // namespace

FileWrite write_whole_file(const std::string& target, std::string_view data) {
  const std::optional<fs::path> resolved = resolve_links(target);
  if (!resolved) return FileWrite::Failed;
  const fs::path& path = *resolved;

  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return write_special(path, data);
  // Other names of the same file would keep the old text after a rename.
  if (exists && st.st_nlink > 1) return write_in_place(path, data);

  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  TempFile temp;
  const std::string leaf = "." + path.filename().string() + ".verto-";
  for (int attempt = 0; attempt < 100 && temp.fd < 0; ++attempt) {
    temp.path = (dir / (leaf + std::to_string(::getpid()) + "-" + std::to_string(attempt))).string();
    temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (temp.fd < 0 && errno != EEXIST) break;
  }
  if (temp.fd < 0) {
    temp.path.clear();
    // A folder that takes no new file: the file the user may write is
    // written in place; a new file cannot be made at all.
    if (exists && ::access(path.c_str(), W_OK) == 0) return write_in_place(path, data);
    return FileWrite::Failed;
  }
  set_unfinished(temp.path);
  if (exists) {
    // The new file keeps the owner (where permitted) and mode of the old.
    [[maybe_unused]] const int owned = ::fchown(temp.fd, st.st_uid, st.st_gid);
    ::fchmod(temp.fd, st.st_mode & 07777);
  }
  bool ok = append_all(temp.fd, data);
  ok = ::close(temp.fd) == 0 && ok;
  temp.fd = -1;
  if (!ok || ::rename(temp.path.c_str(), path.c_str()) != 0) return FileWrite::Failed;
  temp.kept = true;
  return FileWrite::Replaced;
}

void remove_unfinished_write() {
  std::lock_guard lock(g_temp_mutex);
  if (!g_temp_path.empty()) ::unlink(g_temp_path.c_str());
  g_temp_path.clear();
}

}  // namespace verto
