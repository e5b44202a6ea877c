#include "ui/data_dialogs.h"

#include <algorithm>
#include <cctype>

#include "core/evaluator.h"

namespace verto::ui {

namespace {

constexpr bool kDiscard = false;

constexpr std::array<std::string_view, kColourCodings> kColourOptions = {
    "", "/XS", "/XNM", "/XA", "/XU", "/YS", "/YNM", "/YA", "/YU", "/IS", "/ZS", "/ZNM", "/ZA", "/ZU"};

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The field read as a real number the way the commands read one.
bool is_real(std::string_view text) {
  const std::string t = field(text, kNumberFieldLength);
  if (t.find_first_not_of(' ') == std::string::npos) return false;
  return expr::typed_number(upper(t)).has_value();
}

// The field read as an integer: an optional sign and digits.
bool is_integer(std::string_view text) {
  std::string t = field(text, kNumberFieldLength);
  const std::size_t first = t.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  t.erase(0, first);
  std::size_t k = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  if (k == t.size()) return false;
  for (; k < t.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
  return true;
}

std::string not_a_number(std::string_view name, std::string_view text) {
  return std::string(name) + " is not a number: \"" + field(text, kNumberFieldLength) + "\"";
}

// "X=" + Xmin + "+(I-1)/(" + count + "-1)*(" + Xmax + "-" + Xmin + ")"
std::string spaced_x(std::string_view xmin, std::string_view xmax, std::string_view count) {
  const std::string lo = field(xmin, kNumberFieldLength), hi = field(xmax, kNumberFieldLength);
  return "X=" + lo + "+(I-1)/(" + field(count, kNumberFieldLength) + "-1)*(" + hi + "-" + lo + ")";
}

}  // namespace

const std::array<std::string_view, kColourCodings> kColourCodingNames = {
    "none", "x-axis: value", "x-axis: nanometer", "x-axis: Angstrom", "x-axis: micron",
    "y-axis: value", "y-axis: nanometer", "y-axis: Angstrom", "y-axis: micron", "index value",
    "z-axis: value", "z-axis: nanometer", "z-axis: Angstrom", "z-axis: micron"};
const std::array<std::string_view, kLegendPositions> kLegendPositionNames = {
    "none", "up/left", "up/right", "low/left", "low/right"};
const std::array<std::string_view, kOrientations> kOrientationOptions = {
    "/THETA=-45", "/THETA=-22", "/THETA=0", "", "/THETA=180"};
const std::array<std::string_view, kOrientations> kOrientationNames = {"-45", "-22", "0", "+135",
                                                                      "+180"};

std::string first_index_field(int count) { return std::to_string(count + 1); }

// ---- Plot with options ----

QueuedLines plot_options_lines(const PlotOptionsDialog& d) {
  std::string line = d.data_limits ? "Plot/D" : "Plot";
  line += kColourOptions[static_cast<std::size_t>(std::clamp(d.colour_coding, 0, kColourCodings - 1))];
  if (d.droplines) line += "/DROP";
  if (d.legend >= 1 && d.legend <= 4) line += "/Leg=" + std::to_string(d.legend);
  if (d.contour) {
    line += "/CONT";
  } else {
    line += kOrientationOptions[static_cast<std::size_t>(std::clamp(d.orientation, 0, kOrientations - 1))];
  }
  if (d.x_log) line += "/Xlog";
  if (d.y_log) line += "/Ylog";
  line += "/" + trimmed(d.from) + ":" + trimmed(d.to);
  return one_line(std::move(line), kDiscard);
}

// ---- Create line using function ----

BuiltLines create_line_lines(const CreateLineDialog& d, int Nline) {
  if (!is_real(d.xmin)) return {{}, not_a_number("Xmin", d.xmin)};
  if (!is_real(d.xmax)) return {{}, not_a_number("Xmax", d.xmax)};
  if (!is_integer(d.steps)) return {{}, not_a_number("steps", d.steps)};
  const std::string first = first_index_field(Nline);
  const std::string function = field(d.function, kFunctionFieldLength);
  QueuedLines q;
  q.lines = {cut_line("Set/Line N=N+" + full_field(d.steps, kNumberFieldLength)),
             cut_line("Label/line Y=" + function),
             cut_line("math/J/line/" + first + ": " + spaced_x(d.xmin, d.xmax, d.steps)),
             cut_line("math/J/line/" + first + ": Y=" + function)};
  return {q, {}};
}

// ---- Create Data ----

CreateDataDialog open_create_data_dialog(const CreateDataMemory& memory, int form) {
  CreateDataDialog d;
  d.format = (memory.format == 0 || form > 4) ? 3 : memory.format;
  d.n = memory.n;
  d.xmin = memory.xmin;
  d.xmax = memory.xmax;
  d.x_function = memory.x_function;
  d.y_function = memory.y_function;
  d.s_function = memory.s_function;
  return d;
}

void remember_create_data(CreateDataMemory& memory, const CreateDataDialog& d) {
  memory.format = d.format;
  memory.n = d.n;
  memory.xmin = d.xmin;
  memory.xmax = d.xmax;
  memory.x_function = d.x_function;
  memory.y_function = d.y_function;
  memory.s_function = d.s_function;
}

std::string_view create_data_s_label(int format) { return format == 7 ? "Z=" : "S="; }

BuiltLines create_data_lines(const CreateDataDialog& d, int Npts) {
  if (!is_integer(d.n)) return {{}, not_a_number("N", d.n)};
  if (d.equally_spaced) {
    if (!is_real(d.xmin)) return {{}, not_a_number("Xmin", d.xmin)};
    if (!is_real(d.xmax)) return {{}, not_a_number("Xmax", d.xmax)};
  }
  const int format = d.format;
  const std::string m = (d.relative ? "Math/J/" : "Math/") + first_index_field(Npts) + ": ";
  QueuedLines q;
  q.lines.push_back(std::string("Form ") + static_cast<char>('0' + std::clamp(format, 0, 9)));
  q.lines.push_back("Set N=N+" + full_field(d.n, kNumberFieldLength));
  q.lines.push_back("Label " + field(d.y_function, kFunctionFieldLength));
  q.lines.push_back(m + (d.equally_spaced ? spaced_x(d.xmin, d.xmax, d.n)
                                          : "X=" + field(d.x_function, kFunctionFieldLength)));
  if (format == 3 || format == 4 || format == 7)
    q.lines.push_back(m + "Y=" + field(d.y_function, kFunctionFieldLength));
  if (format == 2 || format == 4)
    q.lines.push_back(m + "S=" + field(d.s_function, kFunctionFieldLength));
  if (format == 7) q.lines.push_back(m + "Z=" + field(d.s_function, kFunctionFieldLength));
  for (auto& l : q.lines) l = cut_line(std::move(l));
  return {q, {}};
}

// ---- Transfer data ----

bool transfer_y_enabled(int form) { return form != 1 && form != 2; }
bool transfer_s_enabled(int form) { return form != 3; }

QueuedLines transfer_lines(const TransferDialog& d, int form) {
  switch (d.choice) {
    case Transfer::LineToPoints:
      return one_line("Points", kDiscard);
    case Transfer::PointsToLine:
      if (d.retain_points) return {{"Line", "Points"}, kDiscard};
      return one_line("Line", kDiscard);
    case Transfer::Columns: {
      std::string line = "Add/" + trimmed(d.row_from) + ":" + trimmed(d.row_to);
      auto add = [&line](int column) {
        if (column >= 1 && column <= 9) line += " C" + std::to_string(column);
      };
      add(d.x_column);
      if (transfer_y_enabled(form)) add(d.y_column);
      if (transfer_s_enabled(form)) add(d.s_column);
      return one_line(std::move(line), kDiscard);
    }
    case Transfer::ColumnRange:
      return one_line((d.clear_old ? "Port/C " : "Port ") + trimmed(d.c1_from) + "," +
                          trimmed(d.c1_to),
                      kDiscard);
  }
  return blank_line(kDiscard);
}

}  // namespace verto::ui
