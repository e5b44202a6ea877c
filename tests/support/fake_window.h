#pragma once
// Window services that record every call: the graphics calls of each
// child window as lines of text ("colour 10", "line_px 3 4", ...), the
// window management calls in one log, and keys to answer wait_key.
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/window_services.h"

namespace verto::testing {

class RecordingWindow : public GraphicsWindow {
 public:
  std::vector<std::string> calls;
  PixelSize size{640, 384};

  void clear() override { calls.clear(); calls.push_back("clear"); }
  void viewport(int x1, int y1, int x2, int y2) override { add("viewport", x1, y1, x2, y2); }
  bool world_window(double x1, double y1, double x2, double y2) override {
    if (x1 == x2 || y1 == y2) return false;
    add("world", x1, y1, x2, y2);
    return true;
  }
  void rectangle(double x1, double y1, double x2, double y2) override { add("rect", x1, y1, x2, y2); }
  void move_to(double x, double y) override { add("move", x, y); }
  void line_to(double x, double y) override { add("line", x, y); }
  void rectangle_px(int x1, int y1, int x2, int y2) override { add("rect_px", x1, y1, x2, y2); }
  void move_to_px(int x, int y) override { add("move_px", x, y); }
  void line_to_px(int x, int y) override { add("line_px", x, y); }
  void set_colour(int index) override { add("colour", index); }
  void remap_palette(int index, std::uint32_t packed) override {
    calls.push_back("remap " + std::to_string(index) + " " + std::to_string(packed));
  }
  void set_line_style(std::uint16_t mask) override { add("style", mask); }
  void text_at(int row, int col, std::string_view text) override {
    add("text", row, col);
    calls.back() += " " + std::string(text);
  }
  PixelSize pixels() const override { return size; }

  // Number of calls equal to `call`.
  int count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }
  // Index of the first call equal to `call` at or after `from`; -1 if none.
  int find(const std::string& call, int from = 0) const {
    for (int i = from; i < static_cast<int>(calls.size()); ++i)
      if (calls[static_cast<std::size_t>(i)] == call) return i;
    return -1;
  }

 private:
  template <typename... T>
  void add(const char* op, T... v) {
    std::string s = op;
    char buf[32];
    ((std::snprintf(buf, sizeof buf, " %g", static_cast<double>(v)), s += buf), ...);
    calls.push_back(s);
  }
};

class RecordingServices : public WindowServices {
 public:
  std::vector<std::string> log;
  std::map<ChildWindow, RecordingWindow> windows;
  std::map<ChildWindow, CellSize> open_cells;
  CellSize largest{100, 40};
  PixelSize frame{800, 640};
  int colours = 256;
  std::deque<int> keys;

  std::optional<CellSize> largest_cells(ChildWindow w) override {
    if (!open_cells.count(w)) return std::nullopt;
    return largest;
  }
  std::optional<CellSize> current_cells(ChildWindow w) override {
    auto it = open_cells.find(w);
    if (it == open_cells.end()) return std::nullopt;
    return it->second;
  }
  PixelSize frame_pixels() override { return frame; }
  bool open(ChildWindow w, std::string_view title) override {
    log.push_back("open " + std::string(title));
    open_cells[w] = largest;
    windows[w].calls.clear();
    return true;
  }
  bool configure(ChildWindow, WindowConfig& request) override {
    log.push_back("configure " + std::to_string(request.colours) + " " + request.title);
    request.colours = colours;
    return true;
  }
  void place(ChildWindow w, int col, int row, int cols, int rows) override {
    log.push_back("place " + std::to_string(col) + " " + std::to_string(row) + " " +
                  std::to_string(cols) + " " + std::to_string(rows));
    open_cells[w] = {cols, rows};
  }
  void close(ChildWindow w, bool keep) override {
    log.push_back(keep ? "keep" : "close");
    open_cells.erase(w);
  }
  GraphicsWindow* graphics(ChildWindow w) override {
    return open_cells.count(w) ? &windows[w] : nullptr;
  }
  Presented present(ChildWindow) override {
    log.push_back("present");
    return {};
  }
  void focus(ChildWindow w) override {
    log.push_back(w == ChildWindow::Console ? "focus console" : "focus window");
  }
  int wait_key(ChildWindow) override {
    log.push_back("wait");
    if (keys.empty()) return 'x';
    const int k = keys.front();
    keys.pop_front();
    return k;
  }
};

}  // namespace verto::testing
