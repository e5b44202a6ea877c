#pragma once
// Draws a plot model on a device: frame, ticks and labels (or the 3D
// frame), points with symbols, error bars and droplines, the line data set
// segment by segment, and the legend.
#include <vector>

#include "plot/device.h"
#include "plot/model.h"

namespace verto::plot {

// The whole page on the device's own geometry, ended by its finish().
void render(const PlotModel& model, PlotDevice& device);
// The drawing alone, on the geometry `page`.
void render(const PlotModel& model, const PageGeometry& page, PlotDevice& device);

// The symbol of a set centred on (x, y) with half-sizes dx, dy: the one
// routine that draws the symbol shapes on every device, for the plot and
// both legends.
void draw_symbol(PlotDevice& d, Symbol s, float x, float y, float dx, float dy);

// The LEG command's legend window: from row 2, each entry's sample centred
// on column 2 (a point entry's symbol, a line entry's stroke from column 1
// to column 3) and its label at column 5, one blank row between the point
// and the line entries; ended by the device's finish().
void render_legend_window(const std::vector<LegendEntry>& entries, PlotDevice& device);

// Page geometry of a legend window whose drawing surface of `width` x
// `height` pixels holds `cols` x `rows` text cells: pixels per cell by
// integer division, as in the plot window, and the samples' half-size
// int(0.35 x cell height).
PageGeometry legend_window_page(int width, int height, int cols, int rows);

// Page geometry of a screen plot window of `cols` x `rows` text cells with
// `pxc` x `pxr` pixels per cell, drawing `points_in_range` points, in
// pixels with Y up from the bottom of the drawing area.
PageGeometry screen_page(int cols, int rows, float pxc, float pxr, int points_in_range);

}  // namespace verto::plot
