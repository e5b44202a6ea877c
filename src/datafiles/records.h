#pragma once
// One point of a data set as a free-format record, in the layout of a
// form: the lines that WRITE and the EDIT scratch file hold.
#include <string>

namespace verto {

struct Workspace;

// Point i (1-based) of the XYS data set in `form`: X (1), X S (2), X Y (3),
// X Y S (4 and 7). Forms 0, 5 and 6 have no point layout: empty string.
std::string point_record(const Workspace& ws, int form, int i);
// Line point i: LX LY, and LZ in form 7.
std::string line_record(const Workspace& ws, int form, int i);
// Worksheet row i with Num_columns values.
std::string row_record(const Workspace& ws, int i);

}  // namespace verto
