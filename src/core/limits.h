#pragma once
// Rounding of a pair of limits outwards to "nice" numbers: used by the plot
// axes and by the fitted lines of FIT and REGRESS, so that a fitted line
// spans the same interval that the plot shows.
namespace verto {

// The floor used by the rounding: the truncated integer part for v >= 0;
// for v < 0, -(truncated integer part of (-v + 0.99999)). A negative value
// within 0.00001 below a whole number therefore rounds up to that number,
// which absorbs the single-precision noise of a quotient such as -3/1.
float nice_floor(float v);

// Widens [lo, hi] to multiples of step = 10^floor(log10(hi - lo)):
// lo = nice_floor(lo / step) * step, hi = nice_floor(hi / step + 0.9999) *
// step. A maximum within 0.0001 steps above a multiple stays at it.
// Nothing changes when hi <= lo, when either limit is not finite, or when
// the rounded limits would not be finite. Arithmetic is single precision,
// as for all data.
void round_limits(float& lo, float& hi);

}  // namespace verto
