// Runs the program in a pseudo-terminal, types keys into it and reads the
// screen, and checks that the terminal gets its mode back however the
// program ends.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class PtyProgram {
 public:
  ~PtyProgram() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }

  // Starts the program on a fresh terminal in an empty directory.
  bool start(std::vector<std::string> args) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return false;
    std::string name = ptsname(master_);
    slave_ = open(name.c_str(), O_RDWR | O_NOCTTY);  // kept to look at the mode
    if (slave_ < 0 || tcgetattr(slave_, &initial_) != 0) return false;
    dir_ = fs::temp_directory_path() / ("verto-pty-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      setsid();
      int fd = open(name.c_str(), O_RDWR);  // becomes the controlling terminal
      if (fd < 0) _exit(126);
      dup2(fd, 0);
      dup2(fd, 1);
      dup2(fd, 2);
      if (chdir(dir_.c_str()) != 0) _exit(126);
      setenv("TERM", "xterm", 1);
      unsetenv("NO_COLOR");
      unsetenv("VERTO");
      std::vector<char*> argv;
      std::string program = VERTO_BINARY;
      argv.push_back(program.data());
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    return true;
  }

  void type(std::string_view keys) {
    [[maybe_unused]] auto n = write(master_, keys.data(), keys.size());
  }

  // Reads the screen until `text` has appeared after position `from`.
  bool wait_for(std::string_view text, std::size_t from = 0, int ms = 20000) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (screen_.find(text, from) == std::string::npos) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) return false;
      struct pollfd p {master_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char buf[4096];
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) return false;
      screen_.append(buf, static_cast<std::size_t>(n));
    }
    return true;
  }

  // Waits until the terminal is (or is no longer) in key-at-a-time mode.
  bool wait_for_raw(bool raw, int ms = 20000) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      if (((mode().c_lflag & ICANON) == 0) == raw) return true;
      drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  // Exit status after the program ended; -1 when it did not end in time.
  int wait_exit(int ms = 20000) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return status;
      }
      drain();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }

  void signal(int sig) { kill(pid_, sig); }

  struct termios mode() const {
    struct termios t {};
    tcgetattr(slave_, &t);
    return t;
  }
  bool mode_restored() const {
    struct termios now = mode();
    return now.c_lflag == initial_.c_lflag && now.c_iflag == initial_.c_iflag &&
           now.c_cc[VSUSP] == initial_.c_cc[VSUSP];
  }
  const std::string& screen() const { return screen_; }
  std::size_t seen() const { return screen_.size(); }

 private:
  void drain() {
    char buf[4096];
    struct pollfd p {master_, POLLIN, 0};
    while (poll(&p, 1, 0) > 0) {
      ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      screen_.append(buf, static_cast<std::size_t>(n));
    }
  }

  int master_ = -1, slave_ = -1;
  pid_t pid_ = -1;
  struct termios initial_ {};
  fs::path dir_;
  std::string screen_;
};

int count(const std::string& text, std::string_view what) {
  int n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST(TerminalSession, KeysAreEditedAndTheModeComesBack) {
  PtyProgram p;
  ASSERT_TRUE(p.start({}));
  ASSERT_TRUE(p.wait_for("Hit [PageDown] key to continue")) << p.screen();
  EXPECT_NE(p.screen().find("\033]0;VERTO! Console\007"), std::string::npos) << "the title";
  EXPECT_NE(p.screen().find("\033[31m"), std::string::npos) << "the banner is red";
  ASSERT_TRUE(p.wait_for_raw(true)) << "waiting for a key after the banner";
  EXPECT_EQ(p.screen().find("Welcome to VERTO!"), std::string::npos) << "nothing before the key";
  p.type("\033[6~");  // PageDown
  ASSERT_TRUE(p.wait_for("variable: X")) << p.screen();
  ASSERT_TRUE(p.wait_for_raw(true)) << "the prompt reads single keys";

  std::size_t mark = p.seen();
  p.type("echo hi\r");
  ASSERT_TRUE(p.wait_for("\r\n hi", mark)) << p.screen().substr(mark);
  EXPECT_NE(p.screen().find("echo hi", mark), std::string::npos) << "keys are echoed";

  ASSERT_TRUE(p.wait_for_raw(true));
  mark = p.seen();
  p.type("\x1a");  // Ctrl-Z recalls the line
  ASSERT_TRUE(p.wait_for(">echo hi", mark)) << p.screen().substr(mark);
  p.type("\r");
  ASSERT_TRUE(p.wait_for("\r\n hi", mark));

  ASSERT_TRUE(p.wait_for_raw(true));
  mark = p.seen();
  p.type("ecx\x7fho two\r");  // Backspace as terminals send it
  ASSERT_TRUE(p.wait_for("\r\n two", mark)) << p.screen().substr(mark);

  ASSERT_TRUE(p.wait_for_raw(true));
  mark = p.seen();
  p.type("junk\x1b");  // Esc drops the line
  p.type("echo three\r");
  ASSERT_TRUE(p.wait_for("\r\n three", mark)) << p.screen().substr(mark);

  ASSERT_TRUE(p.wait_for_raw(true));
  mark = p.seen();
  p.type("\033[A\r");  // cursor up recalls as Ctrl-Z does
  ASSERT_TRUE(p.wait_for("\r\n three", mark)) << p.screen().substr(mark);

  ASSERT_TRUE(p.wait_for_raw(true));
  p.type("quit\r");
  int status = p.wait_exit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(p.mode_restored());
  EXPECT_EQ(count(p.screen(), "Unknown command"), 0) << p.screen();
}

// Each editing key as a terminal sends it, and the line that runs.
TEST(TerminalSession, EditingKeysChangeTheLineAndTheCursorStays) {
  PtyProgram p;
  ASSERT_TRUE(p.start({"--no-wait"}));
  ASSERT_TRUE(p.wait_for("variable: X"));
  const std::string left = "\033[D", home = "\033[H", end = "\033[F";
  struct Case {
    std::string keys, shown;
  } cases[] = {
      {"echo wrld" + left + left + left + left + "\033[C" + "o", " world"},
      {"echo abxc" + left + "\x7f", " abc"},                     // Backspace inside the line
      {"echo ac\x02" "b\x06" "!", " abc!"},                       // Ctrl-B, Ctrl-F
      {"cho hi" + home + "e" + end + "!", " hi!"},
      {"cho 1" + std::string("\033[1~") + "e" + "\033[4~" + "2" + "\033OH" + "\033OF" + "3",
       " 123"},
      {"cho a\x01" "e\x05" "b", " ab"},                         // Ctrl-A, Ctrl-E
      {"echo xab" + left + left + left + "\033[3~", " ab"},      // Delete
      {"echo xy" + left + left + "\x04", " y"},                  // Ctrl-D inside the line
      {"echo keep drop" + left + left + left + left + left + "\x0b", " keep"},  // Ctrl-K
      {"junkecho u" + left + left + left + left + left + left + "\x15", " u"},  // Ctrl-U
      {"echo one two\x17three", " one three"},                    // Ctrl-W
      {"echo new\033[1;2D\033[1;5C", " new"},                    // keys with modifiers
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(p.wait_for_raw(true));
    const std::size_t mark = p.seen();
    p.type(c.keys + "\r");
    ASSERT_TRUE(p.wait_for("\r\n" + c.shown + "\r\n", mark)) << c.shown << p.screen().substr(mark);
  }
  // The redraw after an insertion puts the cursor back after the new
  // character: the line, then the line up to the cursor.
  EXPECT_NE(p.screen().find("\r>echo world\r>echo wo"), std::string::npos) << p.screen();
  EXPECT_NE(p.screen().find("\r>echo ab \r>echo "), std::string::npos) << "Delete: a blank over the end";

  // Cursor up twice and down once: the newer of the two lines.
  ASSERT_TRUE(p.wait_for_raw(true));
  std::size_t mark = p.seen();
  p.type("\033[A\033[A\033[B\r");
  ASSERT_TRUE(p.wait_for("\r\n new\r\n", mark)) << p.screen().substr(mark);
  ASSERT_TRUE(p.wait_for_raw(true));
  p.type("quit\r");
  const int status = p.wait_exit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_TRUE(p.mode_restored());
  EXPECT_EQ(count(p.screen(), "Unknown command"), 0) << p.screen();
}

TEST(TerminalSession, KeyModeLastsWhileACommandRunsAndKeysWaitForThePrompt) {
  PtyProgram p;
  ASSERT_TRUE(p.start({"--no-wait"}));
  ASSERT_TRUE(p.wait_for("variable: X"));
  ASSERT_TRUE(p.wait_for_raw(true));
  p.type("MAKE 30000\r");
  ASSERT_TRUE(p.wait_for("Npts = 30000"));
  const std::size_t before = p.seen();
  p.type("MATH X=I\rMATH Y=SIN(X/9)\r");
  ASSERT_TRUE(p.wait_for("SIN(X/9)", before));
  ASSERT_TRUE(p.wait_for("\r>", p.screen().find("SIN(X/9)", before)));
  // A Gaussian window wider than the data weighs every pair of points:
  // long enough to type during it (seconds, and far longer in a
  // sanitizer build, hence the generous wait for its end).
  const std::string long_command = "SMOOTH 1E6", done = "Status: Done!";
  std::size_t mark = p.seen();
  p.type(long_command + "\r");
  ASSERT_TRUE(p.wait_for("smoothing window", mark)) << p.screen().substr(mark);
  // The command runs: the terminal keeps key mode, and a line typed now
  // is neither echoed by the terminal nor lost.
  const struct termios during = p.mode();
  p.wait_for("\x01", p.seen(), 100);  // what the program wrote meanwhile
  ASSERT_EQ(p.screen().find(done, mark), std::string::npos)
      << "the command must still run when the mode is read";
  EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(during.c_cc[VSUSP], _POSIX_VDISABLE) << "Ctrl-Z stays a key";
  p.type("echo ahead\r");
  ASSERT_TRUE(p.wait_for("\r\n ahead", mark, 300000)) << p.screen().substr(mark);
  EXPECT_EQ(count(p.screen().substr(mark), "echo ahead"), 1) << p.screen().substr(mark);
  EXPECT_LT(p.screen().find(done, mark), p.screen().find(">echo ahead", mark));

  // "$" gives the program the saved terminal and ends the typed line
  // before the program writes.
  mark = p.seen();
  p.type("$stty -a; echo X$((6*7))\r");
  ASSERT_TRUE(p.wait_for("X42\r\n", mark)) << p.screen().substr(mark);
  const std::string shell = p.screen().substr(mark);
  EXPECT_NE(shell.find("$stty -a; echo X$((6*7))\r\nspeed"), std::string::npos) << shell;
  EXPECT_NE(shell.find(" icanon"), std::string::npos) << shell;
  EXPECT_NE(shell.find(" echo "), std::string::npos) << shell;
  ASSERT_TRUE(p.wait_for_raw(true));
  p.type("quit\r");
  const int status = p.wait_exit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_TRUE(p.mode_restored());
}

TEST(PipedSession, ShellOutputStartsOnALineOfItsOwn) {
  const fs::path dir = fs::temp_directory_path() / ("verto-piped-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::string command = "cd '" + dir.string() + "' && printf '$echo hello\\nQUIT\\n' | " +
                              std::string(VERTO_BINARY) + " 2>&1";
  std::string out;
  if (std::FILE* f = popen(command.c_str(), "r")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    pclose(f);
  }
  fs::remove_all(dir);
  EXPECT_NE(out.find(">$echo hello\nhello\n>QUIT"), std::string::npos) << out;
}

TEST(TerminalSession, CtrlDOnAnEmptyLineEndsTheProgram) {
  PtyProgram p;
  ASSERT_TRUE(p.start({"--no-wait"}));
  ASSERT_TRUE(p.wait_for("variable: X"));
  ASSERT_TRUE(p.wait_for_raw(true));
  p.type("\x04");
  int status = p.wait_exit();
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(p.mode_restored());
}

TEST(TerminalSession, SignalsRestoreTheTerminal) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGSEGV}) {
    PtyProgram p;
    ASSERT_TRUE(p.start({"--no-wait"}));
    ASSERT_TRUE(p.wait_for("variable: X"));
    ASSERT_TRUE(p.wait_for_raw(true)) << sig;
    p.type("half typed");
    ASSERT_TRUE(p.wait_for("half typed"));
    if (sig == SIGINT) p.type("\x03");  // Ctrl-C still interrupts
    else p.signal(sig);
    int status = p.wait_exit();
    ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << sig << " status " << status;
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_TRUE(p.mode_restored()) << "signal " << sig;
  }
}

}  // namespace
