#pragma once
// A picture as the notebook keeps it: an SVG document drawn again from the
// picture's drawing (sharp at any zoom), or the image as PNG where Qt has
// no SVG module, the drawing is not at hand or the SVG would be very large.
#include <QImage>
#include <QString>

#include "core/window_services.h"
#include "qt/drawing.h"

namespace verto::qt {

// SVG documents larger than this (plots of many thousands of points) go in
// as PNG, which stays small.
constexpr qsizetype kLargestSvg = 4 << 20;

PictureData picture_data(const QImage& image, const Drawing& drawing, const QString& title);

}  // namespace verto::qt
