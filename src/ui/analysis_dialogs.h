#pragma once
// The analysis dialogs (Fit Function, Math, Normalize, Average Data, Smooth,
// Sum Y Values, Sort, Swap Columns), the Format dialog and Help Topics as
// plain state: what each shows when it opens and the command lines its OK
// builds. The window front-end only shows these states and reads them back.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/fit_catalogue.h"
#include "ui/lines.h"

namespace verto::ui {

// What the dialogs read from the workspace when they open.
struct WorkspaceView {
  int form = 5;
  int variable = 1;  // 1 X, 2 Y, 3 S (Z in form 7)
  int Npts = 0;
  int Nline = 0;
  int Num_columns = 1;
};

// The trailing blanks of a text cut off (a field with no width limit).
std::string trimmed(std::string_view text);

// ---- Fit Function ----
// The model list shows the catalogue's models at their dialog positions
// 1..kFitModelCount; names, formulas and command words are theirs.

enum class LineOutput { SubtractFit, NoLine, Replace, Add };

struct FitDialog {
  int model = 1;              // 1..14: the catalogue's dialog position
  std::string parameter = "1";
  bool fix_fwhm = false;
  std::string x1, x2;         // two Gaussian peaks
  LineOutput output = LineOutput::Replace;
  bool data_limits = false;   // "Data limits" instead of "Rounded numbers"
  std::string from = "1", to = "N";
};

// The presets of an opening with the remembered model.
FitDialog open_fit_dialog(int remembered_model);
// The entry of the model list at a position.
std::string_view fit_model_name(int model);
// The parameter box label: "n=", "p=", "FWHM=" or blank (box disabled).
std::string_view fit_parameter_label(int model, bool fix_fwhm);
bool fit_is_peak_model(int model);  // "Fix FWHM" enabled
bool fit_has_peak_positions(int model);  // "x1=" and "x2=" enabled
// "Data limits" is dropped by both no-line outputs, so it is disabled then.
bool fit_data_limits_enabled(LineOutput output);
// Three short formula lines for the model.
std::array<std::string_view, 3> fit_formula(int model);
QueuedLines fit_lines(const FitDialog& d);

// ---- Math ----
enum class MathData { Points, Line, Columns };

constexpr int kMathHistory = 20;
constexpr int kMathFunctionLength = 65;

// What the Math dialog remembers between openings.
struct MathMemory {
  std::string function = "Y=X";
  std::string from = "1", to = "N";
  MathData data = MathData::Points;
  bool relative = false;
  std::vector<std::string> history;  // newest first, at most 20
};

struct MathDialog {
  std::string function;
  std::vector<std::string> history;
  std::string from, to;
  MathData data = MathData::Points;
  bool relative = false;
};

// Puts the remembered text at the top of the history (unless it is there
// already) and presets the dialog from the memory.
MathDialog open_math_dialog(MathMemory& memory);
// OK: remembers the dialog's values and builds the line.
QueuedLines accept_math_dialog(MathMemory& memory, const MathDialog& d);
QueuedLines math_lines(const MathDialog& d);
QueuedLines math_help_lines();

// ---- Normalize ----
struct NormalizeDialog {
  int variable = 2;  // 1 X, 2 Y, 3 S
  bool specific_point = false;
  std::string point = "1";
  std::string value = "1.0";
  bool line_data = false;
  std::string from = "1", to = "N";
};
QueuedLines normalize_lines(const NormalizeDialog& d);

// ---- Average Data ----
struct AverageDialog {
  bool standard_deviation = false;
  std::string delta_x;
  bool discard = false;
  std::string d = "2.5";
};
bool average_error_bars_enabled(int form);  // not in form 4
QueuedLines average_lines(const AverageDialog& d);

// ---- Smooth ----
struct SmoothDialog {
  std::string window = "1.0";
  bool median = false;
};
QueuedLines smooth_lines(const SmoothDialog& d);

// ---- Sum Y Values ----
QueuedLines sum_lines(std::string_view delta_x);

// ---- Sort ----
struct SortDialog {
  int variable = 1;
  bool descending = false;
};
SortDialog open_sort_dialog(const WorkspaceView& ws);
QueuedLines sort_lines(const SortDialog& d, int form);

// ---- Swap Columns ----
struct SwapDialog {
  std::string first = "X", second = "Y";
  bool line_data = false;
};
SwapDialog open_swap_dialog(const WorkspaceView& ws);
QueuedLines swap_lines(const SwapDialog& d);

// ---- Format ----
struct FormatDialog {
  int form = 5;
  int variable = 1;
  std::string columns;  // 5 characters
};
FormatDialog open_format_dialog(const WorkspaceView& ws);
QueuedLines format_lines(const FormatDialog& d, int current_columns);

// ---- Help Topics ----
constexpr int kHelpTopicCount = 27;
extern const std::array<std::string_view, kHelpTopicCount> kHelpTopics;
QueuedLines help_topic_lines(std::string_view topic);

}  // namespace verto::ui
