#pragma once
// A whole session for command tests: the workspace can be filled directly,
// then command lines run as the command loop runs them (the typed line is
// on the screen first, so activity marks land on it), with answers to
// prompts queued in the memory console.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_table.h"
#include "core/dispatch.h"
#include "core/memory_console.h"
#include "core/session.h"
#include "core/system.h"

namespace verto::testing {

class CommandSession {
 public:
  MemoryConsole con;
  InertSystemServices sys;
  Session s{con, sys, verto::command_table()};

  // Runs one line with the given answers to its prompts; returns the
  // screen lines it wrote after the typed line, trailing blanks removed.
  std::vector<std::string> run(std::string_view line,
                               std::initializer_list<std::string> answers = {}) {
    con.clear();
    for (const auto& a : answers) con.add_input(a);
    con.record(">" + std::string(line));
    dispatch(s, line);
    std::vector<std::string> out;
    for (std::size_t i = 1; i < con.lines().size(); ++i) {
      std::string l = con.lines()[i];
      while (!l.empty() && l.back() == ' ') l.pop_back();
      out.push_back(l);
    }
    return out;
  }

  // Sets points 1..n of the XYS data set (and Npts = n); missing arrays
  // are left as they are.
  void points(const std::vector<float>& x, const std::vector<float>& y = {},
              const std::vector<float>& z = {}) {
    Workspace& ws = s.ws;
    ws.Npts = static_cast<int>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) ws.X[i] = x[i];
    for (std::size_t i = 0; i < y.size(); ++i) ws.Y[i] = y[i];
    for (std::size_t i = 0; i < z.size(); ++i) ws.S[i] = z[i];
  }
  void line_points(const std::vector<float>& x, const std::vector<float>& y = {},
                   const std::vector<float>& z = {}) {
    Workspace& ws = s.ws;
    ws.Nline = static_cast<int>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) ws.LX[i] = x[i];
    for (std::size_t i = 0; i < y.size(); ++i) ws.LY[i] = y[i];
    for (std::size_t i = 0; i < z.size(); ++i) ws.LZ[i] = z[i];
  }
  // Column `col` (1..9) of the worksheet from row 1; Mpts is not changed.
  void column(int col, const std::vector<float>& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
      s.ws.column(static_cast<int>(i) + 1, col) = values[i];
  }
  // The form as FORM selects it: form 7 names the third array Z.
  void form(int f) {
    s.ws.form = f;
    const char third = f == 7 ? 'Z' : 'S';
    s.ws.variable_letters[2] = third;
    s.expr.third_name = third;
  }

  std::vector<float> xs(int n) const { return {s.ws.X.begin(), s.ws.X.begin() + n}; }
  std::vector<float> ys(int n) const { return {s.ws.Y.begin(), s.ws.Y.begin() + n}; }
  std::vector<float> ss(int n) const { return {s.ws.S.begin(), s.ws.S.begin() + n}; }
  std::vector<float> col(int c, int n) {
    std::vector<float> out;
    for (int i = 1; i <= n; ++i) out.push_back(s.ws.column(i, c));
    return out;
  }
};

}  // namespace verto::testing
