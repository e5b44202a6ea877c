// CALC: the console as a stack calculator. Each line is compiled and
// evaluated on the evaluator's value stack, which is kept from line to
// line and shown before every prompt; nothing is popped.
#include <string>

#include "expr/commands.h"
#include "core/evaluator.h"
#include "core/console.h"
#include "core/format.h"
#include "core/help.h"
#include "core/parsers.h"
#include "core/session.h"

namespace verto {

namespace {

void show_help(Session& s) { show_math_help(s); }

void show_stack(Session& s) {
  const expr::ValueStack& st = s.expr.stack;
  for (int k = 0; k < st.count; ++k)
    write_free(s.con, {k + 1, ":", static_cast<double>(st.values[k])});
}

}  // namespace

void cmd_calc(Session& s) {
  expr::ExprState& st = s.expr;
  st.stack.count = 0;
  for (;;) {
    show_stack(s);
    write_formatted(s.con, "(1X,2X,A,$)", {":"});
    auto typed = s.con.read_line(60);
    if (!typed) return;
    std::string text = to_upper(*typed);
    const std::size_t first = text.find_first_not_of(' ');
    text.erase(0, first == std::string::npos ? text.size() : first);

    if (text.empty()) continue;
    if (text[0] == '?' || text[0] == 'H') {
      show_help(s);
      continue;
    }
    if (text[0] == 'Q' || text.starts_with("EXIT")) return;
    if (text.starts_with("CLEAR")) {
      st.stack.count = 0;
      continue;
    }

    expr::Postfix list;
    if (expr::compile_expression(s.con, text, expr::kAdmitConstants, list, st.third_name) < 0 ||
        list.count == 0)
      continue;
    st.vars[expr::kN] = static_cast<float>(s.ws.Npts);
    st.vars[expr::kM] = static_cast<float>(s.ws.Mpts);
    // A failure has printed its message and left the stack as the failed
    // step made it; the user goes on from there.
    expr::evaluate_postfix(s.con, list, expr::kAdmitConstants, st);
  }
}

}  // namespace verto
