#include "support/session_fixture.h"

#include "core/dispatch.h"
#include "core/parsers.h"

namespace verto::testing {

std::vector<std::string> SessionFixture::run(std::string_view line) {
  con.clear();
  con.record(">" + std::string(line));
  dispatch(s, line);
  return {con.lines().begin() + 1, con.lines().end()};
}

std::string SessionFixture::run_screen(std::string_view line) {
  con.clear();
  dispatch(s, line);
  std::string out;
  for (const std::string& l : con.lines()) {
    if (!out.empty()) out += '\n';
    out += trim_right(l);
  }
  return out;
}

void SessionFixture::add_point(float x, float y, float err) {
  ws.X[ws.Npts] = x;
  ws.Y[ws.Npts] = y;
  ws.S[ws.Npts] = err;
  ++ws.Npts;
}

void SessionFixture::add_line_point(float x, float y, float z) {
  ws.LX[ws.Nline] = x;
  ws.LY[ws.Nline] = y;
  ws.LZ[ws.Nline] = z;
  ++ws.Nline;
}

}  // namespace verto::testing
