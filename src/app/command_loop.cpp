#include "app/command_loop.h"

#include "app/line_editor.h"
#include "core/dispatch.h"
#include "core/session.h"
#include "core/session_record.h"

namespace verto {

namespace {

// What the dialogs preset from, stored before each line is read.
void publish_counts(const Session& s, PublishedCounts& p) {
  constexpr auto order = std::memory_order_release;
  p.form.store(s.ws.form, order);
  p.variable.store(s.ws.variable, order);
  p.npts.store(s.ws.Npts, order);
  p.nline.store(s.ws.Nline, order);
  p.columns.store(s.ws.Num_columns, order);
}

}  // namespace

void run_command_loop(Session& s, LineEditor& ed) {
  while (!s.quit) {
    publish_counts(s, ed.published);
    auto line = read_command_line(s, ed);
    if (!line) break;
    if (s.record) s.record->command(*line);
    dispatch(s, *line);
  }
}

}  // namespace verto
