#include "datafiles/read_stream.h"

#include <algorithm>

#include "datafiles/reader.h"
#include "core/records.h"
#include "core/capacity.h"
#include "core/session.h"

namespace verto {

namespace {

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
        report_capacity(s.con, "rows", "the rest of the file was not read");
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
  if (plan.form == 0) {
    n = plan.values;
    if (plan.xcol > 0) arrays[plan.xcol - 1] = ws.X.data();
    if (plan.ycol > 0) arrays[plan.ycol - 1] = ws.Y.data();
    if (plan.scol > 0) arrays[plan.scol - 1] = ws.S.data();
  } else {
    n = point_arrays(ws, plan.form, arrays);
  }
  if (n <= 0) return true;

  for (;;) {
    if (ws.Npts >= kMaxNpts) {
      if (!more_records(reader, n)) return true;
      report_capacity(s.con, "points", "the rest of the file was not read");
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
