// The operating system's process services.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "workspace/system.h"

namespace verto {

namespace {

bool on_path(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string p(path);
  std::size_t start = 0;
  while (start <= p.size()) {
    auto end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    std::string candidate = p.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::string shell_quote(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

class OsServices : public SystemServices {
 public:
  bool run_shell(std::string_view command) override {
    std::string cmd(command);
    return std::system(cmd.c_str()) != -1;
  }
  bool run_editor(std::string_view path) override {
    std::string editor;
    for (const char* var : {"VISUAL", "EDITOR"}) {
      const char* v = std::getenv(var);
      if (v && *v) {
        editor = v;
        break;
      }
    }
    if (editor.empty()) {
      for (const char* e : {"sensible-editor", "editor", "nano", "vi"}) {
        if (on_path(e)) {
          editor = e;
          break;
        }
      }
    }
    if (editor.empty()) return false;
    std::string cmd = editor + " " + shell_quote(path);
    int rc = std::system(cmd.c_str());
    return rc != -1;
  }
  std::optional<std::string> getenv(std::string_view name) override {
    const char* v = std::getenv(std::string(name).c_str());
    if (!v) return std::nullopt;
    return std::string(v);
  }
  bool change_directory(std::string_view path) override {
    return chdir(std::string(path).c_str()) == 0;
  }
  std::string current_directory() override {
    char buf[4096];
    if (!getcwd(buf, sizeof buf)) return {};
    return buf;
  }
};

}  // namespace

SystemServices& os_services() {
  static OsServices services;
  return services;
}

}  // namespace verto
