#pragma once
// Everything a command works with: the workspace state, the evaluator's
// process-wide state, the console and the services beyond it. One Session
// exists per run (tests make their own).
#include <atomic>
#include <string>

#include "core/evaluator.h"
#include "core/editor_state.h"
#include "core/system.h"
#include "core/work_arrays.h"
#include "core/workspace.h"

namespace verto {

class Console;
class WindowServices;

struct Session {
  Session(Console& c, SystemServices& sys) : con(c), system(sys) {}
  Workspace ws;
  expr::ExprState expr;
  Console& con;
  SystemServices& system;
  WindowServices* window = nullptr;  // null: no plot window available
  bool quit = false;                 // set by QUIT/EXIT
  // Set (from any thread) when the front-end goes away, e.g. the frame is
  // closed: commands that write files or wait for programs end at their
  // next safe point, leaving nothing half-done, and set `abandoned` when
  // they gave up work.
  std::atomic<bool> closing{false};
  bool abandoned = false;
  LineEditor editor;                 // history, macros, pending lines
  WorkArrays work;                   // commands' reusable work arrays
};

}  // namespace verto
