#pragma once
// Process services beyond the console: starting external programs,
// environment lookups and the current directory. The real implementation
// uses the operating system; tests and fuzz targets use a fake that never
// starts anything.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verto {

// Where the output of a program run for the console goes.
class ProgramOutput {
 public:
  virtual ~ProgramOutput() = default;
  // One line of its standard output or error, as it arrives.
  virtual void line(std::string_view text) = 0;
  // Asked while the program runs: true ends it.
  virtual bool stop() { return false; }
};

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // Runs a command line through the system shell and waits; false when it
  // could not be started.
  virtual bool run_shell(std::string_view command) = 0;
  // The same with the program's standard output and error passed to `out`
  // line by line while it runs, and nothing on its standard input: for a
  // console that is a window, which the program cannot write to.
  virtual bool run_shell_captured(std::string_view command, ProgramOutput& out) {
    (void)out;
    return run_shell(command);
  }
  // Starts the user's text editor on `path` and waits until it exits.
  virtual bool run_editor(std::string_view path) = 0;
  virtual std::optional<std::string> getenv(std::string_view name) = 0;
  virtual bool change_directory(std::string_view path) = 0;
  virtual std::string current_directory() = 0;
};

// The operating system's services.
SystemServices& os_services();

}  // namespace verto

namespace verto {

// Services that start nothing and stay in the current directory: for
// tests and fuzzing. Calls are remembered so tests can check them.
class InertSystemServices : public SystemServices {
 public:
  bool run_shell(std::string_view command) override {
    shell_commands.emplace_back(command);
    return false;
  }
  bool run_editor(std::string_view path) override {
    edited_files.emplace_back(path);
    return false;
  }
  std::optional<std::string> getenv(std::string_view name) override {
    auto it = environment.find(std::string(name));
    if (it == environment.end()) return std::nullopt;
    return it->second;
  }
  bool change_directory(std::string_view path) override {
    directories.emplace_back(path);
    return false;
  }
  std::string current_directory() override { return "."; }

  std::vector<std::string> shell_commands, edited_files, directories;
  std::map<std::string, std::string> environment;  // what getenv finds
};

}  // namespace verto
