#pragma once
// In-place ascending sort of arr(1..n) (arr[0] is element 1): quicksort with
// median-of-three partitioning, straight insertion for pieces shorter than
// 7 elements and an explicit stack of 50 integers; no allocation.
//
// Fails when n exceeds arr's size (nothing is touched) or when the
// pending-piece stack would overflow: the fault "NSTACK too small in sort"
// stops the sort, leaving arr a permutation of its input. The
// stack cannot overflow for n below about 2^25.
#include <span>

#include "numeric/status.h"

namespace verto {

Status Sort(int n, std::span<float> arr);

}  // namespace verto
