#pragma once
// Small pictures of what PLOT draws, for the Plot options dialog: drawn by
// the plot code itself from a little sample data set, so that they show
// exactly what the choice gives.
#include <QPixmap>
#include <QSize>
#include <string_view>

namespace verto::qt {

// A peak with two labelled parts and the legend in corner `corner`
// (1 up/left, 2 up/right, 3 low/left, 4 low/right).
QPixmap legend_thumbnail(int corner, QSize size);

// A surface of points seen from the orientation of `theta_option` (a
// "/THETA=..." qualifier, or empty for the default).
QPixmap orientation_thumbnail(std::string_view theta_option, QSize size);

}  // namespace verto::qt
