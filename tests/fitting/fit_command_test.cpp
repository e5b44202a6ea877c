// FIT as a command: the prompt and catalogue, keyword matching, the
// "=value" rules, qualifiers, the report, the line output and markers,
// subtraction, refusals, and Npts restored on every way out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fitting/catalogue.h"
#include "fitting/fit_session.h"
#include "fitting/procedures.h"

namespace verto {
namespace {

using test::FitSession;
using Lines = std::vector<std::string>;

bool contains(const Lines& lines, const std::string& text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// Points on y = f(x) at x = x0, x0 + dx, ...
void fill(FitSession& f, int n, float x0, float dx, float (*fn)(float)) {
  std::vector<float> x, y;
  for (int i = 0; i < n; ++i) {
    x.push_back(x0 + dx * static_cast<float>(i));
    y.push_back(fn(x.back()));
  }
  f.set_points(x, y);
}

float parabola(float x) { return 1.f + 2.f * x + 3.f * x * x; }
float line(float x) { return 2.f + 0.5f * x; }
float peak(float x) { return 3.f * std::exp(-std::pow((x - 5.f) / 1.2f, 2.f)) + 0.5f; }

// The parameter rows of the report: index, value (and error).
std::vector<std::vector<double>> parameter_rows(const Lines& lines) {
  std::vector<std::vector<double>> rows;
  bool in_table = false;
  for (const auto& l : lines) {
    if (l.find("------------------------------------") != std::string::npos) {
      in_table = true;
      continue;
    }
    if (!in_table) continue;
    if (l.empty()) break;
    std::vector<double> row;
    const char* p = l.c_str();
    while (*p) {
      char* end = nullptr;
      const double v = std::strtod(p, &end);
      if (end == p) {
        ++p;
        continue;
      }
      row.push_back(v);
      p = end;
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(FitCommand, QuestionMarkShowsTheCatalogueThenPrompts) {
  FitSession f;
  fill(f, 11, 0.f, 1.f, parabola);
  f.con.add_input("poly=2");
  const Lines out = f.run("FIT ?");
  ASSERT_GE(out.size(), 19u);
  EXPECT_EQ(out[0], "");
  EXPECT_EQ(out[1], " VERTO! Fitting Function:");
  EXPECT_EQ(out[3], " POLY=n      : n-th order polynomial");
  EXPECT_EQ(out[10], " GAUSS2 x1,x2: Sum of two Gaussian peaks withcenters at x1, x2 [=width]");
  EXPECT_EQ(out[16], " ARRHENIUS   : Arrhenius form");
  EXPECT_EQ(out[17], "");
  EXPECT_EQ(out[18], " _function:poly=2");
  // The reply fits a parabola.
  const auto rows = parameter_rows(out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_NEAR(rows[0][1], 1.0, 1e-3);
  EXPECT_NEAR(rows[1][1], 2.0, 1e-3);
  EXPECT_NEAR(rows[2][1], 3.0, 1e-4);
  EXPECT_EQ(f.s.ws.Nline, 100);
}

TEST(FitCommand, NoArgumentPromptsAndEndOfInputEndsQuietly) {
  FitSession f;
  fill(f, 11, 0.f, 1.f, parabola);
  Lines out = f.run("FIT");
  EXPECT_EQ(out, Lines{" _function:"});
  f.con.add_input("h");
  f.con.add_input("pol=1");
  out = f.run("fit");
  EXPECT_TRUE(contains(out, " VERTO! Fitting Function:"));
  EXPECT_EQ(parameter_rows(out).size(), 2u);
  // An unknown keyword ends the command without output.
  EXPECT_TRUE(f.run("FIT BANANA").empty());
  EXPECT_EQ(f.s.ws.Npts, 11);
}

TEST(FitCommand, KeywordsMatchInCatalogueOrder) {
  FitSession f;
  fill(f, 101, 0.f, 0.1f, peak);
  auto banner_end = [&](const std::string& cmd) {
    const Lines out = f.run(cmd);
    for (const auto& l : out)
      if (l.rfind("       Y =", 0) == 0) return l;
    return std::string("(none)");
  };
  EXPECT_EQ(banner_end("FIT GAUSSB"), "       Y = a0 * e               +a3");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Gaussian with bkg.");
  EXPECT_EQ(banner_end("FIT GAUSS"), "       Y = a0 * e     ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Gaussian");
  EXPECT_EQ(banner_end("FIT GA"), "       Y = a0 * e     ");
  EXPECT_EQ(banner_end("FIT ASYMB"), "       Y = a0 * e                                      + a3");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Asym. Gauss with bkg");
  EXPECT_EQ(banner_end("FIT ASYMMETRIC"), "       Y = a0 * e                                  ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Asym. Gaussian");
  EXPECT_EQ(banner_end("FIT DE"), "       Y = a0 * e     ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit exp. decay");
  EXPECT_EQ(banner_end("FIT RISE"), "       Y = a0 * (1 - e           )");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit exp. rise");
  EXPECT_EQ(banner_end("FIT MORSE"), "       Y = a0 * [ 1 - e            ]   + a3");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Morse potential");
  EXPECT_EQ(banner_end("fit maxwell"), "       Y = [2/Sqrt(pi)] * a0 * x   * a1    * e     ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Maxwellian Distr.");
  EXPECT_EQ(banner_end("FIT DRUYVEST"), "       Y = [1/Sqrt(pi)] *a0 *x   *a1    * e       ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Druyvesteyn Distr.");
  // Data starting at x = 0 are outside the ARRHENIUS domain.
  EXPECT_EQ(banner_end("FIT AR"), "(none)");
  EXPECT_EQ(banner_end("FIT/2:101 AR"), "       Y =  a0 * x    *  e      ");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit Arrhenius form");
}

TEST(FitCommand, BannersAndTableLayout) {
  FitSession f;
  fill(f, 101, 0.f, 0.1f, peak);
  const Lines out = f.run("FIT GAUSS2 4,6");
  const Lines head = {"",
                      "",
                      "                             2",
                      "                 -[(X-a1)/a2]         -[(X-a4)/a2]",
                      "       Y = a0 * e             + a3 * e  ",
                      "",
                      "",
                      "           a       value           error",
                      "          ------------------------------------"};
  ASSERT_GT(out.size(), head.size());
  EXPECT_EQ(Lines(out.begin(), out.begin() + head.size()), head);
  // The held positions have no error.
  EXPECT_EQ(out[10], " 1 4  +/-   ***bad error***");
  EXPECT_EQ(out[13], " 4 6  +/-   ***bad error***");
  EXPECT_EQ(out[14], "");
  EXPECT_EQ(out[15].rfind("        FWHM         ", 0), 0u);
  EXPECT_EQ(out[16].rfind("        peak-1 area  ", 0), 0u);
  EXPECT_EQ(out[17].rfind("        peak-2 area  ", 0), 0u);
  EXPECT_EQ(out[18], "");
  EXPECT_EQ(out[19].rfind(" reduced ChiSq =  ", 0), 0u);
  EXPECT_EQ(out[20], "");
  EXPECT_EQ(out.size(), 21u);

  const Lines asym = f.run("FIT ASYM");
  EXPECT_EQ(asym[2], "                                                     2");
  EXPECT_EQ(asym[3], "                 -[(X-a1)/a2 * (1+exp(a3*(X-a1))/2) ] ");
  EXPECT_TRUE(std::any_of(asym.begin(), asym.end(), [](const std::string& l) {
    return l.rfind("        FWHM_0     ", 0) == 0;
  }));
}

TEST(FitCommand, PeakAreasAndWidths) {
  FitSession f;
  fill(f, 101, 0.f, 0.1f, peak);
  const Lines out = f.run("FIT GAUSSB");
  const auto fwhm = f.numbers_after(out, "       FWHM      ");
  const auto area = f.numbers_after(out, "       peak area ");
  ASSERT_EQ(fwhm.size(), 2u);
  ASSERT_EQ(area.size(), 2u);
  EXPECT_NEAR(fwhm[0], kFwhmFactor * 1.2, 1e-4);
  EXPECT_NEAR(area[0], 3.0 * 1.2 * std::sqrt(3.14159), 1e-3);
  // ASYM with c = 0 sums numerically to the same area.
  const Lines asym = f.run("FIT/NL ASYMB");
  const auto asym_area = f.numbers_after(asym, "       peak area ");
  ASSERT_EQ(asym_area.size(), 2u);
  EXPECT_NEAR(asym_area[0], area[0], 1e-3 * area[0]);
  // A requested width is held.
  const Lines held = f.run("FIT GAUSSIAN=2");
  const auto held_fwhm = f.numbers_after(held, "       FWHM      ");
  ASSERT_EQ(held_fwhm.size(), 2u);
  EXPECT_FLOAT_EQ(static_cast<float>(held_fwhm[0]), 2.f);
  EXPECT_GT(held_fwhm[1], 0.0);
}

TEST(FitCommand, PolyPowAndExpValues) {
  FitSession f;
  fill(f, 11, 1.f, 1.f, parabola);
  EXPECT_EQ(parameter_rows(f.run("FIT POLY=2.5")).size(), 4u);  // n = 3
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit poly=3");
  EXPECT_EQ(parameter_rows(f.run("FIT POLY=-2")).size(), 3u);  // the sign is dropped
  EXPECT_EQ(parameter_rows(f.run("FIT POLY=.6")).size(), 2u);
  EXPECT_EQ(parameter_rows(f.run("FIT EXP=1")).size(), 2u);
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit exp=1");

  const Lines pow = f.run("FIT POW=-0.5");
  EXPECT_EQ(pow[3], "       Y = a0 * X    where p = -0.5");
  EXPECT_EQ(pow[2], "                 p");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit power=-.5000");
  f.run("FIT POW=2");
  EXPECT_EQ(f.s.ws.line_markers.entries[0].label, "Fit power=2.0000");
}

TEST(FitCommand, ValueRulesAndRefusals) {
  FitSession f;
  fill(f, 11, 1.f, 1.f, parabola);
  f.run("FIT POLY=1");
  const int nline = f.s.ws.Nline;
  const float ly = f.s.ws.LY[5];
  EXPECT_EQ(f.run("FIT POLY"),
            Lines{"<<<VERTO!!!>>> POLY needs its order: POLY=n with n from 0 to 8."});
  EXPECT_EQ(f.run("FIT EXP"),
            Lines{"<<<VERTO!!!>>> EXP needs its order: EXP=n with n from 0 to 8."});
  EXPECT_EQ(f.run("FIT POW"),
            Lines{"<<<VERTO!!!>>> POW needs its power: POW=p, for example POW=-0.5."});
  EXPECT_EQ(f.run("FIT POLY=9"), Lines{"<<<VERTO!!!>>> POLY=n takes n from 0 to 8."});
  EXPECT_EQ(f.run("FIT EXP=12"), Lines{"<<<VERTO!!!>>> EXP=n takes n from 0 to 8."});
  // A value that does not start like a number ends the command quietly.
  EXPECT_TRUE(f.run("FIT POLY=A").empty());
  EXPECT_TRUE(f.run("FIT POLY= 2").empty());
  EXPECT_TRUE(f.run("FIT GAUSSB=-1").empty());
  EXPECT_TRUE(f.run("FIT GAUSS2 -4,6").empty());
  EXPECT_EQ(f.run("FIT GAUSS2 4"),
            Lines{"<<<VERTO!!!>>> GAUSS2 needs both peak positions: GAUSS2 x1,x2"});
  // Fewer points than parameters.
  EXPECT_EQ(f.run("FIT/1:3 POLY=3"),
            Lines{"<<<VERTO!!!>>> Too few points for this fit: 3 point(s) for 4 "
                  "parameter(s). No fit done."});
  EXPECT_EQ(f.s.ws.Nline, nline);
  EXPECT_EQ(f.s.ws.LY[5], ly);
  EXPECT_EQ(f.s.ws.Npts, 11);
}

TEST(FitCommand, DomainRefusalsChangeNothing) {
  FitSession f;
  f.set_points({-1.f, 0.f, 1.f, 2.f, 3.f}, {1.f, -2.f, 0.f, 4.f, 5.f});
  f.s.ws.Nline = 7;
  const Lines decay = f.run("FIT DECAY");
  EXPECT_EQ(decay, Lines{"<<<VERTO!!!>>> DECAY needs every y above 0; point 2 and 1 more "
                         "out of the model's domain. No fit done."});
  EXPECT_EQ(f.run("FIT/3:5 DECAY").size(), 1u);  // point 3 has y = 0
  EXPECT_EQ(f.run("FIT POW=0.5"),
            Lines{"<<<VERTO!!!>>> POW needs X**p defined at every point; point 1 out of "
                  "the model's domain. No fit done."});
  EXPECT_EQ(f.run("FIT POW=-1"),
            Lines{"<<<VERTO!!!>>> POW needs X**p defined at every point; point 2 out of "
                  "the model's domain. No fit done."});
  EXPECT_GT(f.run("FIT POW=2").size(), 1u);  // whole powers of negative x are fine
  f.s.ws.Nline = 7;
  EXPECT_EQ(f.run("FIT MAXWELL").size(), 1u);
  EXPECT_EQ(f.run("FIT DRUYVEST").size(), 1u);
  EXPECT_EQ(f.run("FIT/2:5 ARRHENIUS"),
            Lines{"<<<VERTO!!!>>> ARRHENIUS needs every x above 0; point 2 out of the "
                  "model's domain. No fit done."});
  EXPECT_EQ(f.s.ws.Nline, 7);
  EXPECT_EQ(f.s.ws.Npts, 5);
  EXPECT_EQ(f.s.ws.Y[1], -2.f);
}

TEST(FitCommand, ErrorBarsByForm) {
  FitSession f;
  f.set_points({1, 2, 3, 4}, {3, 5, 7, 9}, {0.5f, 0.f, 0.5f, 0.f});
  const std::string warning =
      "<<<VERTO!!!>>>  Warning! A zero error bar encountered, value set to 1.";
  f.s.ws.form = 4;
  Lines out = f.run("FIT POLY=1");
  EXPECT_EQ(std::count(out.begin(), out.end(), warning), 2);
  EXPECT_EQ(out[0], warning);
  f.s.ws.form = 3;
  out = f.run("FIT POLY=1");
  EXPECT_EQ(std::count(out.begin(), out.end(), warning), 0);
  f.s.ws.form = 1;
  out = f.run("FIT POLY=1");
  EXPECT_EQ(std::count(out.begin(), out.end(), warning), 0);
  f.s.ws.form = 2;
  out = f.run("FIT POLY=1");
  EXPECT_EQ(std::count(out.begin(), out.end(), warning), 2);

  // Form 4 weights: the error bars set the reported errors.
  f.set_points({1, 2, 3, 4}, {3, 5, 7, 9.5f}, {0.1f, 0.1f, 0.1f, 0.1f});
  f.s.ws.form = 4;
  const auto small = parameter_rows(f.run("FIT POLY=1"));
  f.s.ws.form = 3;
  const auto unit = parameter_rows(f.run("FIT POLY=1"));
  ASSERT_EQ(small.size(), 2u);
  ASSERT_EQ(unit.size(), 2u);
  EXPECT_NEAR(small[1][2], 0.1 * unit[1][2], 1e-4);
}

TEST(FitCommand, ReducedChiSquare) {
  FitSession f;
  f.set_points({1, 2, 3, 4, 5}, {1, 3, 2, 5, 4});
  auto chi = [&](const std::string& cmd) {
    const auto v = f.numbers_after(f.run(cmd), "reduced ChiSq = ");
    return v.empty() ? -1.0 : v[0];
  };
  // Residual sum of squares of the least-squares line y = 0.6 + 0.8 x.
  EXPECT_NEAR(chi("FIT POLY=1"), 3.6 / 3.00001, 1e-5);
  f.set_points({1, 2, 3, 4, 5, 6}, {2, 1, 2, 1, 2, 1});
  EXPECT_NEAR(chi("FIT POLY=0"), 1.5 / 5.00001, 1e-6);
  // m = ma: the chi-square left by the procedure over 0.00001.
  const std::vector<float> x = {0, 1, 2}, y = {1, 3, 2}, sig = {1, 1, 1};
  f.set_points(x, y);
  FitInput in;
  in.x = x;
  in.y = y;
  in.sig = sig;
  in.n = 3;
  FitRequest req;
  req.ma = 3;
  FitResult r;
  ASSERT_EQ(run_fit_procedure(f.con, model_info(kModelGaussian), in, req, r), FitStatus::Ok);
  EXPECT_EQ(static_cast<float>(chi("FIT GAUSSIAN")), r.chisq / 0.00001f);
}

TEST(FitCommand, LineLimitsAndPoints) {
  FitSession f;
  std::vector<float> x, y;
  for (int i = 0; i < 20; ++i) {
    x.push_back(0.13f + (9.7f - 0.13f) * static_cast<float>(i) / 19.f);
    y.push_back(line(x.back()));
  }
  f.set_points(x, y);
  f.run("FIT/5:10 POLY=1");
  ASSERT_EQ(f.s.ws.Nline, 100);
  // The limits come from all points, rounded outwards.
  EXPECT_EQ(f.s.ws.LX[0], 0.f);
  EXPECT_EQ(f.s.ws.LX[99], 10.f);
  EXPECT_NEAR(f.s.ws.LX[1], 10.f / 99.f, 1e-6f);
  for (int i = 0; i < 100; ++i) EXPECT_NEAR(f.s.ws.LY[i], line(f.s.ws.LX[i]), 1e-4f);
  f.run("FIT/D POLY=1");
  EXPECT_EQ(f.s.ws.LX[0], 0.13f);
  EXPECT_EQ(f.s.ws.LX[99], 9.7f);
}

TEST(FitCommand, NoLineAddAndMarkers) {
  FitSession f;
  fill(f, 10, 1.f, 1.f, line);
  f.run("FIT POLY=1");
  EXPECT_EQ(f.s.ws.Nline, 100);
  f.run("FIT/A POLY=0");
  EXPECT_EQ(f.s.ws.Nline, 200);
  ASSERT_EQ(f.s.ws.line_markers.count, 2);
  EXPECT_EQ(f.s.ws.line_markers.entries[0].index, 100);
  EXPECT_EQ(f.s.ws.line_markers.entries[1].index, 200);
  EXPECT_EQ(f.s.ws.line_markers.entries[1].label, "Fit poly=0");
  // /NL/A leaves the points; /NL alone empties the line data set.
  f.run("FIT/NL/A POLY=1");
  EXPECT_EQ(f.s.ws.Nline, 200);
  EXPECT_EQ(f.s.ws.line_markers.count, 3);
  f.run("FIT/NL POLY=1");
  EXPECT_EQ(f.s.ws.Nline, 0);
  EXPECT_EQ(f.s.ws.line_markers.count, 1);
  // Without the auto-marker flag no marker is added (the list is cleared).
  f.s.ws.auto_marker = 0;
  f.run("FIT POLY=1");
  EXPECT_EQ(f.s.ws.Nline, 100);
  EXPECT_EQ(f.s.ws.line_markers.count, 0);
}

TEST(FitCommand, AppendRefusedWhenTheLineDataSetIsFull) {
  FitSession f;
  fill(f, 10, 1.f, 1.f, line);
  f.s.ws.Nline = 49950;
  EXPECT_EQ(f.run("FIT/A POLY=1").back(),
            "<<<VERTO!!!>>> The line data set has no room for 100 more points (lines = "
            "49950, max 50000); no line added.");
  EXPECT_EQ(f.s.ws.Nline, 49950);
  f.s.ws.Nline = 10;
  f.s.ws.line_markers.count = 100;
  EXPECT_EQ(f.run("FIT/A POLY=1").back(),
            "<<<VERTO!!!>>> The line-marker list is full (max 100); no line added.");
  EXPECT_EQ(f.s.ws.Nline, 10);
  // Without /A the line data set starts over.
  f.run("FIT POLY=1");
  EXPECT_EQ(f.s.ws.Nline, 100);
  EXPECT_EQ(f.s.ws.line_markers.count, 1);
}

TEST(FitCommand, SubtractAllPointsOrOnlyTheRange) {
  FitSession f;
  fill(f, 30, 1.f, 1.f, line);
  f.s.ws.Nline = 5;
  f.s.ws.line_markers.count = 1;
  const Lines out = f.run("FIT/S/D/10:20 POLY=1");
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out[out.size() - 3], "");
  EXPECT_EQ(out[out.size() - 2], " No line output. Fit subtracted from data.");
  EXPECT_EQ(out[out.size() - 1], "");
  for (int k = 1; k <= 30; ++k) {
    if (k >= 10 && k <= 20)
      EXPECT_NEAR(f.s.ws.Y[k - 1], 0.f, 1e-4f) << k;
    else
      EXPECT_EQ(f.s.ws.Y[k - 1], line(static_cast<float>(k))) << k;
  }
  EXPECT_EQ(f.s.ws.Nline, 5);
  EXPECT_EQ(f.s.ws.line_markers.count, 1);
  fill(f, 30, 1.f, 1.f, line);
  f.run("FIT/SUB/10:20 POLY=1");
  for (int k = 1; k <= 30; ++k) EXPECT_NEAR(f.s.ws.Y[k - 1], 0.f, 1e-4f) << k;
}

TEST(FitCommand, Gauss2PositionsFromThePrompt) {
  FitSession f;
  fill(f, 101, 0.f, 0.1f, peak);
  f.con.add_input("-1.5, 5");
  Lines out = f.run("FIT GAUSS2");
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out[0], "Specify locations of peaks  x1,x2   :     -1.5, 5");
  const auto rows = parameter_rows(out);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[1][1], -1.5);
  EXPECT_EQ(rows[4][1], 5.0);
  // A reply that is not two numbers ends the command.
  f.s.ws.Nline = 3;
  f.con.add_input("4 x");
  out = f.run("FIT GAUSS2");
  EXPECT_EQ(out.size(), 1u);
  EXPECT_EQ(f.s.ws.Nline, 3);
  // Blank-separated positions and a width on the command line.
  out = f.run("FIT GAUSS2=2 4.5 5.5");
  const auto blank = parameter_rows(out);
  ASSERT_EQ(blank.size(), 5u);
  EXPECT_EQ(blank[1][1], 4.5);
  EXPECT_EQ(blank[4][1], 5.5);
  EXPECT_EQ(out[11], " 2 1.2011224  +/-   ***bad error***");
}

TEST(FitCommand, NptsRestoredOnEveryWayOut) {
  FitSession f;
  fill(f, 40, 1.f, 1.f, line);
  for (const char* cmd : {"FIT/5:10 POLY=1", "FIT/5:10/S POLY=1", "FIT/5:10 POLY",
                          "FIT/5:6 POLY=4", "FIT/5:10 GAUSS2 1", "FIT/5:10 BANANA",
                          "FIT/5:10 GAUSS2"}) {
    f.run(cmd);
    EXPECT_EQ(f.s.ws.Npts, 40) << cmd;
  }
  f.set_points({1, 2, 3, 4}, {1, -1, 2, 3});
  f.run("FIT/1:3 DECAY");
  EXPECT_EQ(f.s.ws.Npts, 4);
}

TEST(FitCommand, SingularSystemReportsAndChangesNothing) {
  FitSession f;
  // All x equal: a straight line cannot be fitted.
  f.set_points({2, 2, 2, 2}, {1, 2, 3, 4});
  f.s.ws.Nline = 4;
  for (int i = 0; i < 4; ++i) f.con.add_input("");
  const Lines out = f.run("FIT POLY=1");
  EXPECT_TRUE(contains(out, "singular matrix in gaussj"));
  EXPECT_EQ(out.back(),
            "<<<VERTO!!!>>> The fit failed: its least-squares system is singular. Nothing "
            "changed.");
  EXPECT_EQ(f.s.ws.Nline, 4);
  EXPECT_EQ(f.s.ws.Npts, 4);
}

}  // namespace
}  // namespace verto
