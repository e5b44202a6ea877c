#pragma once
// The data and plot dialogs (Plot with options, Create line using function,
// Create Data, Transfer data) as plain state with the lines their OK builds.
#include <array>
#include <string>
#include <string_view>

#include "ui/analysis_dialogs.h"
#include "ui/lines.h"

namespace verto::ui {

// ---- Plot with options: the whole state is remembered between openings ----
constexpr int kColourCodings = 14;
extern const std::array<std::string_view, kColourCodings> kColourCodingNames;

constexpr int kLegendPositions = 5;  // none, up/left, up/right, low/left, low/right
extern const std::array<std::string_view, kLegendPositions> kLegendPositionNames;
constexpr int kOrientations = 5;
extern const std::array<std::string_view, kOrientations> kOrientationNames;
// The PLOT qualifier of each orientation (empty: the default, +135).
extern const std::array<std::string_view, kOrientations> kOrientationOptions;

struct PlotOptionsDialog {
  bool data_limits = false;  // "Min/Max of data" instead of "Nice round numbers"
  int colour_coding = 0;     // index into kColourCodingNames
  bool x_log = false, y_log = false;
  bool droplines = false, contour = false;
  int legend = 0;            // 0 none, 1 up/left .. 4 low/right
  int orientation = 3;       // index into kOrientationNames; 3 is +135 (no option)
  std::string from = "1", to = "N";
};
QueuedLines plot_options_lines(const PlotOptionsDialog& d);

// ---- Create line using function / Create Data ----
constexpr int kNumberFieldLength = 12;
constexpr int kFunctionFieldLength = 70;

// Lines or, when a number field does not hold a number, the message to show
// instead of queuing anything.
struct BuiltLines {
  QueuedLines queued;
  std::string error;
};

struct CreateLineDialog {  // remembered between openings
  std::string xmin, xmax, steps;
  std::string function = "X";
};
BuiltLines create_line_lines(const CreateLineDialog& d, int Nline);

struct CreateDataDialog {
  int format = 3;  // 1, 2, 3, 4 or 7
  std::string n;
  bool equally_spaced = true;
  std::string xmin, xmax;
  std::string x_function = "I", y_function = "X", s_function = "0.05*Y";
  bool relative = true;
};
// What Create Data remembers: the texts and the format (0 until one has been
// chosen).
struct CreateDataMemory {
  int format = 0;
  std::string n, xmin, xmax;
  std::string x_function = "I", y_function = "X", s_function = "0.05*Y";
};
CreateDataDialog open_create_data_dialog(const CreateDataMemory& memory, int form);
void remember_create_data(CreateDataMemory& memory, const CreateDataDialog& d);
std::string_view create_data_s_label(int format);  // "S=" or "Z="
BuiltLines create_data_lines(const CreateDataDialog& d, int Npts);

// The first new index as the range of the MATH lines takes it: without
// leading blanks, since a blank after "/" ends the command word and the
// range would not be read.
std::string first_index_field(int count);

// ---- Transfer data ----
enum class Transfer { LineToPoints, PointsToLine, Columns, ColumnRange };

struct TransferDialog {
  Transfer choice = Transfer::LineToPoints;
  bool retain_points = false;
  int x_column = 1, y_column = 2, s_column = 3;  // 0: no column
  std::string row_from = "1", row_to = "N";
  std::string c1_from, c1_to;
  bool clear_old = false;
};
bool transfer_y_enabled(int form);  // not in forms 1 and 2
bool transfer_s_enabled(int form);  // not in form 3
QueuedLines transfer_lines(const TransferDialog& d, int form);

}  // namespace verto::ui
