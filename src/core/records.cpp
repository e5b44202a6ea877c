#include "core/records.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/workspace.h"

namespace verto {

namespace {

void append_values(std::string& out, std::initializer_list<float> values) {
  for (float v : values) {
    out += ' ';
    append_real(out, v);
  }
}

}  // namespace

void append_point_record(std::string& out, const Workspace& ws, int form, int i) {
  const float x = ws.X[i - 1], y = ws.Y[i - 1], s = ws.S[i - 1];
  switch (form) {
    case 1: {
      const int v = ws.variable;
      append_values(out, {v == 2 ? y : v == 3 ? s : x});
      break;
    }
    case 2: append_values(out, {x, s}); break;
    case 3: append_values(out, {x, y}); break;
    case 4:
    case 7: append_values(out, {x, y, s}); break;
    default: break;
  }
}

int point_arrays(Workspace& ws, int form, float* arrays[3]) {
  switch (form) {
    case 1:
      arrays[0] = ws.variable == 2 ? ws.Y.data() : ws.variable == 3 ? ws.S.data() : ws.X.data();
      return 1;
    case 2:
      arrays[0] = ws.X.data();
      arrays[1] = ws.S.data();
      return 2;
    case 3:
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      return 2;
    case 4:
    case 7:
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      arrays[2] = ws.S.data();
      return 3;
    default:
      return 0;
  }
}

void append_line_record(std::string& out, const Workspace& ws, int form, int i) {
  if (form == 7)
    append_values(out, {ws.LX[i - 1], ws.LY[i - 1], ws.LZ[i - 1]});
  else
    append_values(out, {ws.LX[i - 1], ws.LY[i - 1]});
}

void append_row_record(std::string& out, const Workspace& ws, int i) {
  const std::size_t base = static_cast<std::size_t>(i - 1) * kMaxColumns;
  for (int c = 0; c < ws.Num_columns && c < kMaxColumns; ++c) {
    out += ' ';
    append_real(out, ws.columns[base + c]);
  }
  if (ws.Num_columns <= 0) out += ' ';
}

std::string point_record(const Workspace& ws, int form, int i) {
  std::string out;
  append_point_record(out, ws, form, i);
  return out;
}

std::string line_record(const Workspace& ws, int form, int i) {
  std::string out;
  append_line_record(out, ws, form, i);
  return out;
}

std::string row_record(const Workspace& ws, int i) {
  std::string out;
  append_row_record(out, ws, i);
  return out;
}

}  // namespace verto
