#pragma once
// Commands of the expression subsystem: MATH computes an array from an
// expression point by point, SWAP exchanges two arrays, CALC runs the
// reverse-Polish calculator on the evaluator's value stack.
#include <string_view>

namespace verto {

struct Session;

void cmd_math(Session& s);
void cmd_swap(Session& s);
void cmd_calc(Session& s);

namespace expr {

// Array named by the first characters of `name`: 1 = X, 2 = Y, 3 = the
// third array (S in forms other than 7, Z in form 7), 4..12 = worksheet
// columns C1..C9; 0 when the name is not recognised. Only the first
// character (and the second for a column) is looked at.
int target_code(std::string_view name, int form);

}  // namespace expr
}  // namespace verto
