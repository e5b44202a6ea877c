#include "plot/screen.h"

#include <algorithm>
#include <cmath>

#include "core/console.h"
#include "core/format.h"
#include "core/session.h"
#include "plot/commands.h"
#include "plot/messages.h"
#include "plot/render.h"

namespace verto::plot {

// ---------------------------------------------------------------- device

ScreenDevice::ScreenDevice(GraphicsWindow& w, const PlotModel& m, const PageGeometry& g,
                           int xpix, int ypix, int colours)
    : w_(w), g_(g), umin_(m.umin), vmin_(m.vmin),
      su_((static_cast<double>(m.umax) - m.umin) / g.w),
      sv_((static_cast<double>(m.vmax) - m.vmin) / g.h), xpix_(xpix), ypix_(ypix),
      colours_(colours) {}

std::uint32_t screen_packed(std::uint32_t packed63) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c = (packed63 >> shift) & 0xFFu;
    out |= ((std::min(c, 63u) * 255u + 31u) / 63u) << shift;
  }
  return out;
}

void ScreenDevice::colour(const Colour& c) {
  switch (c.kind) {
    case Colour::Kind::Frame:
      w_.set_colour(kFrameColour);
      return;
    case Colour::Kind::Indexed:
      w_.set_colour(std::clamp<int>(c.palette, 0, std::max(colours_, 16) - 1));
      return;
    case Colour::Kind::Spectral: {
      const ScreenSpectral sp = screen_spectral(c.nm, colours_);
      w_.remap_palette(sp.palette, screen_packed(sp.packed));
      w_.set_colour(sp.palette);
      return;
    }
  }
}

void ScreenDevice::line_style(std::uint16_t mask) { w_.set_line_style(mask); }

double ScreenDevice::world_u(float x) const { return umin_ + (x - g_.x0) * su_; }
double ScreenDevice::world_v(float y) const { return vmin_ + (y - g_.y0) * sv_; }
// Page units are pixels with Y up from the bottom of the drawing area; a
// place between two pixels goes to the upper or left one, as the integer
// parts of the cell positions do.
int ScreenDevice::device_x(float x) const { return static_cast<int>(std::floor(x + 1e-3f)); }
int ScreenDevice::device_y(float y) const {
  return static_cast<int>(std::floor(static_cast<float>(ypix_) - y + 1e-3f));
}

void ScreenDevice::move(float x, float y) {
  if (legend_) w_.move_to_px(device_x(x), device_y(y));
  else w_.move_to(world_u(x), world_v(y));
}

void ScreenDevice::draw(float x, float y) {
  if (legend_) w_.line_to_px(device_x(x), device_y(y));
  else w_.line_to(world_u(x), world_v(y));
}

void ScreenDevice::text(float x, float y, std::string_view s) {
  // Texts without a cell of their own go to the cell holding their place.
  const int col = static_cast<int>(x / std::max(g_.cell_w, 1.f)) + 1;
  const int row = static_cast<int>((static_cast<float>(ypix_) - y) / std::max(g_.cell_h, 1.f));
  w_.text_at(std::max(row, 1), std::max(col, 1), s);
}

void ScreenDevice::cell_text(int row, int col, float, float, std::string_view s) {
  w_.text_at(std::max(row, 1), std::max(col, 1), s);
}

void ScreenDevice::begin_legend() {
  legend_ = true;
  w_.viewport(0, 0, xpix_, ypix_);
}

// ----------------------------------------------------------- plot window

namespace {

// What became of a picture saved without a screen, in the words the plot
// files use; "Output written to" only for a picture written whole. Gives
// the name of the written file (empty otherwise).
std::string report_picture(Console& con, const Presented& p, std::string_view stem) {
  switch (p.status) {
    case Presented::Status::Shown:
      return {};
    case Presented::Status::Written:
      print_output_written(con, p.name);
      return p.name;
    case Presented::Status::NoFreeName:
      con.record("<<<VERTO!!!>>> No free picture file name: " + std::string(stem) + "1.PNG to " +
                 std::string(stem) + "9999.PNG all exist.");
      return {};
    case Presented::Status::CannotOpen:
      print_cannot_open(con, p.name);
      return {};
    case Presented::Status::WriteFailed:
      print_not_written_completely(con, p.name);
      return {};
  }
  return {};
}

// Opens or reuses a graphics window and configures it; the colour count in
// force, 0 when the window could not be opened.
int open_configured(WindowServices& windows, ChildWindow which, std::string_view title,
                    bool& reused) {
  reused = windows.current_cells(which).has_value();
  if (!reused && !windows.open(which, title)) return 0;
  WindowConfig request;
  request.colours = 256;
  request.title = std::string(title);
  if (!windows.configure(which, request)) windows.configure(which, request);
  return request.colours;
}

void unsupported_mode(Console& con) {
  write_free(con, {"<<<VERTO!!!>>> Unsupported graphics mode!"});
  write_free(con, {"               Quit the program, select the program's properties, under"});
  write_free(con, {"               compatability, select \"Run in 256 colors\"."});
}

}  // namespace

std::string screen_plot(Session& s, const PlotOptions& opt) {
  WindowServices& windows = *s.window;
  bool reused = false;
  const int colours = open_configured(windows, ChildWindow::Plot, "Plot", reused);
  if (colours == 0) {
    s.con.record(kNoPlotWindowMessage);
    return {};
  }
  if (colours == 1) {
    windows.close(ChildWindow::Plot, false);
    unsupported_mode(s.con);
    return {};
  }
  const PixelSize frame = windows.frame_pixels();
  const CellSize largest = windows.largest_cells(ChildWindow::Plot).value_or(CellSize{80, 24});
  const float pxc = static_cast<float>(frame.width) / static_cast<float>(std::max(largest.cols, 1));
  const float pxr = static_cast<float>(frame.height) / static_cast<float>(std::max(largest.rows, 1));
  int cols = std::min(largest.cols, 80), rows = std::min(largest.rows, 24);
  if (!reused) {
    windows.place(ChildWindow::Plot, largest.cols - cols + 1, largest.rows - rows + 1, cols, rows);
  } else if (const auto current = windows.current_cells(ChildWindow::Plot)) {
    cols = current->cols;
    rows = current->rows;
  }
  GraphicsWindow* w = windows.graphics(ChildWindow::Plot);
  if (w == nullptr) return {};
  w->clear();
  const int xpix = static_cast<int>(static_cast<float>(cols - 3) * pxc);
  const int ypix = static_cast<int>(static_cast<float>(rows - 1) * pxr);
  // In double, so that a whole number of label pixels stays whole.
  const double f = 9.0 * pxc / std::max(xpix, 1);
  const double g = 1.0 - f;
  w->viewport(xpix - static_cast<int>(xpix * g + 1e-9), 0, xpix, static_cast<int>(ypix * g + 1e-9));

  PlotModel model;
  if (build_model(s.ws, opt, Purpose::Graphics, model) != ModelStatus::Ok) {
    windows.close(ChildWindow::Plot, false);
    print_log_of_negative(s.con);
    return {};
  }
  w->world_window(model.umin, model.vmin, model.umax, model.vmax);
  const PageGeometry page = screen_page(cols, rows, pxc, pxr, model.n2 - model.n1 + 1);
  ScreenDevice device(*w, model, page, xpix, ypix, colours);
  render(model, device);
  const Presented shown = windows.present(ChildWindow::Plot);
  windows.focus(ChildWindow::Console);
  return report_picture(s.con, shown, "VERTO");
}

// ---------------------------------------------------------- legend window

int legend_keep_mode(char first) {
  switch (first) {
    case '0':
    case '4':
      return 0;
    case '2':
      return 2;
    case '3':
      return 3;
    default:
      return 1;
  }
}

std::string legend_window(Session& s, int keep_mode) {
  WindowServices& windows = *s.window;
  if (windows.current_cells(ChildWindow::Legend)) windows.close(ChildWindow::Legend, false);
  bool reused = false;
  const int colours = open_configured(windows, ChildWindow::Legend, "Plot Legend", reused);
  if (colours == 0) {
    s.con.record(kNoLegendWindowMessage);
    return {};
  }
  windows.place(ChildWindow::Legend, 2, 15, 30, 10);
  GraphicsWindow* w = windows.graphics(ChildWindow::Legend);
  if (w == nullptr) return {};
  w->clear();
  // Pixels per cell from the window's own drawing surface over its size in
  // cells: the cell its labels are written in, so each sample sits on its
  // label's row and is as large as the in-plot legend's samples.
  const PixelSize px = w->pixels();
  const CellSize cells = windows.current_cells(ChildWindow::Legend).value_or(CellSize{30, 10});
  const PageGeometry page = legend_window_page(px.width, px.height, cells.cols, cells.rows);
  const PlotModel no_data;
  ScreenDevice device(*w, no_data, page, px.width, px.height, colours);
  render_legend_window(legend_entries(s.ws), device);

  const std::string saved = report_picture(s.con, windows.present(ChildWindow::Legend), "VERTOL");
  if (keep_mode == 0) {
    windows.close(ChildWindow::Legend, true);
    windows.focus(ChildWindow::Console);
    return saved;
  }
  const int key = windows.wait_key(ChildWindow::Legend);
  if (key == 'k' || key == 'K') {
    windows.close(ChildWindow::Legend, true);
    windows.focus(ChildWindow::Console);
  } else {
    windows.close(ChildWindow::Legend, false);
  }
  return saved;
}

}  // namespace verto::plot
