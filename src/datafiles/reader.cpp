#include "datafiles/reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    std::size_t i = begin_;
    while (i < end_ && data[i] != '\n' && data[i] != '\r') ++i;
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
    std::size_t j = i;
    while (j < len && !is_separator(line[j])) ++j;
    float v;
    if (!parse_real(line.substr(i, j - i), v)) return Status::Unreadable;
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
