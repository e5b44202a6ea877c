#pragma once
// Axis limits of a plot: data extents, whole decades on log axes, nice
// round limits, and the tick positions and label texts of an axis.
#include <string>
#include <vector>

namespace verto::plot {

struct Axis {
  // World limits; on a log axis whole decade exponents e1 < e2, and every
  // coordinate on the axis is the base-10 logarithm of the value.
  float min = 0.f, max = 1.f;
  bool log = false;
};

// Running minimum and maximum of the values that can be plotted. Values
// that are not finite (NaN, infinities) are left out: they are not drawn.
struct Extent {
  float min = 0.f, max = 0.f;
  bool any = false;
  void add(float v) {
    if (!(v - v == 0.f)) return;  // NaN or infinite
    if (!any) {
      min = max = v;
      any = true;
    } else {
      if (v < min) min = v;
      if (v > max) max = v;
    }
  }
};

// Turns data extents into decades: e1 = trunc(log10(min)), lowered by one
// when 10^e1 > min; e2 = trunc(log10(max)), raised by one when 10^e2 < max.
// False (and nothing changed) when min is not above zero.
bool to_decades(float& min, float& max);

// An axis whose limits are equal is widened so that the data still show:
// a linear axis at v by 10 % of |v| on each side (by 1 when v is 0), a log
// axis by one decade upwards.
void widen_equal(Axis& a);

// Tick of a 2D axis: world position, and whether it is drawn at double
// length (the middle tick of a linear axis, the decade ticks of a log one).
struct Tick {
  float at;
  bool long_tick;
};

// Linear axis: 21 ticks at min + j(max-min)/20, then the middle tick at
// double length. Log axis: for each decade e1..e2-1 and k = 1..9 a tick at
// log10(k 10^e), double length for k = 1.
void axis_ticks(const Axis& a, std::vector<Tick>& out);

// Label texts. Screen: "(F9.3)", or "(E9.3)" when that does not fit;
// "(3X,A,I3)" with "10^" on a log axis. Plot files: the same written into
// a 16-character field, "(A,I3,1X)" on a log axis.
std::string screen_label(float value, bool log);
std::string file_label(float value, bool log);

}  // namespace verto::plot
