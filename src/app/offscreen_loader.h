#pragma once
// The loader of the offscreen window services, for runs without a display
// (batch mode, --terminal, no window system). It is no window itself: the
// first window opened loads the Qt front-end library and its picture-saving
// services, and every call is forwarded to them, so that Qt is loaded only
// when a screen plot or the legend window is asked for. When the library
// cannot be loaded every call answers as if no window could be opened.
#include <memory>

#include "core/window_services.h"

namespace verto {

class OffscreenLoader : public WindowServices {
 public:
  using Factory = WindowServices* (*)();
  // `factory` stands in for the library's entry point (tests); null: load
  // the library on first use.
  explicit OffscreenLoader(Factory factory = nullptr);
  ~OffscreenLoader() override;

  std::optional<CellSize> largest_cells(ChildWindow w) override;
  std::optional<CellSize> current_cells(ChildWindow w) override;
  PixelSize frame_pixels() override;
  bool open(ChildWindow w, std::string_view title) override;
  bool configure(ChildWindow w, WindowConfig& request) override;
  void place(ChildWindow w, int col, int row, int cols, int rows) override;
  void close(ChildWindow w, bool keep) override;
  GraphicsWindow* graphics(ChildWindow w) override;
  Presented present(ChildWindow w) override;
  void focus(ChildWindow w) override;
  int wait_key(ChildWindow w) override;
  PictureData snapshot(ChildWindow w) override;

  // Name of the library's entry point.
  static constexpr const char* kEntryName = "verto_offscreen_services";

 private:
  WindowServices* load();    // loads on the first call
  WindowServices* target();  // null until loaded
  Factory factory_;
  bool tried_ = false;
  // Made by the library; it is never unloaded, and the services are left
  // to the end of the process with it.
  WindowServices* target_ = nullptr;
};

}  // namespace verto
