// The fitting procedures: how each model of the catalogue starts, what it
// holds, and how many engine calls it makes.
#include "fitting/procedures.h"

#include <algorithm>
#include <cmath>

#include "core/console.h"
#include "numeric/fpoly.h"
#include "numeric/lfit.h"
#include "numeric/mrqcof.h"
#include "numeric/mrqmin.h"

namespace verto {

namespace {

using Params = std::array<float, kFitMaxParams>;
using Lista = std::array<int, kFitMaxParams>;

Lista identity_lista() {
  Lista l{};
  for (int j = 0; j < kFitMaxParams; ++j) l[j] = j + 1;
  return l;
}

float& covar_at(FitResult& r, int i, int j) {  // 1-based
  return r.covar[static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(j - 1) * kFitLd];
}

// ---------------------------------------------------------------------------
// Linear families and the decay.

bool linear_fit(Console& con, const ModelInfo& m, const FitInput& in, const FitRequest& req,
                FitResult& out) {
  Lista lista = identity_lista();
  std::span<float> a(out.a.data(), static_cast<std::size_t>(req.ma));
  std::span<int> l(lista.data(), static_cast<std::size_t>(req.ma));
  const LinearBasis basis = m.basis;
  const float p = req.power;
  return report(con, Lfit(in.x, in.y, in.sig, in.n, a, req.ma, l, req.ma, out.covar, kFitLd,
                          out.chisq, [basis, p](float x, std::span<float> af) { basis(x, p, af); }));
}

// a0 e^(a1 x) as a straight line through ln y.
bool decay_fit(Console& con, const FitInput& in, FitResult& out) {
  const int n = in.n;
  std::span<float> ly = in.scratch1.first(static_cast<std::size_t>(n));
  std::span<float> lsig = in.scratch2.first(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    ly[i] = std::log(in.y[i]);
    lsig[i] = in.sig[i] / in.y[i];
  }
  Lista lista = identity_lista();
  float chisq = 0.f;
  if (!report(con, Lfit(in.x, ly, lsig, n, std::span<float>(out.a.data(), 2), 2,
            std::span<int>(lista.data(), 2), 2, out.covar, kFitLd, chisq, Fpoly)))
    return false;
  const float a0 = std::exp(out.a[0]);
  const float a1 = out.a[1];
  out.a[0] = a0;
  const float err = a0 * std::sqrt(covar_at(out, 1, 1));
  covar_at(out, 1, 1) = err * err;
  float sum = 0.f;
  for (int i = 0; i < n; ++i) {
    float w = in.decay_weights.empty() ? 1.f : in.decay_weights[i];
    if (w == 0.f) w = 1.f;
    const float r = (in.y[i] - a0 * std::exp(a1 * in.x[i])) / w;
    sum += r * r;
  }
  out.chisq = sum;
  return true;
}

// ---------------------------------------------------------------------------
// Levenberg-Marquardt models.

struct LmRun {
  Console& con;
  const FitInput& in;
  ModelFn model;
  int ma;
  MrqminState state;
};

// `calls` engine calls from lambda = -1, each passing back the lambda the
// previous one left.
bool iterate(LmRun& r, FitResult& out, Lista& lista, int mfit, int calls) {
  float lambda = -1.f;
  std::span<float> a(out.a.data(), static_cast<std::size_t>(r.ma));
  std::span<int> l(lista.data(), static_cast<std::size_t>(r.ma));
  for (int k = 0; k < calls; ++k)
    if (!report(r.con, Mrqmin(r.state, r.in.x, r.in.y, r.in.sig, r.in.n, a, r.ma, l, mfit, out.covar,
                out.alpha, kFitLd, out.chisq, r.model, lambda)))
      return false;
  return true;
}

// The covariance call (lambda = 0). With parameters held during the fit,
// the curvature of all parameters is first evaluated at the final values
// so that every parameter gets its error from the inverted matrix.
bool covariance(LmRun& r, FitResult& out, Lista& lista, int mfit) {
  std::span<float> a(out.a.data(), static_cast<std::size_t>(r.ma));
  if (mfit < r.ma) {
    lista = identity_lista();
    std::array<float, kMrqMaxParams> beta{};
    float chisq_now = 0.f;
    if (!Mrqcof(r.in.x, r.in.y, r.in.sig, r.in.n, a, r.ma, std::span<const int>(lista.data(), r.ma),
                r.ma, out.alpha, beta, kFitLd, chisq_now, r.model))
      return false;
  }
  const Params saved = out.a;
  const float saved_chisq = out.chisq;
  float lambda = 0.f;
  const bool ok = report(r.con, Mrqmin(r.state, r.in.x, r.in.y, r.in.sig, r.in.n, a, r.ma,
                         std::span<int>(lista.data(), static_cast<std::size_t>(r.ma)), r.ma,
                         out.covar, out.alpha, kFitLd, out.chisq, r.model, lambda));
  out.a = saved;
  out.chisq = saved_chisq;
  return ok;
}

FitStatus finish(bool fitted, bool covariance_ok, FitResult& out) {
  if (!fitted) return FitStatus::Failed;
  if (covariance_ok) return FitStatus::Ok;
  out.covar.fill(0.f);
  return FitStatus::NoCovariance;
}

void set_width(FitResult& out) {
  out.width = kFwhmFactor * out.a[2];
  out.width_error = kFwhmFactor * std::sqrt(std::max(0.f, out.variance(2)));
}

FitStatus peak_fit(LmRun& r, const ModelInfo& m, const FitRequest& req, FitResult& out) {
  const bool has_background = m.background >= 0;
  const float background = has_background ? (r.in.y[0] + r.in.y[r.in.n - 1]) / 2.f : 0.f;
  const PeakStart p = peak_search(r.in.x, r.in.y, r.in.n, background);
  Params& a = out.a;
  a[0] = p.a0;
  a[1] = p.a1;
  a[2] = p.a2;
  if (has_background) a[static_cast<std::size_t>(m.background)] = background;
  if (m.shape >= 0) a[static_cast<std::size_t>(m.shape)] = 0.f;
  Lista lista = identity_lista();
  int mfit = r.ma;
  if (req.width > 0.f) {
    a[2] = req.width / kFwhmFactor;
    mfit = r.ma - 1;
    // The width goes last: 1, 2, 3 / 1, 2, 4, 3 / 1, 2, 4, 5, 3.
    for (int j = 2; j < r.ma - 1; ++j) lista[j] = j + 2;
    lista[r.ma - 1] = 3;
  }
  const bool fitted = iterate(r, out, lista, mfit, m.iterations);
  const bool cov = fitted && covariance(r, out, lista, mfit);
  FitStatus st = finish(fitted, cov, out);
  set_width(out);
  return st;
}

FitStatus gauss2_fit(LmRun& r, const ModelInfo& m, const FitRequest& req, FitResult& out) {
  const FitInput& in = r.in;
  const int n = in.n;
  float xmin = in.x[0], xmax = in.x[0], ymax = in.y[0];
  for (int i = 1; i < n; ++i) {
    xmin = std::min(xmin, in.x[i]);
    xmax = std::max(xmax, in.x[i]);
    ymax = std::max(ymax, in.y[i]);
  }
  const float dx = (xmax - xmin) / static_cast<float>(n);
  Params& a = out.a;
  a[2] = 10.f * dx;
  if (!(a[2] > 0.f)) a[2] = 1.f;  // all x equal: any nonzero width
  const bool held_width = req.width > 0.f;
  if (held_width) a[2] = req.width / kFwhmFactor;
  a[0] = a[3] = ymax / 2.f;
  a[1] = req.x1;
  a[4] = req.x2;
  for (int i = 0; i < n; ++i) {
    if (std::fabs(in.x[i] - req.x1) < dx) a[0] = in.y[i];
    if (std::fabs(in.x[i] - req.x2) < dx) a[3] = in.y[i];
  }
  Lista lista{};
  int mfit;
  if (held_width) {
    lista = {1, 4, 2, 3, 5};
    mfit = 2;
  } else {
    lista = {1, 3, 4, 2, 5};
    mfit = 3;
  }
  const bool fitted = iterate(r, out, lista, mfit, m.iterations);
  if (!fitted) return FitStatus::Failed;
  // Fixed error estimates: ten per cent of each fitted value, none for
  // the held positions (and width).
  for (int j = 1; j <= 5; ++j) covar_at(out, j, j) = 0.f;
  covar_at(out, 1, 1) = (0.1f * a[0]) * (0.1f * a[0]);
  covar_at(out, 3, 3) = held_width ? 0.f : (0.1f * a[2]) * (0.1f * a[2]);
  covar_at(out, 4, 4) = (0.1f * a[3]) * (0.1f * a[3]);
  set_width(out);
  return FitStatus::Ok;
}

}  // namespace

void start_values(const ModelInfo& m, std::span<const float> x, std::span<const float> y, int n,
                  std::span<float> a) {
  if (m.start) m.start(x, y, n, a);
}

PeakStart peak_search(std::span<const float> x, std::span<const float> y, int n,
                      float background) {
  PeakStart p;
  int imax = -1;
  // The first largest positive value.
  for (int i = 0; i < n; ++i)
    if (y[i] > p.a0) {
      p.a0 = y[i];
      imax = i;
    }
  float sign = 1.f, base = 0.f;
  if (imax < 0) {
    // No positive value: the largest deviation from the background is the
    // peak (a dip when it lies below).
    base = background;
    float dev = 0.f;
    for (int i = 0; i < n; ++i)
      if (std::fabs(y[i] - base) > dev) {
        dev = std::fabs(y[i] - base);
        imax = i;
      }
    if (imax < 0) {  // every value equals the background
      imax = n / 2;
      p.a0 = 1.f;
    } else {
      sign = y[imax] < base ? -1.f : 1.f;
      p.a0 = y[imax] - base;
    }
  }
  p.a1 = x[imax];
  const float half = sign * (y[imax] - base) / 2.f;
  auto level = [&](int i) { return sign * (y[i] - base); };
  int i = 0;
  while (i <= imax && !(level(i) > half)) ++i;
  if (i > 0 && i <= imax) {
    p.a2 = 2.f * (x[imax] - (x[i - 1] + x[i]) / 2.f);
  } else {
    // The left flank starts above half the peak: use the right flank.
    int k = imax + 1;
    while (k < n && level(k) > half) ++k;
    if (k < n)
      p.a2 = 2.f * ((x[k - 1] + x[k]) / 2.f - x[imax]);
    else
      p.a2 = x[n - 1] - x[0];
  }
  p.a2 = std::fabs(p.a2);
  if (p.a2 == 0.f) p.a2 = 1.f;
  return p;
}

FitStatus run_fit_procedure(Console& con, const ModelInfo& m, const FitInput& in,
                            const FitRequest& req, FitResult& out) {
  out = FitResult{};
  if (m.method == FitMethod::Linear)
    return linear_fit(con, m, in, req, out) ? FitStatus::Ok : FitStatus::Failed;
  if (m.method == FitMethod::LogLinear)
    return decay_fit(con, in, out) ? FitStatus::Ok : FitStatus::Failed;
  LmRun run{con, in, ModelFn(m.model), req.ma, {}};
  if (m.method == FitMethod::TwoPeaks) return gauss2_fit(run, m, req, out);
  if (m.method == FitMethod::Peak) return peak_fit(run, m, req, out);
  start_values(m, in.x, in.y, in.n, out.a);
  Lista lista = identity_lista();
  const bool fitted = iterate(run, out, lista, req.ma, m.iterations);
  const bool cov = fitted && covariance(run, out, lista, req.ma);
  return finish(fitted, cov, out);
}

float model_value(const ModelInfo& m, std::span<const float> a, int ma, float power, float t) {
  if (m.value) return m.value(a, ma, power, t);
  std::array<float, kFitMaxParams> dyda{};
  return m.model(t, a.first(static_cast<std::size_t>(ma)),
                 std::span<float>(dyda.data(), static_cast<std::size_t>(ma)));
}

}  // namespace verto
