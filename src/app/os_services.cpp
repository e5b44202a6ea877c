// The operating system's process services.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
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
std::vector<std::string> words_of(std::string_view command);

bool run_program(std::string_view command) {
  std::vector<std::string> words = words_of(command);
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

// Splits `command` into blank-separated words.
std::vector<std::string> words_of(std::string_view command) {
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
  return words;
}

// Starts `argv` in a process group of its own with standard input from
// /dev/null and standard output and error into a pipe; -1 when it cannot
// be started.
pid_t spawn_captured(std::vector<std::string> args, int& read_end) {
  if (args.empty()) return -1;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return -1;
  }
  read_end = fds[0];
  return pid;
}

// Passes what the program writes to `out` line by line until it has ended
// (a program it left running in the background may keep the pipe open: its
// later output is not waited for), or ends its process group when `out`
// asks to stop.
void relay_output(pid_t pid, int fd, ProgramOutput& out) {
  std::string pending;
  bool exited = false, stopping = false;
  std::chrono::steady_clock::time_point stop_sent;
  int status = 0;
  auto deliver_lines = [&] {
    for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
      out.line(std::string_view(pending).substr(0, nl));
      pending.erase(0, nl + 1);
    }
  };
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, exited ? 0 : 100);
    if (ready > 0) {
      char buf[4096];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n > 0) {
        pending.append(buf, static_cast<std::size_t>(n));
        deliver_lines();
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      break;  // the end of its output
    }
    if (ready < 0 && errno == EINTR) continue;
    if (exited) break;  // ended, and nothing more is waiting
    if (waitpid(pid, &status, WNOHANG) == pid) exited = true;
    if (!exited && !stopping && out.stop()) {
      stopping = true;
      stop_sent = std::chrono::steady_clock::now();
      kill(-pid, SIGTERM);
    } else if (stopping && !exited &&
               std::chrono::steady_clock::now() - stop_sent > std::chrono::seconds(2)) {
      kill(-pid, SIGKILL);  // it would not end
    }
  }
  if (!pending.empty()) out.line(pending);
  close(fd);
  if (!exited)
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
}

// Editors that work in a terminal and need one to talk to.
bool terminal_editor(std::string_view editor) {
  const std::vector<std::string> words = words_of(editor);
  if (words.empty()) return true;
  std::string name = words[0].substr(words[0].rfind('/') + 1);
  if (name == "emacs") {
    for (const auto& w : words)
      if (w == "-nw" || w == "-t" || w == "--no-window-system" || w == "--tty") return true;
    return false;  // opens a window of its own on a display
  }
  static const char* const kTerminalEditors[] = {
      "vi", "vim", "nvim", "view", "ex", "nano", "pico", "rnano", "ed", "red", "mg", "joe", "jed",
      "ne", "micro", "kak", "hx", "helix", "mcedit", "jove", "zile", "le", "sensible-editor",
      "editor", "emacsclient", "elvis", "nvi", "vis", "amp", "tilde", "dte"};
  for (const char* t : kTerminalEditors)
    if (name == t) return true;
  return false;
}

// The command line of the desktop's default editor for plain text, from
// the desktop entry that xdg-mime names (its Exec line, file codes replaced
// by `quoted_path`); empty when there is none.
std::string desktop_editor(const std::string& quoted_path) {
  FILE* query = popen("xdg-mime query default text/plain 2>/dev/null", "r");
  if (!query) return {};
  char buf[512] = {};
  std::string entry = fgets(buf, sizeof buf, query) ? buf : "";
  pclose(query);
  while (!entry.empty() && (entry.back() == '\n' || entry.back() == ' ')) entry.pop_back();
  if (entry.empty() || entry.find('/') != std::string::npos) return {};
  std::vector<std::string> dirs;
  if (const char* home = std::getenv("XDG_DATA_HOME"); home && *home) dirs.emplace_back(home);
  else if (const char* h = std::getenv("HOME"); h && *h) dirs.push_back(std::string(h) + "/.local/share");
  std::string data_dirs = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "";
  if (data_dirs.empty()) data_dirs = "/usr/local/share:/usr/share";
  std::stringstream list(data_dirs);
  for (std::string d; std::getline(list, d, ':');)
    if (!d.empty()) dirs.push_back(d);
  for (const std::string& d : dirs) {
    std::ifstream in(d + "/applications/" + entry);
    bool in_main_group = false;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == '[') in_main_group = line == "[Desktop Entry]";
      if (!in_main_group || line.rfind("Exec=", 0) != 0) continue;
      std::string exec = line.substr(5), out;
      bool file_given = false;
      for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%' || i + 1 >= exec.size()) {
          out += exec[i];
          continue;
        }
        const char code = exec[++i];
        if (code == '%') out += '%';
        else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
          out += quoted_path;
          file_given = true;
        }
      }
      if (!file_given) out += " " + quoted_path;
      return out;
    }
  }
  return {};
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
  bool run_shell_captured(std::string_view command, ProgramOutput& out) override {
    int fd = -1;
    pid_t pid = spawn_captured({"/bin/sh", "-c", std::string(command)}, fd);
    if (pid < 0) pid = spawn_captured(words_of(command), fd);
    if (pid < 0) return false;
    relay_output(pid, fd, out);
    return true;
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
    const bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    const bool display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                         (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
    // Without a terminal (started from the desktop's menu) an editor that
    // needs one cannot work: the desktop's own editor for plain text is
    // started instead.
    if (!terminal && display && (editor.empty() || terminal_editor(editor))) {
      std::string cmd = desktop_editor(shell_quote(path));
      if (cmd.empty()) return false;
      std::fflush(nullptr);
      return started(std::system(cmd.c_str()));
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
