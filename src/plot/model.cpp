#include "plot/model.h"

#include <algorithm>
#include <cmath>

#include "core/limits.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace verto::plot {

Symbol set_symbol(int set) {
  switch (set) {
    case 1: return Symbol::Square;
    case 2: return Symbol::Cross;
    case 3: return Symbol::TriangleUp;
    case 4: return Symbol::TriangleDown;
    default: return set >= 5 ? Symbol::Diamond : Symbol::None;
  }
}

namespace {

bool finite(float v) { return v - v == 0.f; }

float span_or_one(float lo, float hi) {
  const float d = hi - lo;
  return d == 0.f || !finite(d) ? 1.f : d;
}

// Screen colour of the symbol sets in drawing order: sets 1-4 have their
// own colours; sets from 5 on start at 7 and step on at every change of
// set among them (wrapping within the standard palette).
class SetColours {
 public:
  int next(int set) {
    if (set >= 1 && set <= 4) {
      colour_ = set_palette(set);
    } else if (set >= 5) {
      if (last_big_ == 0) {
        colour_ = 7;
      } else if (set != last_big_) {
        ++changes_;
        colour_ = 7 + changes_ % 9;
      }
      last_big_ = set;
    }
    return colour_;
  }

 private:
  int colour_ = 10;
  int last_big_ = 0;
  int changes_ = 0;
};

struct Limits {
  Axis x, y, z;
};

// Extents of points n1..n2 and the line, then decades, widening and
// rounding. False on a log axis with a lower extent <= 0.
bool compute_limits(const Workspace& ws, const PlotOptions& opt, Purpose purpose,
                    int n1, int n2, bool uses_z, Limits& lim) {
  const bool graphics = purpose == Purpose::Graphics;
  const bool xlog = graphics && opt.xlog;
  const bool ylog = graphics && opt.ylog;
  const bool zlog = graphics && opt.zlog && uses_z;
  Extent ex, ey, ez;
  const bool line_alone = graphics && ws.Npts == 0 && ws.Nline >= 1;
  if (!line_alone) {
    if (n2 < n1) {
      ex.add(0.f);
      ey.add(0.f);
      ez.add(0.f);
    } else {
      for (int i = n1; i <= n2; ++i) {
        const float x = ws.X[i - 1], y = ws.Y[i - 1], s = ws.S[i - 1];
        ex.add(x);
        if (opt.form == 4) {
          float lo = y - s;
          if (ylog && lo <= 0.f) lo = y;
          ey.add(y + s);
          ey.add(lo);
        } else {
          ey.add(y);
        }
        ez.add(s);
      }
    }
  }
  for (int i = 0; i < ws.Nline; ++i) {
    ex.add(ws.LX[i]);
    ey.add(ws.LY[i]);
    ez.add(ws.LZ[i]);
  }
  lim.x = {ex.min, ex.max, xlog};
  lim.y = {ey.min, ey.max, ylog};
  lim.z = {ez.min, ez.max, zlog};
  for (Axis* a : {&lim.x, &lim.y, &lim.z}) {
    if (a == &lim.z && !uses_z) continue;
    if (a->log && !to_decades(a->min, a->max)) return false;
  }
  const bool nice = graphics ? opt.nice : !opt.any_d;
  // Equal X or Y limits are widened so that the world window can be set.
  // Z never sets a world window: equal Z limits stay equal (a 3D view of
  // one Z level is that plane with a Z axis of zero height; a zero Z span
  // counts as 1 wherever Z is divided by it).
  for (Axis* a : {&lim.x, &lim.y, &lim.z}) {
    if (a != &lim.z) widen_equal(*a);
    if (nice && !a->log) round_limits(a->min, a->max);
  }
  return true;
}

float coord(float value, bool log) { return log ? std::log10(value) : value; }

// Oblique projection of the 3D view.
struct Projection {
  float ca, sa, cb, sb, fx = 1.f, fy = 1.f, fz = 1.f;
  void uv(float x, float y, float z, float& u, float& v) const {
    u = ca * fy * y + cb * fx * x;
    v = sa * fy * y + sb * fx * x + fz * z;
  }
};

void add_2d_frame(PlotModel& m) {
  axis_ticks(m.x, m.x_ticks);
  axis_ticks(m.y, m.y_ticks);
  m.labels.push_back({LabelSlot::XLeft, m.x.min, m.x.log});
  if (!m.x.log) m.labels.push_back({LabelSlot::XMiddle, (m.x.min + m.x.max) / 2.f, false});
  m.labels.push_back({LabelSlot::XRight, m.x.max, m.x.log});
  m.labels.push_back({LabelSlot::YBottom, m.y.min, m.y.log});
  if (!m.y.log) m.labels.push_back({LabelSlot::YMiddle, (m.y.min + m.y.max) / 2.f, false});
  m.labels.push_back({LabelSlot::YTop, m.y.max, m.y.log});
}

// Tick positions of one 3D axis: 11 from the origin to the maximum on a
// linear axis, 9 per decade on a log axis (decade ticks long).
void ticks_3d(const Axis& a, float origin, std::vector<Tick>& out) {
  if (!a.log) {
    for (int j = 0; j <= 10; ++j)
      out.push_back({origin + static_cast<float>(j) * (a.max - origin) / 10.f, false});
    return;
  }
  axis_ticks(a, out);
}

// Where the 3D axes meet: at 0 where the range holds it, else at the
// lower limit.
struct Origin {
  float x0 = 0.f, y0 = 0.f, z0 = 0.f;
};

// The oblique projection of form 7 for the model's limits and /THETA, and
// the origin of its axes.
Projection projection_3d(const PlotOptions& opt, const PlotModel& m, Origin& o) {
  Projection proj{};
  const float dX = span_or_one(m.x.min, m.x.max);
  const float dY = span_or_one(m.y.min, m.y.max);
  const float dZ = span_or_one(m.z.min, m.z.max);
  if (opt.nice) {
    proj.fy = dX / dY;
    proj.fz = dX / dZ;
    if (proj.fy > 0.6f && proj.fy < 1.66f) proj.fy = 1.f;
    if (proj.fz > 0.5f && proj.fz < 2.f) proj.fz = 1.f;
  }
  constexpr float kPi = 3.1415927f;
  const float a = opt.theta * kPi / 180.f;
  const float b = (opt.theta - 135.f) * kPi / 180.f;
  proj.ca = std::cos(a);
  proj.sa = std::sin(a);
  proj.cb = std::cos(b);
  proj.sb = std::sin(b);
  o.x0 = m.x.min <= 0.f && 0.f <= m.x.max ? 0.f : m.x.min;
  o.y0 = m.y.min <= 0.f && 0.f <= m.y.max ? 0.f : m.y.min;
  o.z0 = m.z.min <= 0.f && 0.f <= m.z.max && !m.z.log ? 0.f : m.z.min;
  return proj;
}

// World window: the projected corners of the box.
void world_window_3d(const Projection& proj, PlotModel& m) {
  bool first = true;
  for (float x : {m.x.min, m.x.max})
    for (float y : {m.y.min, m.y.max})
      for (float z : {m.z.min, m.z.max}) {
        float u, v;
        proj.uv(x, y, z, u, v);
        if (first) {
          m.umin = m.umax = u;
          m.vmin = m.vmax = v;
          first = false;
        }
        m.umin = std::min(m.umin, u);
        m.umax = std::max(m.umax, u);
        m.vmin = std::min(m.vmin, v);
        m.vmax = std::max(m.vmax, v);
      }
  if (!(m.umax > m.umin)) m.umax = m.umin + 1.f;
  if (!(m.vmax > m.vmin)) m.vmax = m.vmin + 1.f;
}

// The 3D frame: three axes from the origin, their ticks and letters.
void frame_3d(const PlotOptions& opt, const Projection& proj, const Origin& o, PlotModel& m) {
  const float x0 = o.x0, y0 = o.y0, z0 = o.z0;
  const float dZ = span_or_one(m.z.min, m.z.max);
  auto seg = [&](float xa, float ya, float za, float xb, float yb, float zb) {
    Segment s;
    proj.uv(xa, ya, za, s.u1, s.v1);
    proj.uv(xb, yb, zb, s.u2, s.v2);
    m.frame_3d.push_back(s);
  };
  seg(x0, y0, z0, m.x.max, y0, z0);
  seg(x0, y0, z0, x0, m.y.max, z0);
  seg(x0, y0, z0, x0, y0, m.z.max);
  const float t = 0.02f * dZ;
  std::vector<Tick> ticks;
  ticks_3d(m.x, x0, ticks);
  for (const Tick& k : ticks) {
    const float h = k.long_tick ? 2.f * t : t;
    seg(k.at, y0, z0 + h, k.at, y0, z0 - h);
  }
  ticks.clear();
  ticks_3d(m.y, y0, ticks);
  for (const Tick& k : ticks) {
    const float h = k.long_tick ? 2.f * t : t;
    seg(x0, k.at, z0 + h, x0, k.at, z0 - h);
  }
  ticks.clear();
  ticks_3d(m.z, z0, ticks);
  for (const Tick& k : ticks) {
    const float h = k.long_tick ? 2.f * t : t;
    seg(x0 - h, y0, k.at, x0 + h, y0, k.at);
  }
  const float off = std::trunc(2.2f * std::cos((135.f - opt.theta) * 3.14f / 180.f));
  auto letter = [&](char c, float x, float y, float z, float cols, float rows) {
    AxisLetter l{c, 0.f, 0.f, cols, rows};
    proj.uv(x, y, z, l.u, l.v);
    m.letters.push_back(l);
  };
  letter('x', x0 + (m.x.max - x0) / 2.f, y0, z0, -off, off);
  letter('y', x0, y0 + (m.y.max - y0) / 2.f, z0, -off, off);
  letter('z', x0, y0, z0 + 0.8f * (m.z.max - z0), -3.f, 0.f);
}

// How a model point is placed in world coordinates and coloured when
// colour coding is on: the value of a point (its plotted coordinate, or
// its position in the range), normalised over the axis when the scale is
// negative, turned into a wavelength.
struct Placement {
  const PlotModel& m;
  const Projection& proj;
  const ColourCoding& cc;
  bool coded;

  void place(float x, float y, float z, float& u, float& v) const {
    if (m.three_d) proj.uv(x, y, z, u, v);
    else {
      u = x;
      v = y;
    }
  }
  Colour coded_colour(float position, float x, float y, float z) const {
    float value = position;
    if (cc.axis != 0) {
      const Axis& a = cc.axis == 1 ? m.x : cc.axis == 2 ? m.y : m.z;
      const float c = cc.axis == 1 ? x : cc.axis == 2 ? y : z;
      value = cc.scale < 0.f ? (c - a.min) / span_or_one(a.min, a.max) : c;
    }
    return Colour::spectral(wavelength_nm(value, cc.scale));
  }
};

void add_points(const Workspace& ws, const PlotOptions& opt, bool graphics, const Placement& pl,
                float z0, PlotModel& m) {
  const Projection& proj = pl.proj;
  const bool coded = pl.coded;
  // Points n1..n2.
  SetColours set_colours;
  if (m.n2 >= m.n1) m.points.reserve(static_cast<std::size_t>(m.n2 - m.n1 + 1));
  const float index_span = m.n2 - m.n1 == 0 ? 1.f : static_cast<float>(m.n2 - m.n1);
  for (int i = m.n1; i <= m.n2; ++i) {
    const float x = coord(ws.X[i - 1], m.x.log);
    const float y = coord(ws.Y[i - 1], m.y.log);
    const float z = coord(ws.S[i - 1], m.z.log && m.uses_z);
    PlotPoint p{};
    pl.place(x, y, z, p.u, p.v);
    if (!finite(p.u) || !finite(p.v)) continue;
    p.set = set_number(opt.point_breaks, i);
    p.symbol = set_symbol(p.set);
    const int palette = set_colours.next(p.set);
    p.colour = coded ? pl.coded_colour(static_cast<float>(i - m.n1) / index_span, x, y, z)
                     : Colour::indexed(palette, set_pen(p.set));
    if (m.form == 4 && !m.three_d) {
      const float yv = ws.Y[i - 1], s = ws.S[i - 1];
      float lo = yv - s, hi = yv + s;
      if (m.y.log) {
        lo = lo > 0.f ? std::log10(lo) : m.y.min;
        hi = std::log10(hi);
      }
      if (finite(lo) && finite(hi)) {
        p.bar = true;
        p.bar_lo = lo;
        p.bar_hi = hi;
      }
    }
    if (graphics && opt.drop) {
      if (m.three_d) proj.uv(x, y, z0, p.drop_u, p.drop_v);
      else {
        p.drop_u = p.u;
        p.drop_v = m.y.min;
      }
      p.drop = finite(p.drop_u) && finite(p.drop_v);
    }
    m.points.push_back(p);
  }
}

void add_line(const Workspace& ws, const PlotOptions& opt, bool graphics, const Placement& pl,
              float z0, PlotModel& m) {
  const Projection& proj = pl.proj;
  const bool coded = pl.coded;
  // The line data set, broken into segments at the /NLINE= breaks.
  m.line.reserve(static_cast<std::size_t>(ws.Nline));
  const float line_span = ws.Nline <= 1 ? 1.f : static_cast<float>(ws.Nline - 1);
  int current = 0, ordinal = 0;
  for (int i = 1; i <= ws.Nline; ++i) {
    const float x = coord(ws.LX[i - 1], m.x.log);
    const float y = coord(ws.LY[i - 1], m.y.log);
    const float z = coord(ws.LZ[i - 1], m.z.log && m.uses_z);
    PlotLinePoint lp{};
    pl.place(x, y, z, lp.u, lp.v);
    if (!finite(lp.u) || !finite(lp.v)) continue;
    lp.segment = set_number(opt.line_breaks, i);
    lp.starts_segment = ordinal == 0 || lp.segment != current;
    if (lp.starts_segment) {
      ++ordinal;
      current = lp.segment;
    }
    lp.ordinal = ordinal;
    lp.style = segment_style(ordinal);
    lp.colour = coded ? pl.coded_colour(static_cast<float>(i - 1) / line_span, x, y, z)
                      : Colour::indexed(segment_palette(ordinal), set_pen(lp.segment));
    if (graphics && opt.drop && m.three_d) {
      proj.uv(x, y, z0, lp.drop_u, lp.drop_v);
      lp.drop = finite(lp.drop_u) && finite(lp.drop_v);
    }
    m.line.push_back(lp);
  }
}

}  // namespace

std::vector<LegendEntry> legend_entries(const Workspace& ws, int* longest_label) {
  std::vector<LegendEntry> out;
  int longest = 0;
  auto label_of = [](const Marker& mk) { return std::string(trim_right(mk.label)); };
  for (int i = 0; i < ws.point_markers.count; ++i) {
    const int n = i + 1;
    LegendEntry e{false, n, label_of(ws.point_markers.entries[i]),
                  n <= 4 ? set_symbol(n) : Symbol::Diamond,
                  Colour::indexed(n <= 4 ? set_palette(n) : 6, legend_pen(n)), 0xFFFF};
    longest = std::max(longest, static_cast<int>(e.label.size()));
    out.push_back(std::move(e));
  }
  for (int j = 0; j < ws.line_markers.count; ++j) {
    const int n = j + 1;
    LegendEntry e{true, n, label_of(ws.line_markers.entries[j]), Symbol::None,
                  Colour::indexed(segment_palette(n), legend_pen(n)), segment_style(n)};
    longest = std::max(longest, static_cast<int>(e.label.size()));
    out.push_back(std::move(e));
  }
  if (longest_label) *longest_label = longest;
  return out;
}

ModelStatus build_model(const Workspace& ws, const PlotOptions& opt,
                        Purpose purpose, PlotModel& m) {
  m = PlotModel{};
  const bool graphics = purpose == Purpose::Graphics;
  m.form = opt.form;
  m.three_d = graphics && opt.form == 7;
  m.uses_z = graphics && (m.three_d || opt.contour ||
                          (opt.colour.on && opt.colour.axis == 3));
  m.n1 = std::max(opt.range_first, 1);
  m.n2 = opt.range_last < 0 ? ws.Npts : std::min(opt.range_last, ws.Npts);

  Limits lim;
  if (!compute_limits(ws, opt, purpose, m.n1, m.n2, m.uses_z, lim))
    return ModelStatus::LogOfNonPositive;
  m.x = lim.x;
  m.y = lim.y;
  m.z = lim.z;

  Projection proj{};
  Origin origin;
  if (m.three_d) {
    proj = projection_3d(opt, m, origin);
    world_window_3d(proj, m);
    frame_3d(opt, proj, origin, m);
  } else {
    m.umin = m.x.min;
    m.umax = m.x.max;
    m.vmin = m.y.min;
    m.vmax = m.y.max;
    if (graphics) add_2d_frame(m);
  }

  const Placement placement{m, proj, opt.colour, graphics && opt.colour.on};
  add_points(ws, opt, graphics, placement, origin.z0, m);
  add_line(ws, opt, graphics, placement, origin.z0, m);

  if (graphics && opt.legend) {
    m.legend = true;
    m.legend_corner = opt.legend_corner;
    m.legend_entries = legend_entries(ws, &m.longest_label);
  }
  return ModelStatus::Ok;
}

}  // namespace verto::plot
