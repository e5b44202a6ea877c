#include "app/offscreen_window.h"

#include "app/qt_loader.h"

namespace verto {

OffscreenWindow::OffscreenWindow(Factory factory) : factory_(factory) {}

OffscreenWindow::~OffscreenWindow() = default;

WindowServices* OffscreenWindow::load() {
  if (!tried_) {
    tried_ = true;
    Factory make = factory_;
    if (make == nullptr) {
      make = reinterpret_cast<Factory>(load_qt_entry(kEntryName, /*need_display=*/false));
    }
    if (make != nullptr) target_ = make();
  }
  return target_;
}

// Before the first open no window exists, and nothing is loaded to say so.
WindowServices* OffscreenWindow::target() { return target_; }

std::optional<CellSize> OffscreenWindow::largest_cells(ChildWindow w) {
  auto* t = target();
  return t ? t->largest_cells(w) : std::nullopt;
}

std::optional<CellSize> OffscreenWindow::current_cells(ChildWindow w) {
  auto* t = target();
  return t ? t->current_cells(w) : std::nullopt;
}

PixelSize OffscreenWindow::frame_pixels() {
  auto* t = target();
  return t ? t->frame_pixels() : PixelSize{};
}

bool OffscreenWindow::open(ChildWindow w, std::string_view title) {
  auto* t = load();
  return t && t->open(w, title);
}

bool OffscreenWindow::configure(ChildWindow w, WindowConfig& request) {
  auto* t = load();
  return t && t->configure(w, request);
}

void OffscreenWindow::place(ChildWindow w, int col, int row, int cols, int rows) {
  if (auto* t = target()) t->place(w, col, row, cols, rows);
}

void OffscreenWindow::close(ChildWindow w, bool keep) {
  if (auto* t = target()) t->close(w, keep);
}

GraphicsWindow* OffscreenWindow::graphics(ChildWindow w) {
  auto* t = target();
  return t ? t->graphics(w) : nullptr;
}

std::string OffscreenWindow::present(ChildWindow w) {
  auto* t = target();
  return t ? t->present(w) : std::string();
}

void OffscreenWindow::focus(ChildWindow w) {
  if (auto* t = target()) t->focus(w);
}

PictureData OffscreenWindow::snapshot(ChildWindow w) {
  auto* t = target();
  return t ? t->snapshot(w) : PictureData{};
}

int OffscreenWindow::wait_key(ChildWindow w) {
  auto* t = target();
  return t ? t->wait_key(w) : 'k';
}

}  // namespace verto
