#include "core/notebook.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace verto {

namespace {

// The end of every notebook; a new session is written where it begins.
constexpr std::string_view kDocumentEnd = "</main>\n</body>\n</html>\n";

// The page's look. No script, and a policy that lets the page load
// nothing from anywhere: pictures are inline or data: URIs.
constexpr std::string_view kDocumentHead =
    "<!DOCTYPE html>\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\"/>\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "img-src data:; style-src 'unsafe-inline'\"/>\n"
    "<meta name=\"generator\" content=\"VERTO\"/>\n"
    "<title>VERTO notebook</title>\n"
    "<style>\n"
    "body{font-family:sans-serif;color:#111;background:#fff;max-width:62em;margin:1em auto;"
    "padding:0 1em}\n"
    "section.session{border-top:3px solid #335;margin:0 0 2em;padding-top:.5em}\n"
    "header h1{font-size:1.3em;margin:0 0 .3em}\n"
    "dl.about{display:grid;grid-template-columns:max-content auto;gap:.1em 1em;margin:0 0 1em}\n"
    "dl.about dt{font-weight:bold}\n"
    "dl.about dd{margin:0;font-family:monospace}\n"
    "div.entry{margin:.8em 0}\n"
    "details.startup summary{color:#555;cursor:pointer}\n"
    "pre{margin:0;font-family:'DejaVu Sans Mono',monospace;font-size:.9em;overflow-x:auto}\n"
    "pre.in{font-weight:bold;color:#124}\n"
    "pre.out{background:#f3f3ee;border-left:3px solid #bbb;padding:.2em .6em}\n"
    "figure{margin:.5em 0}\n"
    "figure svg,figure img{display:block;width:100%;max-width:48em;height:auto;"
    "border:1px solid #777}\n"
    "figcaption{font-size:.85em;color:#555}\n"
    "ul.files{font-size:.9em;color:#333;margin:.3em 0;padding-left:1.5em}\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<main>\n";

constexpr std::size_t kWriteAfter = 1 << 16;  // pending bytes that make a write

bool write_all(int fd, std::string_view data, long long at) {
  while (!data.empty()) {
    const ssize_t n = ::pwrite(fd, data.data(), data.size(), static_cast<off_t>(at));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
    at += n;
  }
  return true;
}

// Where a new session starts in the file open as `fd`: 0 for an empty
// file, the start of kDocumentEnd for a notebook, -1 for anything else.
long long session_start(int fd) {
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  if (st.st_size == 0) return 0;
  if (st.st_size < static_cast<off_t>(kDocumentEnd.size())) return -1;
  std::string end(kDocumentEnd.size(), '\0');
  const off_t at = st.st_size - static_cast<off_t>(end.size());
  if (::pread(fd, end.data(), end.size(), at) != static_cast<ssize_t>(end.size())) return -1;
  return end == kDocumentEnd ? static_cast<long long>(at) : -1;
}

int open_file(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

std::string problem(const std::string& path, int fd) {
  if (fd < 0) return "cannot write the notebook " + path + ": " + std::strerror(errno);
  if (session_start(fd) < 0) return path + " is not a VERTO notebook; give a new file name";
  return {};
}

}  // namespace

void append_escaped_html(std::string& out, std::string_view text) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default:
          if (c < 0x20 && c != '\t' && c != '\n') out += kReplacement;
          else if (c == 0x7F) out += kReplacement;
          else out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // A multi-byte sequence: its length, the smallest code point it may
    // stand for (no overlong forms) and the code point itself.
    std::size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? (c <= 0xEF ? 3 : 0) : c >= 0xC2 ? 2 : 0;
    char32_t cp = len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
    bool ok = len != 0 && i + len <= n;
    for (std::size_t k = 1; ok && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (ok) {
      const char32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
      ok = cp >= least && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0xFFFE &&
           cp != 0xFFFF && !(cp >= 0x80 && cp <= 0x9F);
    }
    if (ok) {
      out.append(text.substr(i, len));
      i += len;
    } else {
      out += kReplacement;
      ++i;
    }
  }
}

namespace {

std::string escaped(std::string_view text) {
  std::string out;
  append_escaped_html(out, text);
  return out;
}

void append_base64(std::string& out, std::string_view data) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const auto* s = reinterpret_cast<const unsigned char*>(data.data());
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const unsigned v = (s[i] << 16) | (s[i + 1] << 8) | s[i + 2];
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (const std::size_t rest = data.size() - i; rest > 0) {
    const unsigned v = (s[i] << 16) | (rest == 2 ? s[i + 1] << 8 : 0);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
}

bool contains_script(std::string_view svg) {
  std::string lower(svg);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.find("<script") != std::string::npos ||
         lower.find("<foreignobject") != std::string::npos;
}

}  // namespace

std::string Notebook::check(const std::string& path) {
  const int fd = open_file(path);
  std::string p = problem(path, fd);
  if (fd >= 0) ::close(fd);
  return p;
}

std::unique_ptr<Notebook> Notebook::open(const std::string& path, const About& about,
                                         std::string& error) {
  const int fd = open_file(path);
  error = problem(path, fd);
  if (!error.empty()) {
    if (fd >= 0) ::close(fd);
    return nullptr;
  }
  const long long start = session_start(fd);
  std::unique_ptr<Notebook> nb(new Notebook(fd, start));
  if (start == 0) nb->pending_ = kDocumentHead;
  std::string& p = nb->pending_;
  p += "<section class=\"session\">\n<header><h1>VERTO session</h1>\n<dl class=\"about\">";
  p += "<dt>Date</dt><dd>" + escaped(about.date) + "</dd>";
  p += "<dt>Folder</dt><dd>" + escaped(about.folder) + "</dd>";
  p += "<dt>Version</dt><dd>" + escaped(about.version) + "</dd></dl></header>\n";
  // What start-up shows (banner, welcome text) is there, but folded away.
  p += "<details class=\"startup\"><summary>Start-up</summary>\n";
  nb->block_ = Block::Startup;
  nb->write();
  if (nb->failed()) {
    error = "cannot write the notebook " + path;
    return nullptr;
  }
  return nb;
}

Notebook::~Notebook() {
  close_entry();
  write();
  ::close(fd_);
}

void Notebook::close_pre() {
  if (!pre_open_) return;
  pending_ += "</pre>\n";
  pre_open_ = false;
}

void Notebook::append_closing(std::string& out, bool pre_open, const std::vector<Note>& notes,
                              Block block) {
  if (pre_open) out += "</pre>\n";
  if (!notes.empty()) {
    out += "<ul class=\"files\">";
    for (const Note& n : notes) {
      out += n.use == FileUse::Read ? "<li>read <code>" : "<li>written <code>";
      append_escaped_html(out, n.name);
      out += "</code></li>";
    }
    out += "</ul>\n";
  }
  if (block == Block::Startup) out += "</details>\n";
  if (block == Block::Entry) out += "</div>\n";
}

void Notebook::close_entry() {
  append_closing(pending_, pre_open_, notes_, block_);
  pre_open_ = false;
  block_ = Block::None;
  notes_.clear();
}

// The closing tags of what is open, the files noted so far included.
std::string Notebook::tail() const {
  std::string t;
  append_closing(t, pre_open_, notes_, block_);
  t += "</section>\n";
  t += kDocumentEnd;
  return t;
}

void Notebook::entry(std::string_view prompt_line) {
  close_entry();
  pending_ += "<div class=\"entry\">\n<pre class=\"in\">";
  append_escaped_html(pending_, prompt_line);
  pending_ += "</pre>\n";
  block_ = Block::Entry;
}

void Notebook::output(std::string_view line) {
  if (!pre_open_) {
    // No line break right after the tag: HTML drops it, XML would not.
    pending_ += "<pre class=\"out\">";
    pre_open_ = true;
  }
  append_escaped_html(pending_, line);
  pending_ += '\n';
  if (pending_.size() > kWriteAfter) write();
}

void Notebook::file(FileUse use, std::string_view name) {
  notes_.push_back({use, std::string(name)});
}

void Notebook::picture(std::string_view caption, std::string_view mime, std::string_view data) {
  if (data.empty()) return;
  close_pre();
  pending_ += "<figure class=\"picture\">";
  const std::size_t svg = mime == "image/svg+xml" ? data.find("<svg") : std::string_view::npos;
  if (svg != std::string_view::npos && !contains_script(data)) {
    // The document itself, without its XML declaration.
    pending_.append(data.substr(svg));
  } else {
    pending_ += "<img alt=\"";
    append_escaped_html(pending_, caption);
    pending_ += "\" src=\"data:";
    append_escaped_html(pending_, mime);
    pending_ += ";base64,";
    append_base64(pending_, data);
    pending_ += "\"/>";
  }
  pending_ += "<figcaption>";
  append_escaped_html(pending_, caption);
  pending_ += "</figcaption></figure>\n";
}

void Notebook::write() {
  if (failed_ || fd_ < 0) return;
  const std::string t = tail();
  std::string data;
  data.reserve(pending_.size() + t.size());
  data += pending_;
  data += t;
  if (!write_all(fd_, data, end_)) {
    failed_ = true;
    return;
  }
  // A shorter end than before (it never is by much) leaves no old bytes.
  const long long file_end = end_ + static_cast<long long>(data.size());
  struct stat st{};
  if (::fstat(fd_, &st) == 0 && st.st_size > file_end) {
    if (::ftruncate(fd_, static_cast<off_t>(file_end)) != 0) failed_ = true;
  }
  end_ += static_cast<long long>(pending_.size());
  pending_.clear();
}

}  // namespace verto
