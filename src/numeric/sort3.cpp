#include "numeric/sort3.h"

#include "numeric/col_matrix.h"
#include "numeric/indexx.h"

namespace verto {

namespace {

void apply_order(int n, std::span<float> r, std::span<float> wksp, std::span<const int> iwksp) {
  for (int j = 0; j < n; ++j) wksp[j] = r[j];
  for (int j = 0; j < n; ++j) r[j] = wksp[iwksp[j] - 1];
}

}  // namespace

Status Sort3(int n, std::span<float> ra, std::span<float> rb,
           std::span<float> rc, std::span<float> wksp, std::span<int> iwksp) {
  if (n < 0) n = 0;
  if (!holds(ra.size(), n) || !holds(rb.size(), n) || !holds(rc.size(), n) ||
      !holds(wksp.size(), n) || !holds(iwksp.size(), n))
    return Status::failure();
  if (Status st = Indexx(n, ra, iwksp); !st) return st;
  apply_order(n, ra, wksp, iwksp);
  apply_order(n, rb, wksp, iwksp);
  apply_order(n, rc, wksp, iwksp);
  return Status::success();
}

}  // namespace verto
