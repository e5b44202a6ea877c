#include "datafiles/records.h"

#include "workspace/format.h"
#include "workspace/workspace.h"

namespace verto {

std::string point_record(const Workspace& ws, int form, int i) {
  const double x = ws.X[i - 1], y = ws.Y[i - 1], s = ws.S[i - 1];
  switch (form) {
    case 1: return free_record({x});
    case 2: return free_record({x, s});
    case 3: return free_record({x, y});
    case 4:
    case 7: return free_record({x, y, s});
    default: return {};
  }
}

std::string line_record(const Workspace& ws, int form, int i) {
  const double x = ws.LX[i - 1], y = ws.LY[i - 1];
  if (form == 7) return free_record({x, y, static_cast<double>(ws.LZ[i - 1])});
  return free_record({x, y});
}

std::string row_record(const Workspace& ws, int i) {
  std::vector<FormatItem> items;
  const std::size_t base = static_cast<std::size_t>(i - 1) * kMaxColumns;
  for (int c = 0; c < ws.Num_columns; ++c) items.emplace_back(static_cast<double>(ws.columns[base + c]));
  return free_record(items);
}

}  // namespace verto
