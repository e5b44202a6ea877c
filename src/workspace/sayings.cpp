// YO, YOYO and YO!: the hidden sayings.
#include <array>
#include <string_view>

#include "numeric/random.h"
#include "workspace/commands.h"
#include "core/console.h"
#include "core/session.h"

namespace verto {

namespace {

constexpr std::array<std::string_view, kNumSayings> kSayings = {
    "If you torture the data long enough, they will confess to anything.",
    "Two points make a line. Three points make an argument.",
    "An outlier is a data point that disagrees with your theory.",
    "The error bar is the part of the result you would rather not show.",
    "Correlation is not causation, but it is a very good start for a proposal.",
    "Every smooth curve was once a very noisy set of points.",
    "A fit with nine parameters will describe an elephant; ten make it wave.",
    "Always plot your data before you believe your statistics.",
    "Reduced chi-square near one: either a good model or generous error bars.",
    "The last data point is always the most interesting one.",
    "Extrapolation is the art of being confidently wrong far from the data.",
    "The signal was there all along; it was hiding in the noise.",
    "Back up your data. Then back up the backup.",
    "A histogram with one bin never lies, and never tells you anything.",
    "Log scales make every problem look smaller.",
    "The mean is a compromise that no single measurement agreed to.",
    "If it fits the first time, check the units.",
    "Smoothing hides noise and, now and then, the discovery.",
    "Without a control measurement, a result is just a number.",
    "An FFT shows you the frequencies you forgot to filter out.",
    "The median does not care about your outliers. Be like the median.",
    "Raw data are sacred; write them to a file before you change them.",
    "Measure twice, fit once.",
    "Sign errors are the most reproducible result in physics.",
    "A Gaussian is the shape of a peak that nobody looked at closely.",
    "When in doubt, take more data. When certain, take more data anyway.",
    "Axis labels are cheap; unlabeled plots are expensive.",
    "The best model is the one that survives the next data set.",
};

// Saying number int(28 * u) + 1 for a uniform u in [0, 1), from the same
// generator as RAN.
std::string_view random_saying(Session& s) {
  int k = static_cast<int>(kNumSayings * uniform_deviate(s.expr.random));
  if (k < 0) k = 0;
  if (k >= kNumSayings) k = kNumSayings - 1;
  return kSayings[static_cast<std::size_t>(k)];
}

void print_saying(Session& s, std::string_view text) {
  std::string line = " ";
  line += text;
  s.con.record(line);
}

}  // namespace

std::string_view saying(int number) {
  if (number < 1 || number > kNumSayings) return {};
  return kSayings[static_cast<std::size_t>(number - 1)];
}

void cmd_yo(Session& s) {
  const std::string_view upper = s.ws.upper;
  if (upper.substr(0, 4) == "YOYO") {
    s.con.record(" Nuggets of Wisdom:");
    print_saying(s, random_saying(s));
    print_saying(s, random_saying(s));
  } else if (upper.substr(0, 3) == "YO!") {
    s.con.record(" Nuggets of Wisdom:");
    for (std::string_view text : kSayings) print_saying(s, text);
  } else {
    s.con.record(" Nugget of Wisdom:");
    print_saying(s, random_saying(s));
  }
}

}  // namespace verto
