// Feeds arbitrary bytes as the content of a data file to the free-format
// record reader, the automatic column scan and the record loop of READ.
// The first byte chooses the form and the values per record; the rest is
// the file. Streams live in memory: nothing touches the file system.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/command_table.h"
#include "datafiles/read_stream.h"
#include "datafiles/reader.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace {

std::FILE* open_bytes(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return nullptr;
  return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
}

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const unsigned choice = data[0];
  ++data;
  --size;
  const int n = 1 + static_cast<int>(choice % 9);

  // Records: every value a record gives is finite.
  if (std::FILE* f = open_bytes(data, size)) {
    verto::RecordReader reader(f);
    float v[verto::kMaxRecordValues];
    for (int guard = 0; guard < 100000; ++guard) {
      for (int k = 0; k < n; ++k) v[k] = 0.f;
      if (!reader.next(v, n)) break;
      for (int k = 0; k < n; ++k) check(std::isfinite(v[k]));
    }
    std::fclose(f);
  }

  // The column scan, on the whole stream and on each line.
  if (std::FILE* f = open_bytes(data, size)) {
    int columns = verto::auto_columns(f);
    check(columns >= 0 && columns <= static_cast<int>(verto::kScanLineLength));
    std::rewind(f);
    verto::LineReader lines(f);
    std::string_view line;
    bool cut;
    while (lines.next(line, cut)) {
      int c = verto::count_fields(line);
      check(c >= 0 && c <= static_cast<int>(verto::kScanLineLength));
    }
    std::fclose(f);
  }

  // The record loop of READ into the data sets.
  static verto::MemoryConsole con;
  static verto::InertSystemServices sys;
  static verto::Session s(con, sys, verto::command_table());
  con.set_discard(true);
  s.ws.Npts = static_cast<int>((choice * 977u) % 3u == 0 ? verto::kMaxNpts - 3 : 0);
  s.ws.Mpts = s.ws.Npts;
  s.ws.variable = 1 + static_cast<int>(choice % 3);
  if (std::FILE* f = open_bytes(data, size)) {
    verto::ReadPlan plan;
    plan.form = static_cast<int>((choice >> 4) % 8);
    plan.values = plan.form == 0 ? n + 3 : n;
    plan.xcol = plan.form == 0 ? 1 + static_cast<int>(choice % 4) : 0;
    plan.ycol = plan.form == 0 ? n + 3 : 0;
    plan.first_row = s.ws.Mpts;
    int rows = 0;
    verto::read_stream(s, f, plan, rows);
    std::fclose(f);
    check(s.ws.Npts >= 0 && s.ws.Npts <= verto::kMaxNpts);
    check(rows >= 0 && plan.first_row + rows <= verto::kMaxNpts);
  }
  return 0;
}
