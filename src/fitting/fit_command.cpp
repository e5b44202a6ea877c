// FIT: one model of the catalogue fitted to a range of points, the report
// of parameters and errors, and the fitted curve as a line or subtracted
// from the data.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/evaluator.h"
#include "fitting/catalogue.h"
#include "fitting/commands.h"
#include "fitting/line_output.h"
#include "fitting/procedures.h"
#include "core/console.h"
#include "core/dispatch.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

constexpr int kLinePoints = 100;

// Copies of the fitted points, in the session's work arrays.
struct FitWork {
  std::span<float> x, y, s, sig, scratch1, scratch2;
  explicit FitWork(WorkArrays& work)
      : x(work.floats(kFitX, kMaxNpts)), y(work.floats(kFitY, kMaxNpts)),
        s(work.floats(kFitS, kMaxNpts)), sig(work.floats(kFitSig, kMaxNpts)),
        scratch1(work.floats(kFitScratch1, kMaxNpts)),
        scratch2(work.floats(kFitScratch2, kMaxNpts)) {}
};

struct FitFlags {
  bool data_limits = false;  // /D
  bool no_line = false;      // /NL
  bool add = false;          // /A
  bool subtract = false;     // /S
};

// Qualifiers stand in the command word: positions 1..argument start.
FitFlags scan_flags(std::string_view upper, int arg_start) {
  FitFlags f;
  for (int p = 0; p < arg_start && p < static_cast<int>(upper.size()); ++p) {
    std::string_view at = upper.substr(p);
    if (at.starts_with("/A")) f.add = true;
    if (at.starts_with("/S")) f.subtract = true;
    if (at.starts_with("/D")) f.data_limits = true;
    if (at.starts_with("/NL")) f.no_line = true;
  }
  return f;
}

// The text from `from` up to the first blank, comma or "=".
std::string_view token_at(std::string_view text, std::size_t from) {
  if (from >= text.size()) return {};
  std::size_t end = text.find_first_of(" ,=", from);
  if (end == std::string_view::npos) end = text.size();
  return text.substr(from, end - from);
}

bool starts_with_one_of(std::string_view text, std::string_view allowed) {
  return !text.empty() && allowed.find(text[0]) != std::string_view::npos;
}

// A real read as a list-directed item ("-1.5", "2", ".5", "1E3", "1D3").
std::optional<float> list_real(std::string_view token) {
  float v = 0.f;
  if (!parse_float(token, v)) return std::nullopt;
  return v;
}

// Two reals separated by blanks or commas.
bool read_two_reals(std::string_view line, float& a, float& b) {
  float v[2];
  int got = 0;
  std::size_t p = 0;
  while (got < 2) {
    p = line.find_first_not_of(" ,", p);
    if (p == std::string_view::npos) return false;
    std::size_t end = line.find_first_of(" ,", p);
    if (end == std::string_view::npos) end = line.size();
    auto r = list_real(line.substr(p, end - p));
    if (!r) return false;
    v[got++] = *r;
    p = end;
  }
  a = v[0];
  b = v[1];
  return true;
}

void say(Console& con, const std::string& text) { con.record("<<<VERTO!!!>>> " + text); }

// Points of the fitted range outside the model's domain: the message names
// the first of them; true when all are inside.
bool check_domain(Console& con, const ModelInfo& m, const FitWork& w, int n1, int m_points,
                  float power) {
  if (!m.in_domain) return true;
  int first = -1, count = 0;
  for (int i = 0; i < m_points; ++i) {
    if (m.in_domain(w.x[i], w.y[i], power)) continue;
    if (first < 0) first = n1 + i;
    ++count;
  }
  if (count == 0) return true;
  std::string where = "point " + std::to_string(first);
  if (count > 1) where += " and " + std::to_string(count - 1) + " more";
  say(con, std::string(m.domain_need) + "; " + where + " out of the model's domain. No fit done.");
  return false;
}

void print_parameters(Console& con, const FitResult& r, int ma) {
  con.record("");
  con.record("");
  write_free(con, {"          a       value           error"});
  write_free(con, {"         ------------------------------------"});
  for (int j = 0; j < ma; ++j) {
    const float var = r.variance(j);
    const double aj = r.a[j];
    if (var > 0.f)
      write_free(con, {j, aj, " +/- ", static_cast<double>(std::sqrt(var)), "      "});
    else
      write_free(con, {j, aj, " +/-   ***bad error***"});
  }
}

// A peak's width and areas, with their errors.
void print_derived(Console& con, const ModelInfo& m, const FitResult& r) {
  if (!m.areas) return;
  std::array<float, kFitMaxParams> variance{};
  for (int j = 0; j < kFitMaxParams; ++j) variance[static_cast<std::size_t>(j)] = r.variance(j);
  std::array<PeakArea, 2> areas{};
  const int peaks = m.areas(r.a, variance, m.shape, areas);
  con.record("");
  write_free(con, {"       " + std::string(m.fwhm_label), static_cast<double>(r.width), " +/- ",
                   static_cast<double>(r.width_error)});
  for (int k = 0; k < peaks; ++k)
    write_free(con, {"       " + std::string(m.area_labels[static_cast<std::size_t>(k)]),
                     static_cast<double>(areas[static_cast<std::size_t>(k)].area), " +/- ",
                     static_cast<double>(areas[static_cast<std::size_t>(k)].error)});
}

}  // namespace

// The value after "=": the order of POLY and EXP (into `order` and
// req.ma), the power of POW, or the width of a peak. False when the fit
// cannot go on.
namespace {

bool read_model_value(Console& con, const ModelInfo& m, std::string_view upper, FitRequest& req,
                      int& n) {
  const std::size_t eq = upper.find('=');
  const bool power = m.parameter == FitParameter::Power;
  if (power || m.parameter == FitParameter::Order) {
    if (eq == std::string::npos) {
      if (power)
        say(con, "POW needs its power: POW=p, for example POW=-0.5.");
      else
        say(con, std::string(m.name) + " needs its order: " + std::string(m.name) +
                     "=n with n from 0 to 8.");
      return false;
    }
    std::string_view value = std::string_view(upper).substr(eq + 1);
    if (!starts_with_one_of(value, "1234567890.-")) return false;
    const bool negative = value[0] == '-';
    if (negative) value.remove_prefix(1);
    const std::optional<float> typed = expr::checked_number(con, token_at(value, 0));
    if (!typed) return false;
    const float v = *typed;
    if (power) {
      req.power = negative ? -v : v;
    } else {
      n = round_to_int(std::fabs(v), 0, 1000);
      if (n > kFitMaxParams - 1) {
        say(con, std::string(m.name) + "=n takes n from 0 to 8.");
        return false;
      }
      req.ma = n + 1;
    }
  } else if (m.parameter == FitParameter::Width && eq != std::string::npos) {
    std::string_view value = std::string_view(upper).substr(eq + 1);
    if (!starts_with_one_of(value, "1234567890.")) return false;
    const std::optional<float> width = expr::checked_number(con, token_at(value, 0));
    if (!width) return false;
    req.width = *width;
  }
  return true;
}

// The two peak positions of GAUSS2, from the line or asked for. False when
// the fit cannot go on.
bool read_peak_positions(Console& con, std::string_view text, FitRequest& req) {
  const std::size_t blank = text.find(' ');
  const std::size_t second =
      blank == std::string_view::npos ? blank : text.find_first_not_of(' ', blank);
  if (second == std::string_view::npos) {
    con.prompt("Specify locations of peaks  x1,x2   :     ");
    auto reply = con.read_line(kLineLength);
    if (!reply || !read_two_reals(*reply, req.x1, req.x2)) return false;
  } else {
    const std::string_view t1 = token_at(text, second);
    if (!starts_with_one_of(t1, "1234567890.")) return false;
    const std::size_t next = text.find_first_not_of(" ,", second + t1.size());
    if (next == std::string_view::npos || text[next] == '=') {
      say(con, "GAUSS2 needs both peak positions: GAUSS2 x1,x2");
      return false;
    }
    const std::string_view t2 = token_at(text, next);
    if (!starts_with_one_of(t2, "1234567890.")) return false;
    const std::optional<float> x1 = expr::checked_number(con, t1);
    if (!x1) return false;
    const std::optional<float> x2 = expr::checked_number(con, t2);
    if (!x2) return false;
    req.x1 = *x1;
    req.x2 = *x2;
  }
  return true;
}

// The error of each point: 1 in forms without errors, else S, where a zero
// S becomes 1 with a warning.
void set_point_errors(Console& con, FitWork& w, int m_points, int form) {
  const bool unit_errors = form == 1 || form == 3;
  for (int i = 0; i < m_points; ++i) {
    if (unit_errors) {
      w.sig[i] = 1.f;
    } else if (w.s[i] == 0.f) {
      con.record("<<<VERTO!!!>>>  Warning! A zero error bar encountered, value set to 1.");
      w.sig[i] = 1.f;
    } else {
      w.sig[i] = w.s[i];
    }
  }
}

// The report: banner, parameters, derived values and reduced chi-square.
void report_fit(Console& con, const ModelInfo& m, const FitRequest& req, const FitResult& r,
                int m_points) {
  print_banner(con, m, req.power);
  print_parameters(con, r, req.ma);
  print_derived(con, m, r);
  con.record("");
  const float dof = static_cast<float>(m_points - req.ma) + 0.00001f;
  write_free(con, {"reduced ChiSq = ", static_cast<double>(r.chisq / dof)});
  con.record("");
}

// What a fit leaves behind: the curve subtracted from Y (/SUB), or the
// fitted line written to the line data set with its marker.
void fit_output(Workspace& ws, Console& con, const ModelInfo& m, const FitRequest& req,
                const FitResult& r, const FitFlags& flags, const FitWork& w, int n1, int n2,
                int npts, int m_points, int n) {
  const std::span<const float> a(r.a.data(), static_cast<std::size_t>(req.ma));
  if (flags.subtract) {
    con.record("");
    write_free(con, {"No line output. Fit subtracted from data."});
    con.record("");
    const int k1 = flags.data_limits ? n1 : 1;
    const int k2 = flags.data_limits ? n2 : npts;
    for (int k = k1; k <= k2; ++k)
      ws.Y[k - 1] -= model_value(m, a, req.ma, req.power, ws.X[k - 1]);
    return;
  }

  float xmin = 0.f, xmax = 0.f;
  line_limits(ws, npts, w.x.data(), m_points, flags.data_limits, xmin, xmax);
  const int points = flags.no_line ? 0 : kLinePoints;
  const int markers = ws.auto_marker ? 1 : 0;
  if (!start_line(ws, con, flags.add, points, markers)) return;
  const int offset = ws.Nline;
  ws.Nline = offset + points;
  for (int i = 1; i <= points; ++i) {
    const float t =
        xmin + (xmax - xmin) * static_cast<float>(i - 1) / static_cast<float>(points - 1);
    ws.LX[offset + i - 1] = t;
    ws.LY[offset + i - 1] = model_value(m, a, req.ma, req.power, t);
  }
  if (ws.auto_marker) add_line_marker(ws, con, ws.Nline, line_label(m, n, req.power));
}

}  // namespace

void cmd_fit(Session& s) {
  Workspace& ws = s.ws;
  Console& con = s.con;
  const std::string upper = ws.upper;
  const auto [n1, n2] = parse_range(s, upper, ws.Npts, ws.Mpts);

  // The function text, asked for when the line has none; "?" and "H" show
  // the catalogue first.
  const int arg = argument_start(upper);
  const bool help = arg > 0 && (upper[arg - 1] == '?' || upper[arg - 1] == 'H');
  if (arg <= 0 || help) {
    if (help) print_catalogue(con);
    auto reply = ask(s, "_function:");
    if (!reply) return;
    dispatch(s, "fit " + *reply);
    return;
  }
  const std::string_view text = std::string_view(upper).substr(arg - 1);
  const ModelInfo* model = match_model(text);
  if (!model) return;
  const ModelInfo& m = *model;
  const FitFlags flags = scan_flags(upper, arg);

  FitRequest req;
  req.ma = m.ma;
  int n = 0;  // POLY and EXP order
  if (!read_model_value(con, m, upper, req, n)) return;
  if (m.positions && !read_peak_positions(con, text, req)) return;

  const int m_points = n2 - n1 + 1;
  if (m_points < req.ma) {
    say(con, "Too few points for this fit: " + std::to_string(std::max(m_points, 0)) +
                 " point(s) for " + std::to_string(req.ma) + " parameter(s). No fit done.");
    return;
  }

  // The fitted points, copied; Npts holds their count while FIT runs.
  FitWork w(s.work);
  NptsGuard guard(ws.Npts);
  copy_points(ws, n1, m_points, w.x.data(), w.y.data(), w.s.data());
  ws.Npts = m_points;
  if (!check_domain(con, m, w, n1, m_points, req.power)) return;
  set_point_errors(con, w, m_points, ws.form);
  con.record("");
  con.record("");
  FitInput in;
  const auto count = static_cast<std::size_t>(m_points);
  in.x = std::span<const float>(w.x.data(), count);
  in.y = std::span<const float>(w.y.data(), count);
  in.sig = std::span<const float>(w.sig.data(), count);
  in.n = m_points;
  if (ws.form == 4) in.decay_weights = in.sig;
  in.scratch1 = std::span<float>(w.scratch1.data(), count);
  in.scratch2 = std::span<float>(w.scratch2.data(), count);
  FitResult r;
  const FitStatus status = run_fit_procedure(con, m, in, req, r);
  if (status == FitStatus::Failed) {
    say(con, "The fit failed: its least-squares system is singular. Nothing changed.");
    return;
  }

  report_fit(con, m, req, r, m_points);

  fit_output(ws, con, m, req, r, flags, w, n1, n2, guard.saved(), m_points, n);
}

}  // namespace verto
