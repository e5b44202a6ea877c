// The session storm: random command sessions, each run by the program
// itself as a script, until the time is up. A session fails when the
// program dies of a signal, runs past its time limit (a hang), exits with
// a status other than 0, or a sanitizer writes a report. Every session
// comes from its own seed, printed on failure, so it can be run again:
//
//   verto_storm --binary build/verto [--seconds 5] [--seed S] [--jobs 2]
//   (VERTO_STORM_SECONDS and VERTO_STORM_SEED set the same from outside)
//   verto_storm --binary build/verto --replay SEED     (runs one, shows it)
//   verto_storm --print SEED                           (the session's lines)
//
// The sessions use every command word with random qualifiers, ranges,
// expressions that overflow or give NaN, junk, data files (well-formed,
// malformed, 50000 points) and plots of every kind. Each runs in a fresh
// folder of its own, which is removed afterwards when the session passed.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ------------------------------------------------------------ generator

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {}

  // The files a session finds in its folder, then its command lines.
  struct Session {
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> lines;
    bool big = false;  // works on 50000 points
  };

  Session make() {
    Session s;
    s.big = chance(8);
    s.files = data_files(s.big);
    const int commands = s.big ? pick(5, 25) : pick(10, 70);
    if (s.big) {
      s.lines.push_back("FORM 4");
      s.lines.push_back(chance(2) ? "READ/4 big.dat" : "MAKE 50000");
      s.lines.push_back("MATH X=I/7");
      s.lines.push_back("MATH Y=SIN(X)*100+RANG");
      s.lines.push_back("MATH S=1+ABS(RANG)");
    }
    for (int i = 0; i < commands; ++i) command(s);
    s.lines.push_back(chance(2) ? "QUIT" : "EXIT");
    return s;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(int one_in) { return pick(1, one_in) == 1; }
  template <class T>
  const T& any(const std::vector<T>& v) {
    return v[static_cast<std::size_t>(pick(0, static_cast<int>(v.size()) - 1))];
  }
  std::string any_of(std::initializer_list<std::string> words) {
    std::vector<std::string> v(words.begin(), words.end());
    return any(v);
  }

  std::string number() {
    static const std::vector<std::string> numbers = {
        "0", "1", "2", "3", "5", "10", "100", "-1", "-3.5", "0.5", ".5", "1e3", "1E38", "3.4E38",
        "1e39", "-1e39", "1e-45", "1e-50", "65536", "50000", "50001", "2147483647", "-2147483648",
        "99999999999", ".", "-", "1.2.3", "5x", "-1,5", "1D2", "+7", "0.0001", "1e-3"};
    return any(numbers);
  }

  std::string count() {
    return any_of({"0", "1", "2", "7", "64", "300", "2000", "-5", "1e39", "x", "0/0", "-1E38"});
  }

  std::string junk() {
    static const std::vector<std::string> junk = {
        "", " ", "/", "//", ":", "::", "=", "==", ",", ",,", "!", "'", "\"", "@", "@@", "%1%", "*", "?",
        "\t", "\x7f", "\xff\xfe", "\xc3\xa9", "/A:B", "/1:", "/:3", "()", "(((", ")))", "1/0", "X=",
        "=Y", "/L/L/L", "/N=/", "C0", "C10", "Q"};
    std::string j = any(junk);
    if (chance(10)) j += std::string(static_cast<std::size_t>(pick(60, 200)), "XY9/:=,"[pick(0, 6)]);
    return j;
  }

  std::string variable() {
    return any_of({"X", "Y", "S", "Z", "I", "N", "M", "E", "PI", "RAN", "RANG", "C1", "C2", "C3", "C9"});
  }

  std::string expression(int depth = 0) {
    if (depth > 3 || chance(3)) return chance(2) ? variable() : number();
    switch (pick(0, 5)) {
      case 0:
        return expression(depth + 1) + any_of({"+", "-", "*", "/", "^", "**"}) + expression(depth + 1);
      case 1:
        return any_of({"SIN", "COS", "TAN", "ASIN", "ACOS", "ATAN", "SIND", "ACOSD", "EXP", "LN", "ALOG",
                       "LOG", "SINH", "COSH", "TANH", "SQRT", "ABS", "INT", "NINT", "FACT", "INV",
                       "CHS"}) +
               "(" + expression(depth + 1) + ")";
      case 2:
        return "(" + expression(depth + 1) + ")";
      case 3:  // overflow, NaN and infinity on purpose
        return any_of({"EXP(1000)", "1E38*1E38", "0/0", "SQRT(-1)", "LN(0)", "LN(-1)", "FACT(200)",
                       "ASIN(2)", "-1E38*10", "1/(X-X)", "MOD(5,0)", "TAN(PI/2)"});
      case 4:
        return "MOD(" + expression(depth + 1) + "," + expression(depth + 1) + ")";
      default:
        return expression(depth + 1) + any_of({"", ")", "(", "+", "**", "!"});
    }
  }

  std::string range() {
    switch (pick(0, 9)) {
      case 0: return "";
      case 1: return "/1:N";
      case 2: return "/N-4:N";
      case 3: return "/" + std::to_string(pick(-5, 60)) + ":" + std::to_string(pick(-5, 60));
      case 4: return "/1:99999";
      case 5: return "/3:1";
      case 6: return "/" + expression(2) + ":" + expression(2);
      case 7: return "/0:0";
      case 8: return "/1E9:2E9";
      default: return "/" + std::to_string(pick(1, 50000)) + ":" + std::to_string(pick(1, 60000));
    }
  }

  std::string file() {
    return any_of({"pts.dat", "cols.txt", "bad.dat", "empty.dat", "nolf.dat", "missing.dat", "line.dat",
                   "out.dat", "*.dat", "*.txt", "?", "sub/x.dat", "nodir/x.dat", "link.dat",
                   "dangling.dat", "big.dat", "VTDATA.TMP", "***File_List***"});
  }

  std::string plot_options() {
    std::string o;
    const int n = pick(0, 4);
    for (int i = 0; i < n; ++i)
      o += any_of({"/XLOG", "/YLOG", "/ZLOG", "/D", "/DATA", "/DROP", "/LEG", "/LEG=2", "/LEG=4", "/LEG=9",
                   "/THETA=30", "/THETA=-400", "/CON", "/IS", "/XS", "/YS", "/ZS", "/XNM", "/XA", "/XM",
                   "/XU", "/YNM", "/ZNM", "/B", "/OVER", "/1:10", "/5:2"});
    return o;
  }

  // One command, sometimes mangled.
  void command(Session& s) {
    std::vector<std::string>& out = s.lines;
    std::string line;
    switch (pick(0, 44)) {
      case 0: line = "LABEL" + any_of({"", "/LINE", "/NUM=2", "/NUM=0", "/NUM=x"}) + " " + junk(); break;
      case 1: line = "LIST" + any_of({"", "/LINE", "/COLUMN", "/FILE", "/MARKERS"}) + range(); break;
      case 2: line = "LOAD " + file(); break;
      case 3: line = any_of({"DIR", "LS", "DIR *.dat", "LS /nonexistent"}); break;
      case 4: line = "CD " + any_of({".", "sub", "nodir", ""}); break;
      case 5: line = "ECHO " + junk() + number(); break;
      case 6: line = "LINE" + any_of({"", "/ADD", "/NO", "/CLEAR", "/ZERO", "/ADD/ZERO"}) + range() + " " +
                     (chance(2) ? file() : ""); break;
      case 7: line = "LEG " + any_of({"", "0", "k", "x"}); break;
      case 8: line = "SHOW" + range(); break;
      case 9: line = "CLS"; break;
      case 10: line = "SORT" + any_of({"", "/D"}) + " " + any_of({"", "X", "Y", "S", "Q"}); break;
      case 11: line = "POINT" + any_of({"", "/R"}) + range(); break;
      case 12: line = "EDIT" + any_of({"", "/C", "/L"}); break;
      case 13: line = "$ " + any_of({"true", "echo storm", "ls >/dev/null", "false"}); break;
      case 14:
      case 15:
      case 16: line = "PLOT" + plot_options() + any_of({"", "", "/T", "/PRINT", "/PS", "/PS/B"}); break;
      case 17: line = any_of({"HELP", "?", "HELP PLOT", "HELP MATH", "HELP/M", "HELP ZZZ", "HELP D"}); break;
      case 18: if (!s.big) line = "CLEAR"; break;
      case 19: line = "FORM " + any_of({"0", "1", "2", "3", "4", "5", "6", "7", "8", "?", "3,Y", "1,S", "-1"}); break;
      // Counts stay small in small sessions: SMOOTH on many points with
      // equal or unordered X compares every pair, which is slow rather
      // than wrong.
      case 20: line = "MAKE " + (s.big ? std::string("10") : count()); break;
      case 21: line = "SET" + any_of({"", "/L"}) + " " + any_of({"N=", "M=", "C=", "Q="}) +
                      (s.big ? std::string("N") : chance(2) ? count() : any_of({"1E38*10", "0/0", "N+", "(N", "LN(0)"})); break;
      case 22: line = "ADD" + range() + " " + any_of({"C1", "C1,C2", "C2,C4,C3", "C0", "X1", "C1 C2 C3", ""}); break;
      case 23: line = "MARK" + any_of({"", "/ADD", "/LINE", "/LIST", "/CLEAR", "/NO"}) + " " +
                      any_of({"1,2", "10 20 30", "999999999999999999999999999999999999999999", "x", ""}); break;
      case 24: line = "INT " + any_of({"", number() + "," + number(), "a,b", ","}); break;
      case 25: line = "READ" + any_of({"", "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/'0,X,Y'", "/'0,0,X,0,Y'"}) +
                      " " + file(); break;
      case 26: line = "ENTER" + any_of({"", "/3", "/1", "/0", "/5"});
        out.push_back(line);
        for (int k = pick(0, 4); k > 0; --k) out.push_back(number() + " " + number() + " " + number());
        line = chance(5) ? junk() : "/";
        break;
      case 27: line = any_of({"WRITE", "WRITE!", "SAVE", "OUT", "WRITE/L", "WRITE/4!"}) + range() + " " +
                      any_of({"out.dat", "link.dat", "dangling.dat", "nodir/x.dat", "sub/y.dat", ""}); break;
      case 28: line = "STAT" + range() + " " + any_of({"", "X", "Y", "S"}); break;
      case 29: line = any_of({"BIN ", "HIST "}) + number() + " " + any_of({"", "X", "Y"}); break;
      case 30: line = "FFT" + any_of({"", "/INV", " X"}); break;
      case 31:
      case 32: line = "MATH" + any_of({"", "/L", "/J"}) + range() + " " +
                      (s.big ? any_of({"Y=", "S="}) : any_of({"X=", "Y=", "S=", "C1=", "C4=", "Q=", ""})) +
                      expression(); break;
      case 33: line = "SWAP" + any_of({"", "/L"}) + " " +
                      (s.big ? std::string("Y=S") : any_of({"X=Y", "X,Y", "C1=C3", "Y=S", "A=B"})); break;
      case 34: line = "CALC";
        out.push_back(line);
        for (int k = pick(0, 6); k > 0; --k)
          out.push_back(any_of({"3 4 +", "DUP", "SWAP", "CLEAR", "DROP", "1E38 DUP *", "0 /", "LN", "FACT"}) +
                        " " + number());
        line = "Q";
        break;
      case 35:
      case 36: line = any_of({"D", "DD", "D/A", "DD/A", "DERIV"}) + range() + " " +
                      any_of({"", number(), "abc", ".", "1e39"}); break;
      case 37: line = "REGRESS" + range(); break;
      case 38:
      case 39: line = "FIT" + any_of({"", "/S", "/NL", "/A", "/S/D"}) + range() + " " +
                      any_of({"GAUSSIAN", "GAUSSB", "GAUSS2 1,2", "POLY=2", "POLY=9", "POLY=.", "POW=-0.5",
                              "EXP=2", "DECAY", "ASYM", "RISE", "MORSE", "MAXWELL", "GAUSSIAN=1e39", "?", "ZZ"});
        break;
      case 40: line = "AVERAGE" + any_of({"", "/SUM", "/SD", "/D=2", "/X"}) + " " + any_of({"", number()}); break;
      case 41:
        if (s.big) out.push_back("SORT X");  // 50000 points: ordered X keeps SMOOTH fast
        line = "SMOOTH" + any_of({"", "/M"}) + " " + (s.big ? std::string("2") : number());
        break;
      case 42: line = "PORT" + any_of({"", "/C", "/X"}) + " " + number() + "," + number(); break;
      case 43: line = "NORM" + any_of({"", "/L"}) + range() + " " +
                      any_of({"", "Y=100", "X=2", "S=1", "I=1", "I=0", "I=x", number()}); break;
      default: line = any_of({"YO", "YOYO", "YO!", "ZZTOP", "E", junk()}); break;
    }
    if (chance(15)) line = junk() + line;           // junk in front
    if (chance(15)) line += junk();                 // or behind
    if (chance(4)) {                                // any mix of cases
      for (char& c : line)
        if (c >= 'A' && c <= 'Z' && chance(2)) c = static_cast<char>(c - 'A' + 'a');
    }
    out.push_back(line);
  }

  std::vector<std::pair<std::string, std::string>> data_files(bool big) {
    std::vector<std::pair<std::string, std::string>> files;
    std::ostringstream pts, cols, bad, line;
    const int n = pick(1, 60);
    for (int i = 1; i <= n; ++i) {
      pts << i * 0.5 << ' ' << (i * 7 % 11) - 3 << ' ' << 0.1 * i << '\n';
      cols << i << ' ' << i * i << ' ' << -i << ' ' << i % 3 << ' ' << 1.0 / i << '\n';
      line << i << ' ' << i * 2 << '\n';
    }
    for (int i = pick(1, 20); i > 0; --i) bad << number() << ' ' << junk() << ' ' << number() << '\n';
    files.emplace_back("pts.dat", pts.str());
    files.emplace_back("cols.txt", cols.str());
    files.emplace_back("bad.dat", bad.str());
    files.emplace_back("line.dat", line.str());
    files.emplace_back("empty.dat", "");
    files.emplace_back("nolf.dat", std::string(static_cast<std::size_t>(pick(100, 5000)), '7'));
    if (big) {
      std::string text;
      for (int i = 1; i <= 50000; ++i)
        text += std::to_string(i) + " " + std::to_string(i % 97) + " 1\n";
      files.emplace_back("big.dat", std::move(text));
    }
    return files;
  }

  std::mt19937_64 rng_;
};

std::string session_text(const Generator::Session& s) {
  std::string text;
  for (const std::string& l : s.lines) text += l + "\n";
  return text;
}

// ---------------------------------------------------------------- runner

enum class Outcome { Passed, Crashed, Hung, Sanitizer, BadExit };

struct Result {
  Outcome outcome = Outcome::Passed;
  std::string detail;
};

bool has_sanitizer_report(const std::string& err) {
  for (const char* mark : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer",
                           "runtime error:", "ThreadSanitizer"})
    if (err.find(mark) != std::string::npos) return true;
  return false;
}

std::string read_all(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream o;
  o << in.rdbuf();
  return o.str();
}

Result run_session(const std::string& binary, std::uint64_t seed, const fs::path& dir, int limit_seconds) {
  Generator gen(seed);
  const Generator::Session session = gen.make();
  fs::create_directories(dir / "sub");
  for (const auto& [name, text] : session.files) std::ofstream(dir / name, std::ios::binary) << text;
  std::error_code ec;
  fs::create_symlink("pts.dat", dir / "link.dat", ec);
  fs::create_symlink("gone/none.dat", dir / "dangling.dat", ec);
  fs::create_symlink("nowhere.PNG", dir / "VERTO2.PNG", ec);
  std::ofstream(dir / "session.txt", std::ios::binary) << session_text(session);

  // Everything the child needs is made before the fork: between fork and
  // exec the child of this threaded process may only make async-signal-safe
  // calls (an allocation there can wait forever on a lock another thread
  // held at the fork).
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('='));
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "VERTO" || name == "VISUAL" ||
        name == "QT_QPA_PLATFORM" || name == "LSAN_OPTIONS")
      continue;
    env.emplace_back(entry);
  }
  env.emplace_back("VISUAL=true");
  env.emplace_back("QT_QPA_PLATFORM=offscreen");
  std::string lsan_options;
  if (const char* lsan = std::getenv("LSAN_OPTIONS"); lsan && *lsan) lsan_options = lsan;
#ifdef VERTO_LSAN_SUPPRESSIONS
  // Leaks of libraries outside VERTO (fontconfig under Qt) are not ours.
  lsan_options += (lsan_options.empty() ? "" : ":") + std::string("suppressions=" VERTO_LSAN_SUPPRESSIONS);
#endif
  if (!lsan_options.empty()) env.push_back("LSAN_OPTIONS=" + lsan_options);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string folder = dir.string();
  char* const argv[] = {const_cast<char*>(binary.c_str()), nullptr};

  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    const int in = open("session.txt", O_RDONLY);
    const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    setpgid(0, 0);
    execve(binary.c_str(), argv, envp.data());
    _exit(127);
  }
  if (pid < 0) return {Outcome::BadExit, "fork failed"};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limit_seconds);
  int status = 0;
  for (;;) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return {Outcome::Hung, "no end within " + std::to_string(limit_seconds) + " s"};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const std::string err = read_all(dir / "stderr.txt");
  if (has_sanitizer_report(err)) return {Outcome::Sanitizer, err.substr(0, 4000)};
  if (WIFSIGNALED(status))
    return {Outcome::Crashed, std::string("signal ") + strsignal(WTERMSIG(status)) + "\n" + err.substr(0, 2000)};
  if (WEXITSTATUS(status) != 0)
    return {Outcome::BadExit, "exit status " + std::to_string(WEXITSTATUS(status)) + "\n" + err.substr(0, 2000)};
  return {};
}

const char* outcome_name(Outcome o) {
  switch (o) {
    case Outcome::Passed: return "passed";
    case Outcome::Crashed: return "CRASH";
    case Outcome::Hung: return "HANG";
    case Outcome::Sanitizer: return "SANITIZER REPORT";
    case Outcome::BadExit: return "BAD EXIT";
  }
  return "?";
}

std::uint64_t number_arg(const char* text) { return std::strtoull(text, nullptr, 10); }

}  // namespace

int main(int argc, char** argv) {
  std::string binary;
  double seconds = 5;
  if (const char* env = std::getenv("VERTO_STORM_SECONDS")) seconds = std::atof(env);
  std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  if (const char* env = std::getenv("VERTO_STORM_SEED")) seed = number_arg(env);
  int jobs = 2, limit = 120;
  bool replay = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--binary" && more) binary = argv[++i];
    else if (a == "--seconds" && more) seconds = std::atof(argv[++i]);
    else if (a == "--seed" && more) seed = number_arg(argv[++i]);
    else if (a == "--jobs" && more) jobs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--limit" && more) limit = std::max(1, std::atoi(argv[++i]));
    else if (a == "--replay" && more) { seed = number_arg(argv[++i]); replay = true; }
    else if (a == "--print" && more) {
      Generator gen(number_arg(argv[++i]));
      std::cout << session_text(gen.make());
      return 0;
    } else {
      std::cerr << "usage: verto_storm --binary verto [--seconds s] [--seed n] [--jobs n] [--limit s]"
                   " [--replay seed] | --print seed\n";
      return 2;
    }
  }
  if (binary.empty()) {
    std::cerr << "verto_storm: --binary is required\n";
    return 2;
  }
  binary = fs::absolute(binary).string();
  const fs::path root = fs::temp_directory_path() / ("verto-storm-" + std::to_string(getpid()));

  if (replay) {
    const Result r = run_session(binary, seed, root / "replay", limit);
    std::cout << "seed " << seed << ": " << outcome_name(r.outcome) << "\n" << r.detail << "\n"
              << "session and output in " << (root / "replay").string() << "\n";
    return r.outcome == Outcome::Passed ? 0 : 1;
  }

  std::cout << "session storm: seed " << seed << ", " << seconds << " s, " << jobs << " jobs" << std::endl;
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration<double>(seconds);
  std::uint64_t next = 0;
  int sessions = 0, counts[5] = {};
  std::vector<std::string> failures;
  while (std::chrono::steady_clock::now() < end) {
    // A round of `jobs` sessions at once.
    std::vector<std::thread> threads;
    std::vector<Result> results(static_cast<std::size_t>(jobs));
    std::vector<std::uint64_t> seeds(static_cast<std::size_t>(jobs));
    for (int j = 0; j < jobs; ++j) {
      seeds[static_cast<std::size_t>(j)] = seed + next++;
      threads.emplace_back([&, j] {
        const std::uint64_t s = seeds[static_cast<std::size_t>(j)];
        results[static_cast<std::size_t>(j)] = run_session(binary, s, root / std::to_string(s), limit);
      });
    }
    for (std::thread& t : threads) t.join();
    for (int j = 0; j < jobs; ++j) {
      const Result& r = results[static_cast<std::size_t>(j)];
      const std::uint64_t s = seeds[static_cast<std::size_t>(j)];
      ++sessions;
      ++counts[static_cast<int>(r.outcome)];
      std::error_code ec;
      if (r.outcome == Outcome::Passed) {
        fs::remove_all(root / std::to_string(s), ec);
      } else {
        failures.push_back(std::string(outcome_name(r.outcome)) + " in session seed " + std::to_string(s) +
                           " (kept in " + (root / std::to_string(s)).string() + ")\n" + r.detail);
        std::cout << failures.back() << std::endl;
      }
    }
  }
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "session storm: seed " << seed << ": " << sessions << " sessions in " << static_cast<int>(took)
            << " s; " << counts[1] << " crashes, " << counts[2] << " hangs, " << counts[3]
            << " sanitizer reports, " << counts[4] << " bad exits" << std::endl;
  if (!failures.empty()) {
    std::cout << "replay one with: verto_storm --binary " << binary << " --replay SEED" << std::endl;
    return 1;
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
