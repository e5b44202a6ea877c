#pragma once
// Median of x(1..n) by sorting x in place (Sort): the middle value for odd
// n, the mean of the two middle values for even n.
//
// Fails with xmed = 0 for n < 1 or n beyond the size of x (x is not
// touched), and fails with the fault of Sort when the sort stopped on stack exhaustion (xmed is
// then taken from the partly sorted array).
#include <span>

#include "numeric/status.h"

namespace verto {

Status Mdian1(std::span<float> x, int n, float& xmed);

}  // namespace verto
