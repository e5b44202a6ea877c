// Feeds arbitrary PLOT lines and data to the plot: option recognition,
// the drawing model (screen-file and character variants), the renderer
// through both file devices into memory, and the character grid.
//
// Input: the PLOT line up to the first newline (upper-cased, cut to 80
// characters); then a form byte, marker bytes and values (4-byte floats)
// for the points and the line data set.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "plot/file_devices.h"
#include "plot/model.h"
#include "plot/options.h"
#include "plot/render.h"
#include "plot/text_plot.h"
#include "core/memory_console.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
  std::uint8_t byte() { return pos_ < n_ ? d_[pos_++] : 0; }
  float real() {
    float v = 0.f;
    if (pos_ + 4 <= n_) std::memcpy(&v, d_ + pos_, 4);
    pos_ += 4;
    return v;
  }

 private:
  const std::uint8_t* d_;
  std::size_t n_, pos_ = 0;
};

// Renders into an anonymous memory file, so that nothing touches the file
// system.
void render_to_memory(const verto::plot::PlotModel& m, bool postscript) {
  const int fd = memfd_create("verto-fuzz-plot", MFD_CLOEXEC);
  if (fd < 0) return;
  {
    verto::plot::RecordWriter out(fd);
    // Each device carries its own page and ends it in finish().
    auto d = verto::plot::file_device(out, postscript, postscript);
    verto::plot::render(m, *d);
  }
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto* ws = new verto::Workspace;
  static verto::MemoryConsole con;
  con.set_discard(true);

  const auto* nl = static_cast<const std::uint8_t*>(std::memchr(data, '\n', size));
  const std::size_t line_len = nl ? static_cast<std::size_t>(nl - data) : size;
  std::string line = verto::to_upper(
      std::string(reinterpret_cast<const char*>(data), std::min<std::size_t>(line_len, 80)));
  Reader in(data + line_len, size - line_len);

  const int form = in.byte() % 8;
  ws->point_markers.count = 0;
  ws->line_markers.count = 0;
  const int markers = in.byte() % 8;
  for (int i = 0; i < markers; ++i)
    verto::add_point_marker(*ws, con, in.byte(), std::string(in.byte() % 80, 'm'));
  if (markers > 4) verto::add_line_marker(*ws, con, in.byte(), "line");
  ws->Npts = in.byte() % 64;
  for (int i = 0; i < ws->Npts; ++i) {
    ws->X[i] = in.real();
    ws->Y[i] = in.real();
    ws->S[i] = in.real();
  }
  ws->Nline = in.byte() % 64;
  for (int i = 0; i < ws->Nline; ++i) {
    ws->LX[i] = in.real();
    ws->LY[i] = in.real();
    ws->LZ[i] = in.real();
  }

  const verto::plot::PlotOptions opt = verto::plot::parse_plot_options(line, form);
  verto::plot::PlotModel model;
  if (verto::plot::build_model(*ws, opt, verto::plot::Purpose::Graphics, model) ==
      verto::plot::ModelStatus::Ok) {
    render_to_memory(model, true);
    render_to_memory(model, false);
  }
  verto::plot::build_model(*ws, opt, verto::plot::Purpose::Text, model);
  std::string line80 = line;
  line80.resize(80, ' ');
  verto::plot::print_text_plot(con, line80, model);
  return 0;
}
