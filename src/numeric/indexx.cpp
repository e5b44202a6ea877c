#include "numeric/indexx.h"

#include <utility>

#include "numeric/col_matrix.h"

namespace verto {

Status Indexx(int n, std::span<const float> arr, std::span<int> indx) {
  constexpr int M = 7;
  constexpr int NSTACK = 50;
  if (n < 0) n = 0;
  if (!holds(arr.size(), n) || !holds(indx.size(), n)) return Status::failure();
  const float* const v = arr.data();
  int* const p = indx.data();
  auto I = [p](int i) -> int& { return p[i - 1]; };
  auto key = [v](int index) { return v[index - 1]; };

  for (int j = 1; j <= n; ++j) I(j) = j;
  int istack[NSTACK];
  int jstack = 0;
  int l = 1;
  int ir = n;
  for (;;) {
    if (ir - l < M) {
      for (int j = l + 1; j <= ir; ++j) {
        const int indxt = I(j);
        const float a = key(indxt);
        int i = j - 1;
        for (; i >= l; --i) {
          if (key(I(i)) <= a) break;
          I(i + 1) = I(i);
        }
        I(i + 1) = indxt;
      }
      if (jstack == 0) return Status::success();
      ir = istack[jstack - 1];
      l = istack[jstack - 2];
      jstack -= 2;
    } else {
      const int k = l + (ir - l) / 2;
      std::swap(I(k), I(l + 1));
      if (key(I(l + 1)) > key(I(ir))) std::swap(I(l + 1), I(ir));
      if (key(I(l)) > key(I(ir))) std::swap(I(l), I(ir));
      if (key(I(l + 1)) > key(I(l))) std::swap(I(l + 1), I(l));
      int i = l + 1;
      int j = ir;
      const int indxt = I(l);
      const float a = key(indxt);
      for (;;) {
        do ++i; while (key(I(i)) < a);
        do --j; while (key(I(j)) > a);
        if (j < i) break;
        std::swap(I(i), I(j));
      }
      I(l) = I(j);
      I(j) = indxt;
      jstack += 2;
      if (jstack > NSTACK) {
        return Status::fault("NSTACK too small in indexx");
      }
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
