#pragma once
// The expression language: infix text compiled once to a postfix list and
// evaluated on a value stack, all in single precision. MATH compiles once
// and evaluates per point; CALC keeps the value stack between lines.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numeric/random.h"

namespace verto {

class Console;

namespace expr {

constexpr int kMaxTokens = 40;      // postfix list and operator stack
constexpr int kMaxValues = 50;      // value stack
constexpr int kNumVariables = 20;
constexpr int kTokenWidth = 40;     // token texts are cut to 40 characters
constexpr int kFieldLength = 70;    // expression field; its last position
                                    // is never examined by the scanner

// Variable table positions (1-based in the user's terms, 0-based here).
enum Var : int { kE = 0, kPI, kN, kM, kX, kY, kS, kI, kC1 };
// Admitted variable counts used by the callers.
constexpr int kAdmitConstants = 4;  // E, PI, N, M: SET, ranges, CALC
constexpr int kAdmitAll = 17;       // every real name: MATH

enum class Kind : std::int8_t { Number = 1, Variable = 2, Operator = 3 };

struct Token {
  Kind kind = Kind::Number;
  std::string text;   // the token as typed (number digits, name, keyword)
  int code = 0;       // operator code, or variable index
  float value = 0.f;  // numbers: the converted value, computed at compile time
};

struct Postfix {
  std::array<Token, kMaxTokens> tokens;
  int count = 0;
};

struct ValueStack {
  std::array<float, kMaxValues> values{};
  int count = 0;
};

// Process-wide evaluator state: the variable table (E and PI set once),
// the value stack and the random sources behind RAN and RANG.
struct ExprState {
  ExprState();
  std::array<float, kNumVariables> vars{};
  ValueStack stack;
  RandomSources random;
  // Name of the third array: "S", or "Z" while form 7 was chosen by FORM.
  char third_name = 'S';
};

// Name of variable table entry `index` (0-based): E PI N M X Y S I C1..C9
// and three spare "|" entries; the seventh is `third_name` ("S" or "Z").
std::string_view variable_name(int index, char third_name = 'S');

// Status values: 0 good, negative failed.
//
// compile_expression scans `text` up to its length, but never more than
// kFieldLength - 1 characters (a caller may pass the whole blank-padded
// 70-character field or just the typed text). On success `out` holds the
// postfix list (count 0 for a blank text: nothing to evaluate); on failure
// the message is printed, `out.count` is 0 and the status is -1. Numbers
// are converted here, so a malformed number's "Number conversion error!!"
// is printed once per compile rather than once per evaluation. The third
// variable is named `third_name` (MATH passes ExprState::third_name).
int compile_expression(Console& con, std::string_view text, int admitted,
                       Postfix& out, char third_name = 'S');
// Writes the activity mark ">" over the current console line before each
// token. A variable token whose index is not below `admitted` pushes
// nothing; a number pushes its compiled Token::value.
int evaluate_postfix(Console& con, const Postfix& list, int admitted,
                     ExprState& st);
int pop_value(Console& con, ValueStack& stack, float& value);
int push_value(Console& con, ValueStack& stack, float value);
// A token whose code is 0 (built by hand, not compiled) is looked up by
// its text; a keyword without an operation does nothing.
int apply_operator(Console& con, const Token& op, ExprState& st);

// Conversion of a typed number; prints "Number conversion error!!" and
// gives 0 on malformed text.
float text_to_number(Console& con, std::string_view text);
// The same conversion without the message: nullopt on malformed text.
std::optional<float> typed_number(std::string_view text);
// For commands that must not act on a number they could not read: prints
// "Number conversion error!!" and gives nullopt on malformed text, so the
// caller can end before it changes anything.
std::optional<float> checked_number(Console& con, std::string_view text);

// Compile, set N and M, reset the stack, evaluate and pop: the calling
// order of SET and the range qualifier. Returns false (after the
// evaluator's message) when the text does not give a value; a blank text
// compiles to nothing and gives false without a message.
bool evaluate_constant_expression(Console& con, ExprState& st,
                                  std::string_view text, int n_value,
                                  int m_value, float& result);

}  // namespace expr
}  // namespace verto
