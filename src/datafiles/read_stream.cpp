#include "datafiles/read_stream.h"

#include <algorithm>
#include <string>

#include "datafiles/reader.h"
#include "workspace/console.h"
#include "workspace/session.h"

namespace verto {

namespace {

void capacity_message(Console& con, const char* what) {
  con.record(std::string("<<<VERTO!!!>>> Capacity of ") + std::to_string(kMaxNpts) + " " + what +
             " reached; the rest of the file was not read.");
}

// True when the file still holds a record (checked once the arrays are full).
bool more_records(RecordReader& reader, int n) {
  float scratch[kMaxRecordValues] = {};
  return reader.next(scratch, n);
}

}  // namespace

bool read_stream(Session& s, std::FILE* file, const ReadPlan& plan, int& rows) {
  Workspace& ws = s.ws;
  RecordReader reader(file);
  float v[kMaxRecordValues] = {};

  if (plan.form == 5 || plan.form == 6) {
    const int n = std::min(plan.values, kMaxColumns);
    if (n <= 0) return true;
    for (;;) {
      const int row = plan.first_row + rows + 1;
      if (row > kMaxNpts) {
        if (!more_records(reader, n)) return true;
        capacity_message(s.con, "rows");
        return false;
      }
      float* dest = &ws.column(row, 1);
      if (!reader.next(dest, n)) return true;
      ++rows;
    }
  }

  // Where each value of a record goes: the arrays, in record order.
  float* arrays[kMaxRecordValues] = {};
  int n = 0;
  switch (plan.form) {
    case 0:
      n = plan.values;
      if (plan.xcol > 0) arrays[plan.xcol - 1] = ws.X.data();
      if (plan.ycol > 0) arrays[plan.ycol - 1] = ws.Y.data();
      if (plan.scol > 0) arrays[plan.scol - 1] = ws.S.data();
      break;
    case 1:
      n = 1;
      arrays[0] = ws.variable == 2 ? ws.Y.data() : ws.variable == 3 ? ws.S.data() : ws.X.data();
      break;
    case 2:
      n = 2;
      arrays[0] = ws.X.data();
      arrays[1] = ws.S.data();
      break;
    case 3:
      n = 2;
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      break;
    default:  // 4 and 7
      n = 3;
      arrays[0] = ws.X.data();
      arrays[1] = ws.Y.data();
      arrays[2] = ws.S.data();
      break;
  }
  if (n <= 0) return true;

  for (;;) {
    if (ws.Npts >= kMaxNpts) {
      if (!more_records(reader, n)) return true;
      capacity_message(s.con, "points");
      return false;
    }
    const int i = ws.Npts;
    for (int k = 0; k < n; ++k)
      if (arrays[k]) v[k] = arrays[k][i];
    if (!reader.next(v, n)) return true;
    for (int k = 0; k < n; ++k)
      if (arrays[k]) arrays[k][i] = v[k];
    ++ws.Npts;
  }
}

}  // namespace verto
