#pragma once
// Commands of the analysis subsystem that look at the XYS data set
// without changing it: STAT (descriptive statistics of one variable) and
// BIN (a text histogram of one variable).
#include <string>
#include <vector>

namespace verto {

struct Session;

void cmd_stat(Session& s);
void cmd_bin(Session& s);

namespace analysis {

// Histogram counts of `sorted` (ascending) in `bins` bins: the first bin is
// centred on the smallest value, the last on the largest, and a value goes
// to the nearest centre (halves upwards). With one bin, or when all values
// are equal, every value is counted in the first bin.
std::vector<int> bin_counts(const std::vector<float>& sorted, int bins);

// The lines of a histogram bar chart for `counts`, each "(nnn)|XXX...":
// the count in three columns (counts above 999 in thousands, " 12k"
// style, so the bars stay aligned) and a bar of at most 58 characters.
std::vector<std::string> histogram_lines(const std::vector<int>& counts);

}  // namespace analysis
}  // namespace verto
