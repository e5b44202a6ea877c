#pragma once
// Small pieces shared by the processing commands.
#include <string_view>

namespace verto {

struct Session;

// Replaces the point markers by one marker at Npts (when the auto-marker
// flag is set): `word` followed by the old marker's label when there was
// exactly one marker, otherwise `default_label`.
void rewrite_point_markers(Session& s, std::string_view word, std::string_view default_label);

// True for the characters a typed number may start with here: a digit or ".".
bool starts_unsigned_number(char c);

// The text of `upper` from 1-based position `from` up to (not including)
// the next character of `stops`, or to the end of the line.
std::string_view token_at(std::string_view upper, int from, std::string_view stops = " ");

}  // namespace verto
