#pragma once
// What the program needs from a window runtime beyond the console: the
// graphics child windows ("Plot", "Plot Legend") with drawing in world and
// device coordinates, a 256-entry palette, text cells, focus and key
// waits. The Qt front-end implements it on screen and, without a display,
// into pictures saved as PNG files; in tests an in-memory fake stands in.
// With no window services at all (Session::window null) screen plots are
// not available and the commands say so.
//
// Every call comes from the command thread. An implementation that shows
// windows on another thread draws into a picture the command thread owns
// and hands it over whole (present), so no pixel buffer is shared while it
// is being written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace verto {

enum class ChildWindow { Console, Plot, Legend };

struct CellSize {
  int cols = 0, rows = 0;
};
struct PixelSize {
  int width = 0, height = 0;
};

// A configuration request and, after configure, what is in force. A value
// of -1 leaves it to the system default.
struct WindowConfig {
  int width_px = -1, height_px = -1;
  int cols = -1, rows = -1;
  int colours = 256;
  std::string title;
};

// Drawing on one open graphics window. Device coordinates are pixels of
// the window with (0, 0) at the top left; world coordinates are those set
// by world_window, Y pointing up, mapped onto the viewport.
class GraphicsWindow {
 public:
  virtual ~GraphicsWindow() = default;
  virtual void clear() = 0;
  // Device rectangle that becomes the origin and the clip of later drawing.
  virtual void viewport(int x1, int y1, int x2, int y2) = 0;
  // False (nothing changed) when x1 == x2 or y1 == y2.
  virtual bool world_window(double x1, double y1, double x2, double y2) = 0;
  virtual void rectangle(double x1, double y1, double x2, double y2) = 0;  // world, border only
  virtual void move_to(double x, double y) = 0;                            // world
  virtual void line_to(double x, double y) = 0;                            // world
  virtual void rectangle_px(int x1, int y1, int x2, int y2) = 0;           // device, border only
  virtual void move_to_px(int x, int y) = 0;                               // device
  virtual void line_to_px(int x, int y) = 0;                               // device
  // Palette index 0..255 (0..15 the standard 16-colour palette); indices
  // out of range are clamped.
  virtual void set_colour(int index) = 0;
  // Packed colour R + 256 G + 65536 B, each channel 0..255.
  virtual void remap_palette(int index, std::uint32_t packed) = 0;
  // 16-bit on/off mask along the line, 0xFFFF solid.
  virtual void set_line_style(std::uint16_t mask) = 0;
  // Text with its first character in cell (row, col), both from 1.
  virtual void text_at(int row, int col, std::string_view text) = 0;
  // The window's drawing area in pixels.
  virtual PixelSize pixels() const = 0;
};

// A picture as a record of the session keeps it: an SVG document
// ("image/svg+xml") or PNG image bytes ("image/png"); empty when none.
struct PictureData {
  std::string mime;
  std::string bytes;
};

class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // A child window's largest possible and current size in text cells;
  // nullopt when it is not open.
  virtual std::optional<CellSize> largest_cells(ChildWindow w) = 0;
  virtual std::optional<CellSize> current_cells(ChildWindow w) = 0;
  // The frame window's current size in pixels.
  virtual PixelSize frame_pixels() = 0;
  // Opens a graphics child window with its title; false when it cannot.
  virtual bool open(ChildWindow w, std::string_view title) = 0;
  // Applies `request`. False when it could not: `request` then holds what
  // the window can do and the caller repeats the call once. `colours`
  // holds the colour count in force afterwards (1: no colour graphics).
  virtual bool configure(ChildWindow w, WindowConfig& request) = 0;
  // Size and position in cells of the frame (column and row from 1).
  virtual void place(ChildWindow w, int col, int row, int cols, int rows) = 0;
  // A plain close removes the window; keep leaves it on screen, released.
  virtual void close(ChildWindow w, bool keep) = 0;
  // Drawing on an open graphics window; nullptr when it is not open.
  virtual GraphicsWindow* graphics(ChildWindow w) = 0;
  // Shows what was drawn since the last present. Returns the name of the
  // file the picture was saved in when there is no screen (empty when it
  // was shown on screen).
  virtual std::string present(ChildWindow w) = 0;
  virtual void focus(ChildWindow w) = 0;
  // Waits for one key in the window; the key code as Console::read_key.
  virtual int wait_key(ChildWindow w) = 0;
  // The picture of the last present, drawn again from what the window was
  // given to draw (for the notebook); empty where the services keep none.
  virtual PictureData snapshot(ChildWindow /*w*/) { return {}; }
};

}  // namespace verto
