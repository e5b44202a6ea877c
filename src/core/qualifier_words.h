#pragma once
// Where a command's text argument (a file name, a label, marker entries,
// an expression) begins once its qualifiers are set aside. Qualifiers
// follow the command word ("LINE/ADD run.dat") or stand as words of their
// own before the argument ("LINE /ADD run.dat"). A word that begins with
// "/" is taken as a qualifier word only when each of its "/" parts begins
// with one of the command's qualifiers (or, with `ranges`, holds a ":"),
// so that a file name such as /home/me/run.dat stays the argument and
// slashes inside a path or a label never act as qualifiers.
#include <initializer_list>
#include <string_view>

namespace verto {

// 1-based position of the argument in the upper-case line, 0 when the
// line holds no argument.
int argument_after_qualifiers(std::string_view upper,
                              std::initializer_list<std::string_view> known,
                              bool ranges = false);

// The text in which qualifiers are looked for: the line before the
// argument, or its first `limit` characters when it has no argument.
std::string_view qualifier_text(std::string_view upper, int argument, int limit);

inline bool has_qualifier(std::string_view text, std::string_view q) {
  return text.find(q) != std::string_view::npos;
}

}  // namespace verto
