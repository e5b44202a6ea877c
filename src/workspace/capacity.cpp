#include "workspace/capacity.h"

#include <string>

#include "workspace/console.h"
#include "workspace/workspace.h"

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

}  // namespace verto
