#include "datafiles/reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/numbers.h"

namespace verto {

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

// Characters that end a value in a record.
bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '/' || c == '\r' ||
         c == '\n' || c == '\f' || c == '\v';
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Powers of ten that single precision holds exactly.
constexpr float kExactPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// The common plain form of a data value, [sign]digits[.digits] with at
// most 2^24 as its digit string and at most ten digits after the point,
// read in one pass from line[i]: both the digit string and the power of
// ten are exact in single precision, so one multiplication or division
// rounds correctly and gives the value the full conversion would. Returns
// the end of the value, or 0 when the text is not of this form or is not
// followed by a separator (the full parse decides then).
std::size_t plain_value(std::string_view line, std::size_t i, float& value) {
  const char* const s = line.data();
  const std::size_t len = line.size();
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  auto digit = [s](std::size_t k) {
    return static_cast<unsigned>(static_cast<unsigned char>(s[k])) - unsigned{'0'};
  };
  // Up to 19 digits cannot overflow; longer strings are refused below.
  std::uint64_t w = 0;
  const std::size_t int_begin = i;
  for (unsigned d; i < len && (d = digit(i)) <= 9; ++i) w = w * 10 + d;
  std::size_t digits = i - int_begin, decimals = 0;
  if (i < len && s[i] == '.') {
    const std::size_t frac_begin = ++i;
    for (unsigned d; i < len && (d = digit(i)) <= 9; ++i) w = w * 10 + d;
    decimals = i - frac_begin;
    digits += decimals;
  }
  if (digits == 0 || digits > 19 || w > (std::uint64_t{1} << 24) || decimals > 10) return 0;
  if (i < len && !is_separator(s[i])) return 0;
  const float f = static_cast<float>(w) / kExactPow10[decimals];
  value = negative ? -f : f;
  return i;
}

}  // namespace

bool parse_real(std::string_view t, float& value) { return parse_float(t, value); }

// ---------------------------------------------------------------------------

LineReader::LineReader(std::FILE* file) : file_(file), buf_(new char[kChunk]), size_(kChunk) {}

bool LineReader::refill() {
  if (eof_ || !file_) {
    eof_ = true;
    return false;
  }
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == size_ && size_ < kMaxDataLine) {
    // A line longer than the buffer: grow it (up to the longest line).
    std::size_t bigger = std::min(size_ * 2, kMaxDataLine);
    std::unique_ptr<char[]> grown(new char[bigger]);
    std::memcpy(grown.get(), buf_.get(), end_);
    buf_ = std::move(grown);
    size_ = bigger;
  }
  if (end_ == size_) return true;  // full: the caller cuts the line
  std::size_t got = std::fread(buf_.get() + end_, 1, size_ - end_, file_);
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += got;
  return true;
}

bool LineReader::next(std::string_view& line, bool& cut) {
  for (;;) {
    if (after_cr_ && begin_ < end_) {
      after_cr_ = false;
      if (buf_[begin_] == '\n') ++begin_;
    }
    char* data = buf_.get();
    // The line ends at the first "\n" or "\r", looked for a window at a
    // time so that files whose lines end in "\r" alone are not searched
    // to the end of the buffer for a "\n" at every line.
    std::size_t i = end_;
    for (std::size_t from = begin_; from < end_;) {
      const std::size_t to = std::min(end_, from + 256);
      const void* nl = std::memchr(data + from, '\n', to - from);
      const std::size_t limit = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data) : to;
      if (const void* cr = std::memchr(data + from, '\r', limit - from)) {
        i = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        break;
      }
      if (nl) {
        i = limit;
        break;
      }
      from = to;
    }
    if (i < end_) {
      after_cr_ = data[i] == '\r';
      std::size_t from = begin_;
      begin_ = i + 1;
      if (skipping_) {
        skipping_ = false;
        continue;
      }
      line = std::string_view(data + from, i - from);
      cut = false;
      return true;
    }
    // No end of line in the buffer.
    if (skipping_) {
      begin_ = end_ = 0;
    } else if (begin_ == 0 && end_ == size_ && size_ >= kMaxDataLine) {
      line = std::string_view(data, end_);
      cut = true;
      skipping_ = true;
      begin_ = end_;
      return true;
    }
    if (!refill()) {
      if (begin_ < end_ && !skipping_) {
        line = std::string_view(buf_.get() + begin_, end_ - begin_);
        cut = false;
        begin_ = end_;
        return true;
      }
      begin_ = end_ = 0;
      return false;
    }
  }
}

// ---------------------------------------------------------------------------

void RecordParser::start(int n) {
  n_ = std::clamp(n, 0, kMaxRecordValues);
  pos_ = 0;
  after_separator_ = true;
  std::fill(given_, given_ + n_, false);
}

RecordParser::Status RecordParser::feed(std::string_view line) {
  if (pos_ >= n_) return Status::Complete;
  std::size_t i = 0;
  const std::size_t len = line.size();
  while (i < len) {
    const char c = line[i];
    if (is_blank(c)) {
      ++i;
      continue;
    }
    if (c == ',' || c == ';') {
      if (after_separator_) {
        // An empty value: it keeps what it held.
        if (++pos_ >= n_) return Status::Complete;
      }
      after_separator_ = true;
      ++i;
      continue;
    }
    if (c == '/') {
      pos_ = n_;
      return Status::Complete;
    }
    float v;
    std::size_t j = plain_value(line, i, v);
    if (j == 0) {
      j = i;
      while (j < len && !is_separator(line[j])) ++j;
      if (!parse_real(line.substr(i, j - i), v)) return Status::Unreadable;
    }
    values_[pos_] = v;
    given_[pos_] = true;
    after_separator_ = false;
    if (++pos_ >= n_) return Status::Complete;
    i = j;
  }
  return Status::NeedMore;
}

void RecordParser::store(float* values) const {
  for (int i = 0; i < n_; ++i)
    if (given_[i]) values[i] = values_[i];
}

bool RecordReader::next(float* values, int n) {
  parser_.start(n);
  if (n <= 0) {
    std::string_view line;
    bool cut;
    return lines_.next(line, cut);
  }
  std::string_view line;
  bool cut = false;
  while (lines_.next(line, cut)) {
    if (cut) {
      // Only whole values count: drop the value the cut ran through.
      std::size_t k = line.size();
      while (k > 0 && !is_separator(line[k - 1])) --k;
      line = line.substr(0, k);
    }
    auto status = parser_.feed(line);
    if (status == RecordParser::Status::NeedMore && cut)
      status = RecordParser::Status::Unreadable;
    if (status == RecordParser::Status::Complete) {
      parser_.store(values);
      return true;
    }
    if (status == RecordParser::Status::Unreadable) parser_.start(n);
  }
  return false;
}

// ---------------------------------------------------------------------------

namespace {

constexpr std::string_view kNumberStart = "1234567890.+-";
// Characters that may stand inside a number when the fields are not
// separated by blanks or commas.
constexpr std::string_view kNumberChars = "1234567890EeDd.+-";

bool begins_like_number(char c) { return kNumberStart.find(c) != std::string_view::npos; }

std::string_view scan_prefix(std::string_view line) {
  line = line.substr(0, std::min(line.size(), kScanLineLength));
  std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return line.substr(first);
}

}  // namespace

int count_fields(std::string_view raw) {
  std::string_view line = scan_prefix(raw);
  if (line.empty() || !begins_like_number(line[0])) return 0;
  int count = 0;
  std::size_t pos = 0;
  for (;;) {
    ++count;
    std::size_t next = std::string_view::npos;
    std::size_t sep = line.find_first_of(" ,", pos);
    if (sep != std::string_view::npos) next = line.find_first_not_of(" ,", sep);
    if (next == std::string_view::npos) {
      // Fields not separated by blanks or commas: the next field starts at
      // the first number character after a character outside a number.
      std::size_t other = line.find_first_not_of(kNumberChars, pos);
      if (other != std::string_view::npos) next = line.find_first_of(kNumberChars, other + 1);
    }
    if (next == std::string_view::npos || !begins_like_number(line[next])) break;
    pos = next;
  }
  return count;
}

int auto_columns(std::FILE* file) {
  LineReader lines(file);
  std::string_view line;
  bool cut;
  while (lines.next(line, cut)) {
    std::string_view head = scan_prefix(line);
    if (!head.empty() && begins_like_number(head[0])) return count_fields(head);
  }
  return 0;
}

}  // namespace verto
