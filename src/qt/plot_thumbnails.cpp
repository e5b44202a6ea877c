#include "qt/plot_thumbnails.h"

#include <cmath>
#include <string>

#include "core/memory_console.h"
#include "core/workspace.h"
#include "plot/model.h"
#include "plot/options.h"
#include "plot/render.h"
#include "plot/screen.h"
#include "qt/picture_window.h"

namespace verto::qt {

namespace {

// The thumbnails are drawn as a new Plot window of 80 x 24 cells is, at a
// small cell, and then scaled down: the layout is the one PLOT makes.
const QSize kThumbnailCell(6, 12);
constexpr int kThumbnailCols = 80, kThumbnailRows = 24;

// Draws the command `plot` over `ws` as PLOT draws a new Plot window,
// scaled down to `size`.
QPixmap draw(Workspace& ws, const std::string& plot, QSize size) {
  ws.upper = plot;
  const std::string plot_line = plot::build_plot_line(ws);
  const plot::PlotOptions opt = plot::parse_plot_options(plot_line, ws.form);
  plot::PlotModel model;
  if (plot::build_model(ws, opt, plot::Purpose::Graphics, model) != plot::ModelStatus::Ok) return {};
  const int cols = kThumbnailCols, rows = kThumbnailRows;
  const QSize pixels(cols * kThumbnailCell.width(), rows * kThumbnailCell.height());
  const auto pxc = static_cast<float>(kThumbnailCell.width());
  const auto pxr = static_cast<float>(kThumbnailCell.height());
  PictureWindow picture(pixels, kThumbnailCell);
  const int xpix = static_cast<int>(static_cast<float>(cols - 3) * pxc);
  const int ypix = static_cast<int>(static_cast<float>(rows - 1) * pxr);
  const double g = 1.0 - 9.0 * pxc / std::max(xpix, 1);
  picture.viewport(xpix - static_cast<int>(xpix * g + 1e-9), 0, xpix,
                   static_cast<int>(ypix * g + 1e-9));
  picture.world_window(model.umin, model.vmin, model.umax, model.vmax);
  const plot::PageGeometry page = plot::screen_page(cols, rows, pxc, pxr, model.n2 - model.n1 + 1);
  plot::ScreenDevice device(picture, model, page, xpix, ypix, 256);
  plot::render(model, device);
  return QPixmap::fromImage(
      picture.image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

QPixmap legend_thumbnail(int corner, QSize size) {
  Workspace ws;
  MemoryConsole quiet;
  ws.form = 3;
  ws.Npts = 24;
  for (int i = 0; i < ws.Npts; ++i) {
    const float x = static_cast<float>(i) - 11.5f;
    ws.X[static_cast<std::size_t>(i)] = x;
    ws.Y[static_cast<std::size_t>(i)] = 1.0f + 8.0f * std::exp(-x * x / 18.0f);
  }
  add_point_marker(ws, quiet, 12, "first run");
  add_point_marker(ws, quiet, 24, "second run");
  return draw(ws, "PLOT/LEG=" + std::to_string(corner), size);
}

QPixmap orientation_thumbnail(std::string_view theta_option, QSize size) {
  Workspace ws;
  ws.form = 7;
  ws.Npts = 0;
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j) {
      const auto k = static_cast<std::size_t>(ws.Npts++);
      const float x = static_cast<float>(i) - 3.0f, y = static_cast<float>(j) - 3.0f;
      ws.X[k] = x;
      ws.Y[k] = y;
      ws.S[k] = std::exp(-(x * x + y * y) / 6.0f);
    }
  return draw(ws, "PLOT" + std::string(theta_option), size);
}

}  // namespace verto::qt
