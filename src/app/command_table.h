#pragma once
// The application's command table, in matching order, for the session.
#include <span>

#include "core/dispatch.h"

namespace verto {

std::span<const CommandEntry> command_table();

}  // namespace verto
