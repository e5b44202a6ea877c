#include "plot/messages.h"

#include <string>

#include "core/console.h"
#include "core/format.h"

namespace verto::plot {

void print_output_written(Console& con, std::string_view name) {
  std::string text = "Output written to " + std::string(name);
  text.resize(80, ' ');
  write_formatted(con, "(1X,A75)", {text});
}

void print_cannot_open(Console& con, std::string_view name) {
  con.record("<<<VERTO!!!>>> Can not open plot file " + std::string(name));
}

void print_not_written_completely(Console& con, std::string_view name) {
  con.record("<<<VERTO!!!>>> Plot file " + std::string(name) + " could not be written completely!");
}

void print_log_of_negative(Console& con) {
  write_free(con, {"<<<VERTO!!!>>> Can not produce log plot of negative values!"});
}

}  // namespace verto::plot
