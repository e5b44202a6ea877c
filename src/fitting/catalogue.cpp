#include "fitting/catalogue.h"

#include "core/console.h"
#include "core/format.h"

namespace verto {

void print_catalogue(Console& con) {
  con.record("");
  write_free(con, {"VERTO! Fitting Function:"});
  con.record("");
  for (const ModelInfo& m : fit_models()) write_free(con, {m.list_line});
  con.record("");
}

void print_banner(Console& con, const ModelInfo& m, float p) {
  for (std::string_view line : m.banner) {
    if (line.empty()) continue;
    if (m.parameter == FitParameter::Power && line == m.banner[1])
      write_free(con, {line, static_cast<double>(p)});
    else
      write_free(con, {line});
  }
}

std::string line_label(const ModelInfo& m, int n, float p) {
  std::string label(m.label);
  if (m.parameter == FitParameter::Order)
    label += static_cast<char>('0' + n);
  else if (m.parameter == FitParameter::Power)
    label += format_fixed(p, 6, 4);
  return label;
}

}  // namespace verto
