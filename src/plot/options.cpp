#include "plot/options.h"

#include <algorithm>

#include "core/evaluator.h"
#include "core/format.h"
#include "core/parsers.h"
#include "core/workspace.h"

namespace verto::plot {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool contains(std::string_view line, std::string_view what) {
  return line.find(what) != std::string_view::npos;
}

// Digits only, as a number; large values stay large without overflowing.
int digits_value(std::string_view digits) {
  long long v = 0;
  for (char c : digits) {
    if (!is_digit(c)) break;
    v = std::min<long long>(v * 10 + (c - '0'), 1000000000LL);
  }
  return static_cast<int>(v);
}

void append_list(std::string& line, std::string_view qualifier,
                 const MarkerList& markers) {
  if (markers.count == 0) return;
  line.resize(trim_right(line).size());
  line += qualifier;
  for (int i = 0; i < markers.count; ++i) {
    std::string number = format_int(markers.entries[i].index, 5);
    trim_left(number);
    line += trim_right(number);
    line += ',';
  }
}

void read_list(std::string_view line, std::string_view qualifier,
               BreakList& out) {
  auto at = line.find(qualifier);
  if (at == std::string_view::npos) return;
  out.given = true;
  std::size_t pos = at + qualifier.size();
  pos = std::min(line.find_first_not_of(' ', pos), line.size());
  while (pos < line.size() && is_digit(line[pos]) && out.count < kMaxBreaks) {
    std::size_t end = line.find_first_not_of("0123456789 ", pos);
    if (end == std::string_view::npos) end = line.size();
    // The stretch reads as a number up to its first blank.
    out.at[out.count++] = digits_value(line.substr(pos, end - pos));
    pos = line.find_first_not_of(" ,/", end);
    if (pos == std::string_view::npos) break;
  }
}

void read_range(std::string_view line, PlotOptions& opt) {
  auto colon = line.find(':');
  if (colon == std::string_view::npos) return;
  auto slash = line.rfind('/', colon);
  if (slash == std::string_view::npos) return;
  auto end = line.find_first_not_of("1234567890:", colon + 1);
  if (end == std::string_view::npos) end = line.size();
  auto usable = [](std::string_view b) {
    return !b.empty() && std::all_of(b.begin(), b.end(), is_digit);
  };
  std::string_view first = line.substr(slash + 1, colon - slash - 1);
  std::string_view second = line.substr(colon + 1, end - colon - 1);
  if (usable(first)) opt.range_first = digits_value(first);
  if (usable(second)) opt.range_last = digits_value(second);
}

struct ColourQualifier {
  std::string_view text;
  int axis;
  float scale;
};

constexpr ColourQualifier kColourQualifiers[] = {
    {"/XA", 1, 0.1f},    {"/YA", 2, 0.1f},    {"/ZA", 3, 0.1f},
    {"/IS", 0, -1.f},    {"/XS", 1, -1.f},    {"/YS", 2, -1.f},
    {"/ZS", 3, -1.f},    {"/XM", 1, 1000.f},  {"/YM", 2, 1000.f},
    {"/ZM", 3, 1000.f},  {"/XU", 1, 1000.f},  {"/YU", 2, 1000.f},
    {"/ZU", 3, 1000.f},  {"/XNM", 1, 1.f},    {"/YNM", 2, 1.f},
    {"/ZNM", 3, 1.f},
};

}  // namespace

std::string build_plot_line(const Workspace& ws) {
  std::string line = "PLOT ";
  line += trim_right(ws.plot_mode);
  if (ws.upper.size() > 4) line += std::string_view(ws.upper).substr(4);
  append_list(line, "/NSET1=", ws.point_markers);
  append_list(line, "/NLINE=", ws.line_markers);
  line.resize(kLineLength, ' ');
  return line;
}

float theta_value(std::string_view line) {
  auto at = line.rfind("/THETA=");
  if (at == std::string_view::npos) return 135.f;
  std::size_t from = at + 7;
  std::size_t to = line.find_first_not_of("1234567890.-", from);
  if (to == std::string_view::npos) to = line.size();
  // A malformed angle is not reported: it counts as 0.
  return expr::typed_number(line.substr(from, to - from)).value_or(0.f);
}

PlotOptions parse_plot_options(std::string_view upper_line, int form) {
  std::string line(upper_line.substr(0, kPlotLineLength));
  line.resize(kPlotLineLength, ' ');
  PlotOptions opt;
  opt.form = form;

  const bool has_theta = contains(line, "/THETA=");
  opt.text = contains(line, "/T") && !has_theta;
  opt.file = contains(line, "/P");
  opt.postscript = contains(line, "/PS");
  opt.over = contains(line, "/OVER");
  opt.background = contains(line, "/B");
  opt.legend = contains(line, "/LEG");
  for (std::size_t p = line.find("/LEG="); p != std::string::npos;
       p = line.find("/LEG=", p + 1)) {
    char c = line[p + 5];
    if (c >= '2' && c <= '4') opt.legend_corner = c - '0';
  }
  opt.xlog = contains(line, "/XLOG");
  opt.ylog = contains(line, "/YLOG");
  opt.zlog = contains(line, "/ZLOG");
  for (std::size_t p = line.find("/D"); p != std::string::npos;
       p = line.find("/D", p + 1)) {
    opt.any_d = true;
    if (line[p + 2] != 'R') opt.nice = false;
  }
  opt.drop = contains(line, "/DROP");
  opt.contour = contains(line, "/CON");

  for (std::size_t p = 0; p < line.size(); ++p) {
    if (line[p] != '/') continue;
    std::string_view rest = std::string_view(line).substr(p);
    for (const auto& q : kColourQualifiers) {
      if (rest.substr(0, q.text.size()) == q.text) {
        opt.colour = {true, q.axis, q.scale};
        break;
      }
    }
  }
  if (opt.contour) {
    opt.colour = {true, 3, -1.f};
    opt.form = 3;
  }

  if (has_theta) opt.theta = theta_value(line);
  read_range(line, opt);
  read_list(line, "/NSET1=", opt.point_breaks);
  read_list(line, "/NLINE=", opt.line_breaks);
  return opt;
}

int set_number(const BreakList& breaks, int index) {
  int set = 1;
  while (set <= breaks.count && index > breaks.at[set - 1]) ++set;
  return set;
}

}  // namespace verto::plot
