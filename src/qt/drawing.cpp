#include "qt/drawing.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cstdlib>

namespace verto::qt {

void Drawing::fill(QRgb colour) {
  // Everything before is covered.
  steps_.clear();
  steps_.push_back({Step::Fill, colour, {}, {}, {}, 0xFFFF, 0, {}});
}

void Drawing::line(QPoint from, QPoint to, QRgb colour, std::uint16_t style, int pattern,
                   QRect clip) {
  steps_.push_back({Step::Line, colour, from, to, clip, style, pattern, {}});
}

void Drawing::text(QPoint origin, int baseline, QRect clip, QString s, QRgb colour) {
  steps_.push_back(
      {Step::Text, colour, QPoint(origin.x(), baseline), {}, clip, 0xFFFF, 0, std::move(s)});
}

void Drawing::detach() {
  QFont own;
  own.fromString(font_.toString());
  font_ = own;
}

namespace {

// The centre of a picture pixel, where lines run through.
QPointF centre(QPointF p) { return p + QPointF(0.5, 0.5); }

void draw_line(QPainter& p, const Drawing::Step& s) {
  if (s.style == 0xFFFF || s.from == s.to) {
    if (s.from == s.to) {
      if (s.style == 0xFFFF || ((s.style >> (15 - s.pattern)) & 1u))
        p.drawPoint(centre(s.from));
    } else {
      p.drawLine(centre(s.from), centre(s.to));
    }
    return;
  }
  // The mask lights pixel steps along the line: each run of lit steps is
  // one segment, with square ends covering its first and last pixels.
  const QPointF a = centre(s.from), d = QPointF(s.to - s.from);
  const int n = std::max(std::abs(s.to.x() - s.from.x()), std::abs(s.to.y() - s.from.y()));
  auto lit = [&](int i) { return ((s.style >> (15 - ((s.pattern + i) & 15))) & 1u) != 0; };
  for (int i = 0; i <= n;) {
    if (!lit(i)) {
      ++i;
      continue;
    }
    int j = i;
    while (j < n && lit(j + 1)) ++j;
    p.drawLine(a + d * (double(i) / n), a + d * (double(j) / n));
    i = j + 1;
  }
}

}  // namespace

void Drawing::replay(QPainter& p, QRectF target) const {
  p.save();
  p.translate(target.topLeft());
  p.scale(target.width() / pixels_.width(), target.height() / pixels_.height());
  p.setClipRect(QRect(QPoint(0, 0), pixels_));
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (const Step& s : steps_) {
    switch (s.kind) {
      case Step::Fill:
        p.fillRect(QRect(QPoint(0, 0), pixels_), QColor(s.colour));
        break;
      case Step::Line: {
        p.setClipRect(QRectF(s.clip).adjusted(0, 0, 1, 1));
        p.setPen(QPen(QColor(s.colour), 1.0, Qt::SolidLine, Qt::SquareCap));
        draw_line(p, s);
        break;
      }
      case Step::Text: {
        p.setClipRect(s.clip);
        p.setFont(font_);
        p.setPen(QColor(s.colour));
        for (qsizetype i = 0; i < s.text.size(); ++i) {
          p.drawText(QPointF(s.from.x() + static_cast<double>(i) * cell_.width(), s.from.y()),
                     QString(s.text[i]));
        }
        break;
      }
    }
  }
  p.restore();
}

void Drawing::replay(QPaintDevice& device) const {
  QPainter p(&device);
  replay(p, QRectF(0, 0, device.width(), device.height()));
}

}  // namespace verto::qt
