#include "fitting/line_output.h"

#include <algorithm>
#include <string>

#include "core/limits.h"
#include "core/console.h"
#include "core/workspace.h"

namespace verto {

void line_limits(const Workspace& ws, int npts, const float* fitted_x, int m, bool data_limits,
                 float& xmin, float& xmax) {
  const float* xs = npts > 0 ? ws.X.data() : fitted_x;
  const int count = npts > 0 ? npts : m;
  xmin = xmax = count > 0 ? xs[0] : 0.f;
  for (int i = 1; i < count; ++i) {
    xmin = std::min(xmin, xs[i]);
    xmax = std::max(xmax, xs[i]);
  }
  if (!data_limits) round_limits(xmin, xmax);
}

void copy_points(const Workspace& ws, int n1, int m, float* x, float* y, float* s) {
  for (int i = 0; i < m; ++i) {
    x[i] = ws.X[n1 - 1 + i];
    y[i] = ws.Y[n1 - 1 + i];
    s[i] = ws.S[n1 - 1 + i];
  }
}

bool start_line(Workspace& ws, Console& con, bool add, int points, int markers) {
  if (!add) {
    ws.Nline = 0;
    ws.line_markers.count = 0;
    return true;
  }
  if (ws.Nline + points > kMaxNpts) {
    con.record("<<<VERTO!!!>>> The line data set has no room for " + std::to_string(points) +
               " more points (lines = " + std::to_string(ws.Nline) +
               ", max 50000); no line added.");
    return false;
  }
  if (ws.line_markers.count + markers > kMaxMarkers) {
    con.record("<<<VERTO!!!>>> The line-marker list is full (max 100); no line added.");
    return false;
  }
  return true;
}

}  // namespace verto
