#pragma once
// A graphics window that draws into a picture it owns: the 256-entry
// palette (the standard 16 colours in 0..15), line styles from a 16-bit
// mask, a viewport with a world window (Y up) and device pixels, and text
// in fixed-pitch cells. The screen's Plot window draws through it and
// hands the finished picture to the widget; without a display the same
// picture is saved as a file.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <array>
#include <cstdint>

#include "core/window_services.h"
#include "qt/drawing.h"

namespace verto::qt {

class PictureWindow : public GraphicsWindow {
 public:
  // A picture of `pixels` drawn with text cells of `cell` pixels. The
  // font defaults to the system's fixed-pitch font fitted to the cell.
  PictureWindow(QSize pixels, QSize cell);
  PictureWindow(QSize pixels, QSize cell, const QFont& font);

  // New size: the picture is cleared, the viewport becomes the whole
  // picture, palette and colour are kept.
  void resize(QSize pixels);
  QSize cell() const { return cell_; }
  // The picture as drawn so far, a copy for hand-over to another thread.
  QImage image() const { return image_.copy(); }
  const QImage& picture() const { return image_; }
  // What the picture was drawn from since it was last cleared, for
  // drawing it again at another size or on another device.
  const Drawing& drawing() const { return drawing_; }
  QRgb palette_entry(int index) const;

  // The standard 16-colour palette followed by a colour ramp.
  static std::array<QRgb, 256> default_palette();
  // Cell size of a fixed-pitch font: its advance and its line spacing.
  static QSize cell_of(const QFont& font);
  // The system fixed-pitch font at the largest pixel size that fits `cell`.
  static QFont fixed_font(QSize cell);

  void clear() override;
  void viewport(int x1, int y1, int x2, int y2) override;
  bool world_window(double x1, double y1, double x2, double y2) override;
  void rectangle(double x1, double y1, double x2, double y2) override;
  void move_to(double x, double y) override;
  void line_to(double x, double y) override;
  void rectangle_px(int x1, int y1, int x2, int y2) override;
  void move_to_px(int x, int y) override;
  void line_to_px(int x, int y) override;
  void set_colour(int index) override;
  void remap_palette(int index, std::uint32_t packed) override;
  void set_line_style(std::uint16_t mask) override;
  void text_at(int row, int col, std::string_view text) override;
  PixelSize pixels() const override;

 private:
  // Absolute picture pixel of a world point and of a viewport pixel.
  QPoint world_px(double x, double y) const;
  QPoint device_px(int x, int y) const;
  void line_abs(QPoint from, QPoint to);

  QImage image_;
  Drawing drawing_;
  QSize cell_;
  QFont font_;
  std::array<QRgb, 256> palette_;
  int colour_ = 15;
  std::uint16_t style_ = 0xFFFF;
  int pattern_bit_ = 0;  // position in the style mask along the polyline
  QRect view_;           // viewport, absolute pixels, inclusive
  double wx1_ = 0, wy1_ = 0, wx2_ = 1, wy2_ = 1;
  QPoint pos_;  // current position, absolute pixels
};

}  // namespace verto::qt
