#pragma once
// The PLOT line and what it asks for: the line handed to the plot (plot
// mode string, typed qualifiers, marker lists) and the plot options read
// from it. Nothing of the options survives a PLOT.
#include <array>
#include <string>
#include <string_view>

namespace verto {
struct Workspace;
}

namespace verto::plot {

// The PLOT line is examined as 80 characters (blanks after the 70th).
constexpr int kPlotLineLength = 80;
// At most this many numbers are read from one /NSET1= or /NLINE= list
// (an 80-character line holds fewer).
constexpr int kMaxBreaks = 40;

// "PLOT " + plot mode string + the typed qualifiers (upper case, from the
// 5th character) + "/NSET1=" and "/NLINE=" lists from the marker lists,
// each index followed by ",". Cut to 70 characters.
std::string build_plot_line(const Workspace& ws);

struct BreakList {
  std::array<int, kMaxBreaks> at{};
  int count = 0;
  bool given = false;  // the list qualifier occurs in the line
};

// Colour coding: the axis coded (0 point index, 1 X, 2 Y, 3 Z) and the
// scale turning the value into nanometres (negative: normalised coding).
struct ColourCoding {
  bool on = false;
  int axis = 0;
  float scale = 0.f;
};

struct PlotOptions {
  bool text = false;        // /T (not with /THETA=): character plot
  bool file = false;        // /P: plot file
  bool postscript = false;  // /PS
  bool over = false;        // /OVER: overwrite the first plot file
  bool background = false;  // /B: filled background (PostScript)
  bool legend = false;      // /LEG
  int legend_corner = 1;    // /LEG=2, /LEG=3, /LEG=4
  bool xlog = false, ylog = false, zlog = false;
  bool nice = true;         // cleared by /D not followed by R
  bool any_d = false;       // any /D (the character plot rounds without)
  bool drop = false;        // /DROP
  bool contour = false;     // /CON
  ColourCoding colour;
  float theta = 135.f;      // /THETA=, degrees
  // The point range as given by /n1:n2 (digits only), not yet clipped;
  // n2 < 0 stands for "up to the last point".
  int range_first = 1;
  int range_last = -1;
  int form = 3;             // a copy of the form; /CON makes it 3
  BreakList point_breaks;   // /NSET1=
  BreakList line_breaks;    // /NLINE=
};

// Reads the options of an upper-case PLOT line; `form` is the current form.
PlotOptions parse_plot_options(std::string_view upper_line, int form);

// The set number of point (or line point) `index` (1-based) under a break
// list: 1 up to the first break, 2 up to the second, ... A break not larger
// than the one before it gives an empty set.
int set_number(const BreakList& breaks, int index);

// The rotation angle of /THETA=: the stretch of "1234567890.-" after the
// last "/THETA=", as the number conversion reads it; 135 without /THETA=.
float theta_value(std::string_view line80);

}  // namespace verto::plot
