#pragma once
// Index sort: fills indx(1..n) (indx[0] is element 1) with 1-based indices
// such that arr(indx(1)) <= arr(indx(2)) <= ...; arr is not changed. The
// same quicksort scheme as Sort (median of three, insertion below 7, a
// 50-integer stack) moving indices only.
//
// Fails when n exceeds the size of arr or indx (nothing is touched)
// or when the stack would overflow: the fault "NSTACK too small in indexx"
// stops the sort, leaving indx a permutation of 1..n.
#include <span>

#include "numeric/status.h"

namespace verto {

Status Indexx(int n, std::span<const float> arr, std::span<int> indx);

}  // namespace verto
