// SMOOTH: running median or Gaussian-weighted mean of Y (Z for
// three-dimensional data) over a window in X (in the X-Y plane).
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "analysis/processing_commands.h"
#include "analysis/processing_support.h"
#include "analysis/smooth_kernels.h"
#include "core/evaluator.h"
#include "numeric/sort3.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/progress.h"
#include "core/session.h"

namespace verto {

void cmd_smooth(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view up = ws.upper;
  bool median = false;
  const auto slash = up.find('/');
  if (slash != std::string_view::npos && slash + 1 < up.size())
    median = up[slash + 1] == '1' || up[slash + 1] == 'M';

  const int arg = argument_start(up);
  if (arg <= 0) {
    // The window is asked for; the command word and its qualifiers stay.
    const std::string command(trim_right(up));
    auto answer = ask(s, "_window:");
    if (!answer) return;
    dispatch(s, command + " " + to_upper(*answer));
    return;
  }
  if (!starts_unsigned_number(up[static_cast<std::size_t>(arg - 1)])) return;
  const std::optional<float> typed = expr::checked_number(s.con, token_at(up, arg));
  if (!typed) return;
  const float window = *typed;
  write_free(s.con, {std::string(median ? "median " : "Gaussian ") + "smoothing window = ", window});

  // c makes the weight exp(-d^2 / c) one half at d = window / 2.
  const float c = window * window / (4.f * std::log(2.f));
  if (!median && !(c > 0.f)) {
    s.con.record("<<<VERTO!!!>>> The Gaussian smoothing window must be greater than 0!");
    return;
  }

  const int n = ws.Npts;
  const auto size = static_cast<std::size_t>(n);
  std::span<float> X(ws.X.data(), size), Y(ws.Y.data(), size), S(ws.S.data(), size);
  {
    std::vector<float> wksp(size);
    std::vector<int> iwksp(size);
    report(s.con, Sort3(n, X, Y, S, wksp, iwksp));
  }
  const bool plane = ws.form == 7;
  std::span<float> target = plane ? S : Y;
  SmoothData data{X, Y, target, n, plane};
  std::vector<float> result(size);
  if (median) {
    median_smooth(s.con, data, window / 2.f, result, 0);
  } else {
    // The bar is drawn at the first point, again only when it grows, and
    // once more at the last point.
    if (n > 0) show_progress(s.con, 1, n);
    long long shown = n > 0 ? 20LL / n : 0;
    auto progress = [&](int done) {
      if (n <= 1 || done <= 1) return;
      const long long bar = static_cast<long long>(done) * 20 / n;
      if (done < n && bar == shown) return;
      shown = bar;
      show_progress(s.con, done, n);
    };
    gaussian_smooth(data, c, result, 0, progress);
  }
  std::copy(result.begin(), result.end(), target.begin());
  rewrite_point_markers(s, "smoothed ", "smoothed data");
}

}  // namespace verto
