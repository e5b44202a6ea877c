#pragma once
// 1-based view of a single-precision matrix stored column by column with a
// leading dimension ld (the physical row count), as the fitting engines
// exchange their curvature and covariance matrices. Element (i, j) lives at
// data[(i - 1) + (j - 1) * ld].
#include <cstddef>
#include <span>

namespace verto {

class ColMatrix {
 public:
  ColMatrix(float* data, int ld) : data_(data), ld_(ld) {}
  float& operator()(int i, int j) const {
    return data_[(i - 1) + static_cast<std::ptrdiff_t>(j - 1) * ld_];
  }

 private:
  float* data_;
  int ld_;
};

// True when `storage` with leading dimension `ld` holds the upper-left
// rows x cols block (an empty block always fits).
inline bool block_fits(std::span<const float> storage, int ld, int rows, int cols) {
  if (rows <= 0 || cols <= 0) return rows >= 0 && cols >= 0;
  if (rows > ld) return false;
  const auto need = static_cast<std::size_t>(cols - 1) * static_cast<std::size_t>(ld) +
                    static_cast<std::size_t>(rows);
  return need <= storage.size();
}

// True when an array of `size` entries holds the 1-based elements 1..n.
inline bool holds(std::size_t size, int n) {
  return n >= 0 && static_cast<std::size_t>(n) <= size;
}

}  // namespace verto
