#include "analysis/smooth_kernels.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <system_error>
#include <thread>
#include <vector>

#include "core/console.h"
#include "numeric/mdian1.h"

namespace verto {

namespace {

// Eight single-precision lanes. Every operation on them is the IEEE
// operation of each lane, so a lane computes exactly what the scalar code
// computes for the same inputs, whether the compiler uses two SSE
// registers or one AVX register (no fused multiply-add is ever formed:
// the language mode keeps contraction off, and the AVX2 variant below does
// not enable FMA instructions).
typedef float F8 __attribute__((vector_size(32)));
typedef std::int32_t I8 __attribute__((vector_size(32)));
typedef std::uint32_t U8 __attribute__((vector_size(32)));

#define VERTO_INLINE [[gnu::always_inline]] inline

// The eight-lane helpers are always inlined, so the calling convention for
// 32-byte vectors (about which GCC warns without AVX) never comes up.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

constexpr float kLog2e = 1.44269504088896341f;
constexpr float kRound = 12582912.0f;
constexpr float kLn2Hi = 0.693359375f;
constexpr float kLn2Lo = -2.12194440e-4f;
constexpr float kP0 = 1.9875691500e-4f;
constexpr float kP1 = 1.3981999507e-3f;
constexpr float kP2 = 8.3334519073e-3f;
constexpr float kP3 = 4.1665795894e-2f;
constexpr float kP4 = 1.6666665459e-1f;
constexpr float kP5 = 5.0000001201e-1f;

VERTO_INLINE float pow2_from_round(float z) {
  return std::bit_cast<float>((std::bit_cast<std::uint32_t>(z) << 23) + (127u << 23));
}
VERTO_INLINE F8 pow2_from_round(F8 z) {
  return reinterpret_cast<F8>((reinterpret_cast<U8>(z) << 23) + (127u << 23));
}

// The shared operation sequence; F is float or F8.
template <class F>
VERTO_INLINE F exp_neg(F t) {
  const F x = -t;
  const F z = x * kLog2e + kRound;
  const F k = z - kRound;
  F r = x - k * kLn2Hi;
  r = r - k * kLn2Lo;
  F p = r * kP0 + kP1;
  p = p * r + kP2;
  p = p * r + kP3;
  p = p * r + kP4;
  p = p * r + kP5;
  const F y = p * (r * r) + r + 1.0f;
  return y * pow2_from_round(z);
}

VERTO_INLINE F8 splat(float a) { return F8{a, a, a, a, a, a, a, a}; }

VERTO_INLINE F8 gauss_weight8(F8 t) {
  const I8 keep = t <= splat(kWeightCut);  // all ones where t <= cut, else 0
  const I8 tc = (reinterpret_cast<I8>(t) & keep) |
                (reinterpret_cast<I8>(splat(kWeightCut)) & ~keep);
  const F8 w = exp_neg(reinterpret_cast<F8>(tc));
  return reinterpret_cast<F8>(reinterpret_cast<I8>(w) & keep);
}

VERTO_INLINE float gauss_weight1(float t) {
  const bool keep = t <= kWeightCut;
  const float w = exp_neg(keep ? t : kWeightCut);
  return keep ? w : 0.f;
}

bool all_finite(std::span<const float> a, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(a[static_cast<std::size_t>(i)])) return false;
  return true;
}

bool ascending(std::span<const float> a, int n) {
  for (int i = 1; i < n; ++i)
    if (a[static_cast<std::size_t>(i)] < a[static_cast<std::size_t>(i) - 1]) return false;
  return true;
}

// Neighbour runs: first and last j whose X alone keeps `near(x(j), x(i))`
// true. `near` must hold at j = i and stop holding for good as j moves away
// from i, which is so for a rounded distance on ascending X.
template <class Near>
int run_start(const float* x, int i, Near near) {
  int lo = 0, hi = i;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (near(x[mid], x[i]))
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

template <class Near>
int run_end(const float* x, int i, int n, Near near) {
  int lo = i, hi = n - 1;
  while (lo < hi) {
    const int mid = lo + (hi - lo + 1) / 2;
    if (near(x[mid], x[i]))
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

constexpr int kLanes = 8;  // points per block

// Points i0..i0+7 (the last point repeated past n) over the neighbours
// jlo..jhi in ascending order. Per lane this is the reference loop for
// those j; the pairs outside a lane's own run add exact zeros.
template <bool Plane>
VERTO_INLINE void gauss_block(const SmoothData& d, float c, int i0, int jlo, int jhi,
                              float* out) {
  const float* x = d.x.data();
  const float* y = d.y.data();
  const float* v = d.v.data();
  F8 xi, yi{};
  for (int l = 0; l < kLanes; ++l) {
    const int i = std::min(i0 + l, d.n - 1);
    xi[l] = x[i];
    if constexpr (Plane) yi[l] = y[i];
  }
  F8 sw{}, svw{};
  for (int j = jlo; j <= jhi; ++j) {
    const float vj = v[j];
    F8 t = x[j] - xi;
    t = t * t;
    if constexpr (Plane) {
      const F8 e = yi - y[j];
      t = e * e + t;
    }
    t = t / c;
    const F8 w = gauss_weight8(t);
    sw += w;
    svw += w * vj;
  }
  for (int l = 0; l < kLanes; ++l)
    if (i0 + l < d.n) out[i0 + l] = svw[l] / sw[l];
}

void gauss_block_generic(const SmoothData& d, float c, int i0, int jlo, int jhi, float* out) {
  if (d.plane)
    gauss_block<true>(d, c, i0, jlo, jhi, out);
  else
    gauss_block<false>(d, c, i0, jlo, jhi, out);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same code with eight lanes per AVX register, for processors that
// have AVX2; the lanes give the same bits either way.
__attribute__((target("avx2"))) void gauss_block_avx2(const SmoothData& d, float c, int i0,
                                                      int jlo, int jhi, float* out) {
  if (d.plane)
    gauss_block<true>(d, c, i0, jlo, jhi, out);
  else
    gauss_block<false>(d, c, i0, jlo, jhi, out);
}
using BlockFn = void (*)(const SmoothData&, float, int, int, int, float*);
BlockFn pick_block_fn() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? gauss_block_avx2 : gauss_block_generic;
}
#else
using BlockFn = void (*)(const SmoothData&, float, int, int, int, float*);
BlockFn pick_block_fn() { return gauss_block_generic; }
#endif

// Rank counts of the values inside the current window, for order
// statistics in O(log n).
class RankTree {
 public:
  explicit RankTree(int n) : count_(static_cast<std::size_t>(n) + 1, 0), n_(n) {
    top_ = 1;
    while (top_ * 2 <= n_) top_ *= 2;
  }
  void add(int rank, int delta) {
    for (int r = rank + 1; r <= n_; r += r & -r) count_[static_cast<std::size_t>(r)] += delta;
  }
  // The rank of the k-th smallest value held (k from 1).
  int kth(int k) const {
    int pos = 0;
    for (int step = top_; step > 0; step /= 2) {
      const int next = pos + step;
      if (next <= n_ && count_[static_cast<std::size_t>(next)] < k) {
        pos = next;
        k -= count_[static_cast<std::size_t>(next)];
      }
    }
    return pos;
  }

 private:
  std::vector<int> count_;
  int n_;
  int top_;
};

// The median of buf[0..m) as Mdian1 forms it from the sorted values:
// the middle one, or the mean of the two middle ones.
float select_median(float* buf, int m) {
  const int n2 = m / 2;
  std::nth_element(buf, buf + n2, buf + m);
  if (2 * n2 != m) return buf[n2];
  const float below = *std::max_element(buf, buf + n2);
  return (below + buf[n2]) / 2.f;
}

}  // namespace

float gauss_weight(float t) { return gauss_weight1(t); }

int default_thread_count() {
  const unsigned hw = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(hw, 1u, 16u));
}

void run_in_chunks(int count, int chunk, int threads, FunctionRef<void(int, int)> body,
                   FunctionRef<void(int)> progress) {
  if (count <= 0) {
    progress(0);
    return;
  }
  chunk = std::max(chunk, 1);
  const int chunks = static_cast<int>((static_cast<long long>(count) + chunk - 1) / chunk);
  threads = std::clamp(threads, 1, chunks);
  std::atomic<int> next{0}, done{0};
  auto work = [&](bool report) {
    for (;;) {
      const int begin = next.fetch_add(chunk, std::memory_order_relaxed);
      if (begin >= count) break;
      const int end = static_cast<int>(std::min<long long>(count, static_cast<long long>(begin) + chunk));
      body(begin, end);
      const int total = done.fetch_add(end - begin, std::memory_order_acq_rel) + (end - begin);
      if (report && total < count) progress(total);
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) {
    try {
      pool.emplace_back(work, false);
    } catch (const std::system_error&) {
      break;  // fewer threads: the others take over the chunks
    }
  }
  work(true);
  for (auto& th : pool) th.join();
  progress(count);
}

void gaussian_smooth_reference(const SmoothData& d, float c, std::span<float> out) {
  const float* x = d.x.data();
  const float* y = d.y.data();
  const float* v = d.v.data();
  for (int i = 0; i < d.n; ++i) {
    float sw = 0.f, svw = 0.f;
    for (int j = 0; j < d.n; ++j) {
      const float dx = x[j] - x[i];
      float t = dx * dx;
      if (d.plane) {
        const float e = y[i] - y[j];
        t = e * e + t;
      }
      t = t / c;
      const float w = gauss_weight1(t);
      sw += w;
      svw += w * v[j];
    }
    out[static_cast<std::size_t>(i)] = svw / sw;
  }
}

void gaussian_smooth(const SmoothData& d, float c, std::span<float> out, int threads,
                     SmoothProgress progress, bool wide_lanes) {
  const int n = d.n;
  if (threads <= 0) threads = default_thread_count();
  if (n < 256) threads = 1;
  // Skipping pairs is exact only when every skipped pair adds exact zeros
  // (finite values) and the neighbour runs are contiguous (ascending X).
  const bool skip = c > 0.f && all_finite(d.x, n) && all_finite(d.v, n) &&
                    (!d.plane || all_finite(d.y, n)) && ascending(d.x, n);
  const float* x = d.x.data();
  auto near = [c](float xj, float xi) {
    const float dx = xj - xi;
    return (dx * dx) / c <= kWeightCut;
  };
  const int blocks = (n + kLanes - 1) / kLanes;
  static const BlockFn fastest = pick_block_fn();
  const BlockFn block = wide_lanes ? fastest : gauss_block_generic;
  auto body = [&](int b0, int b1) {
    for (int b = b0; b < b1; ++b) {
      const int i0 = b * kLanes, ilast = std::min(i0 + kLanes, n) - 1;
      int jlo = 0, jhi = n - 1;
      if (skip) {
        jlo = run_start(x, i0, near);
        jhi = run_end(x, ilast, n, near);
      }
      block(d, c, i0, jlo, jhi, out.data());
    }
  };
  const int chunk = std::max(1, blocks / (std::max(threads, 1) * 40));
  run_in_chunks(blocks, chunk, threads, body,
                [&](int done) { progress(std::min(n, done * kLanes)); });
}

bool median_smooth_reference(Console& con, const SmoothData& d, float half,
                             std::span<float> out) {
  const int n = d.n;
  std::vector<float> buf(static_cast<std::size_t>(std::max(n, 1)));
  const float* x = d.x.data();
  const float* y = d.y.data();
  const float* v = d.v.data();
  const float h2 = half * half;
  bool ok = true;
  for (int i = 0; i < n; ++i) {
    int m = 0;
    if (d.plane) {
      for (int j = 0; j < n; ++j) {
        const float e = y[i] - y[j], dx = x[i] - x[j];
        if (e * e + dx * dx <= h2) buf[static_cast<std::size_t>(m++)] = v[j];
      }
    } else {
      const float lo = x[i] - half, hi = x[i] + half;
      for (int j = 0; j < n; ++j)
        if (lo <= x[j] && x[j] <= hi) buf[static_cast<std::size_t>(m++)] = v[j];
    }
    float med = 0.f;
    if (!report(con, Mdian1(buf, m, med))) ok = false;
    out[static_cast<std::size_t>(i)] = med;
  }
  return ok;
}

void median_smooth(Console& con, const SmoothData& d, float half, std::span<float> out,
                   int threads) {
  const int n = d.n;
  if (n <= 0) return;
  const bool fast = half >= 0.f && all_finite(d.x, n) && all_finite(d.v, n) &&
                    (!d.plane || all_finite(d.y, n)) && ascending(d.x, n);
  if (!fast) {
    median_smooth_reference(con, d, half, out);
    return;
  }
  const float* x = d.x.data();
  const float* y = d.y.data();
  const float* v = d.v.data();
  if (d.plane) {
    // Each disc lies in the band of X within half; select its middle values.
    const float h2 = half * half;
    auto near = [h2](float xj, float xi) {
      const float dx = xi - xj;
      return dx * dx <= h2;
    };
    if (threads <= 0) threads = default_thread_count();
    if (n < 256) threads = 1;
    auto body = [&](int i0, int i1) {
      std::vector<float> buf;
      for (int i = i0; i < i1; ++i) {
        const int lo = run_start(x, i, near), hi = run_end(x, i, n, near);
        buf.clear();
        for (int j = lo; j <= hi; ++j) {
          const float e = y[i] - y[j], dx = x[i] - x[j];
          if (e * e + dx * dx <= h2) buf.push_back(v[j]);
        }
        out[static_cast<std::size_t>(i)] = select_median(buf.data(), static_cast<int>(buf.size()));
      }
    };
    run_in_chunks(n, std::max(1, n / (threads * 40)), threads, body, [](int) {});
    return;
  }
  // Along X the window's ends only move forward: slide it, adding the
  // values that enter and removing those that leave, and read the middle
  // ranks from the tree.
  std::vector<int> order(static_cast<std::size_t>(n)), rank(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [v](int a, int b) {
    return v[a] < v[b] || (!(v[b] < v[a]) && a < b);
  });
  std::vector<float> by_rank(static_cast<std::size_t>(n));
  for (int r = 0; r < n; ++r) {
    rank[static_cast<std::size_t>(order[static_cast<std::size_t>(r)])] = r;
    by_rank[static_cast<std::size_t>(r)] = v[order[static_cast<std::size_t>(r)]];
  }
  RankTree tree(n);
  int first = 0, last = -1;  // the window held in the tree
  for (int i = 0; i < n; ++i) {
    const float lo = x[i] - half, hi = x[i] + half;
    const int a = static_cast<int>(std::lower_bound(x, x + n, lo) - x);
    const int b = static_cast<int>(std::upper_bound(x, x + n, hi) - x) - 1;
    while (last < b) tree.add(rank[static_cast<std::size_t>(++last)], 1);
    while (first < a) tree.add(rank[static_cast<std::size_t>(first++)], -1);
    const int m = b - a + 1;
    const int n2 = m / 2;
    const float upper = by_rank[static_cast<std::size_t>(tree.kth(n2 + 1))];
    out[static_cast<std::size_t>(i)] =
        (2 * n2 == m) ? (by_rank[static_cast<std::size_t>(tree.kth(n2))] + upper) / 2.f : upper;
  }
}

}  // namespace verto
