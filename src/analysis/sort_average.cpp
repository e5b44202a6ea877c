// SORT and AVERAGE: order the points by one variable; merge points with
// (nearly) the same X, or the same X and Y for three-dimensional data.
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "analysis/processing_commands.h"
#include "analysis/processing_support.h"
#include "core/evaluator.h"
#include "numeric/mdian1.h"
#include "numeric/moment.h"
#include "numeric/sort.h"
#include "numeric/sort3.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

std::span<float> head(std::span<float> a, int n) {
  return a.first(static_cast<std::size_t>(n));
}

// Sorts key(1..n) and carries the two companions.
void sort_carrying(Session& s, std::span<float> key, std::span<float> b, std::span<float> c) {
  const int n = static_cast<int>(key.size());
  std::vector<float> wksp(static_cast<std::size_t>(n));
  std::vector<int> iwksp(static_cast<std::size_t>(n));
  report(s.con, Sort3(n, key, b, c, wksp, iwksp));
}

enum class AverageMode { kMean, kStdDev, kSum };

struct AverageSettings {
  AverageMode mode = AverageMode::kMean;
  bool reject = false;  // /D: outliers are left out
  float max_sd = 2.5f;  // d of /D=d
  float max_delta_x = 1.0e-4f;
  bool exact_rows = false;  // /X: rows of three-dimensional data need equal Y
};

// The qualifiers and the argument; false when the command must end
// silently (a /D= or argument that is not a number).
bool parse_average(Session& s, AverageSettings& a) {
  const std::string_view up = s.ws.upper;
  const auto slash = up.find('/');
  bool sum_number = false;  // "AVERAGE/SUM0.5": the Sum dialog's layout
  if (slash != std::string_view::npos) {
    const std::string_view q = up.substr(slash + 1);
    if (q.starts_with("SUM")) {
      a.mode = AverageMode::kSum;
      sum_number = q.size() > 3 && starts_unsigned_number(q[3]);
    } else if (q.starts_with("SD")) {
      a.mode = AverageMode::kStdDev;
    }
  }
  const auto d = up.find("/D");
  if (d != std::string_view::npos) {
    a.reject = true;
    if (d + 2 < up.size() && up[d + 2] == '=') {
      const int at = static_cast<int>(d) + 4;  // 1-based position after "="
      if (at > static_cast<int>(up.size()) || !starts_unsigned_number(up[d + 3])) return false;
      const std::optional<float> sd = expr::checked_number(s.con, token_at(up, at, " /"));
      if (!sd) return false;
      a.max_sd = *sd;
    }
    write_free(s.con, {"maximum number of std. dev. = ", a.max_sd});
  }
  const int arg = argument_start(up);
  int number_at = 0;
  if (arg > 0) {
    if (!starts_unsigned_number(up[static_cast<std::size_t>(arg - 1)])) return false;
    number_at = arg;
  } else if (sum_number) {
    number_at = static_cast<int>(slash) + 5;
  }
  if (number_at > 0) {
    const std::optional<float> dx = expr::checked_number(s.con, token_at(up, number_at, " /"));
    if (!dx) return false;
    a.max_delta_x = *dx;
    write_free(s.con, {"max_delta_X = ", a.max_delta_x});
  }
  a.exact_rows = up.find("/X") != std::string_view::npos;
  return true;
}

// One group's value (and error) from its values v(1..m) and, in form 4,
// their errors. The median and spread find the outliers; with /D they are
// left out. Fewer than two kept points give the kept point (error 0) or,
// when none is kept, the median (error 0).
struct GroupResult {
  float value = 0.f;
  float error = 0.f;
  int discarded = 0;
};

GroupResult reduce_group(Session& s, const AverageSettings& a, std::span<const float> v,
                         std::span<const float> err, bool weighted, std::vector<float>& work) {
  GroupResult r;
  const int m = static_cast<int>(v.size());
  if (a.mode == AverageMode::kSum) {
    float sum = 0.f, sq = 0.f;
    for (int i = 0; i < m; ++i) {
      sum += v[static_cast<std::size_t>(i)];
      if (!err.empty()) sq += err[static_cast<std::size_t>(i)] * err[static_cast<std::size_t>(i)];
    }
    r.value = sum;
    r.error = std::sqrt(sq);
    return r;
  }
  work.assign(v.begin(), v.end());
  float med = 0.f;
  report(s.con, Mdian1(work, m, med));
  float sd = 1.f;
  if (m > 2) {
    Moments mo;
    report(s.con, Moment(v, m, mo));
    sd = mo.sdev == 0.f ? 1.f : mo.sdev;
  }
  // The kept values (and their errors) go to work[0..k) and work[m..m+k).
  work.resize(2 * static_cast<std::size_t>(m));
  int kept = 0;
  for (int i = 0; i < m; ++i) {
    const float y = v[static_cast<std::size_t>(i)];
    if (std::fabs(y - med) / sd > a.max_sd) {
      ++r.discarded;
      if (a.reject) continue;
    }
    work[static_cast<std::size_t>(kept)] = y;
    if (!err.empty()) work[static_cast<std::size_t>(m + kept)] = err[static_cast<std::size_t>(i)];
    ++kept;
  }
  if (kept == 0) {
    r.value = med;
    return r;
  }
  if (weighted) {
    float sw = 0.f, swy = 0.f;
    for (int i = 0; i < kept; ++i) {
      const float e = work[static_cast<std::size_t>(m + i)];
      const float s2 = e * e;
      swy += work[static_cast<std::size_t>(i)] / s2;
      sw += 1.f / s2;
    }
    r.value = swy / sw;
    r.error = std::sqrt(1.f / sw);
    return r;
  }
  if (m == 1 || kept == 1) {
    r.value = work[0];
    return r;
  }
  Moments mo;
  report(s.con, Moment(work, kept, mo));
  r.value = mo.ave;
  r.error = a.mode == AverageMode::kStdDev ? mo.sdev : mo.sdev / std::sqrt(static_cast<float>(kept));
  return r;
}

float mean_of(std::span<const float> v) {
  float sum = 0.f;
  for (float x : v) sum += x;
  return sum / static_cast<float>(v.size());
}

// Last index of the group that starts at g: points join while their X
// lies within max_delta_x of the group's first X.
int group_end(std::span<const float> x, int g, int n, float max_delta_x) {
  const float x0 = x[static_cast<std::size_t>(g)];
  int e = g;
  while (e + 1 < n && x[static_cast<std::size_t>(e) + 1] - x0 <= max_delta_x) ++e;
  return e;
}

// Forms other than 7: groups along X, results written over the arrays.
int average_points(Session& s, const AverageSettings& a, int& discarded) {
  Workspace& ws = s.ws;
  const int n = ws.Npts;
  auto X = head(ws.X, n), Y = head(ws.Y, n), S = head(ws.S, n);
  sort_carrying(s, X, Y, S);
  const bool weighted = ws.form == 4;
  std::vector<float> work;
  int k = 0;
  for (int g = 0; g < n;) {
    const int e = group_end(X, g, n, a.max_delta_x);
    const std::size_t m = static_cast<std::size_t>(e - g + 1);
    const float x_out = mean_of(X.subspan(static_cast<std::size_t>(g), m));
    const GroupResult r = reduce_group(s, a, Y.subspan(static_cast<std::size_t>(g), m),
                                       S.subspan(static_cast<std::size_t>(g), m), weighted, work);
    discarded += r.discarded;
    X[static_cast<std::size_t>(k)] = x_out;
    Y[static_cast<std::size_t>(k)] = r.value;
    S[static_cast<std::size_t>(k)] = r.error;
    ++k;
    g = e + 1;
  }
  return k;
}

// Form 7: rows of (nearly) equal Y, each grouped along X; Z is averaged.
int average_grid(Session& s, const AverageSettings& a, int& discarded) {
  Workspace& ws = s.ws;
  const int n = ws.Npts;
  auto X = head(ws.X, n), Y = head(ws.Y, n), Z = head(ws.S, n);
  // Sorted by Y once: what remains after a leading row stays sorted.
  sort_carrying(s, Y, X, Z);
  const float row_tol = a.exact_rows ? 0.f : a.max_delta_x;
  std::vector<float> ox, oy, oz, work;
  for (int start = 0; start < n;) {
    int end = start;
    const float ymin = Y[static_cast<std::size_t>(start)];
    while (end + 1 < n && Y[static_cast<std::size_t>(end) + 1] - ymin <= row_tol) ++end;
    const std::size_t rows = static_cast<std::size_t>(end - start + 1);
    auto rx = X.subspan(static_cast<std::size_t>(start), rows);
    auto ry = Y.subspan(static_cast<std::size_t>(start), rows);
    auto rz = Z.subspan(static_cast<std::size_t>(start), rows);
    sort_carrying(s, rx, ry, rz);
    const int rn = static_cast<int>(rows);
    for (int g = 0; g < rn;) {
      const int e = group_end(rx, g, rn, a.max_delta_x);
      const std::size_t m = static_cast<std::size_t>(e - g + 1);
      const auto gs = static_cast<std::size_t>(g);
      ox.push_back(mean_of(rx.subspan(gs, m)));
      oy.push_back(mean_of(ry.subspan(gs, m)));
      GroupResult r = reduce_group(s, a, rz.subspan(gs, m), {}, false, work);
      discarded += r.discarded;
      oz.push_back(r.value);
      g = e + 1;
    }
    start = end + 1;
  }
  const int k = static_cast<int>(ox.size());
  for (int i = 0; i < k; ++i) {
    const auto u = static_cast<std::size_t>(i);
    X[u] = ox[u];
    Y[u] = oy[u];
    Z[u] = oz[u];
  }
  return k;
}

}  // namespace

void cmd_sort(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view up = ws.upper;
  const bool descending = up.find("/D") != std::string_view::npos;
  int var = ws.variable;
  const int arg = argument_start(up);
  if (arg > 0) {
    const char c = up[static_cast<std::size_t>(arg - 1)];
    if (c == 'X') var = 1;
    if (c == 'Y') var = 2;
    if (c == (ws.form == 7 ? 'Z' : 'S')) var = 3;
  }
  const int n = ws.Npts;
  std::span<float> arrays[3] = {head(ws.X, n), head(ws.Y, n), head(ws.S, n)};
  std::span<float> key = arrays[var - 1];
  std::span<float> b = arrays[var == 1 ? 1 : 0];
  std::span<float> c = arrays[var == 3 ? 1 : 2];
  if (descending)
    for (float& v : key) v = -v;
  if (ws.form == 1)
    report(s.con, Sort(n, key));
  else
    sort_carrying(s, key, b, c);
  if (descending)
    for (float& v : key) v = -v;
  rewrite_point_markers(s, "sorted ", "sorted data");
}

void cmd_average(Session& s) {
  AverageSettings a;
  if (!parse_average(s, a)) return;
  Workspace& ws = s.ws;
  const int before = ws.Npts;
  int discarded = 0;
  ws.Npts = ws.form == 7 ? average_grid(s, a, discarded) : average_points(s, a, discarded);
  if (a.reject)
    write_formatted(s.con, "(1X,A,I5,A,I6)",
                    {"Npts discarded ", discarded, " out of total ", before});
  write_formatted(s.con, "(1X,A,I6)", {"Npts = ", ws.Npts});
  rewrite_point_markers(s, "averaged ", "averaged data");
}

}  // namespace verto
