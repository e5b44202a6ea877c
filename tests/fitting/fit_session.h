#pragma once
// The session of the FIT and REGRESS tests: the shared session fixture in
// form 3, with points put straight into the workspace and the numbers of
// an output line read back.
#include <cmath>
#include <string>
#include <vector>

#include "support/session_fixture.h"

namespace verto::test {

struct FitSession : testing::SessionFixture {
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
