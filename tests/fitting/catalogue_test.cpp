#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/fit_catalogue.h"
#include "core/parsers.h"
#include "support/command_session.h"
#include "ui/analysis_dialogs.h"

namespace verto {
namespace {

bool has_line(const std::vector<std::string>& lines, std::string_view text) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

// Each model's record is what the dialog shows and writes, what FIT runs
// and reports for that line, and what FIT ? and HELP FIT list.
TEST(FitCatalogue, OneRecordDrivesTheDialogFitAndHelp) {
  testing::CommandSession cs;
  const auto listing = cs.run("FIT ?", {"POLY=1"});
  const auto help = cs.run("HELP FIT");

  int positions = 0, failed = 0;
  for (const ModelInfo& m : fit_models()) {
    SCOPED_TRACE(std::string(m.name));
    positions |= 1 << m.dialog_position;
    EXPECT_EQ(ui::fit_model_name(m.dialog_position), m.dialog_name);
    EXPECT_EQ(ui::fit_formula(m.dialog_position), m.formula);
    EXPECT_EQ(ui::fit_is_peak_model(m.dialog_position), m.peak);
    EXPECT_TRUE(has_line(listing, m.list_line));
    EXPECT_TRUE(has_line(help, " " + std::string(m.syntax))) << m.syntax;

    ui::FitDialog d = ui::open_fit_dialog(m.dialog_position);
    d.parameter = "2";
    d.x1 = "8";
    d.x2 = "12";
    const auto lines = ui::fit_lines(d).lines;
    ASSERT_EQ(lines.size(), 1u);
    const std::string word = to_upper(lines[0].substr(lines[0].find(' ') + 1));
    EXPECT_EQ(match_model(word), &m) << lines[0];

    cs.s.ws.Npts = 0;
    cs.s.ws.form = 3;
    cs.run("MAKE 20");
    cs.run("MATH X=I");
    cs.run("MATH Y=1+5*EXP(-((X-10)/3)^2)");
    const auto report = cs.run(lines[0]);
    // One peak in twenty points leaves a model or two singular; those
    // report no banner.
    if (has_line(report, "The fit failed")) {
      ++failed;
      continue;
    }
    for (std::string_view banner : m.banner) {
      if (!banner.empty() && m.parameter != FitParameter::Power) {
        EXPECT_TRUE(has_line(report, trim_right(banner))) << lines[0];
      }
    }
    EXPECT_EQ(has_line(report, "FWHM"), m.peak) << lines[0];

  }
  EXPECT_LE(failed, 1);
  EXPECT_EQ(positions, ((1 << (kFitModelCount + 1)) - 1) & ~1) << "every place once";
}

}  // namespace
}  // namespace verto
