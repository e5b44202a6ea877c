#include "core/records.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/workspace.h"

namespace verto {

void append_real(std::string& out, float value) {
  if (std::isnan(value)) {
    out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-Inf" : "Inf";
    return;
  }
  // Shortest digits in scientific form: "-d.ddde+XX".
  char sci[32];
  auto res = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific);
  const char* p = sci;
  const char* end = res.ptr;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  if (value == 0) {
    out += '0';
    return;
  }
  char digits[16];
  int nd = 0;
  while (p < end && *p != 'e') {
    if (*p != '.' && nd < 16) digits[nd++] = *p;
    ++p;
  }
  int exponent = 0;
  if (p < end) {
    ++p;
    if (*p == '+') ++p;
    std::from_chars(p, end, exponent);
  }
  if (exponent >= -4 && exponent <= 7) {
    // Plain decimal, the point placed by the exponent.
    if (exponent < 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out.append(digits, nd);
    } else if (nd <= exponent + 1) {
      out.append(digits, nd);
      out.append(static_cast<std::size_t>(exponent + 1 - nd), '0');
    } else {
      out.append(digits, exponent + 1);
      out += '.';
      out.append(digits + exponent + 1, nd - exponent - 1);
    }
    return;
  }
  out += digits[0];
  if (nd > 1) {
    out += '.';
    out.append(digits + 1, nd - 1);
  }
  out += 'E';
  out += exponent < 0 ? '-' : '+';
  int mag = std::abs(exponent);
  if (mag < 10) out += '0';
  char eb[8];
  auto er = std::to_chars(eb, eb + sizeof eb, mag);
  out.append(eb, er.ptr);
}

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
