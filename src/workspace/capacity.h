#pragma once
// Counts that commands set or extend stay inside 0..kMaxNpts (50000). A
// command that meets the limit keeps what fitted and says so in one line.
#include <string_view>

namespace verto {

class Console;

// `wanted` kept inside 0..kMaxNpts; prints the capacity message, or the
// message that the count cannot be negative, when it had to be moved.
int checked_count(Console& con, long long wanted, std::string_view name);

// "<<<VERTO!!!>>> Capacity of 50000 points reached; the rest was not
// added." for a command that stopped appending (`what`: "points", "line
// points"; `rest` names what was left).
void report_capacity(Console& con, std::string_view what,
                     std::string_view rest = "the rest was not added");

}  // namespace verto
