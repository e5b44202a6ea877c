#pragma once
// The plot-file devices: HPGL pen-plotter files and PostScript pages. Both
// write one record per line, each starting with a blank, through a
// block writer; numbers are formatted without the locale and without
// allocating.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "plot/device.h"

namespace verto::plot {

// Fills a block of kBuffer bytes with records and writes it to a file
// descriptor (which stays the caller's) whenever it is full, and at
// flush(). The block is small enough to stay in the processor's cache and
// in memory the process has touched already; the writes are synchronous,
// as handing blocks to a second thread costs more in wake-ups than the
// copying into the system's cache it would take off this one.
class RecordWriter {
 public:
  static constexpr std::size_t kBuffer = std::size_t{1} << 16;
  // Most bytes one call of room() may ask for.
  static constexpr std::size_t kMaxRoom = 512;

  explicit RecordWriter(int fd);
  ~RecordWriter();  // flushes
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  void begin() { put(' '); }  // a record starts with one blank
  void end() { put('\n'); }
  void put(char c) {
    if (used_ == kBuffer) flush();
    block_[used_++] = c;
  }
  // Where the next n bytes (n <= kMaxRoom) may be written directly;
  // commit() then takes them up to `end`.
  char* room(std::size_t n) {
    if (kBuffer - used_ < n) flush();
    return block_.get() + used_;
  }
  void commit(const char* end) { used_ = static_cast<std::size_t>(end - block_.get()); }
  void put(std::string_view s);
  void put_int(long value);
  void put_real(float value);                       // shortest round trip
  void put_fixed(float value, int width, int decimals);  // Fw.d
  // Writes what is held. After a failed write nothing more is written.
  void flush();
  bool failed() const { return failed_; }

 private:
  int fd_;
  std::unique_ptr<char[]> block_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// The texts of recently written coordinates, keyed by the bits of the
// value: a symbol has four distinct coordinates, each written several
// times, so most are copied from here instead of formatted again.
class CoordinateTexts {
 public:
  // Writes the text of v at p, where 16 bytes must be free, and returns
  // its end. format(v, out) writes the text (at most 16 characters) into
  // out and returns its end; it runs only for values not held already.
  template <class Format>
  char* put(char* p, float v, Format format);

 private:
  struct Entry {
    std::uint32_t bits = 0xFFFFFFFFu;  // a NaN: coordinates never are
    std::uint8_t len = 0;
    char text[16] = {};
  };
  static constexpr int kBits = 8;
  std::unique_ptr<Entry[]> entries_{new Entry[1 << kBits]};
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
  void rect(float x1, float y1, float x2, float y2) override;
  void text(float x, float y, std::string_view s) override;

 private:
  void point(std::string_view op, float x, float y);
  RecordWriter& out_;
  PageGeometry page_;
  int pen_ = 1;
  CoordinateTexts texts_;
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
  void rect(float x1, float y1, float x2, float y2) override;
  void text(float x, float y, std::string_view s) override;
  void finish() override;

 private:
  void cmyk(float c, float m, float y, float k);
  void point(float x, float y, std::string_view op);
  // Writes " x y" at p and returns its end.
  char* pair(char* p, float x, float y);
  char* real(char* p, float v);

  RecordWriter& out_;
  PageGeometry page_;
  float last_[4] = {-1.f, -1.f, -1.f, -1.f};
  int pen_ = -1;  // the pen whose colour last_ holds (-1: none)
  CoordinateTexts texts_;
};

// The device of a plot file: PostScript or HPGL (which has no background).
std::unique_ptr<PlotDevice> file_device(RecordWriter& out, bool postscript, bool background);

}  // namespace verto::plot
