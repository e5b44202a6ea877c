// Feeds arbitrary descriptor lists and items to the formatter. Input layout:
// the descriptor text up to the first NUL byte, then items, each a tag byte
// followed by its value: tag%3 == 0 a text (length byte, then characters),
// 1 an int (4 bytes), 2 a double (8 bytes). Every double is also written
// through the single-field helpers, and every float must read back from
// its shortest text bit-exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::size_t nul = in.find('\0');
  std::string_view descriptors = in.substr(0, nul);
  std::size_t pos = nul == std::string_view::npos ? size : nul + 1;

  std::vector<std::string> texts;
  texts.reserve(size);
  std::vector<verto::FormatItem> items;
  std::vector<double> reals;
  while (pos < size && items.size() < 64) {
    int tag = data[pos++] % 3;
    if (tag == 0) {
      std::size_t len = pos < size ? data[pos++] : 0;
      len = std::min(len, size - pos);
      texts.emplace_back(in.substr(pos, len));
      pos += len;
      items.emplace_back(std::string_view(texts.back()));
    } else if (tag == 1 && size - pos >= 4) {
      std::int32_t v;
      std::memcpy(&v, data + pos, 4);
      pos += 4;
      items.emplace_back(static_cast<int>(v));
    } else if (tag == 2 && size - pos >= 8) {
      double v;
      std::memcpy(&v, data + pos, 8);
      pos += 8;
      items.emplace_back(v);
      reals.push_back(v);
    } else {
      break;
    }
  }

  verto::FormattedOutput out = verto::format_items(descriptors, items);
  if (out.records.empty()) std::abort();
  (void)verto::free_record(items);

  for (double v : reals) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    int w = static_cast<int>(bits % 1200);
    int d = static_cast<int>((bits >> 12) % 1100);
    int e = static_cast<int>((bits >> 24) % 6);
    std::string f = verto::format_fixed(v, w, d);
    std::string x = verto::format_exp(v, w, d % 40, e);
    if (w > 0 && (f.size() != static_cast<std::size_t>(std::min(w, 1000)) ||
                  x.size() != static_cast<std::size_t>(std::min(w, 1000))))
      std::abort();
    (void)verto::format_int(static_cast<long long>(bits), w);

    std::uint32_t fbits = static_cast<std::uint32_t>(bits);
    float fv;
    std::memcpy(&fv, &fbits, 4);
    if (fv == fv) {
      std::string s = verto::shortest_real(fv);
      float back = std::strtof(s.c_str(), nullptr);
      if (std::memcmp(&back, &fv, 4) != 0) std::abort();
    }
  }
  return 0;
}
