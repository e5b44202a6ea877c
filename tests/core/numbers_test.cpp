#include "core/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <limits>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/evaluator.h"
#include "datafiles/reader.h"

namespace verto {
namespace {

float read(std::string_view text) {
  float v = -12345.f;
  EXPECT_TRUE(parse_float(text, v)) << text;
  return v;
}

bool refused(std::string_view text) {
  float v = -12345.f;
  return !parse_float(text, v) && v == -12345.f;
}

const float kOnePlusUlp = std::nextafter(1.f, 2.f);  // 1 + 2^-23

TEST(Numbers, HalfwayCasesRoundOnceToNearestEven) {
  // 1 + 2^-24 lies halfway between 1 and 1 + 2^-23: ties go to the even 1.
  EXPECT_EQ(read("1.00000005960464477539062500"), 1.f);
  // A trace above halfway rounds up; through double it would tie to 1.
  EXPECT_EQ(read("1.0000000596046447753906251"), kOnePlusUlp);
  EXPECT_EQ(read("1.0000000596046447753906249"), 1.f);
  // 1 + 3 * 2^-24 lies halfway between two odd neighbours' even one above.
  EXPECT_EQ(read("1.000000178813934326171875"), std::nextafter(kOnePlusUlp, 2.f));
  EXPECT_EQ(read("-1.0000000596046447753906251E0"), -kOnePlusUlp);
  EXPECT_EQ(read("0.10000000149011612"), 0.1f);
}

TEST(Numbers, LimitsOfTheSinglePrecisionRange) {
  EXPECT_EQ(read("3.4028235E38"), FLT_MAX);
  EXPECT_EQ(read("3.40282356E+38"), FLT_MAX);  // below FLT_MAX + half a unit
  EXPECT_TRUE(refused("3.40282357E38"));       // above it: beyond the range
  EXPECT_TRUE(refused("-1E39"));
  EXPECT_TRUE(refused("1D99999999999"));
  EXPECT_TRUE(refused("0.0001E+43"));
  EXPECT_EQ(read("1.17549435E-38"), FLT_MIN);
  const float tiniest = std::nextafter(0.f, 1.f);  // 2^-149
  EXPECT_EQ(read("1.4E-45"), tiniest);
  EXPECT_EQ(read("7.1E-46"), tiniest);    // above half the tiniest: rounds up
  EXPECT_EQ(read("7.0E-46"), 0.f);        // below it: zero
  EXPECT_EQ(read("1E-400"), 0.f);
  const float negative_zero = read("-1E-50");
  EXPECT_EQ(negative_zero, 0.f);
  EXPECT_TRUE(std::signbit(negative_zero));
  EXPECT_EQ(read("12345678901234567890E-30"), 1.2345679E-11f);
  EXPECT_EQ(read("0.00000000000000000000000000000000000000000000001E46"), 0.1f);
}

TEST(Numbers, SyntaxOfNumbers) {
  EXPECT_EQ(read("+.5"), 0.5f);
  EXPECT_EQ(read("5."), 5.f);
  EXPECT_EQ(read("1D3"), 1000.f);
  EXPECT_EQ(read("2.5d-1"), 0.25f);
  EXPECT_EQ(read("1.5-3"), 0.0015f);
  EXPECT_EQ(read("-2+2"), -200.f);
  for (const char* bad : {"", ".", "-", "+.", "E5", "1E", "1E+", "1..2", "1.5x", "inf", "nan", " 1"})
    EXPECT_TRUE(refused(bad)) << bad;
  // The pointer form stops after the longest number.
  const std::string text = "1.5E+2,3";
  float v = 0.f;
  const char* end = parse_float(text.data(), text.data() + text.size(), v);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end - text.data(), 6);
  EXPECT_EQ(v, 150.f);
  const std::string letter = "2E/3";
  end = parse_float(letter.data(), letter.data() + letter.size(), v);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end - letter.data(), 1);
  EXPECT_EQ(parse_float(letter.data() + 2, letter.data() + 4, v), nullptr);
}

TEST(Numbers, TypedDataFileAndWrittenNumbersAgree) {
  for (const char* text : {"1.0000000596046447753906251", "1.00000005960464477539062500",
                           "3.40282356E38", "7.1E-46", "-0.1", "123456.789", "9.999999E-05"}) {
    const float typed = expr::typed_number(text).value();
    float from_file = 0.f;
    ASSERT_TRUE(parse_real(text, from_file)) << text;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(typed), std::bit_cast<std::uint32_t>(from_file))
        << text;
  }
  // Every written text reads back to the same bits (a sweep over the
  // finite floats of both signs).
  for (std::uint32_t bits = 0; bits < 0x7f800000u; bits += 104729u) {
    for (std::uint32_t sign : {0u, 0x80000000u}) {
      const float v = std::bit_cast<float>(bits | sign);
      const std::string s = shortest_real(v);
      float back = 0.f;
      ASSERT_TRUE(parse_float(s, back)) << s;
      ASSERT_EQ(std::bit_cast<std::uint32_t>(back), bits | sign) << s;
      EXPECT_TRUE(expr::typed_number(s).has_value()) << s;
    }
  }
}

// shortest_chars must write exactly what to_chars writes: every float of a
// few whole binades where plot coordinates lie, a stride through all of
// 1..65536 and beyond, both signs, and the values outside its own path.
TEST(Numbers, ShortestCharsWritesWhatToCharsWrites) {
  auto check = [](float v) {
    char want[40], got[40];
    const std::string_view w(want, static_cast<std::size_t>(std::to_chars(want, want + 40, v).ptr - want));
    const std::string_view g(got, static_cast<std::size_t>(shortest_chars(got, v) - got));
    if (w != g) ADD_FAILURE() << "to_chars " << w << ", shortest_chars " << g;
    return w == g;
  };
  auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
  int failures = 0;
  for (std::uint32_t b = bits(1.f); b < bits(2.f) && failures < 5; b += 3) failures += !check(std::bit_cast<float>(b));
  for (std::uint32_t b = bits(128.f); b < bits(1024.f) && failures < 5; ++b)
    failures += !check(std::bit_cast<float>(b)) + !check(-std::bit_cast<float>(b));
  for (std::uint32_t b = bits(0.25f); b < bits(1e6f) && failures < 5; b += 101)
    failures += !check(std::bit_cast<float>(b)) + !check(-std::bit_cast<float>(b));
  for (float v : {0.f, -0.f, 1.f, 65535.f, 65535.996f, 65536.f, 100000.f, 1e-3f, 0.0001f, 3.4028235e38f,
                  std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN()})
    check(v);
}

}  // namespace
}  // namespace verto
