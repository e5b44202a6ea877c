#include "core/progress.h"

#include <algorithm>
#include <string>

#include "core/console.h"

namespace verto {

void show_progress(Console& con, int i, int n) {
  if (n <= 0) return;
  if (i == 1) con.record("");
  // k = integer part of i * (20 / n), computed exactly in integers so the
  // bar is full at the last step whatever n is.
  const long long k = std::clamp<long long>(static_cast<long long>(i) * 20 / n, 0, 20);
  std::string bar = "Status: ";
  bar.append(static_cast<std::size_t>(k), '*');
  bar.append(static_cast<std::size_t>(20 - k), '.');
  con.overwrite(bar);
  if (i == n) con.overwrite("Status: Done!                  ");
}

}  // namespace verto
