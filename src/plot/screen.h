#pragma once
// The screen as a plot output: a plot device over a graphics window, the
// set-up of the "Plot" window before each screen plot, and the separate
// "Plot Legend" window of the LEG command. Everything goes through the
// window services; without a screen those save the picture as a file,
// whose name is returned.
#include <cstdint>
#include <string>

#include "core/window_services.h"
#include "plot/device.h"
#include "plot/model.h"
#include "plot/options.h"

namespace verto {
struct Session;
}

namespace verto::plot {

// Draws in the page units of screen_page (pixels of the drawing area, Y
// up). The data go through the world window set on the plot area, so the
// window clips them to the frame; the legend samples are device pixels of
// the whole drawing area; texts go to their cells.
class ScreenDevice : public PlotDevice {
 public:
  ScreenDevice(GraphicsWindow& w, const PlotModel& m, const PageGeometry& g, int xpix,
               int ypix, int colours);
  void colour(const Colour& c) override;
  void line_style(std::uint16_t mask) override;
  void move(float x, float y) override;
  void draw(float x, float y) override;
  void text(float x, float y, std::string_view s) override;
  void cell_text(int row, int col, float x, float y, std::string_view s) override;
  void begin_legend() override;

 private:
  double world_u(float x) const;
  double world_v(float y) const;
  int device_x(float x) const;
  int device_y(float y) const;

  GraphicsWindow& w_;
  const PageGeometry& g_;
  double umin_, vmin_, su_, sv_;
  int xpix_, ypix_, colours_;
  bool legend_ = false;
};

// The colour the frame, ticks and labels are drawn in.
constexpr int kFrameColour = 15;

// Packed colour of the wavelength scale (channels 0..63) as the window
// takes it (channels 0..255).
std::uint32_t screen_packed(std::uint32_t packed63);

// A screen plot with `opt`: window set-up, frame, data, legend, focus to
// the console; the failure messages on the console. Returns the name of
// the file the picture was saved in (empty when shown on screen or not
// drawn).
std::string screen_plot(Session& s, const PlotOptions& opt);

// The LEG command's legend window with a keep mode (0: keep at once, else
// wait for a key: k or K keeps, any other key closes). Returns the saved
// file's name as screen_plot does.
std::string legend_window(Session& s, int keep_mode);

// Keep mode from the first character of LEG's argument.
int legend_keep_mode(char first);

}  // namespace verto::plot
