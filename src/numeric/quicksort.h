#pragma once
// The one quicksort body of Sort and Indexx: elements e(1..n) ordered by
// key(e) ascending, median-of-three partitioning, straight insertion for
// pieces shorter than 7 elements and an explicit stack of 50 integers; no
// allocation. Sort orders the values themselves, Indexx 1-based indices
// into a value array.
#include <string_view>
#include <utility>

#include "numeric/status.h"

namespace verto::detail {

// Sorts p[0..n-1]; `fault` is the message when the pending-piece stack
// would overflow (the elements are then a permutation of their input).
template <class Element, class Key>
Status quicksort(Element* p, int n, Key key, const char* fault) {
  constexpr int M = 7;
  constexpr int NSTACK = 50;
  auto E = [p](int i) -> Element& { return p[i - 1]; };

  int istack[NSTACK];
  int jstack = 0;
  int l = 1;
  int ir = n;
  for (;;) {
    if (ir - l < M) {
      // Straight insertion of e(l..ir).
      for (int j = l + 1; j <= ir; ++j) {
        const Element e = E(j);
        const auto a = key(e);
        int i = j - 1;
        for (; i >= l; --i) {
          if (key(E(i)) <= a) break;
          E(i + 1) = E(i);
        }
        E(i + 1) = e;
      }
      if (jstack == 0) return Status::success();
      ir = istack[jstack - 1];
      l = istack[jstack - 2];
      jstack -= 2;
    } else {
      // Median of e(l), e(l+1), e(ir) goes to e(l); the other two become
      // sentinels for the partitioning scans.
      const int k = l + (ir - l) / 2;
      std::swap(E(k), E(l + 1));
      if (key(E(l + 1)) > key(E(ir))) std::swap(E(l + 1), E(ir));
      if (key(E(l)) > key(E(ir))) std::swap(E(l), E(ir));
      if (key(E(l + 1)) > key(E(l))) std::swap(E(l + 1), E(l));
      int i = l + 1;
      int j = ir;
      const Element e = E(l);
      const auto a = key(e);
      for (;;) {
        do ++i; while (key(E(i)) < a);
        do --j; while (key(E(j)) > a);
        if (j < i) break;
        std::swap(E(i), E(j));
      }
      E(l) = E(j);
      E(j) = e;
      jstack += 2;
      if (jstack > NSTACK) return Status::fault(fault);
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

}  // namespace verto::detail
