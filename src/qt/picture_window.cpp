#include "qt/picture_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/console.h"

namespace verto::qt {

std::array<QRgb, 256> PictureWindow::default_palette() {
  std::array<QRgb, 256> p{};
  for (int i = 0; i < 16; ++i) p[i] = 0xFF000000u | kStandardPalette[static_cast<std::size_t>(i)];
  // Entries above the standard colours start as a hue ramp so that an
  // index drawn before it is remapped is still visible on black.
  for (int i = 16; i < 256; ++i) {
    p[i] = QColor::fromHsv((i - 16) * 359 / 240, 200, 230).rgb();
  }
  return p;
}

QSize PictureWindow::cell_of(const QFont& font) {
  const QFontMetrics fm(font);
  return {std::max(1, fm.horizontalAdvance(QLatin1Char('M'))), std::max(1, fm.height())};
}

QFont PictureWindow::fixed_font(QSize cell) {
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  // The largest pixel size whose characters fit the cell.
  for (int px = std::max(4, cell.height() - 2); px >= 4; --px) {
    f.setPixelSize(px);
    const QSize fits = cell_of(f);
    if (fits.width() <= cell.width() && fits.height() <= cell.height()) break;
  }
  return f;
}

PictureWindow::PictureWindow(QSize pixels, QSize cell)
    : PictureWindow(pixels, cell, fixed_font(cell)) {}

PictureWindow::PictureWindow(QSize pixels, QSize cell, const QFont& font)
    : cell_(cell.expandedTo({1, 1})), font_(font), palette_(default_palette()) {
  resize(pixels);
}

void PictureWindow::resize(QSize pixels) {
  image_ = QImage(pixels.expandedTo({1, 1}), QImage::Format_RGB32);
  view_ = image_.rect();
  pos_ = {0, 0};
  drawing_ = Drawing(image_.size(), cell_, font_);
  clear();
}

QRgb PictureWindow::palette_entry(int index) const {
  return palette_[static_cast<std::size_t>(std::clamp(index, 0, 255))];
}

void PictureWindow::clear() {
  image_.fill(palette_[0]);
  drawing_.fill(palette_[0]);
}

void PictureWindow::viewport(int x1, int y1, int x2, int y2) {
  view_ = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                QPoint(std::max(x1, x2), std::max(y1, y2)));
}

bool PictureWindow::world_window(double x1, double y1, double x2, double y2) {
  if (x1 == x2 || y1 == y2) return false;
  wx1_ = x1, wy1_ = y1, wx2_ = x2, wy2_ = y2;
  return true;
}

QPoint PictureWindow::world_px(double x, double y) const {
  const double px = view_.left() + (x - wx1_) * (view_.right() - view_.left()) / (wx2_ - wx1_);
  const double py = view_.top() + (wy2_ - y) * (view_.bottom() - view_.top()) / (wy2_ - wy1_);
  // Far-away points are held at a distance the line drawing can step
  // through; they are clipped anyway.
  auto held = [](double v) {
    return static_cast<int>(std::lround(std::clamp(v, -1.0e6, 1.0e6)));
  };
  return {held(px), held(py)};
}

QPoint PictureWindow::device_px(int x, int y) const {
  return {view_.left() + x, view_.top() + y};
}

void PictureWindow::line_abs(QPoint from, QPoint to) {
  const QRect clip = view_.intersected(image_.rect());
  int x = from.x(), y = from.y();
  const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
  const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
  int err = dx + dy;
  const QRgb colour = palette_[static_cast<std::size_t>(colour_)];
  const bool solid = style_ == 0xFFFF;
  // Whole runs outside the clip rectangle on the far side are skipped.
  if ((x < clip.left() && to.x() < clip.left()) || (x > clip.right() && to.x() > clip.right()) ||
      (y < clip.top() && to.y() < clip.top()) || (y > clip.bottom() && to.y() > clip.bottom())) {
    pattern_bit_ = (pattern_bit_ + std::max(dx, -dy)) & 15;
    return;
  }
  drawing_.line(from, to, colour, style_, pattern_bit_, clip);
  for (;;) {
    const bool on = solid || ((style_ >> (15 - pattern_bit_)) & 1u);
    if (on && clip.contains(x, y)) {
      reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour;
    }
    if (x == to.x() && y == to.y()) break;
    pattern_bit_ = (pattern_bit_ + 1) & 15;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x += sx;
    if (e2 <= dx) err += dx, y += sy;
  }
}

void PictureWindow::move_to(double x, double y) {
  pos_ = world_px(x, y);
  pattern_bit_ = 0;
}

void PictureWindow::line_to(double x, double y) {
  const QPoint to = world_px(x, y);
  line_abs(pos_, to);
  pos_ = to;
}

void PictureWindow::rectangle(double x1, double y1, double x2, double y2) {
  move_to(x1, y1);
  line_to(x1, y2);
  line_to(x2, y2);
  line_to(x2, y1);
  line_to(x1, y1);
}

void PictureWindow::move_to_px(int x, int y) {
  pos_ = device_px(x, y);
  pattern_bit_ = 0;
}

void PictureWindow::line_to_px(int x, int y) {
  const QPoint to = device_px(x, y);
  line_abs(pos_, to);
  pos_ = to;
}

void PictureWindow::rectangle_px(int x1, int y1, int x2, int y2) {
  move_to_px(x1, y1);
  line_to_px(x1, y2);
  line_to_px(x2, y2);
  line_to_px(x2, y1);
  line_to_px(x1, y1);
}

void PictureWindow::set_colour(int index) { colour_ = std::clamp(index, 0, 255); }

void PictureWindow::remap_palette(int index, std::uint32_t packed) {
  const int r = static_cast<int>(packed & 0xFFu), g = static_cast<int>((packed >> 8) & 0xFFu),
            b = static_cast<int>((packed >> 16) & 0xFFu);
  palette_[static_cast<std::size_t>(std::clamp(index, 0, 255))] = qRgb(r, g, b);
}

void PictureWindow::set_line_style(std::uint16_t mask) {
  style_ = mask;
  pattern_bit_ = 0;
}

void PictureWindow::text_at(int row, int col, std::string_view text) {
  if (text.empty()) return;
  QPainter p(&image_);
  p.setFont(font_);
  p.setPen(QColor(palette_[static_cast<std::size_t>(colour_)]));
  const QFontMetrics fm(font_);
  const int x = (std::max(col, 1) - 1) * cell_.width();
  const int y = (std::max(row, 1) - 1) * cell_.height();
  const int baseline = y + (cell_.height() - fm.height()) / 2 + fm.ascent();
  // One character per cell, whatever the font's own advance.
  const QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  p.setClipRect(x, y, static_cast<int>(s.size()) * cell_.width(), cell_.height());
  drawing_.text(QPoint(x, y), baseline,
                QRect(x, y, static_cast<int>(s.size()) * cell_.width(), cell_.height()), s,
                palette_[static_cast<std::size_t>(colour_)]);
  for (qsizetype i = 0; i < s.size(); ++i) {
    p.drawText(x + static_cast<int>(i) * cell_.width(), baseline, QString(s[i]));
  }
}

PixelSize PictureWindow::pixels() const { return {image_.width(), image_.height()}; }

}  // namespace verto::qt
