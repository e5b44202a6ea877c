// FFT: one variable of the XYS data set replaced by its amplitude spectrum
// (first half of the bins), or by an inverse transform with /INV.
#include <cmath>
#include <span>
#include <vector>

#include "analysis/processing_commands.h"
#include "analysis/processing_support.h"
#include "numeric/four1.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

void cmd_fft(Session& s) {
  Workspace& ws = s.ws;
  const std::string_view up = ws.upper;
  int isign = 1;
  const auto slash = up.find('/');
  if (slash != std::string_view::npos && up.substr(slash + 1).starts_with("IN")) isign = -1;
  int var = ws.form >= 3 ? 2 : ws.variable;
  const int at = scan_after(up, " ,");
  if (at > 0) {
    const char c = up[static_cast<std::size_t>(at - 1)];
    if (c == 'X') var = 1;
    if (c == 'Y') var = 2;
    if (c == 'S' || (c == 'Z' && ws.form == 7)) var = 3;
  }
  std::span<float> values = var == 1 ? ws.X : var == 2 ? ws.Y : ws.S;

  if (ws.Npts > 2) {
    // nn: the largest power of two not above Npts.
    int nn = 1;
    while (nn <= ws.Npts / 2) nn *= 2;
    std::vector<float> data(2 * static_cast<std::size_t>(nn));
    for (int i = 0; i < nn; ++i) {
      data[2 * static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(i)];
      data[2 * static_cast<std::size_t>(i) + 1] = 0.f;
    }
    Four1(data, nn, isign);
    const float dx = ws.X[1] - ws.X[0];
    ws.Npts = nn / 2;
    if (ws.form >= 3 && var != 1)
      for (int i = 0; i < ws.Npts; ++i)
        ws.X[static_cast<std::size_t>(i)] = static_cast<float>(i) / (static_cast<float>(nn) * dx);
    for (int i = 0; i < ws.Npts; ++i) {
      const float re = data[2 * static_cast<std::size_t>(i)];
      const float im = data[2 * static_cast<std::size_t>(i) + 1];
      float value;
      if (isign == 1) {
        const float power = re * re + im * im;
        value = power == 0.f ? 0.f : std::sqrt(power) / static_cast<float>(ws.Npts);
      } else {
        // The inverse transform of the data: its real part, normalised.
        value = re / static_cast<float>(nn);
      }
      values[static_cast<std::size_t>(i)] = value;
    }
    write_free(s.con, {data[0]});
  }
  rewrite_point_markers(s, "FFT of ", "FFT of data");
  write_formatted(s.con, "(1X,A,I6)", {"Npts = ", ws.Npts});
}

}  // namespace verto
