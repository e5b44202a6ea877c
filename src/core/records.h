#pragma once
// One point of a data set as a free-format record, in the layout of a
// form: the lines that WRITE and the EDIT scratch file hold. A record is
// one leading blank and the values separated by blanks, each real written
// as the shortest text that reads back to the same single-precision value
// (append_real of core/numbers.h).
#include <string>

#include "core/numbers.h"

namespace verto {

struct Workspace;

// Point i (1-based) of the XYS data set in `form`: the current variable
// (form 1), X S (2), X Y (3), X Y S (4 and 7). Forms 0, 5 and 6 have no
// point layout: empty string.
std::string point_record(const Workspace& ws, int form, int i);
// The arrays that the values of a point record in `form` go to, in
// record order (the layout of point_record); returns how many, 0 for
// forms 0, 5 and 6.
int point_arrays(Workspace& ws, int form, float* arrays[3]);
// Line point i: LX LY, and LZ in form 7.
std::string line_record(const Workspace& ws, int form, int i);
// Worksheet row i with Num_columns values.
std::string row_record(const Workspace& ws, int i);

// The same records appended to `out` (no end of line), for writers that
// reuse one buffer: no allocation once `out` has grown.
void append_point_record(std::string& out, const Workspace& ws, int form, int i);
void append_line_record(std::string& out, const Workspace& ws, int form, int i);
void append_row_record(std::string& out, const Workspace& ws, int i);

}  // namespace verto
