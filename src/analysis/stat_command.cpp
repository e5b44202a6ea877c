// STAT: moments, kurtosis class, extremes, median and sum of one variable
// of the XYS data set over a range of points, and the error-weighted
// average for data that carry errors (forms 2 and 4).
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "analysis/commands.h"
#include "numeric/mdian1.h"
#include "numeric/moment.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

// The variable named by the first character of the argument; the current
// variable when there is none or it names nothing. The third array is S
// outside form 7 and Z in form 7.
int stat_variable(const Workspace& ws, std::string_view upper) {
  const int arg = argument_start(upper);
  if (arg <= 0) return ws.variable;
  switch (upper[static_cast<std::size_t>(arg - 1)]) {
    case 'X': return 1;
    case 'Y': return 2;
    case 'S': return ws.form != 7 ? 3 : ws.variable;
    case 'Z': return ws.form == 7 ? 3 : ws.variable;
    default: return ws.variable;
  }
}

const char* kurtosis_class(float curt) {
  if (curt < -0.5f) return "platykurtic";
  if (curt > 0.5f) return "leptokurtic";
  return "mesokurtic ";
}

}  // namespace

void cmd_stat(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const Range range = parse_range(s, ws.upper, ws.Npts, ws.Mpts);
  const int n = range.n2 - range.n1 + 1;
  if (n < 2) {
    con.record("<<<VERTO!!!>>> Must have at least 2 points!");
    return;
  }
  const int var = stat_variable(ws, ws.upper);
  std::span<const float> source = var == 1 ? ws.X : var == 2 ? ws.Y : ws.S;
  const auto from = source.begin() + (range.n1 - 1);
  std::vector<float> data(from, from + n);

  Moments m;
  report(con, Moment(data, n, m));
  float sum = 0.f;
  for (float v : data) sum += v;
  // The median sorts its copy, which then also gives the extremes.
  std::vector<float> sorted = data;
  float median = 0.f;
  report(con, Mdian1(sorted, n, median));

  const char letter = "XYS"[var - 1];
  con.record("");
  con.record("");
  write_formatted(con, "(1X,A,A,A,I7,A)",
                  {"Statistics on ", std::string_view(&letter, 1), " for ", n, " data points:"});
  con.record("");
  write_free(con, {"Average   = ", m.ave});
  write_free(con, {"Avg. Dev. = ", m.adev});
  write_free(con, {"Std. Dev. = ", m.sdev});
  write_free(con, {"Variance  = ", m.var});
  write_free(con, {"Skew      = ", m.skew});
  write_free(con, {"Kurtosis  = ", m.curt});
  // The class word stands under the kurtosis value.
  con.record(std::string(14, ' ') + "(" + kurtosis_class(m.curt) + ")");
  con.record("");
  write_free(con, {"Minimum = ", sorted.front()});
  write_free(con, {"Maximum = ", sorted.back()});
  write_free(con, {"Median  = ", median});
  write_free(con, {"Sum     = ", sum});
  con.record("");

  if (ws.form == 2 || ws.form == 4) {
    // Weights 1/S^2 of the same points; a zero error is not checked and
    // gives an infinite or undefined average.
    float sum_w = 0.f, sum_dw = 0.f;
    for (int i = 0; i < n; ++i) {
      const float e = ws.S[static_cast<std::size_t>(range.n1 - 1 + i)];
      const float w = 1.f / (e * e);
      sum_w += w;
      sum_dw += data[static_cast<std::size_t>(i)] * w;
    }
    write_free(con, {"weighted average = ", sum_dw / sum_w, " +/- ", std::sqrt(1.f / sum_w)});
    con.record("");
  }
}

}  // namespace verto
