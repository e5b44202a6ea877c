// D and DD: first and second derivative of Y over X by local weighted
// least-squares parabolas, written into the line data set.
#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "analysis/processing_commands.h"
#include "analysis/processing_support.h"
#include "core/evaluator.h"
#include "numeric/fpoly.h"
#include "numeric/lfit.h"
#include "numeric/sort3.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

struct Points {
  std::vector<float> x, y, w;
  int size() const { return static_cast<int>(x.size()); }
};

// One pass of windows along ascending x: each window spans at least
// delta_x from its start and holds at least order + 2 distinct X values;
// its parabola's slope at the window's mean X is one result point. The
// window that reaches the last point gives none.
Points derivative_pass(Session& s, const Points& p, int order, float delta_x) {
  Points out;
  const int n = p.size();
  const std::span<const float> x(p.x), y(p.y), w(p.w);
  float a[3], covar[9];
  int lista[3];
  std::vector<float> t(static_cast<std::size_t>(n)), yc(static_cast<std::size_t>(n));
  int j = 0;
  float x_start = n > 0 ? x[0] : 0.f;
  while (j < n - 1) {
    int k = j, distinct = 1;
    float largest = x[static_cast<std::size_t>(j)];
    auto grow = [&] {
      ++k;
      if (x[static_cast<std::size_t>(k)] > largest) {
        largest = x[static_cast<std::size_t>(k)];
        ++distinct;
      }
    };
    do grow();
    while (k < n - 1 && x[static_cast<std::size_t>(k)] - x_start < delta_x);
    while (k < n - 1 && distinct < order + 2) grow();
    if (k >= n - 1) break;
    const auto first = static_cast<std::size_t>(j);
    const auto count = static_cast<std::size_t>(k - j + 1);
    // The parabola is fitted about the window's centre: X relative to the
    // mean X, scaled to [-1, 1], and Y relative to its mean. On data far
    // from zero (X = 400.00, 400.01, ...) the powers of the raw X make
    // normal equations that single precision cannot solve; centred and
    // scaled they are well conditioned, and the slope at the mean X is the
    // linear coefficient divided by the scale.
    double sum_x = 0.0, sum_y = 0.0;
    for (std::size_t i = first; i < first + count; ++i) {
      sum_x += x[i];
      sum_y += y[i];
    }
    const double mean_x = sum_x / static_cast<double>(count);
    const double mean_y = sum_y / static_cast<double>(count);
    double half_width = 0.0;
    for (std::size_t i = first; i < first + count; ++i)
      half_width = std::max(half_width, std::fabs(static_cast<double>(x[i]) - mean_x));
    if (!(half_width > 0.0) || !std::isfinite(half_width)) half_width = 1.0;
    for (std::size_t i = 0; i < count; ++i) {
      t[i] = static_cast<float>((static_cast<double>(x[first + i]) - mean_x) / half_width);
      yc[i] = static_cast<float>(static_cast<double>(y[first + i]) - mean_y);
    }
    for (int i = 0; i < 3; ++i) {
      a[i] = 0.f;
      lista[i] = i + 1;
    }
    float chisq = 0.f;
    if (report(s.con, Lfit(std::span<const float>(t).first(count), std::span<const float>(yc).first(count),
                           w.subspan(first, count), static_cast<int>(count), a, 3, lista, 3, covar, 3,
                           chisq, Fpoly))) {
      out.x.push_back(static_cast<float>(mean_x));
      out.y.push_back(static_cast<float>(static_cast<double>(a[1]) / half_width));
      out.w.push_back(1.f);
    }
    j = k;
    x_start = largest;
  }
  return out;
}

}  // namespace

void cmd_d(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view up = ws.upper;
  const int order = up.starts_with("DD") ? 2 : 1;
  const int arg = argument_start(up);
  const std::string_view before_arg = arg > 0 ? up.substr(0, static_cast<std::size_t>(arg - 1)) : up;
  const bool add = before_arg.find("/A") != std::string_view::npos;

  auto [n1, n2] = parse_range(s, before_arg, ws.Npts, add ? ws.Nline : 0);
  n2 = std::min(n2, ws.Npts);
  Points p;
  const bool unit_weights = ws.form == 1 || ws.form == 3;
  for (int i = n1; i <= n2; ++i) {
    const auto u = static_cast<std::size_t>(i - 1);
    float w = unit_weights ? 1.f : ws.S[u];
    if (w == 0.f) {
      s.con.record("<<<VERTO!!!>>>  Warning! A zero error bar encountered, value set to 1.");
      w = 1.f;
    }
    p.x.push_back(ws.X[u]);
    p.y.push_back(ws.Y[u]);
    p.w.push_back(w);
  }
  // The windows need ascending X: unordered data are taken in sorted order
  // (the data set itself stays as it is).
  const int n = p.size();
  bool ascending = true;
  for (int i = 1; i < n && ascending; ++i)
    ascending = !(p.x[static_cast<std::size_t>(i)] < p.x[static_cast<std::size_t>(i) - 1]);
  if (!ascending) {
    std::vector<float> wksp(static_cast<std::size_t>(n));
    std::vector<int> iwksp(static_cast<std::size_t>(n));
    report(s.con, Sort3(n, p.x, p.y, p.w, wksp, iwksp));
  }

  float delta_x = n > 0 ? (p.x.back() - p.x.front()) * 0.01f : 0.f;
  // An argument that is not a number, or that cannot be converted, ends the
  // command before the line data set is emptied.
  if (arg > 0) {
    if (!starts_unsigned_number(up[static_cast<std::size_t>(arg - 1)])) return;
    const std::optional<float> typed = expr::checked_number(s.con, token_at(up, arg));
    if (!typed) return;
    delta_x = *typed;
    write_free(s.con, {"delta_X = ", delta_x});
  }

  if (!add) ws.Nline = 0;

  Points result = derivative_pass(s, p, order, delta_x);
  if (order == 2) result = derivative_pass(s, result, 1, delta_x);

  int stored = 0;
  for (int i = 0; i < result.size() && ws.Nline < kMaxNpts; ++i, ++stored) {
    ws.LX[static_cast<std::size_t>(ws.Nline)] = result.x[static_cast<std::size_t>(i)];
    ws.LY[static_cast<std::size_t>(ws.Nline)] = result.y[static_cast<std::size_t>(i)];
    ++ws.Nline;
  }
  if (ws.auto_marker && !add) ws.line_markers.count = 0;
  if (stored == 0) {
    s.con.record("<<<VERTO!!!>>> Not enough data to take derivative!");
    return;
  }
  s.con.record(free_record({"Derivative calculated at ", stored, " points."}));
  if (ws.auto_marker)
    add_line_marker(ws, s.con, ws.Nline, order == 2 ? "second derivative" : "derivative");
}

}  // namespace verto
