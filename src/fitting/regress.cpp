// REGRESS: least-squares, robust and weighted straight lines, Pearson r,
// the report table and the fitted segments in the line data set.
#include "fitting/regress.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "fitting/commands.h"
#include "fitting/line_output.h"
#include "numeric/fpoly.h"
#include "numeric/lfit.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

// The merit function of the least-absolute-deviation fit at slope b: the
// intercept is the median of y - b x, the value the sum of x times the
// sign of each residual (a zero residual counts +1). The median is found
// by selection rather than a full sort: the same values, in a fraction of
// the time (the bisection evaluates the merit a dozen times or more).
struct RobustMerit {
  std::span<const float> x, y;
  int m;
  std::span<float> d;  // m reals to reorder
  float intercept = 0.f;

  double operator()(float b) {
    for (int i = 0; i < m; ++i) d[i] = y[i] - b * x[i];
    // k-th and l-th smallest, k = (m + 1) div 2, l = m + 1 - k (l = k or k + 1).
    const int k = (m + 1) / 2;
    const int l = (m + 1) - k;
    auto kth = d.begin() + (k - 1);
    std::nth_element(d.begin(), kth, d.begin() + m);
    const float dk = *kth;
    const float dl = l == k ? dk : *std::min_element(kth + 1, d.begin() + m);
    intercept = (dk + dl) / 2.f;
    double sum = 0.0;
    for (int i = 0; i < m; ++i) {
      const float r = y[i] - (b * x[i] + intercept);
      sum += r >= 0.f ? x[i] : -x[i];
    }
    return sum;
  }
};

LineFit robust_line(std::span<const float> x, std::span<const float> y, int m,
                    std::span<float> d, const LineFit& ls, double del) {
  double chisq = 0.0;
  for (int i = 0; i < m; ++i) {
    const double r = y[i] - (static_cast<double>(ls.a) + static_cast<double>(ls.b) * x[i]);
    chisq += r * r;
  }
  float sigb = static_cast<float>(std::sqrt(chisq / del));
  RobustMerit F{x, y, m, d};
  float b1 = ls.b;
  double f1 = F(b1);
  float b = ls.b;
  const float step = std::fabs(3.f * sigb);
  float b2 = f1 >= 0.0 ? ls.b + step : ls.b - step;
  double f2 = F(b2);
  if (b2 != b1) {
    // Bracket the sign change (bounded: the merit changes sign long before
    // the slope leaves the single-precision range).
    for (int guard = 0; f1 * f2 > 0.0 && guard < 500; ++guard) {
      b = b2 + 1.6f * (b2 - b1);
      b1 = b2;
      f1 = f2;
      b2 = b;
      f2 = F(b2);
    }
    sigb = 0.01f * sigb;
    while (std::fabs(b2 - b1) > sigb) {
      b = b1 + (b2 - b1) / 2.f;
      if (b == b1 || b == b2) break;
      const double f = F(b);
      if (f * f1 >= 0.0) {
        b1 = b;
        f1 = f;
      } else {
        b2 = b;
        f2 = f;
      }
    }
  }
  return LineFit{F.intercept, b};
}

}  // namespace

bool regress_fit(Console& con, std::span<const float> x, std::span<const float> y,
                 std::span<const float> sig, int m, std::span<float> scratch,
                 RegressResult& out) {
  out = RegressResult{};
  if (m < 1) return false;
  // Sums about the means (double precision), so that del = m Sxx is exactly
  // zero when all x are equal and the slope keeps its digits.
  double sx = 0.0, sy = 0.0;
  for (int i = 0; i < m; ++i) {
    sx += x[i];
    sy += y[i];
  }
  const double xm = sx / m, ym = sy / m;
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (int i = 0; i < m; ++i) {
    const double dx = x[i] - xm, dy = y[i] - ym;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  const double del = m * sxx;
  if (del == 0.0) return false;
  const double b_ls = sxy / sxx;
  out.ls = LineFit{static_cast<float>(ym - b_ls * xm), static_cast<float>(b_ls)};

  out.robust = robust_line(x, y, m, scratch.first(static_cast<std::size_t>(m)), out.ls,
                           del);

  if (sxx != 0.0 && syy != 0.0) {
    out.r = static_cast<float>(sxy / (std::sqrt(sxx) * std::sqrt(syy)));
  } else {
    out.r = -99.f;
    out.r_defined = false;
  }

  if (!sig.empty()) {
    std::span<float> s = scratch.subspan(static_cast<std::size_t>(m), static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) s[i] = sig[i] == 0.f ? 1.f : sig[i];
    std::array<float, 2> a{};
    std::array<int, 2> lista{1, 2};
    std::array<float, 81> covar{};
    float chisq = 0.f;
    if (report(con, Lfit(x, y, s, m, a, 2, lista, 2, covar, 9, chisq, Fpoly))) {
      out.weighted = LineFit{a[0], a[1]};
      out.has_weighted = true;
    }
  }
  return true;
}

namespace {

struct RegressWork {
  std::vector<float> x, y, s, scratch;
  RegressWork() : x(kMaxNpts), y(kMaxNpts), s(kMaxNpts), scratch(2 * kMaxNpts) {}
};

RegressWork& regress_work() {
  static RegressWork w;
  return w;
}

void row(Console& con, std::string_view label, const LineFit& f) {
  write_free(con, {label, static_cast<double>(f.a), static_cast<double>(f.b)});
}

}  // namespace

void cmd_regress(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const std::string upper = ws.upper;
  ws.n2 = 0;
  parse_range(s, upper, ws.n1, ws.n2, ws.Npts, ws.Mpts);
  const int n1 = ws.n1;
  const int m = std::max(ws.n2 - n1 + 1, 0);
  const std::string_view options = trim_right(upper);
  const bool add = options.find("/A") != std::string_view::npos;
  const bool data_limits = options.find("/D") != std::string_view::npos;
  const bool no_line = options.find("/NL") != std::string_view::npos;

  RegressWork& w = regress_work();
  NptsGuard guard(ws.Npts);
  copy_points(ws, n1, m, w.x.data(), w.y.data(), w.s.data());
  ws.Npts = m;
  const auto count = static_cast<std::size_t>(m);
  const bool weighted = ws.form == 4;
  RegressResult r;
  if (!regress_fit(con, std::span<const float>(w.x.data(), count),
                   std::span<const float>(w.y.data(), count),
                   weighted ? std::span<const float>(w.s.data(), count) : std::span<const float>(),
                   m, w.scratch, r)) {
    con.record("<<<VERTO!>>> Divide by zero error!");
    return;
  }
  if (!r.r_defined) con.record("<<<VERTO!>>> Divide by zero issues, setting r=-99.");

  con.record("");
  con.record("");
  write_free(con, {"Pearson correlation coefficient r =", static_cast<double>(r.r)});
  con.record("");
  write_free(con, {"   Fit to y(x) = a + b x"});
  con.record("");
  write_free(con, {"Type of fit                   a              b"});
  write_free(con, {std::string_view("----------------------------------------------------")});
  row(con, "Standard LSQ fit   ", r.ls);
  row(con, "robust (median fit)", r.robust);
  if (r.has_weighted) row(con, "weighted LSQ fit   ", r.weighted);
  con.record("");

  const int npts = guard.saved();
  ws.Npts = npts;
  if (no_line) return;

  float xmin = 0.f, xmax = 0.f;
  line_limits(ws, npts, w.x.data(), m, data_limits, xmin, xmax);
  const int fits = r.has_weighted ? 3 : 2;
  if (!start_line(ws, con, add, 2 * fits, ws.auto_marker ? fits : 0)) return;
  const LineFit* lines[3] = {&r.ls, &r.robust, &r.weighted};
  const std::string_view labels[3] = {"std. LSQ fit", "robust linear fit", "weighted LSQ fit"};
  for (int k = 0; k < fits; ++k) {
    const LineFit& f = *lines[k];
    ws.LX[ws.Nline] = xmin;
    ws.LY[ws.Nline] = f.a + f.b * xmin;
    ws.LX[ws.Nline + 1] = xmax;
    ws.LY[ws.Nline + 1] = f.a + f.b * xmax;
    ws.Nline += 2;
    if (ws.auto_marker) add_line_marker(ws, con, ws.Nline, labels[k]);
  }
}

}  // namespace verto
