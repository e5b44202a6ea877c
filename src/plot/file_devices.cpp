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
// HPGL

HpglDevice::HpglDevice(RecordWriter& out) : out_(out) {
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

PostScriptDevice::PostScriptDevice(RecordWriter& out) : out_(out) {
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

void PostScriptDevice::finish() {
  out_.begin();
  out_.put("showpage     % print all on the page");
  out_.end();
}

}  // namespace verto::plot
