#include "core/page_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/workspace.h"

namespace verto {
namespace {

TEST(PageMemory, BlocksAreZeroedWritableAndAlignedAcrossTheThreshold) {
  for (std::size_t bytes : {std::size_t{1}, std::size_t{4096}, std::size_t{3} << 20}) {
    auto* p = static_cast<unsigned char*>(map_pages(bytes));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u);
    EXPECT_TRUE(std::all_of(p, p + bytes, [](unsigned char c) { return c == 0; }));
    std::fill(p, p + bytes, 0xA5);
    EXPECT_EQ(p[bytes - 1], 0xA5);
    unmap_pages(p, bytes);
  }
  // A vector that grows from small blocks into mapped ones keeps its values.
  std::vector<double, PageAllocator<double>> v;
  for (int i = 0; i < 100000; ++i) v.push_back(i * 0.5);
  EXPECT_EQ(v[0], 0.0);
  EXPECT_EQ(v[99999], 99999 * 0.5);
}

TEST(PageMemory, WorkspaceArraysAreZeroApartAndCopiedByValue) {
  Workspace ws;
  std::span<float> arrays[] = {ws.X, ws.Y, ws.S, ws.LX, ws.LY, ws.LZ};
  for (std::size_t i = 0; i < std::size(arrays); ++i) {
    ASSERT_EQ(arrays[i].size(), static_cast<std::size_t>(kMaxNpts));
    arrays[i].back() = static_cast<float>(i + 1);
  }
  ASSERT_EQ(ws.columns.size(), static_cast<std::size_t>(kMaxNpts) * kMaxColumns);
  EXPECT_EQ(ws.columns.front(), 0.f);
  ws.column(kMaxNpts, kMaxColumns) = 9.f;
  for (std::size_t i = 0; i < std::size(arrays); ++i) {
    EXPECT_EQ(arrays[i].front(), 0.f);
    EXPECT_EQ(arrays[i].back(), static_cast<float>(i + 1));
  }
  EXPECT_EQ(ws.columns.back(), 9.f);
  // A copy has arrays of its own with the same contents.
  ws.Npts = 7;
  Workspace copy = ws;
  copy.X[0] = 5.f;
  EXPECT_EQ(ws.X[0], 0.f);
  EXPECT_EQ(copy.Npts, 7);
  EXPECT_EQ(copy.LZ.back(), 6.f);
  EXPECT_EQ(copy.columns.back(), 9.f);
  copy = ws;
  EXPECT_EQ(copy.X[0], 0.f);
}

}  // namespace
}  // namespace verto
