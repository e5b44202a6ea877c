#pragma once
// Colours of a plot. The drawing model names a colour once; each device
// reads the part it uses: the screen a palette index, the plot files a
// pen, and every device the wavelength of a colour-coded element.
#include <cstdint>

namespace verto::plot {

struct Colour {
  enum class Kind : std::uint8_t {
    Frame,     // frame, ticks and labels: the device's current colour
    Indexed,   // a set, segment or legend colour: palette index and pen
    Spectral,  // a colour-coded element: wavelength in nm (unclamped)
  };
  // Eight bytes: a plot of 50000 points holds one per point.
  Kind kind = Kind::Frame;
  std::int8_t pen = 0;        // plot-file pen 0..10
  std::int16_t palette = 0;   // screen palette index (standard 16-colour palette)
  float nm = 0.f;

  static Colour frame() { return {}; }
  static Colour indexed(int palette, int pen) {
    return {.kind = Kind::Indexed,
            .pen = static_cast<std::int8_t>(pen),
            .palette = static_cast<std::int16_t>(palette)};
  }
  static Colour spectral(float nm) { return {.kind = Kind::Spectral, .nm = nm}; }
  bool operator==(const Colour&) const = default;
};

// Plot-file pen of a symbol set or line segment number: 7, 4, 1, 2, 6, 3
// for 1..6, the table repeating for higher numbers (and for 0 and below).
int set_pen(int set);
// Screen colour of the first four symbol sets: 10, 9, 14, 11.
int set_palette(int set);
// Screen colour of the n-th line segment (n from 1): 12, 11, ... 1, then
// again from 12, so that the index stays within the standard palette.
int segment_palette(int ordinal);
// Line style of the n-th line segment: solid, 0x00FD, 0x0002, then solid.
std::uint16_t segment_style(int ordinal);
// Legend entry pens in plot files: 7, 4, 1, 2, then 6.
int legend_pen(int entry);

// Wavelength (nm) of a colour-coding value v with scale m: v m for m >= 0,
// 330 v + 370 for m < 0 (normalised values 0..1 span 370..700 nm).
float wavelength_nm(float v, float scale);

struct Rgb {
  float r, g, b;  // 0..64
};
struct Cmyk {
  float c, m, y, k;
};

// Relative intensities of the three-Gaussian formulas at w nm, divided by
// the largest of the three.
Rgb relative_rgb(float w);
// Screen: w clamped to 370..720; R, G, B rounded on the 0..63 brightness
// scale, packed as R + 256 G + 65536 B and masked with 0x343434; the
// palette entry for it 30..233 (more than 128 colours) or 1..15.
struct ScreenSpectral {
  int palette;
  std::uint32_t packed;
};
ScreenSpectral screen_spectral(float nm, int colours);
// Plot files: w clamped to 380..700, brightness 63 e^-((w-550)/185)^2.
Rgb file_spectral_rgb(float nm);
// RGB on the 0..64 scale to CMYK (black for 0, 0, 0).
Cmyk to_cmyk(const Rgb& rgb);
// RGB (0..64) of a PostScript pen 0..10 (pens 11 and above: pen mod 10).
Rgb pen_rgb(int pen);
// HPGL pen for a wavelength: one pen per colour band of the pen table
// (magenta below 440 nm, blue below 485, cyan below 510, green below 560,
// yellow below 590, red from there), w clamped to 380..700 first.
int spectral_pen(float nm);

}  // namespace verto::plot
