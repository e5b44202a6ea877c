#include "numeric/sort.h"

#include <utility>

#include "numeric/col_matrix.h"

namespace verto {

Status Sort(int n, std::span<float> arr) {
  constexpr int M = 7;
  constexpr int NSTACK = 50;
  if (n < 0) n = 0;
  if (!holds(arr.size(), n)) return Status::failure();
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
