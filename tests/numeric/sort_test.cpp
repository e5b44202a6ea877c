// Sort, Indexx, Sort3 and Mdian1 against a plain reference, exhaustively on
// short arrays with duplicates (both the insertion and the partition path),
// on random arrays and on large ordered inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "numeric/indexx.h"
#include "numeric/mdian1.h"
#include "numeric/sort.h"
#include "numeric/sort3.h"
#include "core/memory_console.h"

namespace verto {
namespace {

std::vector<float> sorted_copy(std::vector<float> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Checks all three routines on one input.
void check_all(const std::vector<float>& input) {
  MemoryConsole con;
  const int n = static_cast<int>(input.size());
  const std::vector<float> expect = sorted_copy(input);

  std::vector<float> s = input;
  ASSERT_TRUE(report(con, Sort(n, s)));
  ASSERT_EQ(s, expect);

  std::vector<int> indx(input.size(), -1);
  ASSERT_TRUE(report(con, Indexx(n, input, indx)));
  std::vector<int> ids = indx;
  std::sort(ids.begin(), ids.end());
  std::vector<int> one_to_n(input.size());
  std::iota(one_to_n.begin(), one_to_n.end(), 1);
  ASSERT_EQ(ids, one_to_n) << "indx is not a permutation of 1..n";
  for (int j = 0; j < n; ++j) ASSERT_EQ(input[indx[j] - 1], expect[j]);

  // Companions: rb carries each point's original position, rc a value
  // derived from key and position; both must stay with their key, in the
  // order the index sort chose.
  std::vector<float> ra = input, rb(input.size()), rc(input.size());
  for (int j = 0; j < n; ++j) {
    rb[j] = static_cast<float>(j);
    rc[j] = input[j] * 1000.f + static_cast<float>(j);
  }
  std::vector<float> wksp(input.size());
  std::vector<int> iwksp(input.size());
  ASSERT_TRUE(report(con, Sort3(n, ra, rb, rc, wksp, iwksp)));
  ASSERT_EQ(ra, expect);
  for (int j = 0; j < n; ++j) {
    const int from = static_cast<int>(rb[j]);
    ASSERT_EQ(from, indx[j] - 1);
    ASSERT_EQ(ra[j], input[from]);
    ASSERT_EQ(rc[j], input[from] * 1000.f + static_cast<float>(from));
  }
  ASSERT_TRUE(con.lines().empty());
}

TEST(Sorting, AllShortArraysOverThreeValues) {
  // Lengths up to 7 take the insertion path only, 8 and 9 partition first.
  for (int n = 0; n <= 9; ++n) {
    int count = 1;
    for (int k = 0; k < n; ++k) count *= 3;
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int code = 0; code < count; ++code) {
      int c = code;
      for (int k = 0; k < n; ++k, c /= 3) v[k] = static_cast<float>(c % 3);
      check_all(v);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(Sorting, RandomArraysWithDuplicates) {
  std::mt19937 gen(12345);
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = static_cast<int>(gen() % 31);
    const int range = 1 + static_cast<int>(gen() % 12);
    std::vector<float> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = static_cast<float>(static_cast<int>(gen() % range)) - 3.5f;
    check_all(v);
    if (HasFatalFailure()) return;
  }
}

// Equal keys: the insertion path keeps them in place, the partition path
// (n = 8) moves them as the median-of-three scheme dictates. Traced by
// hand: pivot slot 1 gets index 6, the rest follow the exchanges of the
// scans from both ends.
TEST(Sorting, EqualKeysFollowTheSchemeNotStability) {
  MemoryConsole con;
  std::vector<float> seven(7, 1.f);
  std::vector<int> indx(7);
  ASSERT_TRUE(report(con, Indexx(7, seven, indx)));
  EXPECT_EQ(indx, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));

  std::vector<float> eight(8, 1.f);
  indx.assign(8, 0);
  ASSERT_TRUE(report(con, Indexx(8, eight, indx)));
  EXPECT_EQ(indx, (std::vector<int>{6, 4, 7, 1, 5, 2, 3, 8}));

  std::vector<float> rb{10, 20, 30, 40, 50, 60, 70, 80}, rc(rb), w(8);
  std::vector<int> iw(8);
  ASSERT_TRUE(report(con, Sort3(8, eight, rb, rc, w, iw)));
  EXPECT_EQ(rb, (std::vector<float>{60, 40, 70, 10, 50, 20, 30, 80}));
  EXPECT_EQ(rc, rb);
}

TEST(Sorting, FiftyThousandOrderedValuesFitTheStack) {
  constexpr int n = 50000;
  std::vector<float> ascending(n), descending(n), equal(n, 7.f), organ(n);
  for (int j = 0; j < n; ++j) {
    ascending[j] = static_cast<float>(j);
    descending[j] = static_cast<float>(n - j);
    organ[j] = static_cast<float>(j < n / 2 ? j : n - j);
  }
  for (const auto* input : {&ascending, &descending, &equal, &organ}) {
    MemoryConsole con;
    check_all(*input);
    if (HasFatalFailure()) return;
    EXPECT_TRUE(con.lines().empty());
  }
}

TEST(Sorting, CountsBeyondTheArrayAreRefused) {
  MemoryConsole con;
  std::vector<float> v{3, 2, 1};
  std::vector<int> indx(3);
  EXPECT_FALSE(report(con, Sort(4, v)));
  EXPECT_FALSE(report(con, Indexx(3, v, std::span<int>(indx).first(2))));
  EXPECT_EQ(v, (std::vector<float>{3, 2, 1}));
  std::vector<float> w(2);
  std::vector<int> iw(3);
  EXPECT_FALSE(report(con, Sort3(3, v, v, v, w, iw)));
  EXPECT_EQ(v, (std::vector<float>{3, 2, 1}));
  // A zero or negative count is an empty array.
  EXPECT_TRUE(report(con, Sort(0, v)));
  EXPECT_TRUE(report(con, Sort(-5, v)));
  EXPECT_EQ(v, (std::vector<float>{3, 2, 1}));
}

TEST(Sorting, NaNsNeverDriveTheScansOutOfTheArray) {
  // The order of NaNs is unspecified; the sort must stay in bounds (ASan)
  // and keep the multiset of values.
  std::mt19937 gen(7);
  for (int trial = 0; trial < 500; ++trial) {
    const int n = 1 + static_cast<int>(gen() % 40);
    std::vector<float> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = (gen() % 4 == 0) ? NAN : static_cast<float>(gen() % 9);
    MemoryConsole con;
    std::vector<float> s = v;
    ASSERT_TRUE(report(con, Sort(n, s)));
    std::vector<int> indx(v.size());
    ASSERT_TRUE(report(con, Indexx(n, v, indx)));
    std::sort(indx.begin(), indx.end());
    for (int j = 0; j < n; ++j) ASSERT_EQ(indx[j], j + 1);
    auto count_nan = [](const std::vector<float>& a) {
      return std::count_if(a.begin(), a.end(), [](float x) { return x != x; });
    };
    ASSERT_EQ(count_nan(s), count_nan(v));
  }
}

TEST(Median, OddAndEvenCounts) {
  MemoryConsole con;
  float xmed = 0.f;
  std::vector<float> odd{1, 3, 2};
  ASSERT_TRUE(report(con, Mdian1(odd, 3, xmed)));
  EXPECT_EQ(xmed, 2.f);

  std::vector<float> even{4, 1, 3, 2};
  ASSERT_TRUE(report(con, Mdian1(even, 4, xmed)));
  EXPECT_EQ(xmed, 2.5f);
  EXPECT_EQ(even, (std::vector<float>{1, 2, 3, 4}));

  std::vector<float> one{-8};
  ASSERT_TRUE(report(con, Mdian1(one, 1, xmed)));
  EXPECT_EQ(xmed, -8.f);

  // Only the first n values take part.
  std::vector<float> part{9, 5, 7, -100};
  ASSERT_TRUE(report(con, Mdian1(part, 3, xmed)));
  EXPECT_EQ(xmed, 7.f);
  EXPECT_EQ(part[3], -100.f);

  EXPECT_FALSE(report(con, Mdian1(one, 0, xmed)));
  EXPECT_EQ(xmed, 0.f);
  EXPECT_FALSE(report(con, Mdian1(one, 2, xmed)));
  EXPECT_TRUE(con.lines().empty());
}

TEST(Median, MatchesReferenceOnRandomData) {
  std::mt19937 gen(99);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 1 + static_cast<int>(gen() % 60);
    std::vector<float> v(static_cast<std::size_t>(n));
    for (auto& x : v) x = static_cast<float>(static_cast<int>(gen() % 1000) - 500) / 8.f;
    const std::vector<float> s = sorted_copy(v);
    const float expect =
        n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2.f;
    MemoryConsole con;
    float xmed = 0.f;
    ASSERT_TRUE(report(con, Mdian1(v, n, xmed)));
    ASSERT_EQ(xmed, expect);
  }
}

}  // namespace
}  // namespace verto
