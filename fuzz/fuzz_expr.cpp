// Arbitrary text through the expression compiler (with both admitted
// counts), the evaluator on a kept stack, and the number conversion.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/evaluator.h"
#include "core/memory_console.h"

namespace {

using namespace verto;

void exercise(Console& con, expr::ExprState& st, const std::string& text) {
  expr::Postfix list;
  for (int admitted : {expr::kAdmitAll, expr::kAdmitConstants}) {
    if (expr::compile_expression(con, text, admitted, list, st.third_name) < 0)
      continue;
    if (list.count < 0 || list.count > expr::kMaxTokens) __builtin_trap();
    // As MATH: reset, evaluate, pop. As CALC: evaluate on the kept stack.
    st.stack.count = 0;
    float v;
    if (expr::evaluate_postfix(con, list, admitted, st) == 0) {
      expr::pop_value(con, st.stack, v);
    }
    expr::evaluate_postfix(con, list, admitted, st);
    if (st.stack.count < 0 || st.stack.count > expr::kMaxValues)
      __builtin_trap();
  }
  float result;
  expr::evaluate_constant_expression(con, st, text, 3, 4, result);
  expr::text_to_number(con, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static MemoryConsole con;
  con.set_discard(true);
  static expr::ExprState st;  // process-wide, like the program's
  std::string text(reinterpret_cast<const char*>(data),
                   std::min<std::size_t>(size, expr::kFieldLength));
  st.third_name = (size % 2) ? 'Z' : 'S';
  exercise(con, st, text);
  std::string upper = text;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) {
    return static_cast<char>(std::toupper(c));
  });
  exercise(con, st, upper);
  return 0;
}
