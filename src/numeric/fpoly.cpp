#include "numeric/fpoly.h"

namespace verto {

void Fpoly(float x, std::span<float> p) {
  if (p.empty()) return;
  p[0] = 1.f;
  for (std::size_t j = 1; j < p.size(); ++j) p[j] = p[j - 1] * x;
}

}  // namespace verto
