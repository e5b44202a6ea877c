#include "core/console.h"

namespace verto {

void Console::remember_overwrite(std::string_view text) {
  last_overwrite_.assign(text.data(), text.size());
  last_overwrite_valid_ = true;
  do_overwrite(text);
}

}  // namespace verto
