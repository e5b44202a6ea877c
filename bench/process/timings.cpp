// Whole-process timings of VERTO at its 50000-point capacity: each job is
// one run of the executable in batch mode (a command file on its standard
// input), from exec to exit. The jobs are run in turn, round after round,
// so that a busy machine slows all of them alike; the table shows the
// medians of the elapsed time and of the processor time (user + system).
// Given a second executable (an earlier build), every job runs on both in
// turn and the table adds its figures and the ratio of processor times.
//
// A second table holds the ratios that show how near each job is to what
// the machine allows: a plot file against its floor (the same READ
// without the plot, plus writing the same bytes from a ready buffer, timed
// in the same rounds), and LIST into the console window against the same
// LIST into a pseudo-terminal (verto_console_timing, when it was built).
//
//   verto_timings path/to/verto [rounds [path/to/earlier/verto]]
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPoints = 50000;

struct Job {
  const char* name;
  const char* commands;  // the session, one command a line
};

// X runs over 20 units so that a smoothing width of 0.5 is a 2.5 % window.
const Job kJobs[] = {
    {"READ/3 + STAT Y", "READ/3 peak.dat\nSTAT Y\nQUIT\n"},
    {"READ/3 + FIT GAUSSB", "READ/3 peak.dat\nFIT GAUSSB\nQUIT\n"},
    {"READ/3 + PLOT/PS", "READ/3 peak.dat\nPLOT/PS/OVER\nQUIT\n"},
    {"READ/3 + PLOT/PRINT (HPGL)", "READ/3 peak.dat\nPLOT/PRINT/OVER\nQUIT\n"},
    {"start-up to QUIT", "QUIT\n"},
    {"READ/3 + SMOOTH/G 0.5", "READ/3 peak.dat\nSMOOTH/G 0.5\nQUIT\n"},
    {"READ/3 alone", "READ/3 peak.dat\nQUIT\n"},
};
constexpr std::size_t kPostScriptJob = 2, kHpglJob = 3, kReadJob = 6;

// A Gaussian peak on a background with noise from a fixed linear
// congruential sequence: the same file on every machine.
void write_data(const fs::path& file) {
  std::FILE* f = std::fopen(file.c_str(), "w");
  if (!f) {
    std::perror(file.c_str());
    std::exit(1);
  }
  std::uint32_t state = 12345u;
  auto uniform = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 16777216.0;  // [0, 1)
  };
  for (int i = 0; i < kPoints; ++i) {
    const double x = -10.0 + 20.0 * i / kPoints;
    const double d = (x - 0.7) / 1.8;
    const double y = 2.0 + 40.0 * std::exp(-d * d) + (uniform() - 0.5);
    std::fprintf(f, "%.4f %.7g\n", x, y);
  }
  std::fclose(f);
}

struct Sample {
  double wall_ms;
  double cpu_ms;
};

double ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec * 1e-3; }

Sample run(const fs::path& verto, const fs::path& dir, const fs::path& script) {
  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    const int in = open(script.c_str(), O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    execl(verto.c_str(), verto.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto t1 = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) >= 126) {
    std::fprintf(stderr, "%s did not run (status %d)\n", verto.c_str(), status);
    std::exit(1);
  }
  return {std::chrono::duration<double, std::milli>(t1 - t0).count(),
          ms(usage.ru_utime) + ms(usage.ru_stime)};
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes `bytes` from memory to `file`, created or emptied first (or,
// `in_place`, written over and then cut to length, as VERTO writes a plot
// over an existing one); returns the elapsed milliseconds.
double write_from_buffer(const fs::path& file, const std::string& bytes, bool in_place = false) {
  const auto t0 = std::chrono::steady_clock::now();
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | (in_place ? 0 : O_TRUNC), 0644);
  if (fd < 0) {
    std::perror(file.c_str());
    std::exit(1);
  }
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      std::perror("write");
      std::exit(1);
    }
    done += static_cast<std::size_t>(n);
  }
  if (in_place && ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) std::perror("ftruncate");
  close(fd);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s path/to/verto [rounds [path/to/earlier/verto]]\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> programs{fs::absolute(argv[1])};
  if (argc > 3) programs.push_back(fs::absolute(argv[3]));
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
  const fs::path dir = fs::temp_directory_path() / ("verto-timings-" + std::to_string(getpid()));
  fs::create_directories(dir);
  write_data(dir / "peak.dat");

  constexpr std::size_t kCount = std::size(kJobs);
  std::vector<fs::path> scripts;
  for (std::size_t j = 0; j < kCount; ++j) {
    scripts.push_back(dir / ("job" + std::to_string(j) + ".cmd"));
    std::ofstream(scripts.back()) << kJobs[j].commands;
  }
  const std::size_t np = programs.size();
  std::vector<std::vector<double>> wall(kCount * np), cpu(kCount * np);
  for (const fs::path& p : programs) run(p, dir, scripts[0]);  // warm the caches
  // The bytes of both plot files, written by this build, for the floors.
  run(programs[0], dir, scripts[kPostScriptJob]);
  run(programs[0], dir, scripts[kHpglJob]);
  const std::string ps_bytes = slurp(dir / "VERTO1.PS"), hpgl_bytes = slurp(dir / "VERTO1.HPG");
  std::vector<double> ps_write, hpgl_write, ps_in_place, hpgl_in_place;
  for (int r = 0; r < rounds; ++r) {
    for (std::size_t j = 0; j < kCount; ++j)
      for (std::size_t k = 0; k < np; ++k) {
        const Sample s = run(programs[k], dir, scripts[j]);
        wall[j * np + k].push_back(s.wall_ms);
        cpu[j * np + k].push_back(s.cpu_ms);
      }
    ps_write.push_back(write_from_buffer(dir / "floor.PS", ps_bytes));
    hpgl_write.push_back(write_from_buffer(dir / "floor.HPG", hpgl_bytes));
    ps_in_place.push_back(write_from_buffer(dir / "floor-in-place.PS", ps_bytes, true));
    hpgl_in_place.push_back(write_from_buffer(dir / "floor-in-place.HPG", hpgl_bytes, true));
  }
  // LIST into the window and into a terminal, by the helper beside this
  // program; its own rounds alternate the two.
  double list_window = 0, list_pty = 0;
  const fs::path helper = fs::absolute(argv[0]).parent_path() / "verto_console_timing";
  if (fs::exists(helper)) {
    const std::string command = helper.string() + " " + programs[0].string() + " " +
                                std::to_string(std::max(3, rounds / 2)) + " 2>&1";
    if (std::FILE* p = popen(command.c_str(), "r")) {
      char line[256];
      while (std::fgets(line, sizeof line, p))
        if (std::sscanf(line, "LIST 50000 window %lf pty %lf", &list_window, &list_pty) != 2)
          std::fputs(line, stderr);
      pclose(p);
    }
  }

  std::printf("VERTO whole-process timings, 50000 points, median of %d rounds\n", rounds);
  if (np == 1) {
    std::printf("%-28s %12s %12s\n", "job", "elapsed ms", "cpu ms");
    for (std::size_t j = 0; j < kCount; ++j)
      std::printf("%-28s %12.1f %12.1f\n", kJobs[j].name, median(wall[j]), median(cpu[j]));
  } else {
    std::printf("this build: %s\nearlier:    %s\n", programs[0].c_str(), programs[1].c_str());
    std::printf("%-28s %12s %12s %12s %12s %8s\n", "job", "elapsed ms", "cpu ms",
                "earlier el.", "earlier cpu", "cpu now/earlier");
    for (std::size_t j = 0; j < kCount; ++j) {
      const double c0 = median(cpu[j * np]), c1 = median(cpu[j * np + 1]);
      std::printf("%-28s %12.1f %12.1f %12.1f %12.1f %8.2f\n", kJobs[j].name,
                  median(wall[j * np]), c0, median(wall[j * np + 1]), c1, c1 > 0 ? c0 / c1 : 0.0);
    }
  }

  // Each job against what the machine allows (elapsed medians).
  const double read = median(wall[kReadJob * np]);
  const double ps_floor = read + median(ps_write), hpgl_floor = read + median(hpgl_write);
  std::printf("\n%-34s %10s %10s %8s %8s\n", "ratio (elapsed medians)", "job ms", "floor ms", "ratio", "target");
  auto ratio_row = [](const char* name, double job, double floor, double target) {
    std::printf("%-34s %10.1f %10.1f %8.2f %8.2f%s\n", name, job, floor, floor > 0 ? job / floor : 0.0,
                target, floor > 0 && job / floor > target ? "  OVER" : "");
  };
  ratio_row("PLOT/PS job / floor", median(wall[kPostScriptJob * np]), ps_floor, 1.3);
  ratio_row("PLOT/PRINT (HPGL) job / floor", median(wall[kHpglJob * np]), hpgl_floor, 1.3);
  if (list_pty > 0)
    ratio_row("LIST 50000 window / pty", list_window, list_pty, 1.5);
  else
    std::printf("%-34s (verto_console_timing not built: no Qt)\n", "LIST 50000 window / pty");
  std::printf("floor: READ/3 alone %.1f ms + writing from memory %.1f ms (PS, %zu bytes), %.1f ms (HPGL, %zu bytes)\n",
              read, median(ps_write), ps_bytes.size(), median(hpgl_write), hpgl_bytes.size());
  // The same floors with the file written over in place, as /OVER does:
  // shown, not judged, so that the gain of writing in place stays visible.
  std::printf("in place: writing over the old file %.1f ms (PS), %.1f ms (HPGL); job / that floor %.2f (PS), %.2f (HPGL)\n",
              median(ps_in_place), median(hpgl_in_place),
              median(wall[kPostScriptJob * np]) / (read + median(ps_in_place)),
              median(wall[kHpglJob * np]) / (read + median(hpgl_in_place)));
  if (np > 1)
    for (std::size_t j : {kPostScriptJob, kHpglJob})
      std::printf("%-34s %10.1f %10.1f %8.2f\n", (std::string(kJobs[j].name) + " now / earlier").c_str(),
                  median(wall[j * np]), median(wall[j * np + 1]),
                  median(wall[j * np]) / median(wall[j * np + 1]));

  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
