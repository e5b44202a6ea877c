#include "core/capacity.h"

#include <string>

#include "core/console.h"
#include "core/format.h"
#include "core/session.h"
#include "core/workspace.h"

namespace verto {

void report_capacity(Console& con, std::string_view what, std::string_view rest) {
  con.record("<<<VERTO!!!>>> Capacity of " + std::to_string(kMaxNpts) + " " + std::string(what) +
             " reached; " + std::string(rest) + ".");
}

int checked_count(Console& con, long long wanted, std::string_view name) {
  if (wanted > kMaxNpts) {
    con.record("<<<VERTO!!!>>> Capacity of " + std::to_string(kMaxNpts) + " reached: " +
               std::string(name) + " set to " + std::to_string(kMaxNpts) + ".");
    return kMaxNpts;
  }
  if (wanted < 0) {
    con.record("<<<VERTO!!!>>> " + std::string(name) + " cannot be negative: set to 0.");
    return 0;
  }
  return static_cast<int>(wanted);
}

void print_npts(Session& s) { write_formatted(s.con, "(1X,A,I6)", {"Npts =", s.ws.Npts}); }

void print_nline(Session& s) { write_formatted(s.con, "(1X,A,I6)", {"lines =", s.ws.Nline}); }

}  // namespace verto
