#pragma once
// Everything a command works with: the workspace state, the evaluator's
// process-wide state, the console and the services beyond it. One Session
// exists per run (tests make their own).
#include <string>

#include "core/evaluator.h"
#include "core/editor_state.h"
#include "core/system.h"
#include "core/work_arrays.h"
#include "core/workspace.h"

namespace verto {

class Console;
class SessionRecord;
class WindowServices;

struct Session {
  Session(Console& c, SystemServices& sys) : con(c), system(sys) {}
  Workspace ws;
  expr::ExprState expr;
  Console& con;
  SystemServices& system;
  WindowServices* window = nullptr;  // null: no plot window available
  SessionRecord* record = nullptr;   // the notebook; null: none
  bool quit = false;                 // set by QUIT/EXIT
  LineEditor editor;                 // history, macros, pending lines
  WorkArrays work;                   // commands' reusable work arrays
};

}  // namespace verto
