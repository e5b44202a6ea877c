#pragma once
// Everything a command works with: the workspace state, the evaluator's
// process-wide state, the console, the services beyond it and the command
// table that dispatch searches. One Session exists per run (tests make
// their own). The line editor that feeds the session its lines is not part
// of it: it belongs to the application (app/editor_state.h).
#include <atomic>
#include <span>
#include <string>

#include "core/dispatch.h"
#include "core/evaluator.h"
#include "core/system.h"
#include "core/work_arrays.h"
#include "core/workspace.h"

namespace verto {

class Console;
class SessionRecord;
class WindowServices;

struct Session {
  // `table`: the commands in matching order (the application's is
  // app/command_table.h).
  Session(Console& c, SystemServices& sys, std::span<const CommandEntry> table)
      : con(c), system(sys), commands(table) {}
  Workspace ws;
  expr::ExprState expr;
  Console& con;
  SystemServices& system;
  WindowServices* window = nullptr;  // null: no plot window available
  SessionRecord* record = nullptr;   // the notebook; null: none
  bool quit = false;                 // set by QUIT/EXIT
  // Set (from any thread) when the front-end goes away, e.g. the frame is
  // closed: commands that write files or wait for programs end at their
  // next safe point, leaving nothing half-done, and set `abandoned` when
  // they gave up work.
  std::atomic<bool> closing{false};
  bool abandoned = false;
  std::span<const CommandEntry> commands;  // what dispatch runs
  WorkArrays work;                   // commands' reusable work arrays
};

}  // namespace verto
