#pragma once
// Pieces shared by FIT and REGRESS: the x limits of a fitted line and the
// room left in the line data set.
#include <string_view>

namespace verto {

class Console;
struct Workspace;

// Smallest and largest X of points 1..npts (or of the fitted copies when
// the data set is empty), rounded outwards unless `data_limits`.
void line_limits(const Workspace& ws, int npts, const float* fitted_x, int m, bool data_limits,
                 float& xmin, float& xmax);

// True when `points` more line points and `markers` more line markers fit
// after the current ones; otherwise prints why the line is not added.
bool line_room(const Workspace& ws, Console& con, int points, int markers);

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
