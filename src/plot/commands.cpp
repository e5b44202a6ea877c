#include "plot/commands.h"

#include <string>

#include "plot/messages.h"
#include "plot/model.h"
#include "plot/options.h"
#include "plot/plot_file.h"
#include "plot/screen.h"
#include "plot/text_plot.h"
#include "core/console.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/session.h"
#include "core/session_record.h"
#include "core/window_services.h"

namespace verto {

const char* const kNoPlotWindowMessage =
    "<<<VERTO!!!>>> No plot window in this session; use PLOT/T, PLOT/PRINT or PLOT/PS.";
const char* const kNoLegendWindowMessage =
    "<<<VERTO!!!>>> No plot window in this session; the legend window is not available.";

namespace {

void file_plot(Session& s, const plot::PlotOptions& opt) {
  plot::PlotModel model;
  if (plot::build_model(s.ws, opt, plot::Purpose::Graphics, model) !=
      plot::ModelStatus::Ok) {
    plot::print_log_of_negative(s.con);
    return;
  }
  const plot::FileResult r =
      plot::write_plot_file(model, opt.postscript, opt.over, opt.background, ".");
  switch (r.status) {
    case plot::FileStatus::Written: {
      note_file(s, FileUse::Written, r.name);
      plot::print_output_written(s.con, r.name);
      return;
    }
    case plot::FileStatus::NoFreeName:
      s.con.record(std::string("<<<VERTO!!!>>> No free plot file name: ") +
                   plot::plot_file_name(0, opt.postscript) + " to " +
                   plot::plot_file_name(plot::kPlotFileNames - 1, opt.postscript) +
                   " all exist; use /OVER.");
      return;
    case plot::FileStatus::CannotOpen:
      plot::print_cannot_open(s.con, r.name);
      return;
    case plot::FileStatus::WriteFailed:
      plot::print_not_written_completely(s.con, r.name);
      return;
  }
}

}  // namespace

void run_plot(Session& s, std::string_view plot_line, int form) {
  std::string line80(plot_line.substr(0, kLineLength));
  line80.resize(plot::kPlotLineLength, ' ');
  const plot::PlotOptions opt = plot::parse_plot_options(line80, form);

  if (opt.text) {
    plot::PlotModel model;
    plot::build_model(s.ws, opt, plot::Purpose::Text, model);
    plot::print_text_plot(s.con, line80, model);
    return;
  }
  if (opt.file) {
    file_plot(s, opt);
    return;
  }
  // The screen plot draws through the window services; without them
  // nothing can be shown.
  if (s.window == nullptr) {
    s.con.record(kNoPlotWindowMessage);
    return;
  }
  plot::screen_plot(s, opt);
}

void cmd_plot(Session& s) {
  const std::string line = plot::build_plot_line(s.ws);
  run_plot(s, line, s.ws.form);
}

void cmd_legend(Session& s) {
  if (s.window == nullptr) {
    s.con.record(kNoLegendWindowMessage);
    return;
  }
  const int arg = argument_start(s.ws.upper);
  const char first = arg > 0 ? s.ws.upper[static_cast<std::size_t>(arg - 1)] : ' ';
  plot::legend_window(s, plot::legend_keep_mode(first));
}

}  // namespace verto
