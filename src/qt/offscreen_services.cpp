#include "qt/offscreen_services.h"

#include <QImageWriter>
#include <string>
#include <system_error>

#include "qt/picture_data.h"

namespace verto::qt {

namespace {

// The legend window's default size when it is first opened.
constexpr CellSize kLegendCells{30, 10};

}  // namespace

OffscreenWindowServices::OffscreenWindowServices(std::filesystem::path directory, QSize cell)
    : dir_(std::move(directory)), cell_(cell.expandedTo({1, 1})) {}

OffscreenWindowServices::Child* OffscreenWindowServices::child(ChildWindow w) {
  switch (w) {
    case ChildWindow::Plot:
      return &children_[0];
    case ChildWindow::Legend:
      return &children_[1];
    case ChildWindow::Console:
      break;
  }
  return nullptr;
}

std::string OffscreenWindowServices::next_name(ChildWindow w) const {
  const std::string stem = w == ChildWindow::Legend ? "VERTOL" : "VERTO";
  for (int n = 1; n <= 9999; ++n) {
    std::string name = stem + std::to_string(n) + ".PNG";
    std::error_code ec;
    if (!std::filesystem::exists(dir_ / name, ec) && !ec) return name;
  }
  return {};
}

std::optional<CellSize> OffscreenWindowServices::largest_cells(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return std::nullopt;
  return CellSize{kColumns, kRows};
}

std::optional<CellSize> OffscreenWindowServices::current_cells(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return std::nullopt;
  return c->cells;
}

PixelSize OffscreenWindowServices::frame_pixels() {
  return {kColumns * cell_.width(), kRows * cell_.height()};
}

bool OffscreenWindowServices::open(ChildWindow w, std::string_view) {
  Child* c = child(w);
  if (!c) return false;
  c->cells = w == ChildWindow::Legend ? kLegendCells : CellSize{kColumns, kRows};
  c->picture = std::make_unique<PictureWindow>(
      QSize(c->cells.cols * cell_.width(), c->cells.rows * cell_.height()), cell_);
  return true;
}

bool OffscreenWindowServices::configure(ChildWindow w, WindowConfig& request) {
  Child* c = child(w);
  if (!c || !c->picture) return false;
  request.colours = 256;
  request.cols = c->cells.cols;
  request.rows = c->cells.rows;
  request.width_px = c->picture->pixels().width;
  request.height_px = c->picture->pixels().height;
  return true;
}

void OffscreenWindowServices::place(ChildWindow w, int, int, int cols, int rows) {
  Child* c = child(w);
  if (!c || !c->picture || cols < 1 || rows < 1) return;
  c->cells = {cols, rows};
  c->picture->resize(QSize(cols * cell_.width(), rows * cell_.height()));
}

void OffscreenWindowServices::close(ChildWindow w, bool) {
  // A kept window has been saved already; without a screen nothing stays.
  if (Child* c = child(w)) c->picture.reset();
}

GraphicsWindow* OffscreenWindowServices::graphics(ChildWindow w) {
  Child* c = child(w);
  return c ? c->picture.get() : nullptr;
}

std::string OffscreenWindowServices::present(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return {};
  const std::string name = next_name(w);
  if (name.empty()) return {};
  QImageWriter writer(QString::fromStdString((dir_ / name).string()), "png");
  // Fast compression: plot pictures are mostly one background colour.
  writer.setQuality(80);  // zlib level 1
  if (!writer.write(c->picture->picture())) return {};
  return name;
}

void OffscreenWindowServices::focus(ChildWindow) {}

int OffscreenWindowServices::wait_key(ChildWindow) { return 'k'; }

PictureData OffscreenWindowServices::snapshot(ChildWindow w) {
  Child* c = child(w);
  if (!c || !c->picture) return {};
  return picture_data(c->picture->picture(), c->picture->drawing(),
                      w == ChildWindow::Legend ? "Plot Legend" : "Plot");
}

}  // namespace verto::qt
