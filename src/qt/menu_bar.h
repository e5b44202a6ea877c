#pragma once
// The frame window's menu bar: File, Data, Process, Plot, Window, Help.
// Every item either hands fixed command lines to the console input or opens
// a dialog (qt/dialogs.h) that builds them; no item changes data itself.
#include <functional>

#include "app/editor_state.h"
#include "ui/analysis_dialogs.h"

class QMainWindow;
class QMdiArea;

namespace verto::qt {

// Hands lines to the console input after those handed before, retrying
// while the queue is busy (Qt thread).
using LineHand = std::function<void(ui::QueuedLines)>;

// What the dialogs read from the workspace as they open (form, variable,
// counts). Called on the window thread.
using WorkspaceSnapshot = std::function<ui::WorkspaceView()>;

// Builds the menu bar on `frame`; the Window menu arranges the child
// windows of `area`. Lines go to `queue`; a hand-over made while the
// previous one has not been taken yet waits and is retried. Returns the
// hand for other lines that should queue up behind the menus' (dropped files).
LineHand build_menu_bar(QMainWindow& frame, QMdiArea& area, HandOverQueue& queue,
                    WorkspaceSnapshot workspace = {});

}  // namespace verto::qt
