#pragma once
// Window services without a display: the Plot and Plot Legend windows are
// pictures of the size a new window would get, and presenting one saves
// it as a PNG file beside the plot files (VERTO1.PNG, VERTO2.PNG ...; the
// legend VERTOL1.PNG ...), never over an existing file.
#include <QSize>
#include <array>
#include <filesystem>
#include <memory>

#include "core/window_services.h"
#include "qt/picture_window.h"

namespace verto::qt {

class OffscreenWindowServices : public WindowServices {
 public:
  // Pictures are saved in `directory`; text cells are `cell` pixels.
  explicit OffscreenWindowServices(std::filesystem::path directory = ".",
                                   QSize cell = QSize(8, 16));

  // The name of the next picture file of a window ("" when all are taken).
  std::string next_name(ChildWindow w) const;

  std::optional<CellSize> largest_cells(ChildWindow w) override;
  std::optional<CellSize> current_cells(ChildWindow w) override;
  PixelSize frame_pixels() override;
  bool open(ChildWindow w, std::string_view title) override;
  bool configure(ChildWindow w, WindowConfig& request) override;
  void place(ChildWindow w, int col, int row, int cols, int rows) override;
  void close(ChildWindow w, bool keep) override;
  GraphicsWindow* graphics(ChildWindow w) override;
  std::string present(ChildWindow w) override;
  void focus(ChildWindow w) override;
  // No one can press a key: the window is kept, as "k" does.
  int wait_key(ChildWindow w) override;
  PictureData snapshot(ChildWindow w) override;

  // The frame: as large as a new Plot window, 80 x 24 cells.
  static constexpr int kColumns = 80, kRows = 24;

 private:
  struct Child {
    std::unique_ptr<PictureWindow> picture;
    CellSize cells;
  };
  Child* child(ChildWindow w);

  std::filesystem::path dir_;
  QSize cell_;
  std::array<Child, 2> children_;  // Plot, Legend
};

}  // namespace verto::qt
