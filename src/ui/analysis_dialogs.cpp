#include "ui/analysis_dialogs.h"

#include <algorithm>

namespace verto::ui {

namespace {

constexpr bool kKeep = true, kDiscard = false;

// The catalogue's record of a place in the model list.
const ModelInfo& model_at(int model) {
  return model_at_dialog_position(std::clamp(model, 1, kFitModelCount));
}

std::string range(std::string_view from, std::string_view to) {
  return trimmed(from) + ":" + trimmed(to);
}

char letter(int variable, int form) {
  switch (variable) {
    case 1: return 'X';
    case 2: return 'Y';
    default: return form == 7 ? 'Z' : 'S';
  }
}

}  // namespace

const std::array<std::string_view, kHelpTopicCount> kHelpTopics = {
    "ADD",       "AVERAGE",        "CD",     "CLEAR",          "CLS",    "D",
    "DD",        "DIR",            "FFT",    "FIT",            "FORM",   "LINE",
    "LEGEND",    "LIST",           "MARK",   "math commands",  "LABEL",  "NORMALIZE",
    "other commands", "PORT",      "PLOT",   "REGRESS",        "SET",    "SMOOTH",
    "SWAP",      "WRITE",          "evil, using Verto for"};

std::string trimmed(std::string_view text) { return field(text, static_cast<int>(text.size())); }

// ---- Fit Function ----

FitDialog open_fit_dialog(int remembered_model) {
  FitDialog d;
  d.model = std::clamp(remembered_model, 1, kFitModelCount);
  return d;
}

std::string_view fit_model_name(int model) { return model_at(model).dialog_name; }
bool fit_is_peak_model(int model) { return model_at(model).peak; }
bool fit_has_peak_positions(int model) { return model_at(model).positions; }

std::string_view fit_parameter_label(int model, bool fix_fwhm) {
  switch (model_at(model).parameter) {
    case FitParameter::Order: return "n=";
    case FitParameter::Power: return "p=";
    case FitParameter::Width: return fix_fwhm ? "FWHM=" : "";
    case FitParameter::None: break;
  }
  return "";
}

bool fit_data_limits_enabled(LineOutput output) {
  return output == LineOutput::Replace || output == LineOutput::Add;
}

std::array<std::string_view, 3> fit_formula(int model) { return model_at(model).formula; }

QueuedLines fit_lines(const FitDialog& d) {
  const ModelInfo& m = model_at(d.model);
  std::string line = d.data_limits ? "Fit/D/" : "Fit/";
  switch (d.output) {
    case LineOutput::NoLine: line = "Fit/NL/"; break;
    case LineOutput::SubtractFit: line = "Fit/SUB/"; break;
    case LineOutput::Add: line += "ADD/"; break;
    case LineOutput::Replace: break;
  }
  line += range(d.from, d.to);
  line += " ";
  line += m.command_word;
  if (m.parameter == FitParameter::Order || m.parameter == FitParameter::Power)
    line += "=" + trimmed(d.parameter);
  if (m.parameter == FitParameter::Width && d.fix_fwhm) line += "=" + trimmed(d.parameter);
  if (m.positions) line += " " + trimmed(d.x1) + "," + trimmed(d.x2);
  return one_line(std::move(line), kDiscard);
}

// ---- Math ----

MathDialog open_math_dialog(MathMemory& memory) {
  auto& h = memory.history;
  if (h.empty() || h.front() != memory.function) {
    h.insert(h.begin(), memory.function);
    if (h.size() > static_cast<std::size_t>(kMathHistory)) h.resize(kMathHistory);
  }
  return {memory.function, h, memory.from, memory.to, memory.data, memory.relative};
}

QueuedLines math_lines(const MathDialog& d) {
  std::string line = d.data == MathData::Points ? "Math" : "Math/line";
  if (d.relative) line += "/J";
  line += "/" + range(d.from, d.to) + " " + field(d.function, kMathFunctionLength);
  return one_line(std::move(line), kDiscard);
}

QueuedLines accept_math_dialog(MathMemory& memory, const MathDialog& d) {
  memory.function = field(d.function, kMathFunctionLength);
  memory.from = d.from;
  memory.to = d.to;
  memory.data = d.data;
  memory.relative = d.relative;
  return math_lines(d);
}

QueuedLines math_help_lines() { return one_line("Help math", kDiscard); }

// ---- Normalize ----

QueuedLines normalize_lines(const NormalizeDialog& d) {
  std::string line = d.line_data ? "Norm/line/" : "Norm/";
  line += range(d.from, d.to);
  if (d.specific_point) line += " I=" + trimmed(d.point);
  line += std::string(" ") + letter(std::clamp(d.variable, 1, 3), 0) + "=" + trimmed(d.value);
  return one_line(std::move(line), kKeep);
}

// ---- Average Data, Smooth, Sum ----

bool average_error_bars_enabled(int form) { return form != 4; }

QueuedLines average_lines(const AverageDialog& d) {
  std::string line = "Average";
  if (d.standard_deviation) line += "/sd";
  if (d.discard) line += "/D=" + trimmed(d.d);
  line += " " + full_field(d.delta_x, 10);
  return one_line(std::move(line), kKeep);
}

QueuedLines smooth_lines(const SmoothDialog& d) {
  return one_line((d.median ? "Smooth/M " : "Smooth/G ") + trimmed(d.window), kKeep);
}

QueuedLines sum_lines(std::string_view delta_x) {
  return one_line("Average/sum" + full_field(delta_x, 10), kKeep);
}

// ---- Sort, Swap ----

SortDialog open_sort_dialog(const WorkspaceView& ws) {
  return {std::clamp(ws.variable, 1, 3), false};
}

QueuedLines sort_lines(const SortDialog& d, int form) {
  return one_line(std::string(d.descending ? "Sort/D " : "Sort ") +
                      letter(std::clamp(d.variable, 1, 3), form),
                  kKeep);
}

SwapDialog open_swap_dialog(const WorkspaceView& ws) {
  SwapDialog d;
  if (ws.form == 2) d.second = "S";
  return d;
}

QueuedLines swap_lines(const SwapDialog& d) {
  return one_line(std::string(d.line_data ? "SWAP/LINE" : "SWAP") + " " + trimmed(d.first) +
                      "=" + trimmed(d.second),
                  kDiscard);
}

// ---- Format ----

FormatDialog open_format_dialog(const WorkspaceView& ws) {
  return {std::clamp(ws.form, 0, 7), std::clamp(ws.variable, 1, 3),
          std::to_string(ws.Num_columns)};
}

QueuedLines format_lines(const FormatDialog& d, int current_columns) {
  const int form = std::clamp(d.form, 0, 7);
  QueuedLines q;
  q.keep_typed = kKeep;
  q.lines.push_back(std::string("Form ") + static_cast<char>('0' + form) + "  " +
                    letter(std::clamp(d.variable, 1, 3), form));
  // Only a one-digit column count that differs from the worksheet's is set.
  const std::string columns = field(d.columns, 5);
  const std::size_t first = columns.find_first_not_of(' ');
  if (first != std::string::npos && first + 1 == columns.size() && columns[first] >= '0' &&
      columns[first] <= '9' && columns[first] - '0' != current_columns) {
    q.lines.push_back("Set C=" + columns);
  }
  return q;
}

// ---- Help Topics ----

QueuedLines help_topic_lines(std::string_view topic) {
  const std::string t = field(topic, 25);
  if (t.starts_with("evil")) {
    return {{"echo VERTO! Help", "echo Using Verto for evil", "echo ",
             "echo Notice: this program is meant for honest data only. Fitting",
             "echo the data to the answer, smoothing away the awkward points or",
             "echo plotting on whatever scale hides the noise voids the warranty",
             "echo and summons the referee. Use Verto for good.", "echo "},
            kKeep};
  }
  if (t.starts_with("LEG")) {
    return {{"echo VERTO! Help", "echo ", "echo LEGEND [0]", "echo ",
             "echo Opens a separate Plot legend window. Press k to keep, or any",
             "echo other key to close. With 0 option window is automatically kept.", "echo "},
            kKeep};
  }
  return one_line("Help " + t, kKeep);
}

}  // namespace verto::ui
