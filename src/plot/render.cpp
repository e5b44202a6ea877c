#include "plot/render.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace verto::plot {

namespace {

class Mapper {
 public:
  Mapper(const PlotModel& m, const PageGeometry& g)
      : umin_(m.umin), vmin_(m.vmin), x0_(g.x0), y0_(g.y0),
        sx_((m.umax - m.umin) / g.w), sy_((m.vmax - m.vmin) / g.h) {}
  float x(float u) const { return (u - umin_) / sx_ + x0_; }
  float y(float v) const { return (v - vmin_) / sy_ + y0_; }

 private:
  float umin_, vmin_, x0_, y0_, sx_, sy_;
};

}  // namespace

void draw_symbol(PlotDevice& d, Symbol s, float x, float y, float dx, float dy) {
  switch (s) {
    case Symbol::None:
      return;
    case Symbol::Square:
      d.rect(x - dx, y - dy, x + dx, y + dy);
      return;
    case Symbol::Cross:
      d.move(x - dx, y - dy);
      d.draw(x + dx, y + dy);
      d.move(x - dx, y + dy);
      d.draw(x + dx, y - dy);
      return;
    case Symbol::TriangleUp:
      d.move(x - dx, y - dy);
      d.draw(x + dx, y - dy);
      d.draw(x, y + dy);
      d.draw(x - dx, y - dy);
      return;
    case Symbol::TriangleDown:
      d.move(x - dx, y + dy);
      d.draw(x + dx, y + dy);
      d.draw(x, y - dy);
      d.draw(x - dx, y + dy);
      return;
    case Symbol::Diamond:
      d.move(x, y + dy);
      d.draw(x + dx, y);
      d.draw(x, y - dy);
      d.draw(x - dx, y);
      d.draw(x, y + dy);
      return;
  }
}

namespace {

void frame_2d(const PlotModel& m, const PageGeometry& g, const Mapper& map,
              PlotDevice& d) {
  const float x1 = g.x0 + g.w, y1 = g.y0 + g.h;
  d.move(g.x0, g.y0);
  d.draw(x1, g.y0);
  d.draw(x1, y1);
  d.draw(g.x0, y1);
  d.draw(g.x0, g.y0);
  for (const Tick& t : m.x_ticks) {
    const float x = map.x(t.at);
    const float len = t.long_tick ? 2.f * g.tick_on_x : g.tick_on_x;
    d.move(x, g.y0);
    d.draw(x, g.y0 + len);
    d.move(x, y1);
    d.draw(x, y1 - len);
  }
  for (const Tick& t : m.y_ticks) {
    const float y = map.y(t.at);
    const float len = t.long_tick ? 2.f * g.tick_on_y : g.tick_on_y;
    d.move(g.x0, y);
    d.draw(g.x0 + len, y);
    d.move(x1, y);
    d.draw(x1 - len, y);
  }
  for (const AxisLabel& l : m.labels) {
    const int slot = static_cast<int>(l.slot);
    const std::string text = g.label_style == LabelStyle::Screen
                                 ? screen_label(l.value, l.log)
                                 : file_label(l.value, l.log);
    d.cell_text(g.label_row[slot], g.label_col[slot], g.label_x[slot], g.label_y[slot], text);
  }
}

void frame_3d(const PlotModel& m, const PageGeometry& g, const Mapper& map,
              PlotDevice& d) {
  for (const Segment& s : m.frame_3d) {
    d.move(map.x(s.u1), map.y(s.v1));
    d.draw(map.x(s.u2), map.y(s.v2));
  }
  const float f = g.label_part, gg = 1.f - f;
  for (const AxisLetter& l : m.letters) {
    const float x = map.x(l.u) + l.columns * g.cell_w;
    const float y = map.y(l.v) - l.rows * g.cell_h;
    // The cell of the anchor's place in the frame, moved by the offset.
    const float U = (l.u - m.umin) / (m.umax - m.umin);
    const float V = (m.vmax - l.v) / (m.vmax - m.vmin);
    const int col = static_cast<int>((f + gg * U) * static_cast<float>(g.columns) + l.columns);
    const int row = static_cast<int>(static_cast<float>(g.rows) * gg * V + l.rows);
    d.cell_text(row, col, x, y, std::string_view(&l.letter, 1));
  }
}

// Legend entries on consecutive rows from `row`: each sample centred on
// column `column` of its row, its label three columns to the right; with
// `gap` one blank row between the point and the line entries.
void legend_rows(const std::vector<LegendEntry>& entries, const PageGeometry& g, PlotDevice& d,
                 int column, int row, bool gap) {
  const float cx = g.grid_x + static_cast<float>(column) * g.cell_w;
  const float half = g.legend_symbol;
  d.begin_legend();
  d.line_style(0xFFFF);
  bool lines = false;
  for (const LegendEntry& e : entries) {
    if (gap && e.line && !lines) ++row;
    lines = lines || e.line;
    const float cy = g.grid_y - (static_cast<float>(row) - 0.5f) * g.cell_h;
    d.colour(e.colour);
    if (e.line) {
      d.line_style(e.style);
      d.move(cx - g.cell_w, cy);
      d.draw(cx + g.cell_w, cy);
      d.line_style(0xFFFF);
    } else {
      draw_symbol(d, e.symbol, cx, cy, half, half);
    }
    d.cell_text(row, column + 3, g.grid_x + static_cast<float>(column + 2) * g.cell_w,
                g.grid_y - (static_cast<float>(row) - 0.25f) * g.cell_h, e.label);
    ++row;
  }
}

void legend(const PlotModel& m, const PageGeometry& g, PlotDevice& d) {
  int points = 0, lines = 0;
  for (const LegendEntry& e : m.legend_entries) (e.line ? lines : points)++;
  int column = 12, row = 2;
  if (m.legend_corner == 3 || m.legend_corner == 4) row = g.rows - points - lines - 3;
  if (m.legend_corner == 2 || m.legend_corner == 4) column = g.columns - m.longest_label - 6;
  legend_rows(m.legend_entries, g, d, column, row, false);
}

}  // namespace

void render(const PlotModel& m, PlotDevice& d) {
  render(m, d.page(), d);
  d.finish();
}

void render(const PlotModel& m, const PageGeometry& g, PlotDevice& d) {
  const Mapper map(m, g);
  if (g.fill_background) d.background(g.x0, g.y0, g.w, g.h);
  d.colour(Colour::frame());
  if (m.three_d) frame_3d(m, g, map, d);
  else frame_2d(m, g, map, d);

  for (const PlotPoint& p : m.points) {
    const float x = map.x(p.u), y = map.y(p.v);
    d.colour(p.colour);
    draw_symbol(d, p.symbol, x, y, g.symbol_dx, g.symbol_dy);
    if (p.bar) {
      d.move(x, map.y(p.bar_lo));
      d.draw(x, map.y(p.bar_hi));
    }
    if (p.drop) {
      d.move(x, y);
      d.draw(map.x(p.drop_u), map.y(p.drop_v));
    }
  }

  for (const PlotLinePoint& lp : m.line) {
    const float x = map.x(lp.u), y = map.y(lp.v);
    d.colour(lp.colour);
    if (lp.starts_segment) {
      d.line_style(lp.style);
      d.move(x, y);
    }
    d.draw(x, y);
    if (lp.drop) {
      d.draw(map.x(lp.drop_u), map.y(lp.drop_v));
      d.move(x, y);
    }
  }
  if (!m.line.empty()) d.line_style(0xFFFF);

  if (m.legend) legend(m, g, d);
}

void render_legend_window(const std::vector<LegendEntry>& entries, PlotDevice& device) {
  legend_rows(entries, device.page(), device, 2, 2, true);
  device.finish();
}

namespace {

// The text grid of a window page: whole-pixel cells counted from the
// bottom-left corner, and the legend samples sized from the cell.
void set_text_grid(PageGeometry& g, int cols, int rows, int cell_w, int cell_h, int height) {
  g.cell_w = static_cast<float>(cell_w);
  g.cell_h = static_cast<float>(cell_h);
  g.grid_x = 0.f;
  g.grid_y = static_cast<float>(height);
  g.columns = cols;
  g.rows = rows;
  g.legend_symbol = std::trunc(0.35f * g.cell_h);
}

}  // namespace

PageGeometry legend_window_page(int width, int height, int cols, int rows) {
  PageGeometry g;
  g.w = static_cast<float>(std::max(width, 1));
  g.h = static_cast<float>(std::max(height, 1));
  set_text_grid(g, cols, rows, width / std::max(cols, 1), height / std::max(rows, 1), height);
  return g;
}

PageGeometry screen_page(int cols, int rows, float pxc, float pxr, int points_in_range) {
  PageGeometry g;
  const int xpix = std::max(1, static_cast<int>(static_cast<float>(cols - 3) * pxc));
  const int ypix = std::max(1, static_cast<int>(static_cast<float>(rows - 1) * pxr));
  const float f = 9.f * pxc / static_cast<float>(xpix);
  const float gg = 1.f - f;
  const int vw = static_cast<int>(static_cast<float>(xpix) * gg);
  const int vh = static_cast<int>(static_cast<float>(ypix) * gg);
  g.x0 = static_cast<float>(xpix - vw);
  g.w = static_cast<float>(std::max(vw, 1));
  g.y0 = static_cast<float>(ypix - vh);
  g.h = static_cast<float>(std::max(vh, 1));
  g.tick_on_x = 0.02f * g.h;
  g.tick_on_y = 0.02f * g.w;
  const float s = points_in_range <= 100 ? 5.f : 3.f;
  g.symbol_dx = s * g.w / static_cast<float>(ypix);
  g.symbol_dy = s * g.h / static_cast<float>(ypix);
  g.label_style = LabelStyle::Screen;
  // Label text cells (row, column from 1) of the whole window.
  auto cell_x = [&](int column) { return static_cast<float>(std::max(column, 1) - 1) * pxc; };
  auto cell_y = [&](int row) { return static_cast<float>(ypix) - static_cast<float>(row) * pxr; };
  const float fc = static_cast<float>(cols), fr = static_cast<float>(rows);
  const int y_col = static_cast<int>(fc * f - 12.f);
  const int x_row = static_cast<int>(fr * gg + 2.f);
  const int columns[3] = {static_cast<int>(fc * f - 5.f),
                          static_cast<int>((gg / 2.f + f) * fc - 5.f), cols - 9};
  const int y_rows[3] = {static_cast<int>(fr * gg + 1.f),
                         static_cast<int>(fr * gg / 2.f + 1.f), 1};
  for (int i = 0; i < 3; ++i) {
    g.label_x[i] = cell_x(columns[i]);
    g.label_y[i] = cell_y(x_row);
    g.label_x[3 + i] = cell_x(y_col);
    g.label_y[3 + i] = cell_y(y_rows[i]);
    g.label_col[i] = columns[i];
    g.label_row[i] = x_row;
    g.label_col[3 + i] = y_col;
    g.label_row[3 + i] = y_rows[i];
  }
  g.label_part = f;
  set_text_grid(g, cols, rows, xpix / std::max(cols - 3, 1), ypix / std::max(rows - 1, 1), ypix);
  return g;
}

}  // namespace verto::plot
