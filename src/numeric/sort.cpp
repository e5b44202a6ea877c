#include "numeric/sort.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <utility>

#include "numeric/col_matrix.h"
#include "numeric/quicksort.h"

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
  if (n < 0) n = 0;
  if (!holds(arr.size(), n)) return Status::failure();
  if (n >= kRadixFrom && radix_sort(arr.data(), n)) return Status::success();
  return detail::quicksort(arr.data(), n, [](float v) { return v; }, "NSTACK too small in sort");
}

}  // namespace verto
