#pragma once
// Plot files: VERTO1.HPG ... VERTO9.HPG, then VERTOA.HPG ... VERTOZ.HPG
// (".PS" for PostScript) in a directory. An existing file is never
// overwritten, except the first name under /OVER.
#include <filesystem>
#include <string>

#include "plot/model.h"

namespace verto::plot {

constexpr int kPlotFileNames = 35;


// The n-th plot-file name (n from 0): "VERTO" + '1'..'9', 'A'..'Z' + ext.
std::string plot_file_name(int n, bool postscript);

enum class FileStatus { Written, NoFreeName, CannotOpen, WriteFailed };

struct FileResult {
  FileStatus status;
  std::string name;  // the file written (or the one that failed)
};

// Writes the model as an HPGL file (or PostScript with `postscript`) into
// `dir` under the first free name (the first name with `over`, written
// over in place and cut to its new length).
FileResult write_plot_file(const PlotModel& model, bool postscript, bool over,
                           bool background, const std::filesystem::path& dir);

}  // namespace verto::plot
