// The operating system's process services.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/system.h"
#include "window/raw_terminal.h"

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

// std::system's status: false when the command could not be started at
// all (no shell, or the shell did not find the program).
bool started(int status) {
  if (status == -1) return false;
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

// Starts the first word of `command` as a program with the other
// blank-separated words as its arguments, and waits for it.
bool run_program(std::string_view command) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < command.size()) {
    auto start = command.find_first_not_of(" \t", pos);
    if (start == std::string_view::npos) break;
    auto end = command.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = command.size();
    words.emplace_back(command.substr(start, end - start));
    pos = end;
  }
  if (words.empty()) return false;
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) == -1)
    if (errno != EINTR) return false;
  return true;
}

class OsServices : public SystemServices {
 public:
  bool run_shell(std::string_view command) override {
    std::fflush(nullptr);  // console text first, then the program's output
    const raw_terminal::SavedModeScope normal_terminal;
    std::string cmd(command);
    // Without a working shell, the first word is started as a program. A
    // command that ran is never started a second time, whatever it returned.
    if (std::system(nullptr) != 0 && std::system(cmd.c_str()) != -1) return true;
    return run_program(command);
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
    // The plain editors found on the system need a terminal to talk to; with
    // input from a script they would eat the script's lines.
    if (editor.empty() && isatty(STDIN_FILENO)) {
      for (const char* e : {"sensible-editor", "editor", "nano", "vim", "vi", "mg", "ed"}) {
        if (on_path(e)) {
          editor = e;
          break;
        }
      }
    }
    if (editor.empty()) return false;
    // The editor text may carry options ("code --wait"); the file name is
    // always passed quoted, as one argument.
    std::string cmd = editor + " " + shell_quote(path);
    std::fflush(nullptr);
    const raw_terminal::SavedModeScope normal_terminal;
    return started(std::system(cmd.c_str()));
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
