#include "datafiles/reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace verto {
namespace {

// A file holding `text`, read back through the reader classes.
struct TextFile {
  explicit TextFile(const std::string& text) {
    f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
  }
  ~TextFile() { std::fclose(f); }
  std::FILE* f;
};

std::vector<std::vector<float>> records(const std::string& text, int n, float fill = -1) {
  TextFile file(text);
  RecordReader reader(file.f);
  std::vector<std::vector<float>> out;
  std::vector<float> v(n, fill);
  while (reader.next(v.data(), n)) {
    out.push_back(v);
    std::fill(v.begin(), v.end(), fill);
  }
  return out;
}

using Rows = std::vector<std::vector<float>>;

TEST(ParseReal, NumberForms) {
  struct Case {
    const char* text;
    float value;
  } cases[] = {{"1", 1.f},          {"-2.5", -2.5f},     {"3.E4", 3e4f},     {"1.2e-3", 1.2e-3f},
               {"+.5", 0.5f},       {"7.", 7.f},         {"1.5D+03", 1.5e3f}, {"1.5d3", 1.5e3f},
               {"2.5E+00", 2.5f},   {"1.5+03", 1.5e3f},  {"-4.0-02", -4e-2f}, {"0", 0.f},
               {"3.4028235E38", std::numeric_limits<float>::max()},
               {"1.4e-45", std::numeric_limits<float>::denorm_min()}};
  for (const auto& c : cases) {
    float v = -99;
    ASSERT_TRUE(parse_real(c.text, v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  float v = 1;
  ASSERT_TRUE(parse_real("-0", v));
  EXPECT_TRUE(std::signbit(v));
  // Too small for single precision: zero with its sign.
  ASSERT_TRUE(parse_real("-1e-60", v));
  EXPECT_EQ(v, 0.f);
  EXPECT_TRUE(std::signbit(v));
  ASSERT_TRUE(parse_real("1D-400", v));
  EXPECT_EQ(v, 0.f);
}

TEST(ParseReal, RefusesWhatIsNotAFiniteNumber) {
  for (const char* t : {"", "+", "-", ".", "e5", "1e", "1e+", "1.5x", "abc", "1..2", "1.2.3", "0x10",
                        "inf", "-Inf", "NaN", "nan", "1E999", "-1e39", "3.5e38", "1D+400", "1,5",
                        "2021-03-04", "1e5e5", "--1", "1 2"}) {
    float v = 42;
    EXPECT_FALSE(parse_real(t, v)) << t;
    EXPECT_EQ(v, 42.f) << t;
  }
  // Very long digit strings are numbers as long as their value fits.
  std::string long_zeros = "0." + std::string(300, '0') + "1";
  float v = 0;
  EXPECT_TRUE(parse_real(long_zeros, v));
  EXPECT_EQ(v, 0.f);
  EXPECT_FALSE(parse_real(std::string(300, '9'), v));
}

TEST(RecordReader, SeparatorsContinuationAndSkippedLines) {
  EXPECT_EQ(records("1 2\n3,4\n 5 , 6 \n7\t8\n9;10\n", 2),
            (Rows{{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}}));
  // Extra values on a line are ignored; a short line continues.
  EXPECT_EQ(records("1 2 3 4\n5\n6 7\n\n8\n9\n", 2), (Rows{{1, 2}, {5, 6}, {8, 9}}));
  // Text lines, and a bad line inside a record, drop the unfinished record.
  EXPECT_EQ(records("x y\n1 2\n3\nbad\n4 5\n6 abc\n7 8 text\n", 2), (Rows{{1, 2}, {4, 5}, {7, 8}}));
  // Values outside single precision make a line unreadable.
  EXPECT_EQ(records("1 1E999\n2 NaN\n3 inf\n4 4\n", 2), (Rows{{4, 4}}));
  // An unfinished record at the end of the file is dropped.
  EXPECT_EQ(records("1 2\n3\n", 2), (Rows{{1, 2}}));
  EXPECT_EQ(records("", 2), Rows{});
}

TEST(RecordReader, SlashAndEmptyValuesLeaveValuesAsTheyWere) {
  EXPECT_EQ(records("1 /\n/\n2 3 4\n", 3, -1), (Rows{{1, -1, -1}, {-1, -1, -1}, {2, 3, 4}}));
  EXPECT_EQ(records("1,,3\n,5,6\n7 , , 9\n1/2 3\n", 3, -1),
            (Rows{{1, -1, 3}, {-1, 5, 6}, {7, -1, 9}, {1, -1, -1}}));
  // Text after a slash is never read.
  EXPECT_EQ(records("1 2 / words\n", 3, 0), (Rows{{1, 2, 0}}));
}

TEST(RecordReader, LineEndsOfEveryKind) {
  EXPECT_EQ(records("1 2\r\n3 4\r\n", 2), (Rows{{1, 2}, {3, 4}}));
  EXPECT_EQ(records("1 2\r3 4\r5 6", 2), (Rows{{1, 2}, {3, 4}, {5, 6}}));
  EXPECT_EQ(records("1\r\n2\n", 2), (Rows{{1, 2}}));
}

TEST(RecordReader, LongLinesAndJunk) {
  // A line longer than the read buffer, then a normal one.
  std::string big = "1 2";
  big += std::string(200000, ' ');
  big += " 3\n4 5\n";
  EXPECT_EQ(records(big, 2), (Rows{{1, 2}, {4, 5}}));
  EXPECT_EQ(records(big, 3), (Rows{{1, 2, 3}}));
  // A line beyond the longest line is cut: values before the cut count,
  // a record that needs more than the cut line holds is dropped, and the
  // tail of the line is never read as a line of its own.
  std::string huge = "7 8 ";
  while (huge.size() < kMaxDataLine + 1000) huge += "1.25 ";
  huge += "\n9 10\n";
  EXPECT_EQ(records(huge, 2), (Rows{{7, 8}, {9, 10}}));
  std::string one_value_huge = "7" + std::string(kMaxDataLine + 10, ' ') + "8\n9 10\n";
  EXPECT_EQ(records(one_value_huge, 2), (Rows{{9, 10}}));
  // Binary junk, NUL bytes included, reads nothing and ends.
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 7919) & 0xff);
  junk += "\nzz\n1 2\n";
  auto got = records(junk, 2);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), (std::vector<float>{1, 2}));
}

TEST(RecordParser, FeedsLineByLine) {
  RecordParser p;
  p.start(3);
  EXPECT_EQ(p.feed("1"), RecordParser::Status::NeedMore);
  EXPECT_EQ(p.feed(""), RecordParser::Status::NeedMore);
  EXPECT_EQ(p.feed("2 3 4"), RecordParser::Status::Complete);
  float v[3] = {0, 0, 0};
  p.store(v);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(v[2], 3);
  p.start(2);
  EXPECT_EQ(p.feed("/"), RecordParser::Status::Complete);
  EXPECT_FALSE(p.given(0));
  p.start(2);
  EXPECT_EQ(p.feed("-2.3E-10 /"), RecordParser::Status::Complete);
  EXPECT_TRUE(p.given(0));
  EXPECT_FALSE(p.given(1));
  p.start(1);
  EXPECT_EQ(p.feed("one"), RecordParser::Status::Unreadable);
}

// Values in the common plain form ([sign]digits[.digits]) are read in one
// pass; they must come out bit for bit as the full conversion gives them,
// at the edges of that form too (2^24 and more digits, ten and eleven
// decimals, bare points, signs, zeros).
TEST(RecordParser, PlainValuesReadAsTheFullConversionDoes) {
  std::mt19937 gen(9);
  std::uniform_int_distribution<int> ndigits(1, 11), digit(0, 9), coin(0, 3);
  std::vector<std::string> tokens{"16777216", "16777217", "16777215.", "1.6777217", ".5",
                                  "5.", "-0", "+0.0", "-.0000000001", "0.00000000001",
                                  "999999999", "1000000000", "3.4028235"};
  for (int i = 0; i < 20000; ++i) {
    std::string t = coin(gen) == 0 ? "-" : (coin(gen) == 0 ? "+" : "");
    const int n = ndigits(gen), point = std::uniform_int_distribution<int>(0, n)(gen);
    for (int k = 0; k < n; ++k) {
      if (k == point) t += '.';
      t += static_cast<char>('0' + digit(gen));
    }
    tokens.push_back(t);
  }
  for (const std::string& t : tokens) {
    float full = 0.f;
    ASSERT_TRUE(parse_real(t, full)) << t;
    for (const std::string& line : {t + " 7", t + ",7", t + "\t7", t + "/"}) {
      RecordParser p;
      p.start(1);
      ASSERT_EQ(p.feed(line), RecordParser::Status::Complete) << line;
      float v = 0.f;
      p.store(&v);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(v), std::bit_cast<std::uint32_t>(full)) << line;
    }
  }
  // A plain beginning that runs into more than a number is no number.
  RecordParser p;
  p.start(1);
  EXPECT_EQ(p.feed("12.5x 3"), RecordParser::Status::Unreadable);
  p.start(1);
  EXPECT_EQ(p.feed("1.2.3"), RecordParser::Status::Unreadable);
}

int columns_of(const std::string& text) {
  TextFile file(text);
  return auto_columns(file.f);
}

TEST(AutoColumns, CountsTheFieldsOfTheFirstNumericLine) {
  EXPECT_EQ(count_fields("1 2 3"), 3);
  EXPECT_EQ(count_fields("  1.5,  -2, +3e4 ,.5"), 4);
  EXPECT_EQ(count_fields("1\t2\t3"), 3);
  EXPECT_EQ(count_fields("1.5E3\t2e-3\t3"), 3);
  EXPECT_EQ(count_fields("4;40;0.4"), 3);
  EXPECT_EQ(count_fields("1 2 abc 4"), 2);
  EXPECT_EQ(count_fields("\t7\t8"), 2);
  EXPECT_EQ(count_fields("x 1 2"), 0);
  EXPECT_EQ(count_fields(""), 0);
  // Only the first 250 characters are looked at.
  std::string wide;
  for (int i = 0; i < 200; ++i) wide += "1 ";
  EXPECT_EQ(count_fields(wide), 125);

  EXPECT_EQ(columns_of("title\n\n  x y z w\n 1 2 3 4\n5 6\n"), 4);
  EXPECT_EQ(columns_of("no numbers\nat all\n"), 0);
  EXPECT_EQ(columns_of(""), 0);
  EXPECT_EQ(columns_of("-1.5;2;3\r\n"), 3);
}

}  // namespace
}  // namespace verto
