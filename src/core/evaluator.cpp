// The expression language: scanner, unary-minus rewrite, precedence
// parsing into a postfix list, the value stack and the operators, and the
// conversion of typed numbers.
//
// Everything that needs text work (keyword and name lookup, number
// conversion) happens at compile time: a compiled token carries its
// operator code, variable index or value, so that evaluating a list once
// per data point only switches on small integers.
#include "core/evaluator.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "numeric/gammln.h"
#include "numeric/random.h"
#include "core/console.h"

namespace verto::expr {
namespace {

constexpr std::string_view kMsgIllegal = "<<<VERTO!!!>>> Illegal expression!";
constexpr std::string_view kMsgEmpty = "<<<VERTO!!!>>> Empty Stack!!";
constexpr std::string_view kMsgOverflow = "<<<VERTO!!!>>> Stack Overflow!!";
constexpr std::string_view kMsgEvaluating =
    "<<<VERTO!!!>>> Error in evaluating: ";

// Single-precision degrees-to-radians factor of the degree functions.
constexpr float kDegree = 0.017453292f;

// Operator and function codes (Token::code of kind-3 tokens). 0 is "not
// looked up yet"; kUnknown is a keyword that does nothing.
enum Op : int {
  kNone = 0,
  kAsind, kAcosd, kAtand,
  kAsin, kAcos, kAtan, kAlog, kFact, kSqrt, kSind, kCosd, kTand, kSinh,
  kCosh, kTanh, kDrop, kSwap, kNint, kRang,
  kSin, kCos, kTan, kLog, kExp, kAbs, kDup, kChs, kInv, kRan, kInt, kMax,
  kMin, kMod,
  kPower, kLn,
  kPlus, kMinus, kTimes, kDivide, kLParen, kRParen, kBang, kCaret,
  kUnknown,
};

struct Keyword {
  std::string_view text;
  Op code;
};

// The scanner's keyword table: longest keywords first, and within one
// length in this order. The first entry equal to the next characters wins,
// so SINH is never SIN followed by H, and ** is never two *.
constexpr Keyword kKeywords[] = {
    {"ASIND", kAsind}, {"ACOSD", kAcosd}, {"ATAND", kAtand},
    {"ASIN", kAsin},   {"ACOS", kAcos},   {"ATAN", kAtan},   {"ALOG", kAlog},
    {"FACT", kFact},   {"SQRT", kSqrt},   {"SIND", kSind},   {"COSD", kCosd},
    {"TAND", kTand},   {"SINH", kSinh},   {"COSH", kCosh},   {"TANH", kTanh},
    {"DROP", kDrop},   {"SWAP", kSwap},   {"NINT", kNint},   {"RANG", kRang},
    {"SIN", kSin},     {"COS", kCos},     {"TAN", kTan},     {"LOG", kLog},
    {"EXP", kExp},     {"ABS", kAbs},     {"DUP", kDup},     {"CHS", kChs},
    {"INV", kInv},     {"RAN", kRan},     {"INT", kInt},     {"MAX", kMax},
    {"MIN", kMin},     {"MOD", kMod},
    {"**", kPower},    {"LN", kLn},
    {"+", kPlus},      {"-", kMinus},     {"*", kTimes},     {"/", kDivide},
    {"(", kLParen},    {")", kRParen},    {"!", kBang},      {"^", kCaret},
};

Op keyword_code(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  for (const Keyword& k : kKeywords) {
    if (k.text == text) return k.code;
  }
  return kUnknown;
}

// Precedence of a kind-3 token in the postfix conversion.
int precedence(int code) {
  switch (code) {
    case kLParen:
    case kRan:
    case kRang:
      return 0;
    case kPlus:
    case kMinus:
      return 1;
    case kTimes:
    case kDivide:
      return 2;
    case kChs:
    case kPower:
    case kCaret:
      return 3;
    case kRParen:
      return -1;
    default:
      return 4;  // every function keyword and "!"
  }
}

// Operator tokens after which a "-" is a subtraction: the ones that end an
// operand. After any other operator the "-" is a change of sign.
bool ends_operand(int code) {
  return code == kRan || code == kRang || code == kRParen || code == kBang;
}

// One scanned token: where it stands in the text, its kind and code.
struct Scanned {
  Kind kind;
  int code;  // operator code or variable index
  int start;
  int length;
};

bool ends_operand(const Scanned& s) {
  return s.kind != Kind::Operator || ends_operand(s.code);
}

// Tokens that begin an operand: numbers, names, RAN, RANG, "(" and the
// prefix functions.
bool starts_operand(const Scanned& s) {
  if (s.kind != Kind::Operator) return true;
  return s.code == kRan || s.code == kRang || s.code == kLParen ||
         (precedence(s.code) == 4 && s.code != kBang);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Stack primitives shared by evaluate_postfix and apply_operator.
inline int push(Console& con, ValueStack& s, float v) {
  if (s.count < 0 || s.count >= kMaxValues) {
    con.record(kMsgOverflow);
    return -1;
  }
  s.values[s.count++] = v;
  return 0;
}

inline int pop(Console& con, ValueStack& s, float& v) {
  if (s.count <= 0 || s.count > kMaxValues) {
    con.record(kMsgEmpty);
    v = 0.001f;
    return -1;
  }
  v = s.values[--s.count];
  return 0;
}

// a to the power b. A base <= 0 needs an exponent within 0.0001 of an
// integer. On failure the base is the value pushed back (the stack keeps
// the depth it would have had; CALC shows the base again).
int power(float a, float b, float& result) {
  if (a > 0.f) {
    result = std::pow(a, b);
    return 0;
  }
  const float n = std::round(b);  // halves away from zero
  if (std::fabs(b - n) <= 0.0001f) {
    result = std::pow(a, n);
    return 0;
  }
  result = a;
  return -1;
}

// The value stack as one operator sees it: pops and pushes that count
// their failures in `status` (negative: the operator failed).
struct Operands {
  Console& con;
  ValueStack& s;
  int status = 0;
  float a = 0.f, b = 0.f, x = 0.f;

  // Pops of a two-operand operator: the top is the right operand.
  void pop2() {
    status += pop(con, s, b);
    status += pop(con, s, a);
  }
  void pop1() { status += pop(con, s, x); }
  void put(float v) { status += push(con, s, v); }
  // A one-operand function that fails on x <= 0 and pushes x back then.
  void positive(float (*f)(float)) {
    pop1();
    if (x <= 0.f) {
      put(x);
      status -= 1;
    } else {
      put(f(x));
    }
  }
};

// The arithmetic and stack operators; false when `code` is none of them.
bool apply_arithmetic(Operands& o, int code) {
  switch (code) {
    case kPlus: o.pop2(); o.put(o.a + o.b); break;
    case kMinus:
      // A minus with fewer than two values (a leading "-") negates.
      if (o.s.count >= 2) {
        o.pop2();
        o.put(o.a - o.b);
      } else {
        o.pop1();
        o.put(-o.x);
      }
      break;
    case kTimes: o.pop2(); o.put(o.a * o.b); break;
    case kDivide:
      o.pop2();
      if (o.b == 0.f) {
        o.put(o.a);
        o.status -= 1;
      } else {
        o.put(o.a / o.b);
      }
      break;
    case kPower:
    case kCaret: {
      o.pop2();
      float r;
      o.status += power(o.a, o.b, r);
      o.put(r);
      break;
    }
    case kMod:
      // Remainder with the sign of a. A zero divisor fails and pushes a
      // back, like a division by zero.
      o.pop2();
      if (o.b == 0.f) {
        o.put(o.a);
        o.status -= 1;
      } else {
        o.put(std::fmod(o.a, o.b));
      }
      break;
    case kMin: o.pop2(); o.put(o.a < o.b ? o.a : o.b); break;
    case kMax: o.pop2(); o.put(o.a > o.b ? o.a : o.b); break;
    case kSwap: o.pop2(); o.put(o.b); o.put(o.a); break;
    case kDup: o.pop1(); o.put(o.x); o.put(o.x); break;
    case kDrop: o.pop1(); break;
    case kChs: o.pop1(); o.put(-o.x); break;
    case kAbs: o.pop1(); o.put(std::fabs(o.x)); break;
    case kInt: o.pop1(); o.put(std::trunc(o.x)); break;
    case kNint:
      o.pop1();
      o.put(o.x >= 0.f ? std::trunc(o.x + 0.5f) : std::trunc(o.x - 0.5f));
      break;
    case kInv:
      o.pop1();
      if (o.x == 0.f) {
        o.put(o.x);
        o.status -= 1;
      } else {
        o.put(1.f / o.x);
      }
      break;
    default:
      return false;
  }
  return true;
}

// The functions and the random deviates; anything else ("(" left over from
// the compile, or an unknown keyword) does nothing.
void apply_function(Operands& o, int code, ExprState& st) {
  switch (code) {
    case kSqrt: o.positive([](float v) { return std::sqrt(v); }); break;
    case kLn: o.positive([](float v) { return std::log(v); }); break;
    case kLog: o.positive([](float v) { return std::log10(v); }); break;
    case kExp: o.pop1(); o.put(std::exp(o.x)); break;
    case kAlog: o.pop1(); o.put(std::pow(10.f, o.x)); break;
    case kSin: o.pop1(); o.put(std::sin(o.x)); break;
    case kCos: o.pop1(); o.put(std::cos(o.x)); break;
    case kTan: o.pop1(); o.put(std::tan(o.x)); break;
    case kSind: o.pop1(); o.put(std::sin(o.x * kDegree)); break;
    case kCosd: o.pop1(); o.put(std::cos(o.x * kDegree)); break;
    case kTand: o.pop1(); o.put(std::tan(o.x * kDegree)); break;
    case kAsin: o.pop1(); o.put(std::asin(o.x)); break;
    case kAcos: o.pop1(); o.put(std::acos(o.x)); break;
    case kAtan: o.pop1(); o.put(std::atan(o.x)); break;
    case kAsind: o.pop1(); o.put(std::asin(o.x) / kDegree); break;
    case kAcosd: o.pop1(); o.put(std::acos(o.x) / kDegree); break;
    case kAtand: o.pop1(); o.put(std::atan(o.x) / kDegree); break;
    case kSinh: o.pop1(); o.put(std::sinh(o.x)); break;
    case kCosh: o.pop1(); o.put(std::cosh(o.x)); break;
    case kTanh: o.pop1(); o.put(std::tanh(o.x)); break;
    case kFact:
    case kBang:
      // Gamma(x + 1). Log-gamma needs a positive argument: x + 1 <= 0
      // fails and pushes x back.
      o.pop1();
      if (o.x + 1.f <= 0.f) {
        o.put(o.x);
        o.status -= 1;
      } else {
        o.put(std::exp(gammln(o.x + 1.f)));
      }
      break;
    case kRan: o.put(uniform_deviate(st.random)); break;
    case kRang: o.put(gaussian_deviate(st.random)); break;
    default:
      break;
  }
}

int apply_code(Console& con, int code, const Token& op, ExprState& st) {
  Operands o{con, st.stack};
  if (!apply_arithmetic(o, code)) apply_function(o, code, st);
  const int status = o.status;
  if (status < 0) {
    std::string msg(kMsgEvaluating);
    std::string_view t = std::string_view(op.text).substr(0, kTokenWidth);
    msg += t;
    msg.append(kTokenWidth - t.size(), ' ');
    con.record(msg);
    return -1;
  }
  return 0;
}

bool fill_token(Console& con, Token& t, const Scanned& s,
                std::string_view text, char third_name) {
  t.kind = s.kind;
  t.code = s.code;
  t.value = 0.f;
  switch (s.kind) {
    case Kind::Number:
      t.text.assign(text.substr(s.start, std::min(s.length, kTokenWidth)));
      t.value = text_to_number(con, t.text);
      break;
    case Kind::Variable:
      t.text.assign(variable_name(s.code, third_name));
      break;
    case Kind::Operator:
      for (const Keyword& k : kKeywords) {
        if (k.code == s.code) {
          t.text.assign(k.text);
          break;
        }
      }
      break;
  }
  return true;
}

}  // namespace

std::string_view variable_name(int index, char third_name) {
  static constexpr std::string_view kNames[kNumVariables] = {
      "E",  "PI", "N",  "M",  "X",  "Y",  "S",  "I",  "C1", "C2",
      "C3", "C4", "C5", "C6", "C7", "C8", "C9", "|",  "|",  "|"};
  if (index < 0 || index >= kNumVariables) return {};
  if (index == kS && third_name == 'Z') return "Z";
  return kNames[index];
}

ExprState::ExprState() {
  vars[kE] = std::exp(1.f);
  vars[kPI] = 3.1415927f;
}

namespace {

// Step 1 of a compile: scanning. Every token takes at least one character;
// a character that starts no token sets `illegal` and the scan goes on, so
// that the whole line is still looked at. Returns the number of tokens.
int scan_tokens(std::string_view text, int limit, int admitted, char third_name,
                std::array<Scanned, kFieldLength>& scanned, bool& illegal) {
  int n = 0;
  int pos = 0;
  while (pos < limit) {
    const char c = text[pos];
    if (c == ' ' || c == ',') {
      ++pos;
      continue;
    }
    if (is_digit(c) || c == '.') {
      int end = pos;
      while (end < limit && (is_digit(text[end]) || text[end] == '.')) ++end;
      if (end < limit && text[end] == 'E') {
        ++end;
        if (end < limit && (text[end] == '+' || text[end] == '-')) ++end;
        while (end < limit && is_digit(text[end])) ++end;
      }
      scanned[n++] = {Kind::Number, 0, pos, end - pos};
      pos = end;
      continue;
    }
    const std::string_view rest = text.substr(pos, limit - pos);
    bool found = false;
    for (const Keyword& k : kKeywords) {
      if (rest.starts_with(k.text)) {
        scanned[n++] = {Kind::Operator, k.code, pos,
                        static_cast<int>(k.text.size())};
        pos += static_cast<int>(k.text.size());
        found = true;
        break;
      }
    }
    if (found) continue;
    // Admitted names, the two-letter ones (PI, C1..C9) first.
    for (int len = 2; len >= 1 && !found; --len) {
      for (int i = 0; i < admitted; ++i) {
        const std::string_view name = variable_name(i, third_name);
        if (static_cast<int>(name.size()) == len && rest.starts_with(name)) {
          scanned[n++] = {Kind::Variable, i, pos, len};
          pos += len;
          found = true;
          break;
        }
      }
    }
    if (found) continue;
    illegal = true;  // keep scanning: the whole line is still looked at
    ++pos;
  }
  return n;
}

// Step 2: a "-" right after an operator that does not end an operand is
// a change of sign. A leading "-" stays; it negates at evaluation.
void mark_sign_changes(std::array<Scanned, kFieldLength>& scanned, int n) {
  for (int i = 1; i < n; ++i) {
    if (scanned[i].kind == Kind::Operator && scanned[i].code == kMinus &&
        !ends_operand(scanned[i - 1])) {
      scanned[i].code = kChs;
    }
  }
}

// Step 3: operator precedence parsing of the scanned tokens into `out`.
int to_postfix(Console& con, const std::array<Scanned, kFieldLength>& scanned, int n,
               std::string_view text, char third_name, Postfix& out) {
  // All operators are left associative; functions are prefix operators of
  // the highest precedence. The output list and the operator stack hold 40 entries each; an
  // expression that needs more is refused with "Stack Overflow!!" and
  // nothing is written past either.
  std::array<int, kMaxTokens> ops;  // indices into `scanned`
  int top = 0;
  auto emit = [&](int i) {
    if (out.count >= kMaxTokens) {
      con.record(kMsgOverflow);
      return false;
    }
    return fill_token(con, out.tokens[out.count++], scanned[i], text,
                      third_name);
  };
  auto fail = [&] {
    out.count = 0;
    return -1;
  };

  for (int i = 0; i < n; ++i) {
    const Scanned& s = scanned[i];
    // Two operands side by side (separated only by blanks or a comma, as
    // in MOD(-7,3)): a change of sign still pending belongs to the first
    // one and is output before the second starts. Without this the sign
    // would wait for the next operator and negate the later operand.
    if (i > 0 && starts_operand(s) && ends_operand(scanned[i - 1])) {
      while (top > 0 && scanned[ops[top - 1]].code == kChs) {
        if (!emit(ops[--top])) return fail();
      }
    }
    if (s.kind != Kind::Operator || s.code == kRan || s.code == kRang) {
      if (!emit(i)) return fail();
      continue;
    }
    const int p = precedence(s.code);
    if (p == 0) {
      if (top >= kMaxTokens) {
        con.record(kMsgOverflow);
        return fail();
      }
      ops[top++] = i;
    } else if (p > 0) {
      while (top > 0 && precedence(scanned[ops[top - 1]].code) >= p) {
        if (!emit(ops[--top])) return fail();
      }
      if (top >= kMaxTokens) {
        con.record(kMsgOverflow);
        return fail();
      }
      ops[top++] = i;
    } else {
      // ")": pop to the output down to the matching "(", which is dropped.
      // Without one the stack runs empty and the compile fails there.
      for (;;) {
        if (top == 0) {
          con.record(kMsgEmpty);
          return fail();
        }
        const int j = ops[--top];
        if (scanned[j].code == kLParen) break;
        if (!emit(j)) return fail();
      }
    }
  }
  // The rest, top first. An unclosed "(" goes to the output too, where it
  // does nothing.
  while (top > 0) {
    if (!emit(ops[--top])) return fail();
  }
  return 0;
}

}  // namespace

int compile_expression(Console& con, std::string_view text, int admitted,
                       Postfix& out, char third_name) {
  out.count = 0;
  admitted = std::clamp(admitted, 0, kNumVariables);
  // The last position of the 70-character field is never examined.
  const int limit =
      static_cast<int>(std::min<std::size_t>(text.size(), kFieldLength - 1));
  std::array<Scanned, kFieldLength> scanned;
  bool illegal = false;
  const int n = scan_tokens(text, limit, admitted, third_name, scanned, illegal);
  if (illegal) {
    con.record(kMsgIllegal);
    return -1;
  }
  mark_sign_changes(scanned, n);
  return to_postfix(con, scanned, n, text, third_name, out);
}

int evaluate_postfix(Console& con, const Postfix& list, int admitted,
                     ExprState& st) {
  const int count = std::clamp(list.count, 0, kMaxTokens);
  for (int i = 0; i < count; ++i) {
    const Token& t = list.tokens[i];
    con.overwrite(">");  // activity mark; repeats cost only a compare
    switch (t.kind) {
      case Kind::Variable:
        // A name outside the admitted count matches nothing: no value.
        if (t.code >= 0 && t.code < admitted && t.code < kNumVariables) {
          if (push(con, st.stack, st.vars[t.code]) < 0) return -1;
        }
        break;
      case Kind::Number:
        if (push(con, st.stack, t.value) < 0) return -1;
        break;
      case Kind::Operator:
        if (apply_operator(con, t, st) < 0) return -1;
        break;
    }
  }
  return 0;
}

int pop_value(Console& con, ValueStack& stack, float& value) {
  return pop(con, stack, value);
}

int push_value(Console& con, ValueStack& stack, float value) {
  return push(con, stack, value);
}

int apply_operator(Console& con, const Token& op, ExprState& st) {
  int code = op.code;
  // A token built by hand (not by the compiler) is looked up by its text.
  if (code <= kNone || code > kUnknown) code = keyword_code(op.text);
  return apply_code(con, code, op, st);
}

bool evaluate_constant_expression(Console& con, ExprState& st,
                                  std::string_view text, int n_value,
                                  int m_value, float& result) {
  Postfix list;
  if (compile_expression(con, text, kAdmitConstants, list, st.third_name) < 0 ||
      list.count == 0) {
    return false;
  }
  st.vars[kN] = static_cast<float>(n_value);
  st.vars[kM] = static_cast<float>(m_value);
  st.stack.count = 0;
  if (evaluate_postfix(con, list, kAdmitConstants, st) < 0) return false;
  float value;
  if (pop_value(con, st.stack, value) < 0) return false;
  result = value;
  return true;
}

}  // namespace verto::expr
