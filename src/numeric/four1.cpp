#include "numeric/four1.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace verto {

bool Four1(std::span<float> data, int nn, int isign) {
  if (nn < 1 || (nn & (nn - 1)) != 0 || isign == 0) return false;
  using Index = std::ptrdiff_t;
  const Index n = 2 * static_cast<Index>(nn);
  if (static_cast<std::size_t>(n) > data.size()) return false;
  float* const p = data.data();
  auto D = [p](Index i) -> float& { return p[i - 1]; };

  // Bit-reversal reordering.
  Index j = 1;
  for (Index i = 1; i <= n; i += 2) {
    if (j > i) {
      std::swap(D(j), D(i));
      std::swap(D(j + 1), D(i + 1));
    }
    Index m = n / 2;
    while (m >= 2 && j > m) {
      j -= m;
      m /= 2;
    }
    j += m;
  }

  // Danielson-Lanczos butterflies; w = exp(i theta) advanced by the
  // recurrence w <- w + w * (wpr + i wpi) in double precision.
  Index mmax = 2;
  while (n > mmax) {
    const Index istep = 2 * mmax;
    const double theta =
        6.28318530717959 / (static_cast<double>(isign) * static_cast<double>(mmax));
    const double half = std::sin(0.5 * theta);
    const double wpr = -2.0 * half * half;
    const double wpi = std::sin(theta);
    double wr = 1.0;
    double wi = 0.0;
    for (Index m = 1; m <= mmax; m += 2) {
      const float fwr = static_cast<float>(wr);
      const float fwi = static_cast<float>(wi);
      for (Index i = m; i <= n; i += istep) {
        const Index k = i + mmax;
        const float tempr = fwr * D(k) - fwi * D(k + 1);
        const float tempi = fwr * D(k + 1) + fwi * D(k);
        D(k) = D(i) - tempr;
        D(k + 1) = D(i + 1) - tempi;
        D(i) = D(i) + tempr;
        D(i + 1) = D(i + 1) + tempi;
      }
      const double wtemp = wr;
      wr = wr * wpr - wi * wpi + wr;
      wi = wi * wpr + wtemp * wpi + wi;
    }
    mmax = istep;
  }
  return true;
}

}  // namespace verto
