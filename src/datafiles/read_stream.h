#pragma once
// The record loop of READ: one open data file into the XYS data set or the
// column worksheet. Kept apart from the command so that tests and the fuzz
// target can feed it any stream.
#include <cstdio>

namespace verto {

struct Session;

struct ReadPlan {
  int form = 3;       // 0..7: decides where the values of a record go
  int values = 0;     // values per record in forms 0, 5 and 6
  int xcol = 0;       // form 0: 1-based record positions of X, Y, S (0: none)
  int ycol = 0;
  int scol = 0;
  int first_row = 0;  // forms 5 and 6: worksheet rows before the read
};

// Reads records until the end of the file: points are appended after
// Npts; worksheet rows after plan.first_row + rows, counting up `rows`.
// Returns false (after a message) when the capacity of 50000 stopped it
// with data left in the file.
bool read_stream(Session& s, std::FILE* file, const ReadPlan& plan, int& rows);

}  // namespace verto
