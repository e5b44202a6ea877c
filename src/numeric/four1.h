#pragma once
// In-place radix-2 complex FFT of nn points stored as 2*nn reals, real and
// imaginary parts interleaved (data[0] is Re of point 1). isign = 1 gives
// sum_k data(k) exp(+2 pi i j k / nn); isign = -1 the same with the minus
// sign, which is the inverse transform times nn (no normalisation). The
// twiddle factors run in double precision, the data stay single precision.
//
// Returns false, leaving data unchanged, unless nn is a power of two (the
// butterflies would index past the array otherwise), data holds 2*nn values
// and isign is nonzero.
#include <span>

namespace verto {

bool Four1(std::span<float> data, int nn, int isign);

}  // namespace verto
