// The plot-file writers against a plain record-by-record formatting of the
// same calls: coordinates copied from the writer's cache of formatted
// values or formatted by its own shortest-text routine must be the text
// to_chars gives for exactly that value, also when values collide in the
// cache, and records must come out whole and in order across the blocks
// the writer writes.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "plot/file_devices.h"

namespace verto::plot {
namespace {

std::string shortest(float v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::string integer(float v) { return std::to_string(std::lround(v)); }

template <class D>
D make_device(RecordWriter& out) {
  if constexpr (std::is_same_v<D, PostScriptDevice>)
    return D(out, false);
  else
    return D(out);
}

// Runs `draw` on a device of type D writing to a scratch file and returns
// the file's bytes.
template <class D, class F>
std::string written(F draw) {
  std::FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  {
    RecordWriter out(fileno(f));
    D device = make_device<D>(out);
    draw(device);
    out.flush();
    EXPECT_FALSE(out.failed());
  }
  std::string bytes;
  std::rewind(f);
  char buf[1 << 16];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}

// Symbols (four distinct coordinates each, written several times) mixed
// with lone points of any magnitude and sign, negative zero among them.
std::vector<std::pair<float, float>> coordinates() {
  std::mt19937 gen(16);
  std::uniform_real_distribution<float> unit(-1.f, 1.f);
  std::uniform_int_distribution<int> power(-30, 6);
  std::vector<std::pair<float, float>> v;
  for (int i = 0; i < 60000; ++i) {
    const float x = std::round(unit(gen) * 5000.f) / 8.f, y = unit(gen) * 700.f;
    for (float dx : {-4.f, 4.f})
      for (float dy : {-3.5f, 3.5f}) v.emplace_back(x + dx, y + dy);
    v.emplace_back(unit(gen) * std::pow(10.f, static_cast<float>(power(gen))), -0.f);
  }
  return v;
}

TEST(FileDevicesTest, PostScriptRecordsMatchPlainFormatting) {
  const auto points = coordinates();
  const std::string header = written<PostScriptDevice>([](PostScriptDevice&) {});
  std::string expected = header;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::string xy = " " + shortest(points[i].first) + " " + shortest(points[i].second);
    expected += i % 3 == 0 ? xy + " moveto\n" : xy + " lineto stroke\n" + xy + " moveto\n";
  }
  // Rectangles (square symbols): a move and four draws, up the left side.
  for (std::size_t i = 0; i + 1 < points.size(); i += 7) {
    const auto [x1, y1] = points[i];
    const auto [x2, y2] = points[i + 1];
    auto xy = [](float x, float y) { return " " + shortest(x) + " " + shortest(y); };
    expected += xy(x1, y1) + " moveto\n";
    for (auto [x, y] : {std::pair{x1, y2}, {x2, y2}, {x2, y1}, {x1, y1}})
      expected += xy(x, y) + " lineto stroke\n" + xy(x, y) + " moveto\n";
  }
  // Many blocks are written out mid-way.
  ASSERT_GT(expected.size(), 16 * RecordWriter::kBuffer);
  const std::string got = written<PostScriptDevice>([&](PostScriptDevice& d) {
    for (std::size_t i = 0; i < points.size(); ++i)
      i % 3 == 0 ? d.move(points[i].first, points[i].second)
                 : d.draw(points[i].first, points[i].second);
    for (std::size_t i = 0; i + 1 < points.size(); i += 7)
      d.rect(points[i].first, points[i].second, points[i + 1].first, points[i + 1].second);
  });
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(FileDevicesTest, HpglRecordsMatchPlainFormatting) {
  const auto points = coordinates();
  std::string expected = written<HpglDevice>([](HpglDevice&) {});
  for (std::size_t i = 0; i < points.size(); ++i)
    expected += std::string(i % 2 ? " PD" : " PU") + integer(points[i].first) + "," +
                integer(points[i].second) + ";\n";
  for (std::size_t i = 0; i + 1 < points.size(); i += 7) {
    const std::string x1 = integer(points[i].first), y1 = integer(points[i].second);
    const std::string x2 = integer(points[i + 1].first), y2 = integer(points[i + 1].second);
    expected += " PU" + x1 + "," + y1 + ";\n PD" + x1 + "," + y2 + ";\n PD" + x2 + "," + y2 +
                ";\n PD" + x2 + "," + y1 + ";\n PD" + x1 + "," + y1 + ";\n";
  }
  const std::string got = written<HpglDevice>([&](HpglDevice& d) {
    for (std::size_t i = 0; i < points.size(); ++i)
      i % 2 ? d.draw(points[i].first, points[i].second) : d.move(points[i].first, points[i].second);
    for (std::size_t i = 0; i + 1 < points.size(); i += 7)
      d.rect(points[i].first, points[i].second, points[i + 1].first, points[i + 1].second);
  });
  EXPECT_TRUE(got == expected);
}

}  // namespace
}  // namespace verto::plot
