#include "numeric/indexx.h"

#include "numeric/col_matrix.h"
#include "numeric/quicksort.h"

namespace verto {

Status Indexx(int n, std::span<const float> arr, std::span<int> indx) {
  if (n < 0) n = 0;
  if (!holds(arr.size(), n) || !holds(indx.size(), n)) return Status::failure();
  const float* const v = arr.data();
  for (int j = 1; j <= n; ++j) indx[static_cast<std::size_t>(j - 1)] = j;
  return detail::quicksort(indx.data(), n, [v](int index) { return v[index - 1]; },
                           "NSTACK too small in indexx");
}

}  // namespace verto
