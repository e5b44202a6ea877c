#include "plot/file_devices.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <system_error>

#include <unistd.h>

#include "core/numbers.h"

namespace verto::plot {

namespace {

// Device coordinates stay within what plotters and interpreters accept.
float sane(float v) {
  if (!(v == v)) return 0.f;
  constexpr float kLimit = 8000000.f;
  return v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v);
}

// The text of one whole coordinate (HPGL), formatted once and copied as a
// block of 16 bytes (it has at most 15 characters) wherever it is written.
struct NumberText {
  char text[32];
  std::size_t len;
};

NumberText integer_text(float v) {
  NumberText t;
  t.len = static_cast<std::size_t>(std::to_chars(t.text, t.text + sizeof t.text, std::lround(sane(v))).ptr - t.text);
  return t;
}

char* put_number(char* p, const NumberText& t) {
  std::memcpy(p, t.text, 16);
  return p + t.len;
}

template <std::size_t N>
char* put_literal(char* p, const char (&s)[N]) {
  std::memcpy(p, s, N - 1);
  return p + (N - 1);
}

// " x y" and `tail` at p, where 48 bytes must be free; returns the end.
template <std::size_t N>
char* put_pair(char* p, ShortText x, ShortText y, const char (&tail)[N]) {
  *p = ' ';
  p = put_text(p + 1, x);
  *p = ' ';
  p = put_text(p + 1, y);
  return put_literal(p, tail);
}

}  // namespace

template <class Format>
char* CoordinateTexts::put(char* p, float v, Format format) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(v);
  Entry& e = entries_[(bits * 2654435761u) >> (32 - kBits)];
  if (e.bits != bits) {
    char tmp[32] = {};
    const std::size_t len = static_cast<std::size_t>(format(v, tmp) - tmp);
    if (len > sizeof e.text) {
      std::memcpy(p, tmp, len);
      return p + len;
    }
    std::memcpy(e.text, tmp, sizeof e.text);
    e.len = static_cast<std::uint8_t>(len);
    e.bits = bits;
  }
  std::memcpy(p, e.text, sizeof e.text);  // the room holds all 16 bytes
  return p + e.len;
}

RecordWriter::RecordWriter(int fd) : fd_(fd), block_(new char[kBuffer]) {}

RecordWriter::~RecordWriter() { flush(); }

void RecordWriter::flush() {
  const char* data = block_.get();
  std::size_t n = used_;
  used_ = 0;
  // After a failed write the rest is dropped: the file is removed anyway.
  while (n > 0 && !failed_) {
    const ssize_t done = ::write(fd_, data, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      failed_ = true;
      return;
    }
    data += done;
    n -= static_cast<std::size_t>(done);
  }
}

void RecordWriter::put(std::string_view s) {
  while (!s.empty()) {
    if (used_ == kBuffer) flush();
    const std::size_t n = std::min(s.size(), kBuffer - used_);
    std::memcpy(block_.get() + used_, s.data(), n);
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
  put(std::string_view(tmp, static_cast<std::size_t>(shortest_chars(tmp, value) - tmp)));
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
  // ' ', two letters, two integers of at most 8 digits and a sign, ",;\n";
  // each integer is copied as a block of 16 bytes.
  auto integer = [](float f, char* out) { return std::to_chars(out, out + 32, std::lround(f)).ptr; };
  char* p = out_.room(48);
  *p++ = ' ';
  std::memcpy(p, op.data(), 2);
  p += 2;
  p = texts_.put(p, sane(x), integer);
  *p++ = ',';
  p = texts_.put(p, sane(y), integer);
  *p++ = ';';
  *p++ = '\n';
  out_.commit(p);
}

void HpglDevice::move(float x, float y) { point("PU", x, y); }
void HpglDevice::draw(float x, float y) { point("PD", x, y); }

void HpglDevice::rect(float x1, float y1, float x2, float y2) {
  // The move and the four draws of the border, each value formatted once.
  const NumberText a = integer_text(x1), b = integer_text(x2);
  const NumberText c = integer_text(y1), d = integer_text(y2);
  const NumberText* const corners[5][2] = {{&a, &c}, {&a, &d}, {&b, &d}, {&b, &c}, {&a, &c}};
  char* p = out_.room(5 * 40);
  for (int i = 0; i < 5; ++i) {
    p = i == 0 ? put_literal(p, " PU") : put_literal(p, " PD");
    p = put_number(p, *corners[i][0]);
    *p++ = ',';
    p = put_number(p, *corners[i][1]);
    p = put_literal(p, ";\n");
  }
  out_.commit(p);
}

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

char* PostScriptDevice::real(char* p, float v) {
  // The shortest text that reads back as v: at most 15 characters.
  return texts_.put(p, v, [](float f, char* out) { return shortest_chars(out, f); });
}

char* PostScriptDevice::pair(char* p, float x, float y) {
  *p++ = ' ';
  p = real(p, sane(x));
  *p++ = ' ';
  return real(p, sane(y));
}

void PostScriptDevice::point(float x, float y, std::string_view op) {
  char* p = out_.room(80 + op.size());
  p = pair(p, x, y);
  std::memcpy(p, op.data(), op.size());
  p += op.size();
  *p++ = '\n';
  out_.commit(p);
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
      // Every point of a set names its pen again.
      if (c.pen == pen_ && c.pen >= 0) return;
      const Cmyk k = to_cmyk(pen_rgb(c.pen));
      cmyk(k.c, k.m, k.y, k.k);
      pen_ = c.pen;
      return;
    }
    case Colour::Kind::Spectral: {
      pen_ = -1;
      Cmyk k = to_cmyk(file_spectral_rgb(c.nm));
      for (float* f : {&k.c, &k.m, &k.y, &k.k})
        if (*f < 0.0001f) *f = 0.f;
      cmyk(k.c, k.m, k.y, k.k);
      return;
    }
  }
}

void PostScriptDevice::move(float x, float y) {
  constexpr std::string_view kMove = " moveto\n";
  char* p = out_.room(80);
  p = pair(p, x, y);
  std::memcpy(p, kMove.data(), kMove.size());
  out_.commit(p + kMove.size());
}

void PostScriptDevice::draw(float x, float y) {
  // " x y lineto stroke", then " x y moveto" with the same coordinates:
  // " x y" is formatted once into a block of fixed size (at most 34 bytes
  // of it used), which copies without a call.
  constexpr std::string_view kLine = " lineto stroke\n", kMove = " moveto\n";
  char xy[48] = {};
  const std::size_t n = static_cast<std::size_t>(pair(xy, x, y) - xy);
  char* p = out_.room(160);
  std::memcpy(p, xy, sizeof xy);
  p += n;
  std::memcpy(p, kLine.data(), kLine.size());
  p += kLine.size();
  std::memcpy(p, xy, sizeof xy);
  p += n;
  std::memcpy(p, kMove.data(), kMove.size());
  out_.commit(p + kMove.size());
}

void PostScriptDevice::rect(float x1, float y1, float x2, float y2) {
  // The move and the four draws of the border, each value formatted once
  // into registers and every line put down by stores alone.
  const ShortText a = shortest_text(sane(x1)), b = shortest_text(sane(x2));
  const ShortText c = shortest_text(sane(y1)), d = shortest_text(sane(y2));
  char* p = out_.room(9 * 48);
  p = put_pair(p, a, c, " moveto\n");
  for (const auto& [x, y] : {std::pair{a, d}, {b, d}, {b, c}, {a, c}}) {
    p = put_pair(p, x, y, " lineto stroke\n");
    p = put_pair(p, x, y, " moveto\n");
  }
  out_.commit(p);
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
