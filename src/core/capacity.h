#pragma once
// Counts that commands set or extend stay inside 0..kMaxNpts (50000). A
// command that meets the limit keeps what fitted and says so in one line,
// and shows the count it leaves.
#include <string_view>

namespace verto {

class Console;
struct Session;

// `wanted` kept inside 0..kMaxNpts; prints the capacity message, or the
// message that the count cannot be negative, when it had to be moved.
int checked_count(Console& con, long long wanted, std::string_view name);

// "<<<VERTO!!!>>> Capacity of 50000 points reached; the rest was not
// added." for a command that stopped appending (`what`: "points", "rows",
// "line points"; `rest` names what was left).
void report_capacity(Console& con, std::string_view what,
                     std::string_view rest = "the rest was not added");

// The count lines after a command changed a data set: " Npts =" and
// " lines =" with the count in six columns.
void print_npts(Session& s);
void print_nline(Session& s);

}  // namespace verto
