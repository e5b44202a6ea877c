#pragma once
// The PLOT and LEG commands.
#include <string_view>

namespace verto {

struct Session;

// PLOT: builds the plot line (plot mode string, typed qualifiers, marker
// lists) and plots: the character plot with /T, a plot file with /P
// (/PS for PostScript), else the screen.
void cmd_plot(Session& s);
// LEG: the legend window (keep mode from the first argument character).
void cmd_legend(Session& s);

// Plots with a prepared 70-character upper-case PLOT line and the given
// form, as the PLOT command does after building its line.
void run_plot(Session& s, std::string_view plot_line, int form);

extern const char* const kNoPlotWindowMessage;
extern const char* const kNoLegendWindowMessage;

}  // namespace verto
