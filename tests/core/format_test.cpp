#include "core/format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/console.h"

namespace verto {
namespace {

using Records = std::vector<std::string>;

Records recs(std::string_view fmt, std::initializer_list<FormatItem> items) {
  return format_items(fmt, items).records;
}

TEST(FormatInt, RightJustifiedWithSignAndStarFill) {
  EXPECT_EQ(format_int(42, 6), "    42");
  EXPECT_EQ(format_int(-42, 3), "-42");
  EXPECT_EQ(format_int(-42, 2), "**");       // the sign needs a column
  EXPECT_EQ(format_int(123456, 5), "*****");
  EXPECT_EQ(format_int(0, 1), "0");
  EXPECT_EQ(format_int(-7, 0), "-7");        // width 0: as wide as needed
  EXPECT_EQ(format_int(LLONG_MIN, 0), "-9223372036854775808");
}

TEST(FormatFixed, LayoutAndLeadingZero) {
  EXPECT_EQ(format_fixed(0.5, 9, 3), "    0.500");
  EXPECT_EQ(format_fixed(0.5, 4, 3), ".500");
  EXPECT_EQ(format_fixed(-0.5, 5, 2), "-0.50");
  EXPECT_EQ(format_fixed(-0.5, 4, 2), "-.50");
  EXPECT_EQ(format_fixed(-1.25, 9, 3), "   -1.250");
  EXPECT_EQ(format_fixed(0.12345, 6, 4), "0.1235");
  EXPECT_EQ(format_fixed(2.5, 3, 0), " 3.");
  EXPECT_EQ(format_fixed(0.3, 2, 0), "0.");   // no digit at all is not an option
  EXPECT_EQ(format_fixed(0.3, 1, 0), "*");
  EXPECT_EQ(format_fixed(1234.5, 0, 1), "1234.5");
}

TEST(FormatFixed, OverflowFillsWithStars) {
  EXPECT_EQ(format_fixed(123456.7, 9, 3), "*********");
  EXPECT_EQ(format_fixed(-12345.5, 9, 3), "*********");
  EXPECT_EQ(format_fixed(1e300, 9, 3), "*********");
  EXPECT_EQ(format_fixed(999.96, 5, 1), "*****");  // only after the carry
}

TEST(FormatFixed, RoundsExactBinaryValueHalfAwayFromZero) {
  EXPECT_EQ(format_fixed(0.25, 5, 1), "  0.3");   // exact half
  EXPECT_EQ(format_fixed(-0.25, 5, 1), " -0.3");
  EXPECT_EQ(format_fixed(0.125, 5, 2), " 0.13");
  EXPECT_EQ(format_fixed(0.35, 5, 1), "  0.3");   // binary value just below .35
  EXPECT_EQ(format_fixed(2.675, 5, 2), " 2.67");
  EXPECT_EQ(format_fixed(9.9996, 6, 3), "10.000");
  EXPECT_EQ(format_fixed(99.96, 5, 1), "100.0");
  EXPECT_EQ(format_fixed(0.6, 3, 0), " 1.");
}

TEST(FormatFixed, NegativeZeroAndNonFinite) {
  EXPECT_EQ(format_fixed(-0.0001, 6, 2), "  0.00");
  EXPECT_EQ(format_fixed(-0.0, 5, 1), "  0.0");
  EXPECT_EQ(format_fixed(INFINITY, 9, 3), " Infinity");
  EXPECT_EQ(format_fixed(INFINITY, 4, 1), " Inf");
  EXPECT_EQ(format_fixed(-INFINITY, 9, 3), "-Infinity");
  EXPECT_EQ(format_fixed(-INFINITY, 3, 0), "***");
  EXPECT_EQ(format_fixed(NAN, 5, 1), "  NaN");
  EXPECT_EQ(format_fixed(NAN, 2, 0), "**");
}

TEST(FormatExp, DefaultExponentField) {
  EXPECT_EQ(format_exp(123456.7, 9, 3), "0.123E+06");
  EXPECT_EQ(format_exp(0.1, 9, 3), "0.100E+00");
  EXPECT_EQ(format_exp(-0.001234, 10, 3), "-0.123E-02");
  EXPECT_EQ(format_exp(-0.001234, 9, 3), "-.123E-02");
  EXPECT_EQ(format_exp(0.0, 9, 3), "0.000E+00");
  EXPECT_EQ(format_exp(-0.0, 9, 3), "0.000E+00");
  EXPECT_EQ(format_exp(1.0, 5, 3), "*****");
  // Three-digit exponents drop the "E".
  EXPECT_EQ(format_exp(1e200, 10, 3), " 0.100+201");
  EXPECT_EQ(format_exp(1e-150, 9, 3), "0.100-149");
  EXPECT_EQ(format_exp(5e-324, 9, 3), "0.494-323");
  EXPECT_EQ(format_exp(INFINITY, 9, 3), " Infinity");
  EXPECT_EQ(format_exp(1.0, 9, 0), "*********");
}

TEST(FormatExp, ExplicitExponentDigits) {
  EXPECT_EQ(format_exp(123, 7, 2, 1), "0.12E+3");
  EXPECT_EQ(format_exp(0.5, 7, 2, 1), "0.50E+0");
  EXPECT_EQ(format_exp(-123, 7, 2, 1), "-.12E+3");
  EXPECT_EQ(format_exp(0, 7, 2, 1), "0.00E+0");
  EXPECT_EQ(format_exp(1e10, 7, 2, 1), "*******");   // exponent 11
  EXPECT_EQ(format_exp(-1e-12, 7, 2, 1), "*******");
  EXPECT_EQ(format_exp(1e10, 9, 2, 3), "0.10E+011");
  EXPECT_EQ(format_exp(-123, 6, 2, 1), "******");
}

TEST(FormatExp, RoundingCarriesIntoExponent) {
  EXPECT_EQ(format_exp(0.996, 8, 2), "0.10E+01");
  EXPECT_EQ(format_exp(9.996, 8, 2), "0.10E+02");
  EXPECT_EQ(format_exp(0.995, 8, 2), "0.99E+00");  // binary value below the half
  EXPECT_EQ(format_exp(0.125, 8, 2), "0.13E+00");  // exact half: away from zero
  EXPECT_EQ(format_exp(-0.125, 8, 2), "-.13E+00");
  EXPECT_EQ(format_exp(99.5, 7, 2, 1), "0.10E+3");
  EXPECT_EQ(format_exp(999.5, 7, 2, 1), "0.10E+4");
}

// Independent reference: glibc's printf expands any double exactly when
// asked for enough digits; round that expansion half away from zero.
std::string reference_fixed(double v, int d) {
  std::vector<char> buf(1500);
  std::snprintf(buf.data(), buf.size(), "%.1100f", std::fabs(v));
  std::string s(buf.data());
  std::size_t dot = s.find('.');
  std::string digits = s.substr(0, dot) + s.substr(dot + 1, d);
  if (s[dot + 1 + d] >= '5') {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i < 0) digits.insert(0, 1, '1'); else ++digits[i];
  }
  std::string ip = digits.substr(0, digits.size() - d);
  ip.erase(0, std::min(ip.find_first_not_of('0'), ip.size() - 1));
  std::string out = ip + "." + digits.substr(digits.size() - d);
  bool zero = out.find_first_not_of("0.") == std::string::npos;
  return (v < 0 && !zero ? "-" : "") + out;
}

std::string reference_exp(double v, int d) {
  std::vector<char> buf(1500);
  std::snprintf(buf.data(), buf.size(), "%.800e", std::fabs(v));
  std::string s(buf.data());
  int exponent = std::atoi(s.c_str() + s.find('e') + 1) + 1;
  std::string digits = s.substr(0, 1) + s.substr(2, d - 1);
  if (s[1 + d] >= '5') {
    int i = d - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i < 0) { digits[0] = '1'; ++exponent; } else ++digits[i];
  }
  char e[16];
  std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return std::string(v < 0 ? "-" : "") + "0." + digits + e;
}

TEST(FormatNumbers, AgreeWithExactExpansionOnRandomValues) {
  std::mt19937_64 rng(12345);
  for (int n = 0; n < 20000; ++n) {
    double v;
    if (n % 2) {
      // Dyadic values with few fraction bits hit exact halves often.
      v = static_cast<double>(static_cast<int>(rng() % 200001) - 100000) / (1 << (rng() % 12));
    } else {
      v = std::ldexp(static_cast<double>(rng() % (1ULL << 53)) / (1ULL << 53), int(rng() % 60) - 30);
      if (rng() & 1) v = -v;
    }
    int d = static_cast<int>(rng() % 8);
    ASSERT_EQ(format_fixed(v, 0, d), reference_fixed(v, d)) << v << " d=" << d;
    if (v != 0) {
      int de = 1 + static_cast<int>(rng() % 8);
      ASSERT_EQ(format_exp(v, 0, de), reference_exp(v, de)) << v << " d=" << de;
    }
  }
}

TEST(FormatItems, TextDescriptors) {
  EXPECT_EQ(recs("(1X,A,I6)", {"Npts =", 42}), Records{" Npts =    42"});
  EXPECT_EQ(recs("(1X,A,A)", {"ab", "cd"}), Records{" abcd"});
  EXPECT_EQ(recs("(A5)", {"ab"}), Records{"   ab"});         // padded on the left
  EXPECT_EQ(recs("(A5)", {"abcdefg"}), Records{"abcde"});     // cut to its first 5
  EXPECT_EQ(recs("(1X,A80)", {"x"}), Records{" " + std::string(79, ' ') + "x"});
  EXPECT_EQ(recs("(1X,I2,A,A)", {7, ") ", "name"}), Records{"  7) name"});
  EXPECT_EQ(recs("(1X,4F7.4,A)", {0.5, 1, -0.25, 2.0, " end"}),
            Records{"  0.5000 1.0000-0.2500 2.0000 end"});
}

TEST(FormatItems, LiteralsAndBlanks) {
  EXPECT_EQ(recs("(4X,1HI,1X)", {}), Records{"    I"});
  EXPECT_EQ(recs("(3Hab,,A)", {"x"}), Records{"ab,x"});    // H counts exactly
  EXPECT_EQ(recs("(2Hi ,A)", {"x"}), Records{"i x"});      // case and blanks kept
  EXPECT_EQ(recs("('it''s ',A)", {"x"}), Records{"it's x"});
  EXPECT_EQ(recs("( 1 X , a 3 , i 4 )", {"x", 5}), Records{"   x   5"});
  EXPECT_EQ(recs("(5X,I3,2X,A)", {12, "f.dat"}), Records{"      12  f.dat"});
  EXPECT_EQ(recs("1X,A", {"bare"}), Records{" bare"});   // no parentheses
}

TEST(FormatItems, ColumnHeaderAndRows) {
  const char* header = "(4X,1HI,1X,9(4X,A1,I1,2X))";
  EXPECT_EQ(recs(header, {"X", 1, "Y", 2}), Records{"    I     X1      Y2"});
  std::vector<FormatItem> nine;
  std::string expected = "    I ";
  for (int c = 1; c <= 9; ++c) {
    nine.push_back(std::string_view("C"));
    nine.push_back(c);
    expected += "    C" + std::to_string(c) + "  ";
  }
  expected.resize(expected.size() - 2);  // the closing 2X writes nothing
  EXPECT_EQ(format_items(header, nine).records, Records{expected});

  const char* row = "(1X,I5,9(1X,E7.2E1))";
  EXPECT_EQ(recs(row, {12, 1.5, -0.25, 1000.0}),
            Records{"    12 0.15E+1 -.25E+0 0.10E+4"});
  EXPECT_EQ(recs(row, {1, 0.0, 3e12}), Records{"     1 0.00E+0 *******"});
}

TEST(FormatItems, StopsAtFirstDataDescriptorWithoutItem) {
  EXPECT_EQ(recs("(1X,A,I6,A)", {"Npts ="}), Records{" Npts ="});
  EXPECT_EQ(recs("(1X,I2,' items',I3)", {5}), Records{"  5 items"});
  EXPECT_EQ(recs("(A,:,' tail')", {"x"}), Records{"x"});
  EXPECT_EQ(recs("(I5)", {}), Records{""});
  EXPECT_EQ(recs("(A,/,A)", {"a", "b"}), (Records{"a", "b"}));
  EXPECT_EQ(recs("(A/)", {"a"}), (Records{"a", ""}));
  EXPECT_EQ(recs("(1X,A,I3,A,60A1)", {"(", 3, ")|", "X", "X", "X"}),
            Records{" (  3)|XXX"});
}

TEST(FormatItems, ReversionOnNewRecords) {
  // No group: the whole list again.
  EXPECT_EQ(recs("(1X,A,I6)", {"a", 1, "b", 2, "c"}),
            (Records{" a     1", " b     2", " c"}));
  // From the last top-level group, with its repeat count.
  EXPECT_EQ(recs("(A,2(1X,I2),1X)", {"r", 1, 2, 3, 4, 5}),
            (Records{"r  1  2", "  3  4", "  5"}));
  EXPECT_EQ(recs("(A,2(I1),3(1X,I1))", {"r", 1, 2, 3, 4, 5, 6, 7}),
            (Records{"r12 3 4 5", " 6 7"}));
  // A list that takes no items cannot consume them: one record only.
  EXPECT_EQ(recs("(1X,'hello')", {1, 2}), Records{" hello"});
}

TEST(FormatItems, OverwriteAndKeepCursorFlags) {
  auto bar = format_items("(1H+,A,A20)", {"Status: ", "*****..."});
  EXPECT_TRUE(bar.overwrite);
  EXPECT_FALSE(bar.keep_cursor);
  EXPECT_EQ(bar.records, Records{"Status: " + std::string(12, ' ') + "*****..."});

  auto done = format_items("(1H+,A)", {"Status: Done!"});
  EXPECT_TRUE(done.overwrite);
  EXPECT_EQ(done.records, Records{"Status: Done!"});

  auto prompt = format_items("(1X,A,$)", {"_filename:"});
  EXPECT_FALSE(prompt.overwrite);
  EXPECT_TRUE(prompt.keep_cursor);
  EXPECT_EQ(prompt.records, Records{" _filename:"});

  auto erase = format_items("(1H+,A,78A,$)", {">", std::string(78, ' ')});
  EXPECT_TRUE(erase.overwrite);
  EXPECT_TRUE(erase.keep_cursor);
  EXPECT_EQ(erase.records, Records{">" + std::string(78, ' ')});

  auto echo = format_items("(A1,$)", {"xyz"});
  EXPECT_TRUE(echo.keep_cursor);
  EXPECT_EQ(echo.records, Records{"x"});

  // "+" later in the list is ordinary text.
  EXPECT_EQ(recs("(1X,1H+,A)", {"a"}), Records{" +a"});
}

TEST(FormatItems, MismatchedItemsAreConvertedOrStarred) {
  EXPECT_EQ(recs("(I5)", {"abc"}), Records{"*****"});
  EXPECT_EQ(recs("(I5)", {3.9}), Records{"    3"});     // truncated
  EXPECT_EQ(recs("(I5)", {-3.9}), Records{"   -3"});
  EXPECT_EQ(recs("(I5)", {1e30}), Records{"*****"});
  EXPECT_EQ(recs("(I5)", {NAN}), Records{"*****"});
  EXPECT_EQ(recs("(F6.2)", {3}), Records{"  3.00"});
  EXPECT_EQ(recs("(E9.3)", {"x"}), Records{"*********"});
  EXPECT_EQ(recs("(A,1X,A)", {42, 0.1}), Records{"42 0.1"});
  EXPECT_EQ(recs("(I3.2)", {5}), Records{" 05"});
}

TEST(FormatItems, MalformedListsStayBounded) {
  const char* bad[] = {"((((", "(3", ")))", "(9999999999X,A)", "(E9.3E", "(F.)",
                       "(H)", "(5H)", "('open", "(A999999)", "(0A)", "(,,,)",
                       "(1000(1000(1000(1000(1X,A)))))",
                       "(1000(1000(1000(1000(1H*)))))", "(1000(1000(/)))"};
  auto start = std::chrono::steady_clock::now();
  for (const char* f : bad) {
    auto out = format_items(f, {"a", 1, 2.5});
    std::size_t total = 0;
    for (const auto& r : out.records) total += r.size();
    EXPECT_LE(total, 1'100'000u) << f;
    EXPECT_FALSE(out.records.empty()) << f;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(recs("(A999999)", {"ab"}), Records{std::string(998, ' ') + "ab"});

  // The limits still let long, legitimate item lists through.
  std::vector<FormatItem> many(200000, FormatItem(1.5));
  auto out = format_items("(1X,5F8.2)", many);
  ASSERT_EQ(out.records.size(), 40000u);
  EXPECT_EQ(out.records.back(), "     1.50    1.50    1.50    1.50    1.50");
}

TEST(ShortestReal, Presentation) {
  EXPECT_EQ(shortest_real(123456.7f), "123456.7");
  EXPECT_EQ(shortest_real(0.0015f), "0.0015");
  EXPECT_EQ(shortest_real(0.0001f), "0.0001");
  EXPECT_EQ(shortest_real(3.0f), "3");
  EXPECT_EQ(shortest_real(100.0f), "100");
  EXPECT_EQ(shortest_real(-0.25f), "-0.25");
  EXPECT_EQ(shortest_real(12345678.0f), "12345678");
  EXPECT_EQ(shortest_real(1e8f), "1E+08");
  EXPECT_EQ(shortest_real(1.5e-5f), "1.5E-05");
  EXPECT_EQ(shortest_real(1.5e-8f), "1.5E-08");
  EXPECT_EQ(shortest_real(1e10f), "1E+10");
  EXPECT_EQ(shortest_real(FLT_MAX), "3.4028235E+38");
  EXPECT_EQ(shortest_real(-FLT_MIN), "-1.1754944E-38");
  EXPECT_EQ(shortest_real(std::nextafter(0.0f, 1.0f)), "1E-45");
  EXPECT_EQ(shortest_real(0.0f), "0");
  EXPECT_EQ(shortest_real(-0.0f), "-0");
  EXPECT_EQ(shortest_real(NAN), "NaN");
  EXPECT_EQ(shortest_real(INFINITY), "Inf");
  EXPECT_EQ(shortest_real(-INFINITY), "-Inf");
}

bool reads_back(float v) {
  std::string s = shortest_real(v);
  char* end = nullptr;
  float r = std::strtof(s.c_str(), &end);
  if (*end != '\0') return false;
  return std::memcmp(&r, &v, sizeof v) == 0;
}

TEST(ShortestReal, ReadsBackBitExactly) {
  std::vector<float> edges = {0.0f, -0.0f, FLT_MAX, -FLT_MAX, FLT_MIN, -FLT_MIN,
                              std::nextafter(FLT_MIN, 0.0f), std::nextafter(0.0f, 1.0f),
                              1.0f, std::nextafter(1.0f, 2.0f), 0.1f, 1e7f, 1e8f,
                              9999999.0f, 1e-4f, 9.999999e-5f, INFINITY, -INFINITY};
  for (float v : edges) EXPECT_TRUE(reads_back(v)) << shortest_real(v);

  std::mt19937 rng(2024);
  int failures = 0;
  for (int n = 0; n < 1'000'000; ++n) {
    std::uint32_t bits = rng();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isnan(v)) continue;
    if (!reads_back(v) && ++failures < 5) ADD_FAILURE() << bits << " " << shortest_real(v);
  }
  EXPECT_EQ(failures, 0);
}

TEST(FreeRecord, LeadingBlankAndSeparators) {
  EXPECT_EQ(free_record({"Npts =", 42, 0.5}), " Npts = 42 0.5");
  EXPECT_EQ(free_record({1, 2.5, -1e-9}), " 1 2.5 -1E-09");
  EXPECT_EQ(free_record(std::vector<FormatItem>{}), " ");
  EXPECT_EQ(free_record({1e300}), " Inf");  // reals are single precision
}

class FakeConsole : public Console {
 public:
  std::vector<std::string> log;

 protected:
  void do_record(std::string_view t) override { log.push_back("record:" + std::string(t)); }
  void do_prompt(std::string_view t) override { log.push_back("prompt:" + std::string(t)); }
  void do_overwrite(std::string_view t) override { log.push_back("overwrite:" + std::string(t)); }
  void do_append(std::string_view t) override { log.push_back("append:" + std::string(t)); }
  std::optional<std::string> do_read_line(int) override { return std::nullopt; }
  int do_read_key() override { return -1; }
  std::optional<std::string> do_pause(std::string_view) override { return std::nullopt; }
};

TEST(WriteFormatted, RoutesRecordsByFlags) {
  FakeConsole con;
  write_formatted(con, "(1X,A,I6)", {"Npts =", 3});
  write_formatted(con, "(A,/,A,$)", {"a", "b"});
  write_formatted(con, "(1H+,A,A,$)", {">", "text"});
  write_formatted(con, "(1H+,A,/,A,/,A,$)", {"x", "y", "z"});
  write_formatted(con, "(1X,A,I6)", std::vector<FormatItem>{"v", 1, "w"});
  write_free(con, {"T", 1.5});
  EXPECT_EQ(con.log, (std::vector<std::string>{
                         "record: Npts =     3", "record:a", "prompt:b", "overwrite:>text",
                         "overwrite:x", "record:y", "prompt:z", "record: v     1",
                         "record: w", "record: T 1.5"}));
}

}  // namespace
}  // namespace verto
