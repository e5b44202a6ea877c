#pragma once
// The character plot of PLOT/T: a grid of 21 rows by 65 columns printed in
// the console, with rulers, slope characters for the line, one letter per
// symbol set, "|" error bars and nine-character labels.
#include <array>
#include <string>
#include <string_view>

#include "plot/model.h"

namespace verto {
class Console;
}

namespace verto::plot {

constexpr int kTextRows = 21;
constexpr int kTextColumns = 65;

struct TextGrid {
  // rows[0] is row 1 (the bottom); rows[20] is the top line, which starts
  // as the ruler and takes what falls on the Y maximum.
  std::array<std::string, kTextRows> rows;
};

// Fills the grid from a model built for the character plot.
void draw_text_grid(const PlotModel& model, TextGrid& grid);

// Echoes the plot line and prints the grid with its labels.
void print_text_plot(Console& con, std::string_view line80, const PlotModel& model);

}  // namespace verto::plot
