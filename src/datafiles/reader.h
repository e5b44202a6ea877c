#pragma once
// Free-format input of data files and typed records.
//
// A record is a fixed number of values read from one or more lines:
// values are separated by blanks, tabs, commas or semicolons; a value may
// be written in integer, fixed-point or exponent form with E or D
// (1, -2.5, 3.E4, 1.2e-3, 1.5D+03, 1.5+03); two commas in a row (or a
// comma first in the record) leave that value as it was; a line with more
// values than the record needs has the rest ignored; a line with fewer
// continues on the next line; "/" ends the record early, leaving the
// remaining values as they were. A line that cannot be read as numbers
// (text, a header, a value outside single precision) is skipped together
// with the unfinished record it was part of.
//
// Typical use (two values per record appended to arrays):
//
//   std::FILE* f = std::fopen(name, "rb");
//   RecordReader reader(f);
//   float v[2] = {x[i], y[i]};   // values a record leaves unset keep these
//   while (i < capacity && reader.next(v, 2)) { x[i] = v[0]; y[i] = v[1]; ... }
//   std::fclose(f);
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace verto {

// Most values one record may hold (a user format fills at most a line).
constexpr int kMaxRecordValues = 72;
// Longest data-file line taken as a whole; the rest of a longer line is
// dropped (a record that needs values from beyond the cut is unreadable).
constexpr std::size_t kMaxDataLine = std::size_t{1} << 20;
// The automatic column scan looks at this many characters of a line.
constexpr std::size_t kScanLineLength = 250;

// Converts one number token (no separators around it). Refuses anything
// that is not a number and any value outside the single-precision range;
// values too small for it become zero.
bool parse_real(std::string_view token, float& value);

// Splits a file into lines without their end-of-line characters ("\n",
// "\r\n" or "\r"). The buffer is allocated once per reader; views stay
// valid until the next call.
class LineReader {
 public:
  explicit LineReader(std::FILE* file);
  // The next line; false at the end of the file (or on a read error).
  // `cut` is set when the line was longer than kMaxDataLine.
  bool next(std::string_view& line, bool& cut);

 private:
  bool refill();
  std::FILE* file_;
  std::unique_ptr<char[]> buf_;
  std::size_t size_ = 0, begin_ = 0, end_ = 0;
  bool eof_ = false;
  bool skipping_ = false;  // dropping the tail of an over-long line
  bool after_cr_ = false;  // a "\n" right after "\r" ends no line
};

// The values of one record, fed line by line.
class RecordParser {
 public:
  enum class Status { Complete, NeedMore, Unreadable };

  // Starts a record of `n` values (0..kMaxRecordValues).
  void start(int n);
  // Consumes one line of the record.
  Status feed(std::string_view line);
  // After Complete: writes the values the record set into values[0..n-1];
  // the others are left as they are.
  void store(float* values) const;
  // Whether value i was given (not left by "/", ",," or a short record).
  bool given(int i) const { return i >= 0 && i < n_ && given_[i]; }
  int size() const { return n_; }

 private:
  int n_ = 0;
  int pos_ = 0;
  bool after_separator_ = true;  // a comma now gives an empty value
  float values_[kMaxRecordValues] = {};
  bool given_[kMaxRecordValues] = {};
};

// Reads records from an open file, skipping lines that cannot be read.
class RecordReader {
 public:
  explicit RecordReader(std::FILE* file) : lines_(file) {}
  // Reads the next record of n values into values[0..n-1]; values the
  // record does not give keep their content. False at the end of the
  // file; an unfinished record at the end is dropped.
  bool next(float* values, int n);

 private:
  LineReader lines_;
  RecordParser parser_;
};

// Counts the fields of a line that begins like a number: fields are
// separated by blanks or commas; failing that, by any character that
// cannot be part of a number (tabs, semicolons). Counting stops at a field
// that does not begin like a number. Only the first kScanLineLength
// characters are looked at; leading blanks and tabs are dropped first.
// A line that does not begin like a number has no fields (0).
int count_fields(std::string_view line);

// The automatic column scan: count_fields of the first line of the file
// that begins like a number; 0 when there is none.
int auto_columns(std::FILE* file);

}  // namespace verto
