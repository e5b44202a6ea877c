#include "plot/file_devices.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace verto::plot {

namespace {

// Device coordinates stay within what plotters and interpreters accept.
float sane(float v) {
  if (!(v == v)) return 0.f;
  constexpr float kLimit = 8000000.f;
  return v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v);
}

}  // namespace

void RecordWriter::put(std::string_view s) {
  while (!s.empty()) {
    if (used_ == sizeof buf_) flush();
    const std::size_t n = std::min(s.size(), sizeof buf_ - used_);
    std::memcpy(buf_ + used_, s.data(), n);
    used_ += n;
    s.remove_prefix(n);
  }
}

void RecordWriter::put_int(long value) {
  char tmp[24];
  auto r = std::to_chars(tmp, tmp + sizeof tmp, value);
  put(std::string_view(tmp, static_cast<std::size_t>(r.ptr - tmp)));
}

void RecordWriter::put_real(float value) {
  char tmp[32];
  auto r = std::to_chars(tmp, tmp + sizeof tmp, value);
  put(std::string_view(tmp, static_cast<std::size_t>(r.ptr - tmp)));
}

void RecordWriter::put_fixed(float value, int width, int decimals) {
  char tmp[64];
  auto r = std::to_chars(tmp, tmp + sizeof tmp, value, std::chars_format::fixed, decimals);
  const int len = r.ec == std::errc() ? static_cast<int>(r.ptr - tmp) : width + 1;
  if (len > width) {
    for (int i = 0; i < width; ++i) put('*');
    return;
  }
  for (int i = len; i < width; ++i) put(' ');
  put(std::string_view(tmp, static_cast<std::size_t>(len)));
}

void RecordWriter::flush() {
  if (used_ == 0) return;
  if (std::fwrite(buf_, 1, used_, file_) != used_) failed_ = true;
  used_ = 0;
}

// ---------------------------------------------------------------------------
// Page geometry of the plot files (HPGL plotter units, PostScript points).

namespace {

PageGeometry file_page(float x0, float y0, float w, float h, float ylabel_x,
                       float label_width, float twice_baseline, float cell_w,
                       float cell_h) {
  PageGeometry g;
  g.x0 = x0;
  g.y0 = y0;
  g.w = w;
  g.h = h;
  g.tick_on_x = g.tick_on_y = std::round(w * 0.02f);
  g.symbol_dx = g.symbol_dy = std::round(w * 0.005f);
  g.label_style = LabelStyle::File;
  const float xl = twice_baseline / 2.f;
  const float xs[3] = {x0 - label_width / 2.f, x0 + w / 2.f - label_width / 2.f,
                       x0 + w - label_width / 2.f};
  const float ys[3] = {y0, y0 + h / 2.f, y0 + h};
  for (int i = 0; i < 3; ++i) {
    g.label_x[i] = xs[i];
    g.label_y[i] = xl;
    g.label_x[3 + i] = ylabel_x;
    g.label_y[3 + i] = ys[i];
  }
  // Text cells over the frame: the frame's left edge is the tenth column,
  // as nine label columns stand left of the frame on the screen.
  g.cell_w = cell_w;
  g.cell_h = cell_h;
  g.grid_x = x0 - 10.f * cell_w;
  g.grid_y = y0 + h;
  g.columns = static_cast<int>(w / cell_w) + 10;
  g.rows = static_cast<int>(h / cell_h) + 1;
  g.legend_symbol = std::trunc(0.35f * cell_h);
  return g;
}

}  // namespace

PageGeometry hpgl_page(bool background) {
  PageGeometry g = file_page(1430.f, 600.f, 8000.f, 6800.f, 430.f, 1000.f, 400.f,
                             1430.f / 14.f, 600.f / 2.2f);
  g.fill_background = background;
  return g;
}

PageGeometry postscript_page(bool background) {
  PageGeometry g = file_page(170.f, 490.f, 360.f, 280.f, 100.f, 90.f, 940.f, 6.1f, 13.f);
  g.fill_background = background;
  return g;
}

// ---------------------------------------------------------------------------
// HPGL

HpglDevice::HpglDevice(RecordWriter& out) : out_(out), page_(hpgl_page(false)) {
  for (std::string_view r : {"VS18;PU;SP1;", "SR 0.2,0.2;", "PU 0,0;PD 0,0;",
                             "PU 9900,7600;PD 9900,7600;"}) {
    out_.begin();
    out_.put(r);
    out_.end();
  }
}

void HpglDevice::colour(const Colour& c) {
  int pen;
  switch (c.kind) {
    case Colour::Kind::Frame: return;
    case Colour::Kind::Indexed: pen = c.pen; break;
    case Colour::Kind::Spectral: pen = spectral_pen(c.nm); break;
    default: return;
  }
  pen = ((pen % 9) + 9) % 9;
  if (pen == pen_) return;
  pen_ = pen;
  out_.begin();
  out_.put("SP");
  out_.put(static_cast<char>('0' + pen));
  out_.put(';');
  out_.end();
}

void HpglDevice::point(std::string_view op, float x, float y) {
  out_.begin();
  out_.put(op);
  out_.put_int(std::lround(sane(x)));
  out_.put(',');
  out_.put_int(std::lround(sane(y)));
  out_.put(';');
  out_.end();
}

void HpglDevice::move(float x, float y) { point("PU", x, y); }
void HpglDevice::draw(float x, float y) { point("PD", x, y); }

void HpglDevice::text(float x, float y, std::string_view s) {
  move(x, y);
  out_.begin();
  out_.put("LB");
  for (char c : s)
    if (c != '\x03' && c != '\n' && c != '\r') out_.put(c);
  out_.put('\x03');
  out_.put(';');
  out_.end();
}

// ---------------------------------------------------------------------------
// PostScript

PostScriptDevice::PostScriptDevice(RecordWriter& out, bool background)
    : out_(out), page_(postscript_page(background)) {
  // The "%!PS" signature must open the file at its very first byte: print
  // spoolers and viewers recognise PostScript by it and would otherwise
  // take the file for plain text. Every other record starts with a blank.
  out_.put("%!PS");
  out_.end();
  for (std::string_view r : {"/Courier", "12 selectfont", "1 setlinewidth"}) {
    out_.begin();
    out_.put(r);
    out_.end();
  }
}

void PostScriptDevice::point(float x, float y, std::string_view op) {
  out_.begin();
  out_.put_real(sane(x));
  out_.put(' ');
  out_.put_real(sane(y));
  out_.put(op);
  out_.end();
}

void PostScriptDevice::background(float x, float y, float w, float h) {
  out_.begin();
  out_.put("newpath");
  out_.end();
  point(x, y, " moveto");
  point(x + w, y, " lineto");
  point(x + w, y + h, " lineto");
  point(x, y + h, " lineto");
  for (std::string_view r : {"closepath", "fill"}) {
    out_.begin();
    out_.put(r);
    out_.end();
  }
  colour(Colour::indexed(0, 6));
}

void PostScriptDevice::cmyk(float c, float m, float y, float k) {
  const float v[4] = {c, m, y, k};
  if (std::memcmp(v, last_, sizeof v) == 0) return;
  std::memcpy(last_, v, sizeof v);
  out_.begin();
  for (float f : v) out_.put_fixed(f, 7, 4);
  out_.put(" setcmykcolor");
  out_.end();
}

void PostScriptDevice::colour(const Colour& c) {
  switch (c.kind) {
    case Colour::Kind::Frame:
      return;
    case Colour::Kind::Indexed: {
      const Cmyk k = to_cmyk(pen_rgb(c.pen));
      cmyk(k.c, k.m, k.y, k.k);
      return;
    }
    case Colour::Kind::Spectral: {
      Cmyk k = to_cmyk(file_spectral_rgb(c.nm));
      for (float* f : {&k.c, &k.m, &k.y, &k.k})
        if (*f < 0.0001f) *f = 0.f;
      cmyk(k.c, k.m, k.y, k.k);
      return;
    }
  }
}

void PostScriptDevice::move(float x, float y) { point(x, y, " moveto"); }

void PostScriptDevice::draw(float x, float y) {
  point(x, y, " lineto stroke");
  point(x, y, " moveto");
}

void PostScriptDevice::text(float x, float y, std::string_view s) {
  move(x, y);
  out_.begin();
  out_.put('(');
  for (char c : s) {
    if (c == '(' || c == ')' || c == '\\') out_.put('\\');
    if (c == '\n' || c == '\r') c = ' ';
    out_.put(c);
  }
  out_.put(") show");
  out_.end();
}

std::unique_ptr<PlotDevice> file_device(RecordWriter& out, bool postscript, bool background) {
  if (postscript) return std::make_unique<PostScriptDevice>(out, background);
  return std::make_unique<HpglDevice>(out);
}

void PostScriptDevice::finish() {
  out_.begin();
  out_.put("showpage     % print all on the page");
  out_.end();
}

}  // namespace verto::plot
