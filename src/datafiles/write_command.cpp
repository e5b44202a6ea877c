// WRITE (WR, SAV, OUT): points or line points into a data file in the
// layout of the current form, so that READ in the same form reads them
// back unchanged.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "datafiles/commands.h"
#include "datafiles/file_names.h"
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

// Writes a regular file through a temporary file in the same directory
// that replaces the target only once everything was written and closed,
// so a failed write never destroys an existing file. A target that exists
// and is not a regular file (a device, a FIFO, a socket, or a link to
// one) is written directly: renaming over it would replace it.
class SafeFile {
 public:
  explicit SafeFile(const std::string& target) {
    std::error_code ec;
    fs::path path(target);
    if (fs::is_symlink(path, ec)) {
      fs::path resolved = fs::weakly_canonical(path, ec);
      if (!ec) path = resolved;
    }
    target_ = path;
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    if (existed && !S_ISREG(st.st_mode)) {
      direct_ = true;
      fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
      if (fd_ >= 0 && !(file_ = ::fdopen(fd_, "wb"))) ::close(fd_);
      return;
    }
    fs::path dir = path.parent_path();
    const std::string leaf = "." + path.filename().string() + ".verto-";
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      temp_ = dir / (leaf + std::to_string(::getpid()) + "-" + std::to_string(attempt));
      fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) return;
    // The new file keeps the permissions of the one it replaces.
    if (existed && S_ISREG(st.st_mode)) ::fchmod(fd_, st.st_mode & 07777);
    file_ = ::fdopen(fd_, "wb");
    if (!file_) {
      ::close(fd_);
      ::unlink(temp_.c_str());
      fd_ = -1;
    }
  }
  ~SafeFile() {
    if (file_) {
      std::fclose(file_);
      if (!direct_) ::unlink(temp_.c_str());
    }
  }
  bool ok() const { return file_ != nullptr && good_; }
  void write(const std::string& data) {
    if (file_ && good_ && !data.empty())
      good_ = std::fwrite(data.data(), 1, data.size(), file_) == data.size();
  }
  // Closes the temporary file and puts it in place of the target.
  bool commit() {
    if (!file_) return false;
    bool done = good_ && std::fflush(file_) == 0;
    done = std::fclose(file_) == 0 && done;
    file_ = nullptr;
    if (direct_) return done;
    if (done) done = ::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!done) ::unlink(temp_.c_str());
    return done;
  }

 private:
  fs::path target_, temp_;
  int fd_ = -1;
  std::FILE* file_ = nullptr;
  bool good_ = true;
  bool direct_ = false;  // written in place, not renamed over
};

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

  SafeFile out(name);
  if (!out.ok()) {
    con.record("<<<VERTO!!!>>> Error writing to file!!!");
    return;
  }
  if (!line_data && (ws.form == 0 || ws.form == 5 || ws.form == 6)) {
    ws.form = 4;
    con.record("<<<VERTO!!!>>> Warning! Unknown output format, Form 4 assumed.");
    write_formatted(con, "(1X,A,A)", {"format:   ", form_name(ws.form)});
  }

  std::string buffer;
  buffer.reserve(1 << 16);
  for (int i = n1; i <= n2; ++i) {
    if (line_data)
      append_line_record(buffer, ws, 3, i);  // LX LY in every form
    else
      append_point_record(buffer, ws, ws.form, i);
    buffer += '\n';
    if (buffer.size() > (1 << 16) - 256) {
      out.write(buffer);
      buffer.clear();
      if (write_block_hook) write_block_hook();
      // VERTO is closing: the temporary file goes, the target stays as it was.
      if (s.closing.load(std::memory_order_acquire)) {
        s.abandoned = true;
        con.record("<<<VERTO!!!>>> VERTO is closing: " + name + " was not written.");
        return;
      }
    }
  }
  out.write(buffer);
  if (out.commit()) {
    note_file(s, FileUse::Written, name);
    if (s.closing.load(std::memory_order_acquire)) con.record(" " + name + " written.");
  } else {
    con.record("<<<VERTO!!!>>> Error writing to file!!!");
  }
}

}  // namespace verto
