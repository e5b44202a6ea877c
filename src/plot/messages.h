#pragma once
// The messages every kind of plot prints the same way.
#include <string_view>

namespace verto {
class Console;
}

namespace verto::plot {

// " Output written to NAME", the name of the file a plot went to.
void print_output_written(Console& con, std::string_view name);
// A plot file (or picture) that could not be created, or was cut short.
void print_cannot_open(Console& con, std::string_view name);
void print_not_written_completely(Console& con, std::string_view name);
// A log axis asked for with values at or below zero.
void print_log_of_negative(Console& con);

}  // namespace verto::plot
