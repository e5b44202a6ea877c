// Plot files written by PLOT/PRINT and PLOT/PS: names, structure, golden
// files, and acceptance by real clients: every PostScript file is rendered
// by ghostscript and every HPGL file converted by hp2xx.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "plot/plot_file.h"
#include "support/scoped_directory.h"
#include "support/session_fixture.h"

namespace fs = std::filesystem;

namespace verto {
namespace {

struct ToolRun {
  int status = -1;
  std::string output;
};

ToolRun run_tool(const std::string& command) {
  ToolRun r;
  std::FILE* p = popen((command + " </dev/null 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.output.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

bool have_tool(const char* name) {
  return run_tool(std::string("command -v ") + name).status == 0;
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A rendered page: width, height and RGB bytes of a binary PPM.
struct Image {
  int w = 0, h = 0;
  std::string rgb;
  std::array<int, 3> at(int x, int y) const {
    const std::size_t o = 3 * (static_cast<std::size_t>(y) * w + x);
    return {static_cast<unsigned char>(rgb[o]), static_cast<unsigned char>(rgb[o + 1]),
            static_cast<unsigned char>(rgb[o + 2])};
  }
};

bool read_ppm(const fs::path& p, Image& img) {
  std::string d = slurp(p);
  std::size_t pos = 0;
  auto token = [&]() {
    while (pos < d.size()) {
      if (std::isspace(static_cast<unsigned char>(d[pos]))) ++pos;
      else if (d[pos] == '#') pos = d.find('\n', pos);
      else break;
    }
    std::size_t start = pos;
    while (pos < d.size() && !std::isspace(static_cast<unsigned char>(d[pos]))) ++pos;
    return d.substr(start, pos - start);
  };
  if (token() != "P6") return false;
  img.w = std::stoi(token());
  img.h = std::stoi(token());
  if (std::stoi(token()) != 255) return false;
  img.rgb = d.substr(pos + 1);
  return img.rgb.size() == 3u * img.w * img.h;
}

// Renders a PostScript file with ghostscript: exit status 0, no error
// text, and a page image really written (ghostscript exits 0 on a
// truncated file without producing a page).
std::string check_postscript(const fs::path& file, Image* image = nullptr, int dpi = 36) {
  const fs::path out = file.string() + ".ppm";
  fs::remove(out);
  ToolRun r = run_tool("gs -dSAFER -dBATCH -dNOPAUSE -q -sDEVICE=ppmraw -r" +
                       std::to_string(dpi) + " -sOutputFile=" + out.string() + " " +
                       file.string());
  if (r.status != 0) return "gs exit status " + std::to_string(r.status) + ":\n" + r.output;
  if (r.output.find("Error") != std::string::npos) return "gs reported:\n" + r.output;
  Image img;
  if (!fs::exists(out) || !read_ppm(out, img)) return "gs wrote no page image";
  if (image) *image = std::move(img);
  return {};
}

int count_after(const std::string& text, const std::string& label) {
  auto at = text.find(label);
  if (at == std::string::npos) return -1;
  return std::atoi(text.c_str() + at + label.size());
}

// Converts an HPGL file with hp2xx: exit status 0, an image written, and
// no ignored commands or unexpected events (hp2xx exits 0 on garbage).
std::string check_hpgl(const fs::path& file) {
  const fs::path out = file.string() + ".png";
  fs::remove(out);
  ToolRun r = run_tool("hp2xx -m png -f " + out.string() + " " + file.string());
  if (r.status != 0) return "hp2xx exit status " + std::to_string(r.status) + ":\n" + r.output;
  if (count_after(r.output, "HPGL command(s) ignored:") != 0 ||
      count_after(r.output, "Unexpected event(s):") != 0)
    return "hp2xx complained:\n" + r.output;
  if (!fs::exists(out) || fs::file_size(out) == 0) return "hp2xx wrote no image";
  return {};
}

class FilePlotTest : public ::testing::Test, public testing::SessionFixture {
 protected:
  // Runs a file plot, expects `name`, validates it with its client and
  // returns its text.
  std::string plot_file(std::string_view command, const std::string& name) {
    EXPECT_EQ(run_screen(command), " Output written to " + name);
    EXPECT_TRUE(fs::exists(name)) << name;
    const bool ps = name.ends_with(".PS");
    if (ps ? have_tool("gs") : have_tool("hp2xx")) {
      const std::string problem = ps ? check_postscript(name) : check_hpgl(name);
      EXPECT_EQ(problem, "") << name;
    }
    return slurp(name);
  }
  // Compares with tests/data/plot/<golden>; VERTO_UPDATE_GOLDEN=1 rewrites.
  void expect_golden(const std::string& text, const std::string& golden) {
    const fs::path path = fs::path(VERTO_TEST_DATA_DIR) / "plot" / golden;
    if (std::getenv("VERTO_UPDATE_GOLDEN")) {
      std::ofstream(path, std::ios::binary) << text;
      return;
    }
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(text, slurp(path)) << "differs from " << path;
  }
  static bool have_gs() { return have_tool("gs"); }

  testing::ScopedDirectory dir_{"verto-plotfile-"};
};

// ---------------------------------------------------------------------------
// Names

TEST_F(FilePlotTest, NamesCountUpAndOverOverwritesTheFirst) {
  add_point(1.f, 1.f);
  add_point(2.f, 3.f);
  const std::string first = plot_file("PLOT/PRINT", "VERTO1.HPG");
  plot_file("plot/print", "VERTO2.HPG");
  add_point(5.f, 9.f);
  const std::string over = plot_file("PLOT/PRINT/OVER", "VERTO1.HPG");
  EXPECT_NE(first, over);
  EXPECT_FALSE(fs::exists("VERTO3.HPG"));
  plot_file("PLOT/PS", "VERTO1.PS");
  const std::string fresh = plot_file("PLOT/PRINT/PS", "VERTO2.PS");
  // /OVER writes over a longer file in place and cuts off its old tail.
  std::ofstream("VERTO1.PS", std::ios::binary) << std::string(3 * fresh.size(), '%');
  EXPECT_EQ(plot_file("PLOT/PS/OVER", "VERTO1.PS"), fresh);
}

TEST_F(FilePlotTest, AfterNineComeLettersAndThenNothing) {
  EXPECT_EQ(plot::plot_file_name(0, false), "VERTO1.HPG");
  EXPECT_EQ(plot::plot_file_name(8, true), "VERTO9.PS");
  EXPECT_EQ(plot::plot_file_name(9, false), "VERTOA.HPG");
  EXPECT_EQ(plot::plot_file_name(34, false), "VERTOZ.HPG");
  for (int n = 0; n < 9; ++n) std::ofstream(plot::plot_file_name(n, false)) << "x";
  plot_file("PLOT/PRINT", "VERTOA.HPG");
  for (int n = 10; n < plot::kPlotFileNames; ++n)
    std::ofstream(plot::plot_file_name(n, false)) << "x";
  const auto before = std::distance(fs::directory_iterator("."), fs::directory_iterator());
  EXPECT_EQ(run_screen("PLOT/PRINT"),
            "<<<VERTO!!!>>> No free plot file name: VERTO1.HPG to VERTOZ.HPG all exist; use /OVER.");
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), before);
  EXPECT_EQ(slurp("VERTOZ.HPG"), "x");
  plot_file("PLOT/PRINT/OVER", "VERTO1.HPG");
}

TEST_F(FilePlotTest, LogOfNonPositiveWritesNoFile) {
  add_point(0.f, 1.f);
  add_point(2.f, 3.f);
  EXPECT_EQ(run_screen("PLOT/PS/XLOG"), " <<<VERTO!!!>>> Can not produce log plot of negative values!");
  EXPECT_FALSE(fs::exists("VERTO1.PS"));
  plot_file("PLOT/PS/YLOG", "VERTO1.PS");
}

TEST_F(FilePlotTest, AFileThatCouldNotBeWrittenCompletelyIsRemoved) {
  add_point(1.f, 1.f);
  add_point(2.f, 3.f);
  // Files may not grow beyond a few bytes, as on a full disk: the write
  // fails (EFBIG) instead of stopping the process.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string screen = run_screen("PLOT/PS");
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_NE(screen.find("VERTO1.PS"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("Output written"), std::string::npos) << screen;
  EXPECT_FALSE(fs::exists("VERTO1.PS"));
}

// ---------------------------------------------------------------------------
// Structure

TEST_F(FilePlotTest, HeadersPensAndTrailer) {
  for (int i = 1; i <= 6; ++i) add_point(static_cast<float>(i), static_cast<float>(i * i));
  add_point_marker(ws, con, 2, "a");
  add_point_marker(ws, con, 4, "b");

  const std::string hpgl = plot_file("PLOT/PRINT", "VERTO1.HPG");
  EXPECT_TRUE(hpgl.starts_with(
      " VS18;PU;SP1;\n SR 0.2,0.2;\n PU 0,0;PD 0,0;\n PU 9900,7600;PD 9900,7600;\n PU1430,600;\n"));
  // The sets take pens 7, 4 and 1, in that order.
  const auto p7 = hpgl.find(" SP7;\n"), p4 = hpgl.find(" SP4;\n"), p1 = hpgl.find(" SP1;\n");
  ASSERT_NE(p7, std::string::npos);
  EXPECT_TRUE(p7 < p4 && p4 < p1 && p1 != std::string::npos);
  EXPECT_EQ(hpgl.find("showpage"), std::string::npos);  // no trailer
  EXPECT_TRUE(hpgl.ends_with(";\n"));
  // Labels: the 16-character field closed by the end-of-text character.
  EXPECT_NE(hpgl.find(" PU930,200;\n LB    1.000       \x03;\n"), std::string::npos);

  const std::string ps = plot_file("PLOT/PS", "VERTO1.PS");
  EXPECT_TRUE(ps.starts_with("%!PS\n /Courier\n 12 selectfont\n 1 setlinewidth\n 170 490 moveto\n"));
  EXPECT_TRUE(ps.ends_with(" showpage     % print all on the page\n"));
  const auto red = ps.find("\n  0.0000 1.0000 1.0000 0.0000 setcmykcolor\n");
  const auto cyan = ps.find("\n  1.0000 0.0000 0.0000 0.0000 setcmykcolor\n");
  const auto green = ps.find("\n  1.0000 0.0000 1.0000 0.0000 setcmykcolor\n");
  ASSERT_NE(red, std::string::npos);
  EXPECT_TRUE(red < cyan && cyan < green && green != std::string::npos);
  EXPECT_NE(ps.find("\n 530 490 lineto stroke\n 530 490 moveto\n"), std::string::npos);
  EXPECT_NE(ps.find("\n 125 470 moveto\n (    1.000       ) show\n"), std::string::npos);
}

TEST_F(FilePlotTest, BackgroundFillsTheFrameThenPenSix) {
  add_point(1.f, 1.f);
  add_point(2.f, 2.f);
  const std::string ps = plot_file("PLOT/PS/B", "VERTO1.PS");
  EXPECT_TRUE(ps.starts_with("%!PS\n /Courier\n 12 selectfont\n 1 setlinewidth\n newpath\n"
                             " 170 490 moveto\n 530 490 lineto\n 530 770 lineto\n 170 770 lineto\n"
                             " closepath\n fill\n  0.0000 0.0000 0.0000 0.2000 setcmykcolor\n"
                             " 170 490 moveto\n"));
  // HPGL has no background.
  const std::string hpgl = plot_file("PLOT/PRINT/B", "VERTO1.HPG");
  EXPECT_EQ(hpgl.find("fill"), std::string::npos);
}

TEST_F(FilePlotTest, WideLabelsUseTheExponentForm) {
  add_point(0.f, 0.f);
  add_point(1.f, 123456.7f);
  const std::string ps = plot_file("PLOT/PS/D", "VERTO1.PS");
  EXPECT_NE(ps.find("(0.123E+06       ) show"), std::string::npos);
  EXPECT_NE(ps.find("(    1.000       ) show"), std::string::npos);
}

TEST_F(FilePlotTest, LegendLabelsAreEscapedInPostScript) {
  add_point(1.f, 1.f);
  add_point(2.f, 2.f);
  add_point_marker(ws, con, 1, "run (a) \\ b");
  const std::string ps = plot_file("PLOT/PS/LEG", "VERTO1.PS");
  EXPECT_NE(ps.find("(run \\(a\\) \\\\ b) show"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Golden files: small plots kept readable in tests/data/plot.

TEST_F(FilePlotTest, GoldenErrorBarsThreeSetsAndALine) {
  ws.form = 4;
  add_point(1.f, 2.f, 0.5f);
  add_point(2.f, 4.f, 1.f);
  add_point(3.f, 5.f, 0.5f);
  add_point(4.f, 7.f, 1.f);
  add_point(5.f, 8.f, 0.5f);
  add_point(6.f, 9.f, 0.5f);
  add_point_marker(ws, con, 2, "first");
  add_point_marker(ws, con, 4, "second");
  add_line_point(0.f, 1.f);
  add_line_point(6.f, 10.f);
  expect_golden(plot_file("PLOT/PRINT", "VERTO1.HPG"), "sets_errors.hpg");
  expect_golden(plot_file("PLOT/PS", "VERTO1.PS"), "sets_errors.ps");
}

TEST_F(FilePlotTest, GoldenLogAxes) {
  add_point(0.05f, 2.f);
  add_point(3.f, 40.f);
  add_point(300.f, 900.f);
  expect_golden(plot_file("PLOT/PS/XLOG/YLOG", "VERTO1.PS"), "log_axes.ps");
}

TEST_F(FilePlotTest, GoldenLegend) {
  add_point(1.f, 1.f);
  add_point(2.f, 4.f);
  add_point(3.f, 9.f);
  add_point_marker(ws, con, 1, "one");
  add_point_marker(ws, con, 2, "two");
  add_line_point(0.f, 0.f);
  add_line_point(3.f, 9.f);
  add_line_marker(ws, con, 2, "Fit poly=2");
  expect_golden(plot_file("PLOT/PS/LEG=2/D", "VERTO1.PS"), "legend.ps");
  expect_golden(plot_file("PLOT/PRINT/LEG=3/D", "VERTO1.HPG"), "legend.hpg");
}

TEST_F(FilePlotTest, GoldenThreeD) {
  ws.form = 7;
  add_point(0.f, 0.f, 1.f);
  add_point(10.f, 5.f, 2.f);
  add_point(5.f, 8.f, 4.f);
  add_line_point(0.f, 0.f, 0.f);
  add_line_point(10.f, 8.f, 4.f);
  expect_golden(plot_file("PLOT/PRINT/DROP", "VERTO1.HPG"), "form7.hpg");
  expect_golden(plot_file("PLOT/PS/THETA=150", "VERTO1.PS"), "form7.ps");
}

TEST_F(FilePlotTest, GoldenContour) {
  ws.form = 7;
  add_point(1.f, 1.f, 0.f);
  add_point(2.f, 3.f, 5.f);
  add_point(3.f, 2.f, 10.f);
  add_point(4.f, 4.f, 20.f);
  expect_golden(plot_file("PLOT/PS/CON", "VERTO1.PS"), "contour.ps");
  expect_golden(plot_file("PLOT/PRINT/CON", "VERTO1.HPG"), "contour.hpg");
}

// ---------------------------------------------------------------------------
// Plots of a few hundred points compared byte for byte with the files kept
// in tests/data/plot: every kind of record the writers make, with device
// coordinates of many sizes, fractions and signs.

class ManyPointsTest : public FilePlotTest {
 protected:
  // A reproducible cloud: x rising by uneven steps from x0, y a noisy peak
  // over a background; z (or the error) a third value of its own.
  void fill(int n, float x0, float step, int form) {
    ws.form = form;
    std::uint32_t state = 2024u;
    auto uniform = [&state] {
      state = state * 1664525u + 1013904223u;
      return static_cast<float>(state >> 8) / 16777216.f;
    };
    float x = x0;
    for (int i = 0; i < n; ++i) {
      x += step * (0.5f + uniform());
      const float span = step * static_cast<float>(n);
      const float d = (x - x0 - 0.5f * span) / (0.2f * span);
      const float y = 3.f + 40.f * std::exp(-d * d) + 2.f * uniform();
      add_point(x, y, ws.form == 7 ? 10.f * uniform() - 3.f : 0.2f + uniform());
    }
  }
  void line(int n, float x0, float x1) {
    for (int i = 0; i < n; ++i) {
      const float x = x0 + (x1 - x0) * static_cast<float>(i) / static_cast<float>(n - 1);
      add_line_point(x, 20.f + 15.f * std::sin(x), 2.f * std::cos(x));
    }
  }
};

TEST_F(ManyPointsTest, SetsLinesAndLegend) {
  fill(240, -3.f, 0.05f, 3);
  add_point_marker(ws, con, 80, "first");
  add_point_marker(ws, con, 160, "second");
  line(60, -4.f, 9.f);
  add_line_marker(ws, con, 30, "half");
  expect_golden(plot_file("PLOT/PS/LEG", "VERTO1.PS"), "many_sets.ps");
  expect_golden(plot_file("PLOT/PRINT/LEG=4/DROP", "VERTO1.HPG"), "many_sets.hpg");
}

TEST_F(ManyPointsTest, LogAxes) {
  fill(200, 0.01f, 0.03f, 3);
  for (int i = 0; i < ws.Npts; ++i) ws.X[i] = std::pow(10.f, ws.X[i]) * 0.02f;
  expect_golden(plot_file("PLOT/PS/XLOG/YLOG", "VERTO1.PS"), "many_log.ps");
  expect_golden(plot_file("PLOT/PRINT/XLOG/D", "VERTO1.HPG"), "many_log.hpg");
}

TEST_F(ManyPointsTest, ThreeD) {
  fill(200, 100.f, 0.7f, 7);
  line(40, 100.f, 240.f);
  expect_golden(plot_file("PLOT/PS/THETA=120/DROP", "VERTO1.PS"), "many_3d.ps");
  expect_golden(plot_file("PLOT/PRINT", "VERTO1.HPG"), "many_3d.hpg");
}

TEST_F(ManyPointsTest, BackgroundColoursAndErrorBars) {
  fill(200, -0.002f, 0.00003f, 4);
  expect_golden(plot_file("PLOT/PS/B/XS", "VERTO1.PS"), "many_background.ps");
  expect_golden(plot_file("PLOT/PS/D/20:180/OVER", "VERTO1.PS"), "many_errors.ps");
  expect_golden(plot_file("PLOT/PRINT/IS", "VERTO1.HPG"), "many_errors.hpg");
}

// ---------------------------------------------------------------------------
// The rendered page shows the set colours at the symbols.

TEST_F(FilePlotTest, RenderedSymbolsHaveTheirSetColours) {
  if (!have_gs()) GTEST_SKIP() << "ghostscript is not installed";
  add_point(2.f, 2.f);
  add_point(5.f, 5.f);
  add_point(8.f, 8.f);
  add_point(0.f, 0.f);
  add_point(10.f, 10.f);
  add_point_marker(ws, con, 1, "a");
  add_point_marker(ws, con, 2, "b");
  plot_file("PLOT/PS", "VERTO1.PS");
  Image img;
  ASSERT_EQ(check_postscript("VERTO1.PS", &img, 144), "");
  // Limits 0..10 on both axes: a unit is 36 points across and 28 up from
  // (170, 490); 144 dpi is 2 pixels per point. Sets 1, 2 and 3 are red,
  // cyan and green.
  auto classify = [](std::array<int, 3> c) {
    const int r = c[0], g = c[1], b = c[2];
    if (r > 150 && g < 100 && b < 100) return 'R';
    if (r < 100 && g > 120 && b > 150) return 'C';
    if (r < 100 && g > 120 && b < 120) return 'G';
    return '.';
  };
  struct Expect {
    float u, v;
    char colour;
  };
  for (const Expect& e : {Expect{2, 2, 'R'}, Expect{5, 5, 'C'}, Expect{8, 8, 'G'}}) {
    const float xd = 170.f + 36.f * e.u, yd = 490.f + 28.f * e.v;
    std::string seen;
    for (int dy = -6; dy <= 6; ++dy)
      for (int dx = -6; dx <= 6; ++dx) {
        const int x = static_cast<int>(xd * 2.f) + dx;
        const int y = img.h - static_cast<int>(yd * 2.f) + dy;
        const char c = classify(img.at(x, y));
        if (c != '.' && seen.find(c) == std::string::npos) seen += c;
      }
    EXPECT_EQ(seen, std::string(1, e.colour)) << "symbol at " << e.u << "," << e.v;
  }
}

}  // namespace
}  // namespace verto
