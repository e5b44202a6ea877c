#pragma once
// Checks on plot pictures shared by the offscreen and the window tests.
#include <QImage>

namespace verto::testing {

// The bottom edge of a 2D plot's frame: the last row of the frame's left
// edge at column `left`, running down from the top; -1 when there is none.
inline int frame_bottom(const QImage& img, int left, QRgb frame) {
  int y = 0;
  while (y < img.height() && img.pixel(left, y) == frame) ++y;
  return y == 0 ? -1 : y - 1;
}

// True when the X axis labels lie wholly below the frame's bottom edge:
// the edge runs the frame's width, the next rows are empty from the frame's
// left edge on (the Y labels are left of it), and below them labels were
// drawn.
inline bool labels_below_frame(const QImage& img, int left, int right, QRgb frame, QRgb ground) {
  const int bottom = frame_bottom(img, left, frame);
  if (bottom < 0) return false;
  for (int x = left; x <= right; ++x)
    if (img.pixel(x, bottom) != frame) return false;
  for (int y = bottom + 1; y <= bottom + 4 && y < img.height(); ++y)
    for (int x = left; x < img.width(); ++x)
      if (img.pixel(x, y) != ground) return false;
  for (int y = bottom + 5; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) == frame) return true;
  return false;
}

}  // namespace verto::testing
