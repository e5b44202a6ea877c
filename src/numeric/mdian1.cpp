#include "numeric/mdian1.h"

#include "numeric/col_matrix.h"
#include "numeric/sort.h"

namespace verto {

Status Mdian1(std::span<float> x, int n, float& xmed) {
  xmed = 0.f;
  if (n < 1 || !holds(x.size(), n)) return Status::failure();
  const Status sorted = Sort(n, x);
  const int n2 = n / 2;
  if (2 * n2 == n)
    xmed = (x[n2 - 1] + x[n2]) / 2.f;
  else
    xmed = x[n2];
  return sorted;
}

}  // namespace verto
