#pragma once
// What a picture was drawn from: its fills, lines and texts in picture
// pixels, kept as a value so that it can be handed to the window with the
// image and replayed there at any size onto any paint device (the window
// itself when resized, an image, a PDF page) at full quality.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;

namespace verto::qt {

class Drawing {
 public:
  struct Step {
    enum Kind { Fill, Line, Text } kind;
    QRgb colour;
    QPoint from, to;          // Line: end points; Text: cell origin, baseline
    QRect clip;               // Line, Text
    std::uint16_t style = 0xFFFF;  // Line: mask, first bit used at `pattern`
    int pattern = 0;
    QString text;             // Text: one character per cell
  };

  Drawing() = default;
  Drawing(QSize pixels, QSize cell, QFont font)
      : pixels_(pixels), cell_(cell), font_(std::move(font)) {}

  QSize pixels() const { return pixels_; }
  // A font of its own, not shared with the thread that drew: fonts keep
  // caches that are filled while drawing.
  void detach();
  bool empty() const { return steps_.empty(); }

  void fill(QRgb colour);
  void line(QPoint from, QPoint to, QRgb colour, std::uint16_t style, int pattern, QRect clip);
  void text(QPoint origin, int baseline, QRect clip, QString s, QRgb colour);

  // Draws the picture scaled to fill `target` of the painter.
  void replay(QPainter& p, QRectF target) const;
  // Draws it filling the whole device.
  void replay(QPaintDevice& device) const;

 private:
  QSize pixels_{1, 1};
  QSize cell_{1, 1};
  QFont font_;
  std::vector<Step> steps_;
};

}  // namespace verto::qt
