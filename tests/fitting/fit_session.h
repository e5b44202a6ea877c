#pragma once
// A session with points put straight into the workspace, for the tests of
// FIT and REGRESS: run a command line, read back the console lines.
#include <cmath>
#include <string>
#include <vector>

#include "workspace/dispatch.h"
#include "workspace/memory_console.h"
#include "workspace/session.h"
#include "workspace/system.h"

namespace verto::test {

struct FitSession {
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys};

  FitSession() { s.ws.form = 3; }

  void set_points(const std::vector<float>& x, const std::vector<float>& y,
                  const std::vector<float>& err = {}) {
    for (std::size_t i = 0; i < x.size(); ++i) {
      s.ws.X[i] = x[i];
      s.ws.Y[i] = y[i];
      s.ws.S[i] = err.empty() ? 0.f : err[i];
    }
    s.ws.Npts = static_cast<int>(x.size());
  }

  // Runs one command line and returns the console lines it wrote after
  // the echo of the line (which marks written over the current line land
  // on, as they do on a terminal).
  std::vector<std::string> run(const std::string& line) {
    con.clear();
    con.record(">" + line);
    dispatch(s, line);
    std::vector<std::string> out = con.lines();
    out.erase(out.begin());
    return out;
  }

  // The reals of the first line that starts with `prefix` (after the
  // leading blank), read from the text that follows it.
  std::vector<double> numbers_after(const std::vector<std::string>& lines,
                                    const std::string& prefix) const {
    for (const auto& l : lines) {
      if (l.rfind(" " + prefix, 0) != 0) continue;
      std::vector<double> out;
      const char* p = l.c_str() + prefix.size() + 1;
      while (*p) {
        char* end = nullptr;
        double v = std::strtod(p, &end);
        if (end == p) {
          ++p;
          continue;
        }
        out.push_back(v);
        p = end;
      }
      return out;
    }
    return {};
  }
};

}  // namespace verto::test
