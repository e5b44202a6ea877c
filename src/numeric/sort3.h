#pragma once
// Sorts ra(1..n) ascending and permutes rb and rc the same way, through an
// index sort of ra (iwksp) and a copy of each array (wksp); the caller
// supplies both work arrays (n entries each). Equal keys keep the order the
// index sort leaves them in.
//
// Fails, leaving all three arrays unchanged, when n exceeds any of
// the arrays or when the index sort fails (with its fault).
#include <span>

#include "numeric/status.h"

namespace verto {

Status Sort3(int n, std::span<float> ra, std::span<float> rb, std::span<float> rc,
              std::span<float> wksp, std::span<int> iwksp);

}  // namespace verto
