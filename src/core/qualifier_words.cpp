#include "core/qualifier_words.h"

#include <algorithm>

#include "core/parsers.h"

namespace verto {

namespace {

// Every "/" part of the word must be a qualifier: "/ADD/1:5" is one, while
// "/no/such" and "/Zebra/run.dat" are names.
bool qualifier_word(std::string_view word, std::initializer_list<std::string_view> known,
                    bool ranges) {
  while (!word.empty()) {
    const auto next = word.find('/', 1);
    const std::string_view part = word.substr(0, next);
    bool ok = ranges && part.find(':') != std::string_view::npos;
    for (std::string_view q : known)
      if (part.substr(0, q.size()) == q) ok = true;
    if (!ok) return false;
    if (next == std::string_view::npos) break;
    word.remove_prefix(next);
  }
  return true;
}

}  // namespace

int argument_after_qualifiers(std::string_view upper,
                              std::initializer_list<std::string_view> known,
                              bool ranges) {
  int pos = argument_start(upper);
  if (pos <= 0) return 0;
  const auto size = static_cast<int>(upper.size());
  while (pos >= 1 && pos <= size && upper[pos - 1] == '/') {
    auto end = upper.find(' ', pos - 1);
    std::string_view word = upper.substr(pos - 1, end == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : end - (pos - 1));
    if (!qualifier_word(word, known, ranges)) break;
    if (end == std::string_view::npos) return 0;
    auto next = upper.find_first_not_of(' ', end);
    if (next == std::string_view::npos) return 0;
    pos = static_cast<int>(next) + 1;
  }
  return pos;
}

std::string_view qualifier_text(std::string_view upper, int argument, int limit) {
  if (argument > 0) return upper.substr(0, static_cast<std::size_t>(argument - 1));
  return upper.substr(0, std::min<std::size_t>(upper.size(), static_cast<std::size_t>(limit)));
}

}  // namespace verto
