#include "numeric/sort.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <utility>

#include "numeric/col_matrix.h"

namespace verto {

namespace {

// Below this many values the quicksort is as fast.
constexpr int kRadixFrom = 1024;

// Sorts p[0..n-1] by the bits of the values, three passes of a least
// significant digit radix sort on keys that order like the values. Equal
// values are then identical bit patterns, so the result is the one sorted
// sequence any sort gives, except where it is not unique: NaN, and +0 and
// -0 together (equal, yet different). Those arrays are left untouched
// (false) for the quicksort, whose placement of them is the reference.
bool radix_sort(float* p, int n) {
  bool plus_zero = false, minus_zero = false;
  for (int i = 0; i < n; ++i) {
    const std::uint32_t u = std::bit_cast<std::uint32_t>(p[i]);
    if ((u & 0x7FFFFFFFu) > 0x7F800000u) return false;
    plus_zero |= u == 0u;
    minus_zero |= u == 0x80000000u;
  }
  if (plus_zero && minus_zero) return false;

  const std::size_t count = static_cast<std::size_t>(n);
  std::unique_ptr<std::uint32_t[]> a(new std::uint32_t[count]), b(new std::uint32_t[count]);
  constexpr int kDigits = 3;
  constexpr int kShift[kDigits] = {0, 11, 22};
  static constexpr std::uint32_t kMask = 0x7FFu;
  std::uint32_t hist[kDigits][kMask + 1] = {};
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t u = std::bit_cast<std::uint32_t>(p[i]);
    // Negative values reverse their order: flip all bits; positive ones
    // go above them: set the sign bit.
    const std::uint32_t key = (u & 0x80000000u) ? ~u : (u | 0x80000000u);
    a[i] = key;
    for (int d = 0; d < kDigits; ++d) ++hist[d][(key >> kShift[d]) & kMask];
  }
  for (int d = 0; d < kDigits; ++d) {
    std::uint32_t sum = 0;
    for (std::uint32_t& h : hist[d]) sum += std::exchange(h, sum);
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t key = a[i];
      b[hist[d][(key >> kShift[d]) & kMask]++] = key;
    }
    a.swap(b);
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t key = a[i];
    p[i] = std::bit_cast<float>((key & 0x80000000u) ? (key & 0x7FFFFFFFu) : ~key);
  }
  return true;
}

}  // namespace

Status Sort(int n, std::span<float> arr) {
  constexpr int M = 7;
  constexpr int NSTACK = 50;
  if (n < 0) n = 0;
  if (!holds(arr.size(), n)) return Status::failure();
  if (n >= kRadixFrom && radix_sort(arr.data(), n)) return Status::success();
  float* const p = arr.data();
  auto A = [p](int i) -> float& { return p[i - 1]; };

  int istack[NSTACK];
  int jstack = 0;
  int l = 1;
  int ir = n;
  for (;;) {
    if (ir - l < M) {
      // Straight insertion of arr(l..ir).
      for (int j = l + 1; j <= ir; ++j) {
        const float a = A(j);
        int i = j - 1;
        for (; i >= l; --i) {
          if (A(i) <= a) break;
          A(i + 1) = A(i);
        }
        A(i + 1) = a;
      }
      if (jstack == 0) return Status::success();
      ir = istack[jstack - 1];
      l = istack[jstack - 2];
      jstack -= 2;
    } else {
      // Median of arr(l), arr(l+1), arr(ir) goes to arr(l); the other two
      // become sentinels for the partitioning scans.
      const int k = l + (ir - l) / 2;
      std::swap(A(k), A(l + 1));
      if (A(l + 1) > A(ir)) std::swap(A(l + 1), A(ir));
      if (A(l) > A(ir)) std::swap(A(l), A(ir));
      if (A(l + 1) > A(l)) std::swap(A(l + 1), A(l));
      int i = l + 1;
      int j = ir;
      const float a = A(l);
      for (;;) {
        do ++i; while (A(i) < a);
        do --j; while (A(j) > a);
        if (j < i) break;
        std::swap(A(i), A(j));
      }
      A(l) = A(j);
      A(j) = a;
      jstack += 2;
      if (jstack > NSTACK) {
        return Status::fault("NSTACK too small in sort");
      }
      // Push the larger piece, go on with the smaller one.
      if (ir - i + 1 >= j - l) {
        istack[jstack - 1] = ir;
        istack[jstack - 2] = i;
        ir = j - 1;
      } else {
        istack[jstack - 1] = j - 1;
        istack[jstack - 2] = l;
        l = i;
      }
    }
  }
}

}  // namespace verto
