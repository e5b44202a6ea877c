#include "app/offscreen_loader.h"

#include "app/qt_loader.h"

namespace verto {

OffscreenLoader::OffscreenLoader(Factory factory) : factory_(factory) {}

OffscreenLoader::~OffscreenLoader() = default;

WindowServices* OffscreenLoader::load() {
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
WindowServices* OffscreenLoader::target() { return target_; }

std::optional<CellSize> OffscreenLoader::largest_cells(ChildWindow w) {
  auto* t = target();
  return t ? t->largest_cells(w) : std::nullopt;
}

std::optional<CellSize> OffscreenLoader::current_cells(ChildWindow w) {
  auto* t = target();
  return t ? t->current_cells(w) : std::nullopt;
}

PixelSize OffscreenLoader::frame_pixels() {
  auto* t = target();
  return t ? t->frame_pixels() : PixelSize{};
}

bool OffscreenLoader::open(ChildWindow w, std::string_view title) {
  auto* t = load();
  return t && t->open(w, title);
}

bool OffscreenLoader::configure(ChildWindow w, WindowConfig& request) {
  auto* t = load();
  return t && t->configure(w, request);
}

void OffscreenLoader::place(ChildWindow w, int col, int row, int cols, int rows) {
  if (auto* t = target()) t->place(w, col, row, cols, rows);
}

void OffscreenLoader::close(ChildWindow w, bool keep) {
  if (auto* t = target()) t->close(w, keep);
}

GraphicsWindow* OffscreenLoader::graphics(ChildWindow w) {
  auto* t = target();
  return t ? t->graphics(w) : nullptr;
}

Presented OffscreenLoader::present(ChildWindow w) {
  auto* t = target();
  return t ? t->present(w) : Presented{};
}

void OffscreenLoader::focus(ChildWindow w) {
  if (auto* t = target()) t->focus(w);
}

PictureData OffscreenLoader::snapshot(ChildWindow w) {
  auto* t = target();
  return t ? t->snapshot(w) : PictureData{};
}

int OffscreenLoader::wait_key(ChildWindow w) {
  auto* t = target();
  return t ? t->wait_key(w) : 'k';
}

}  // namespace verto
