#pragma once
// The drawing model: everything a plot shows, computed once from the data
// and the options, in world coordinates (logarithms on log axes, the
// oblique projection in 3D). Every output draws from it: the plot-file
// devices and the screen through the renderer, the character plot by
// itself.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/page_memory.h"
#include "plot/axes.h"
#include "plot/colour.h"
#include "plot/options.h"

namespace verto {
struct Workspace;
}

namespace verto::plot {

enum class Symbol : std::uint8_t { None, Square, Cross, TriangleUp, TriangleDown, Diamond };

// Symbol of a set number: square, cross, up- and down-triangle for 1..4, a
// diamond from 5 on, none below 1.
Symbol set_symbol(int set);

// Forty bytes, so that the points of a full data set fit in one huge page.
struct PlotPoint {
  float u, v;  // world position of the symbol centre
  int set;     // symbol set number (from /NSET1=)
  Colour colour;
  float bar_lo = 0.f, bar_hi = 0.f;  // error bar from (u, bar_lo) to (u, bar_hi)
  float drop_u = 0.f, drop_v = 0.f;  // dropline from (u, v) to (drop_u, drop_v)
  Symbol symbol;
  bool bar = false;
  bool drop = false;
};
static_assert(sizeof(PlotPoint) <= 40);

struct PlotLinePoint {
  float u, v;
  int segment;          // segment number (from /NLINE=)
  int ordinal;          // 1 for the first segment drawn, +1 per change
  bool starts_segment;  // reached with a move, not drawn to from before
  Colour colour;
  std::uint16_t style;  // line style mask of the segment
  bool drop = false;
  float drop_u = 0.f, drop_v = 0.f;
};

struct Segment {
  float u1, v1, u2, v2;
};

// An axis letter of the 3D frame: its anchor in world coordinates and its
// offset from there in text cells (columns right, rows down).
struct AxisLetter {
  char letter;
  float u, v;
  float columns, rows;
};

enum class LabelSlot : std::uint8_t { XLeft, XMiddle, XRight, YBottom, YMiddle, YTop };

struct AxisLabel {
  LabelSlot slot;
  float value;  // the limit (a decade exponent on a log axis)
  bool log;
};

struct LegendEntry {
  bool line;   // a line-marker entry (else a point-marker entry)
  int number;  // 1-based within its kind
  std::string label;
  Symbol symbol;
  Colour colour;
  std::uint16_t style;
};

struct PlotModel {
  int form = 3;
  bool three_d = false;
  float umin = 0.f, umax = 1.f, vmin = 0.f, vmax = 1.f;  // world window
  Axis x, y, z;
  bool uses_z = false;
  int n1 = 1, n2 = 0;  // points drawn (clipped to 1..Npts)

  // 2D frame: the world window's border, ticks on X and Y, six labels at
  // most.
  std::vector<Tick> x_ticks, y_ticks;
  std::vector<AxisLabel> labels;
  // 3D frame: axes and ticks as world segments, and the axis letters.
  std::vector<Segment> frame_3d;
  std::vector<AxisLetter> letters;

  // One entry per point: up to 50000, so their memory comes in whole
  // pages from the system.
  std::vector<PlotPoint, PageAllocator<PlotPoint>> points;
  std::vector<PlotLinePoint, PageAllocator<PlotLinePoint>> line;

  bool legend = false;
  int legend_corner = 1;
  int longest_label = 0;  // over all marker labels
  std::vector<LegendEntry> legend_entries;
};

// The legend entries of the workspace's markers: the point markers, then
// the line markers, each with its sample's symbol, colour and line style.
std::vector<LegendEntry> legend_entries(const Workspace& ws, int* longest_label = nullptr);

enum class Purpose {
  Graphics,  // screen and plot files: log axes, 3D, colours, legend
  Text,      // character plot: linear 2D, rounding off under any /D
};

enum class ModelStatus { Ok, LogOfNonPositive };

// Builds the model of a PLOT of the workspace's data sets with `opt`.
// LogOfNonPositive: a log axis has a lower extent <= 0; nothing is drawn.
ModelStatus build_model(const Workspace& ws, const PlotOptions& opt,
                        Purpose purpose, PlotModel& out);

}  // namespace verto::plot
