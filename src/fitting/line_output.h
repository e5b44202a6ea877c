#pragma once
// Pieces shared by FIT and REGRESS: the copy of the fitted points, the x
// limits of a fitted line and the room for it in the line data set.
#include <string_view>

namespace verto {

class Console;
struct Workspace;

// Smallest and largest X of points 1..npts (or of the fitted copies when
// the data set is empty), rounded outwards unless `data_limits`.
void line_limits(const Workspace& ws, int npts, const float* fitted_x, int m, bool data_limits,
                 float& xmin, float& xmax);

// Copies points n1..n1+m-1 (1-based) of X, Y and S into x, y and s.
void copy_points(const Workspace& ws, int n1, int m, float* x, float* y, float* s);

// Makes room for a fitted line of `points` line points and `markers` line
// markers: after the current ones when `add` (false, after saying why,
// when they do not fit), else in their place (Nline and the line markers
// emptied).
bool start_line(Workspace& ws, Console& con, bool add, int points, int markers);

// Restores Npts when a command that changed it ends, whichever way.
class NptsGuard {
 public:
  explicit NptsGuard(int& npts) : npts_(npts), saved_(npts) {}
  ~NptsGuard() { npts_ = saved_; }
  NptsGuard(const NptsGuard&) = delete;
  NptsGuard& operator=(const NptsGuard&) = delete;
  int saved() const { return saved_; }

 private:
  int& npts_;
  int saved_;
};

}  // namespace verto
