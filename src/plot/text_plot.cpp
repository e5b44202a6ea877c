#include "plot/text_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/console.h"
#include "core/format.h"

namespace verto::plot {

namespace {

constexpr std::string_view kRuler =
    "| . . . . . . . | . . . . . . . | . . . . . . . | . . . . . . . |";
static_assert(kRuler.size() == kTextColumns);

char set_letter(int set) {
  switch (set) {
    case 1: return 'O';
    case 2: return 'X';
    case 3: return '*';
    case 4: return 'V';
    default: return '#';
  }
}

class Cells {
 public:
  Cells(const PlotModel& m, TextGrid& g)
      : g_(g), xmin_(m.x.min), ymin_(m.y.min),
        dx_((m.x.max - m.x.min) / 64.f), dy_((m.y.max - m.y.min) / 20.f) {}

  // Column and row of a value (truncated, from 1); false when the value
  // falls outside every cell that can be represented.
  bool column(float x, int& c) const { return index(x, xmin_, dx_, c); }
  bool row(float y, int& r) const { return index(y, ymin_, dy_, r); }

  void set(int c, int r, char ch) {
    if (c < 1 || c > kTextColumns || r < 1 || r > kTextRows) return;
    g_.rows[r - 1][c - 1] = ch;
  }

 private:
  static bool index(float v, float lo, float step, int& out) {
    const float f = (v - lo) / step + 1.f;
    if (!(f > -1000.f && f < 1000.f)) return false;
    out = static_cast<int>(f);  // truncation, as the cell rule says
    return true;
  }
  TextGrid& g_;
  float xmin_, ymin_, dx_, dy_;
};

char slope_char(float s) {
  if (std::fabs(s) > 2.f) return '|';
  if (s > 0.5f) return '/';
  if (s <= -0.5f) return '\\';
  return '-';
}

}  // namespace

void draw_text_grid(const PlotModel& m, TextGrid& g) {
  for (int r = 1; r <= kTextRows; ++r) {
    std::string& row = g.rows[r - 1];
    if (r == 1 || r == kTextRows) {
      row = kRuler;
    } else if (r % 2 == 0) {
      row.assign(kTextColumns, ' ');
    } else {
      row.assign(kTextColumns, ' ');
      row.front() = row.back() = r == 11 ? '-' : '.';
    }
  }
  Cells cells(m, g);

  // The line first, so that the points stand on top of it.
  for (std::size_t k = 1; k < m.line.size(); ++k) {
    const PlotLinePoint& a = m.line[k - 1];
    const PlotLinePoint& b = m.line[k];
    if (b.starts_segment) continue;
    int c1, r1, c2, r2;
    if (!cells.column(a.u, c1) || !cells.row(a.v, r1) || !cells.column(b.u, c2) ||
        !cells.row(b.v, r2))
      continue;
    const int n = std::max(std::abs(c2 - c1), std::abs(r2 - r1));
    if (c1 == c2) {
      if (std::abs(r2 - r1) <= 1) continue;
      if (a.u == b.u) {
        // A vertical step: a run of "|" from one row to the other.
        for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r) cells.set(c1, r, '|');
        continue;
      }
    }
    const float s = c1 == c2 ? 9999.f
                             : static_cast<float>(r2 - r1) / static_cast<float>(c2 - c1);
    const char ch = slope_char(s);
    const float step = (b.u - a.u) / static_cast<float>(n);
    const float slope = (b.v - a.v) / (b.u - a.u);
    for (int i = 0; i <= n; ++i) {
      const float x = a.u + static_cast<float>(i) * step;
      int c, r;
      if (cells.column(x, c) && cells.row(a.v + (x - a.u) * slope, r)) cells.set(c, r, ch);
    }
  }

  for (const PlotPoint& p : m.points) {
    int c, r;
    if (!cells.column(p.u, c)) continue;
    if (p.bar) {
      int lo, hi;
      if (cells.row(p.bar_lo, lo) && cells.row(p.bar_hi, hi)) {
        if (lo > hi) std::swap(lo, hi);
        for (int rr = std::max(lo, 1); rr <= std::min(hi, kTextRows); ++rr) cells.set(c, rr, '|');
      }
    }
    if (cells.row(p.v, r)) cells.set(c, r, set_letter(p.set));
  }
}

void print_text_plot(Console& con, std::string_view line80, const PlotModel& m) {
  write_free(con, {line80});
  TextGrid g;
  draw_text_grid(m, g);
  con.record("");
  con.record("");
  const float ymin = m.y.min, ymax = m.y.max;
  write_formatted(con, "(1X,F9.3,1X,A65)", {static_cast<double>(ymax), g.rows[20]});
  const std::string pad(11, ' ');
  for (int r = 20; r >= 2; --r) {
    if (r == 11)
      write_formatted(con, "(1X,F9.3,1X,A65)",
                      {static_cast<double>((ymax + ymin) / 2.f), g.rows[10]});
    else
      con.record(pad + g.rows[r - 1]);
  }
  write_formatted(con, "(1X,F9.3,1X,A65)", {static_cast<double>(ymin), g.rows[0]});
  write_formatted(con, "(6X,F9.3,21X,F9.3,22X,F9.3)",
                  {static_cast<double>(m.x.min), static_cast<double>((m.x.min + m.x.max) / 2.f),
                   static_cast<double>(m.x.max)});
}

}  // namespace verto::plot
