#include "workspace/capacity.h"

#include <string>

#include "workspace/console.h"
#include "workspace/workspace.h"

namespace verto {

void report_capacity(Console& con, std::string_view name) {
  con.record("<<<VERTO!!!>>> Capacity reached: " + std::string(name) + " stops at " +
             std::to_string(kMaxNpts) + ".");
}

int checked_count(Console& con, long long wanted, std::string_view name) {
  if (wanted > kMaxNpts) {
    report_capacity(con, name);
    return kMaxNpts;
  }
  if (wanted < 0) {
    con.record("<<<VERTO!!!>>> " + std::string(name) + " cannot be negative: set to 0.");
    return 0;
  }
  return static_cast<int>(wanted);
}

}  // namespace verto
