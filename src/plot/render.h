#pragma once
// Draws a plot model on a device: frame, ticks and labels (or the 3D
// frame), points with symbols, error bars and droplines, the line data set
// segment by segment, and the legend.
#include "plot/device.h"
#include "plot/model.h"

namespace verto::plot {

// The whole page on the device's own geometry, ended by its finish().
void render(const PlotModel& model, PlotDevice& device);
// The drawing alone, on the geometry `page`.
void render(const PlotModel& model, const PageGeometry& page, PlotDevice& device);

// Page geometry of a screen plot window of `cols` x `rows` text cells with
// `pxc` x `pxr` pixels per cell, drawing `points_in_range` points, in
// pixels with Y up from the bottom of the drawing area.
PageGeometry screen_page(int cols, int rows, float pxc, float pxr, int points_in_range);

}  // namespace verto::plot
