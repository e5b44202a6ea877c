#pragma once
// The plot-file devices: HPGL pen-plotter files and PostScript pages. Both
// write one record per line, each starting with a blank, through a
// buffered writer that formats numbers without the locale and without
// allocating.
#include <cstdio>
#include <memory>
#include <string_view>

#include "plot/device.h"

namespace verto::plot {

class RecordWriter {
 public:
  explicit RecordWriter(std::FILE* file) : file_(file) {}
  ~RecordWriter() { flush(); }
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  void begin() { put(' '); }  // a record starts with one blank
  void end() { put('\n'); }
  void put(char c) {
    if (used_ == sizeof buf_) flush();
    buf_[used_++] = c;
  }
  void put(std::string_view s);
  void put_int(long value);
  void put_real(float value);                       // shortest round trip
  void put_fixed(float value, int width, int decimals);  // Fw.d
  void flush();
  bool failed() const { return failed_; }

 private:
  std::FILE* file_;
  char buf_[1 << 16];
  std::size_t used_ = 0;
  bool failed_ = false;
};

// Page geometry of the plot files (HPGL plotter units, PostScript points).
PageGeometry hpgl_page(bool background);
PageGeometry postscript_page(bool background);

// HPGL: header "VS18;PU;SP1;", "SR 0.2,0.2;" and the two corner marks;
// coordinates rounded to integers; pens selected with "SP" and the pen
// number mod 9; colour-coded elements get the pen of their wavelength
// band; no trailer.
class HpglDevice : public PlotDevice {
 public:
  explicit HpglDevice(RecordWriter& out);
  const PageGeometry& page() const override { return page_; }
  void colour(const Colour& c) override;
  void move(float x, float y) override;
  void draw(float x, float y) override;
  void text(float x, float y, std::string_view s) override;

 private:
  void point(std::string_view op, float x, float y);
  RecordWriter& out_;
  PageGeometry page_;
  int pen_ = 1;
};

// PostScript: header "%!PS", Courier 12, line width 1; pens and wavelength
// colours as CMYK records; every draw is "lineto stroke" followed by a
// move to the same point; the page ends with showpage. With `background`
// the frame is filled before anything is drawn on it.
class PostScriptDevice : public PlotDevice {
 public:
  PostScriptDevice(RecordWriter& out, bool background);
  const PageGeometry& page() const override { return page_; }
  void background(float x, float y, float w, float h) override;
  void colour(const Colour& c) override;
  void move(float x, float y) override;
  void draw(float x, float y) override;
  void text(float x, float y, std::string_view s) override;
  void finish() override;

 private:
  void cmyk(float c, float m, float y, float k);
  void point(float x, float y, std::string_view op);
  RecordWriter& out_;
  PageGeometry page_;
  float last_[4] = {-1.f, -1.f, -1.f, -1.f};
};

// The device of a plot file: PostScript or HPGL (which has no background).
std::unique_ptr<PlotDevice> file_device(RecordWriter& out, bool postscript, bool background);

}  // namespace verto::plot
