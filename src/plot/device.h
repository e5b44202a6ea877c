#pragma once
// The one interface every graphic output draws through: the plot files
// (HPGL, PostScript) and the screen window. Coordinates are device units
// with Y pointing up; the renderer maps the model's world coordinates into
// them with the page geometry of the output.
#include <cstdint>
#include <string_view>

#include "plot/colour.h"

namespace verto::plot {

class PlotDevice {
 public:
  virtual ~PlotDevice() = default;
  // Fills the rectangle (x, y)-(x + w, y + h) as a background, in the
  // device's default colour. Devices without a background ignore it.
  virtual void background(float x, float y, float w, float h) {
    (void)x, (void)y, (void)w, (void)h;
  }
  virtual void colour(const Colour& c) = 0;
  // Line style as a 16-bit on/off mask (0xFFFF solid). Devices that draw
  // every line solid ignore it.
  virtual void line_style(std::uint16_t mask) { (void)mask; }
  virtual void move(float x, float y) = 0;
  virtual void draw(float x, float y) = 0;
  // Text with its lower left corner at (x, y).
  virtual void text(float x, float y, std::string_view s) = 0;
  // Text that belongs in a text cell (row, column from 1): devices with
  // text cells write it there, the others at (x, y).
  virtual void cell_text(int row, int col, float x, float y, std::string_view s) {
    (void)row, (void)col;
    text(x, y, s);
  }
  // The legend follows the data: a device that clips the data to the
  // frame opens the whole page for it.
  virtual void begin_legend() {}
  // Border of the rectangle (x1, y1)-(x2, y2): by default a move and four
  // draws, up the left side first.
  virtual void rect(float x1, float y1, float x2, float y2) {
    move(x1, y1);
    draw(x1, y2);
    draw(x2, y2);
    draw(x2, y1);
    draw(x1, y1);
  }
};

enum class LabelStyle {
  Screen,  // nine characters
  File,    // a 16-character field
};

// Where and how large things are on one output, in its device units.
struct PageGeometry {
  float x0 = 0.f, y0 = 0.f, w = 1.f, h = 1.f;  // the frame (plot area)
  float tick_on_x = 0.f;  // length of the ticks on the X axis (vertical)
  float tick_on_y = 0.f;  // length of the ticks on the Y axis (horizontal)
  float symbol_dx = 0.f, symbol_dy = 0.f;  // symbol half-sizes
  LabelStyle label_style = LabelStyle::File;
  // Lower left corners of the six axis labels (XLeft, XMiddle, XRight,
  // YBottom, YMiddle, YTop).
  float label_x[6] = {};
  float label_y[6] = {};
  // Their text cells (row, column from 1) on devices with cells.
  int label_row[6] = {};
  int label_col[6] = {};
  // Part of the width left of the frame for the labels (the 3D axis
  // letters are placed with it on the screen).
  float label_part = 0.f;
  // Text cells for the legend and the 3D axis letters: the top left corner
  // of cell (row 1, column 1), the cell size, and the size in cells.
  float grid_x = 0.f, grid_y = 0.f, cell_w = 1.f, cell_h = 1.f;
  int columns = 80, rows = 24;
  float legend_symbol = 1.f;  // half-size of the legend's symbol samples
  bool fill_background = false;
};

}  // namespace verto::plot
