// BIN (HIST): a text histogram of one variable of the XYS data set.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/commands.h"
#include "numeric/sort.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace analysis {

std::vector<int> bin_counts(const std::vector<float>& sorted, int bins) {
  std::vector<int> counts(static_cast<std::size_t>(std::max(bins, 0)), 0);
  if (bins <= 0 || sorted.empty()) return counts;
  const float lo = sorted.front();
  const float width = (sorted.back() - lo) / static_cast<float>(bins - 1);
  // One bin, or no spread at all: nothing to divide by, all in bin 1.
  // (width > 0 is false for a zero or NaN width.)
  if (bins == 1 || !(width > 0.f)) {
    counts[0] = static_cast<int>(sorted.size());
    return counts;
  }
  for (float v : sorted) {
    const int k = round_to_int((v - lo) / width, 0, bins - 1);
    ++counts[static_cast<std::size_t>(k)];
  }
  return counts;
}

std::vector<std::string> histogram_lines(const std::vector<int>& counts) {
  // The longest bar gets 58 characters; short histograms one per value.
  float scale = 1.f;
  for (int c : counts)
    if (static_cast<float>(c) / scale > 58.f) scale = static_cast<float>(c) / 58.f;
  std::vector<std::string> lines;
  lines.reserve(counts.size());
  for (int c : counts) {
    const std::string count = c <= 999 ? format_int(c, 3) : format_int(c / 1000, 2) + "k";
    const int bar = round_to_int(static_cast<float>(c) / scale, 0, 60);
    lines.push_back(" (" + count + ")|" + std::string(static_cast<std::size_t>(bar), 'X'));
  }
  return lines;
}

}  // namespace analysis

namespace {

// Puts a rebuilt line into both line buffers, as typed.
void set_line(Workspace& ws, std::string_view text) {
  ws.line.assign(kLineLength, ' ');
  ws.line.replace(0, std::min<std::size_t>(text.size(), kLineLength),
                  text.substr(0, kLineLength));
  ws.upper = to_upper(ws.line);
}

}  // namespace

void cmd_bin(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view upper = ws.upper;
  const Range range = parse_range(s, upper, ws.Npts, ws.Mpts);
  const int n = range.n2 - range.n1 + 1;

  // The number of bins: up to three leading digits of the argument.
  int bins = 0;
  std::size_t pos = upper.size();
  const int arg = argument_start(upper);
  if (arg > 0) {
    pos = static_cast<std::size_t>(arg - 1);
    for (int d = 0; d < 3 && pos < upper.size() && upper[pos] >= '0' && upper[pos] <= '9'; ++d)
      bins = bins * 10 + (upper[pos++] - '0');
  }
  if (bins <= 0) {
    // The answer replaces the whole line behind a dummy command word, so a
    // range typed on the first line is not kept.
    auto answer = ask(s, "_number of bins:");
    if (!answer) return;
    set_line(ws, "spacer " + to_upper(*answer));
    cmd_bin(s);
    return;
  }

  // An optional variable letter follows as the next word.
  while (pos < upper.size() && upper[pos] >= '0' && upper[pos] <= '9') ++pos;
  while (pos < upper.size() && (upper[pos] == ' ' || upper[pos] == ',')) ++pos;
  int var = ws.variable;
  if (pos < upper.size()) {
    const auto letter = std::string_view("XYS").find(upper[pos]);
    if (letter != std::string_view::npos) var = static_cast<int>(letter) + 1;
  }
  if (n <= 0) return;

  std::span<const float> source = var == 1 ? ws.X : var == 2 ? ws.Y : ws.S;
  const auto from = source.begin() + (range.n1 - 1);
  std::vector<float> data(from, from + n);
  report(s.con, Sort(n, data));

  s.con.record("");
  for (const std::string& line : analysis::histogram_lines(analysis::bin_counts(data, bins)))
    s.con.record(line);
  s.con.record("");
}

}  // namespace verto
