#pragma once
// The Qt dialogs of the menu bar: each shows the state of its line builder
// (ui/analysis_dialogs.h, ui/data_dialogs.h), runs modally and turns the
// controls back into that state on OK. Nothing here runs a command.
//
// Controls carry object names (the builder's field names) so that tests
// and scripts can fill them: "ok", "cancel" and "help" are the buttons.
#include <functional>

#include "ui/analysis_dialogs.h"
#include "ui/data_dialogs.h"
#include "ui/file_lines.h"
#include "ui/menu_items.h"

class QWidget;

namespace verto::qt {

// Everything the dialogs remember from one opening to the next.
struct DialogMemory {
  int fit_model = 1;
  ui::MathMemory math;
  ui::PlotOptionsDialog plot;
  ui::CreateLineDialog create_line;
  ui::CreateDataMemory create_data;
  ui::FileSelection file;
};

// Runs dialog `which` modally and returns the lines to hand over (nothing
// for a Cancel that queues nothing).
ui::QueuedLines run_dialog(ui::Dialog which, QWidget* parent, DialogMemory& memory,
                           const ui::WorkspaceView& ws);

// The file dialog: sets `sel.mode` to FileSelection::kRead or kWrite while
// it is open, then closes it as close_file_dialog does.
void run_file_dialog(QWidget* parent, ui::FileSelection& sel, int mode);

}  // namespace verto::qt
