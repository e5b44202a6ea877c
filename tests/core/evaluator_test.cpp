#include "core/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/memory_console.h"

namespace verto::expr {
namespace {

const std::string kIllegal = "<<<VERTO!!!>>> Illegal expression!";
const std::string kEmpty = "<<<VERTO!!!>>> Empty Stack!!";
const std::string kOverflow = "<<<VERTO!!!>>> Stack Overflow!!";
const std::string kConversion = "<<<VERTO!!!>>> Number conversion error!!";

// The "Error in evaluating" line: the token follows in 40 columns.
std::string evaluating(const std::string& token) {
  std::string s = "<<<VERTO!!!>>> Error in evaluating: " + token;
  s.resize(36 + 40, ' ');
  return s;
}

class ExprTest : public ::testing::Test {
 protected:
  MemoryConsole con;
  ExprState st;
  Postfix list;

  // The console lines other than bare activity marks.
  std::vector<std::string> msgs() const {
    std::vector<std::string> out;
    for (const auto& l : con.lines()) {
      if (l != ">") out.push_back(l);
    }
    return out;
  }
  int compile(std::string_view text, int admitted = kAdmitAll) {
    return compile_expression(con, text, admitted, list, st.third_name);
  }
  // The postfix list as its token texts, blank separated.
  std::string postfix() const {
    std::string s;
    for (int i = 0; i < list.count; ++i) {
      if (i) s += ' ';
      s += list.tokens[i].text;
    }
    return s;
  }
  // Compile, reset the stack and evaluate, as MATH does for one point.
  int run(std::string_view text, int admitted = kAdmitAll) {
    st.stack.count = 0;
    return run_kept(text, admitted);
  }
  // Compile and evaluate on the stack as it is, as CALC does.
  int run_kept(std::string_view text, int admitted = kAdmitAll) {
    const int status = compile(text, admitted);
    if (status < 0) return status;
    return evaluate_postfix(con, list, admitted, st);
  }
  std::vector<float> stack() const {
    return {st.stack.values.begin(), st.stack.values.begin() + st.stack.count};
  }
  // Value of a successful single-result evaluation.
  float value(std::string_view text) {
    EXPECT_EQ(run(text), 0) << text;
    EXPECT_EQ(st.stack.count, 1) << text;
    EXPECT_EQ(msgs(), std::vector<std::string>{}) << text;
    return st.stack.count > 0 ? st.stack.values[st.stack.count - 1] : NAN;
  }
};

TEST_F(ExprTest, StateStartsWithConstantsAndNames) {
  EXPECT_EQ(st.vars[kE], std::exp(1.0f));
  EXPECT_EQ(st.vars[kPI], 3.1415927f);
  EXPECT_EQ(st.third_name, 'S');
  const char* names[] = {"E", "PI", "N", "M", "X", "Y", "S", "I", "C1",
                         "C2", "C3", "C4", "C5", "C6", "C7", "C8", "C9"};
  for (int i = 0; i < kAdmitAll; ++i) EXPECT_EQ(variable_name(i), names[i]);
  EXPECT_EQ(variable_name(kS, 'Z'), "Z");
  EXPECT_EQ(variable_name(kNumVariables), "");
}

TEST_F(ExprTest, MinusIsSubtractionOrChangeOfSign) {
  st.vars[kX] = 5.f;
  st.vars[kY] = 2.f;
  EXPECT_EQ(value("X-1"), 4.f);
  EXPECT_EQ(value("(X+1)-(Y+1)"), 3.f);
  EXPECT_EQ(value("2*-3"), -6.f);
  EXPECT_EQ(postfix(), "2 3 CHS *");
  EXPECT_EQ(value("--X"), 5.f);
  EXPECT_EQ(postfix(), "X CHS -");
  EXPECT_EQ(value("-X^2"), -25.f);
  EXPECT_EQ(postfix(), "X 2 ^ -");
  EXPECT_FLOAT_EQ(value("3!-1"), 5.f);
  ASSERT_EQ(compile("RAN-RAN"), 0);
  EXPECT_EQ(postfix(), "RAN RAN -");
}

TEST_F(ExprTest, LeadingMinusSubtractsFromKeptStack) {
  ASSERT_EQ(run("7"), 0);
  ASSERT_EQ(run_kept("-5"), 0);
  EXPECT_EQ(stack(), std::vector<float>{2.f});
  // With nothing below, the leading minus negates.
  EXPECT_EQ(value("-5"), -5.f);
}

TEST_F(ExprTest, OperatorsAreLeftAssociative) {
  EXPECT_EQ(value("2^3^2"), 64.f);
  EXPECT_EQ(value("2**3**2"), 64.f);
  EXPECT_EQ(value("2^(-1)"), 0.5f);
  EXPECT_EQ(value("1+2*3-4/2"), 5.f);
  EXPECT_EQ(value("(1+2)*3"), 9.f);

  EXPECT_EQ(run("2^-1"), -1);
  EXPECT_EQ(postfix(), "2 ^ 1 CHS");
  EXPECT_EQ(msgs(), (std::vector<std::string>{kEmpty, evaluating("^")}));
}

TEST_F(ExprTest, FunctionsArePrefixOperatorsOfHighestPrecedence) {
  st.vars[kX] = 2.f;
  EXPECT_FLOAT_EQ(value("SIN X+1"), std::sin(2.f) + 1.f);
  EXPECT_FLOAT_EQ(value("FACT(3)"), 6.f);
  EXPECT_FLOAT_EQ(value("FACT 3"), 6.f);
  EXPECT_FLOAT_EQ(value("3!"), 6.f);
  EXPECT_FLOAT_EQ(value("SQRT(X*8)"), 4.f);
  // An unclosed "(" reaches the output list and does nothing there.
  EXPECT_FLOAT_EQ(value("SIN(X"), std::sin(2.f));
}

TEST_F(ExprTest, CommaOnlySeparates) {
  EXPECT_EQ(value("MAX(1,2)"), 2.f);
  EXPECT_EQ(value("MIN(1,2)"), 1.f);
  EXPECT_EQ(value("MAX(1 2)"), 2.f);
  EXPECT_EQ(value("MAX(1,(-2))"), 1.f);
  EXPECT_EQ(value("MOD(7,3)"), 1.f);
  EXPECT_EQ(value("MOD(7,(-3))"), 1.f);
  // A leading sign stays with the first argument.
  EXPECT_EQ(value("MOD(-7,3)"), -1.f);
  EXPECT_EQ(postfix(), "7 CHS 3 MOD");
  EXPECT_EQ(value("MOD(-7 3)"), -1.f);
  EXPECT_EQ(value("MOD(-7,(3))"), -1.f);
  EXPECT_EQ(value("MAX(-1,2)"), 2.f);
  EXPECT_EQ(value("MIN(-1,SQRT 4)"), -1.f);
  EXPECT_LT(value("MAX(-1,RAN)"), 1.f);

  // MAX(1,-2) is MAX(1-2): MAX meets a single value.
  EXPECT_EQ(run("MAX(1,-2)"), -1);
  ASSERT_EQ(msgs().size(), 2u);
  EXPECT_EQ(msgs()[0], kEmpty);
  EXPECT_EQ(msgs()[1], evaluating("MAX"));
}

TEST_F(ExprTest, ScannerTakesLongestKeywordWithoutWordBoundary) {
  st.vars[kX] = 0.5f;
  st.vars[kY] = 7.f;
  EXPECT_FLOAT_EQ(value("SINX"), std::sin(0.5f));
  EXPECT_FLOAT_EQ(value("EXPX"), std::exp(0.5f));
  EXPECT_FLOAT_EQ(value("SINH X"), std::sinh(0.5f));
  EXPECT_EQ(postfix(), "X SINH");
  EXPECT_FLOAT_EQ(value("ASINDX"), 30.f);

  // PIE: two values, E on top. X Y: Y on top. E3: E then 3.
  ASSERT_EQ(run("PIE"), 0);
  EXPECT_EQ(stack(), (std::vector<float>{st.vars[kPI], st.vars[kE]}));
  ASSERT_EQ(run("X Y"), 0);
  EXPECT_EQ(stack(), (std::vector<float>{0.5f, 7.f}));
  ASSERT_EQ(run("E3"), 0);
  EXPECT_EQ(stack(), (std::vector<float>{st.vars[kE], 3.f}));
  EXPECT_EQ(list.tokens[0].kind, Kind::Variable);
  EXPECT_EQ(list.tokens[1].kind, Kind::Number);

  st.vars[kC1 + 2] = 9.f;
  EXPECT_EQ(value("C3"), 9.f);
}

TEST_F(ExprTest, NumbersWithExponents) {
  EXPECT_FLOAT_EQ(value("1.5E-3"), 0.0015f);
  EXPECT_EQ(postfix(), "1.5E-3");
  EXPECT_EQ(value("2E3"), 2000.f);
  EXPECT_EQ(value("2E+3*2"), 4000.f);
  EXPECT_EQ(value(".25"), 0.25f);
  // "1E+" has no exponent digits: exponent 0.
  EXPECT_EQ(value("1E+"), 1.f);
}

TEST_F(ExprTest, IllegalNamesDependOnAdmittedCount) {
  EXPECT_EQ(compile("X+Q"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kIllegal});
  EXPECT_EQ(list.count, 0);

  con.clear();
  EXPECT_EQ(compile("C1*2", kAdmitConstants), -1);
  EXPECT_EQ(compile("X", kAdmitConstants), -1);
  EXPECT_EQ(msgs(), (std::vector<std::string>{kIllegal, kIllegal}));

  // One message for a line with several bad characters.
  con.clear();
  EXPECT_EQ(compile("Q+W+x"), -1);
  EXPECT_EQ(msgs().size(), 1u);

  // N, M, E, PI are enough for SET and CALC.
  con.clear();
  st.vars[kN] = 3.f;
  st.vars[kM] = 4.f;
  EXPECT_EQ(run("N*M+PI-E", kAdmitConstants), 0);
  EXPECT_FLOAT_EQ(stack().back(), 12.f + st.vars[kPI] - st.vars[kE]);
}

TEST_F(ExprTest, ThirdVariableIsZInFormSeven) {
  st.vars[kS] = 3.f;
  EXPECT_EQ(value("S"), 3.f);
  EXPECT_EQ(compile("Z"), -1);
  st.third_name = 'Z';
  con.clear();
  EXPECT_EQ(value("Z*2"), 6.f);
  EXPECT_EQ(postfix(), "Z 2 *");
  EXPECT_EQ(compile("S"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kIllegal});
}

TEST_F(ExprTest, BlankTextAndLastFieldPosition) {
  EXPECT_EQ(compile(""), 0);
  EXPECT_EQ(list.count, 0);
  EXPECT_EQ(compile("   ,  "), 0);
  EXPECT_EQ(list.count, 0);
  // Only 69 characters of a 70-character field are looked at.
  std::string field(kFieldLength, ' ');
  field[0] = '1';
  field[kFieldLength - 1] = 'Q';
  EXPECT_EQ(compile(field), 0);
  EXPECT_EQ(postfix(), "1");
  field[kFieldLength - 2] = 'Q';
  EXPECT_EQ(compile(field), -1);
}

TEST_F(ExprTest, DomainFailuresPushBackAndReport) {
  EXPECT_EQ(run("SQRT(0)"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{evaluating("SQRT")});
  EXPECT_EQ(stack(), std::vector<float>{0.f});
  EXPECT_EQ(msgs()[0].size(), 76u);

  struct Case {
    const char* text;
    const char* token;
    std::vector<float> left;
  };
  const Case cases[] = {
      {"SQRT(-4)", "SQRT", {-4.f}}, {"5/0", "/", {5.f}},
      {"INV(0)", "INV", {0.f}},     {"LN(-1)", "LN", {-1.f}},
      {"LOG(0)", "LOG", {0.f}},     {"(-8)^(1/3)", "^", {-8.f}},
      {"MOD(5,0)", "MOD", {5.f}},   {"FACT(-1)", "FACT", {-1.f}},
      {"(-3)!", "!", {-3.f}},       {"2 ** 0.5 - (-1)**0.5", "**", {1.4142135f, -1.f}},
  };
  for (const Case& c : cases) {
    con.clear();
    EXPECT_EQ(run(c.text), -1) << c.text;
    EXPECT_EQ(msgs(), std::vector<std::string>{evaluating(c.token)})
        << c.text;
    EXPECT_EQ(stack(), c.left) << c.text;
  }
}

TEST_F(ExprTest, PowersOfNegativeBases) {
  EXPECT_EQ(value("(-2)^3"), -8.f);
  EXPECT_EQ(value("(-2)^2.00005"), 4.f);
  EXPECT_EQ(value("(-2)**(-2)"), 0.25f);
  EXPECT_EQ(value("0^2"), 0.f);
  EXPECT_EQ(value("0^0"), 1.f);
}

TEST_F(ExprTest, OneOperandFunctions) {
  EXPECT_EQ(value("ABS(-2.5)"), 2.5f);
  EXPECT_EQ(value("INT(-2.7)"), -2.f);
  EXPECT_EQ(value("NINT(2.5)"), 3.f);
  EXPECT_EQ(value("NINT(-2.5)"), -3.f);
  EXPECT_EQ(value("NINT(-2.4)"), -2.f);
  EXPECT_EQ(value("INV(4)"), 0.25f);
  EXPECT_FLOAT_EQ(value("LN(E)"), 1.f);
  EXPECT_FLOAT_EQ(value("LOG(1000)"), 3.f);
  EXPECT_FLOAT_EQ(value("ALOG(2)"), 100.f);
  EXPECT_FLOAT_EQ(value("EXP(1)"), st.vars[kE]);
  EXPECT_FLOAT_EQ(value("COS(PI)"), -1.f);
  EXPECT_FLOAT_EQ(value("TAN(PI/4)"), 1.f);
  EXPECT_FLOAT_EQ(value("ATAN(1)*4"), st.vars[kPI]);
  EXPECT_FLOAT_EQ(value("ACOS(-1)"), st.vars[kPI]);
  EXPECT_FLOAT_EQ(value("ASIN(1)*2"), st.vars[kPI]);
  EXPECT_FLOAT_EQ(value("COSH(0)+TANH(0)"), 1.f);
  EXPECT_FLOAT_EQ(value("FACT(4)"), 24.f);
  EXPECT_FLOAT_EQ(value("0.5!"), std::sqrt(st.vars[kPI]) / 2.f);
}

TEST_F(ExprTest, DegreeFunctions) {
  EXPECT_FLOAT_EQ(value("SIND(30)"), 0.5f);
  EXPECT_FLOAT_EQ(value("COSD(60)"), 0.5f);
  EXPECT_FLOAT_EQ(value("TAND(45)"), 1.f);
  EXPECT_FLOAT_EQ(value("ASIND(0.5)"), 30.f);
  EXPECT_FLOAT_EQ(value("ACOSD(0.5)"), 60.f);
  EXPECT_FLOAT_EQ(value("ATAND(1)"), 45.f);
}

TEST_F(ExprTest, StackWords) {
  ASSERT_EQ(run("1 2 SWAP"), 0);
  EXPECT_EQ(stack(), (std::vector<float>{2.f, 1.f}));
  ASSERT_EQ(run_kept("DUP"), 0);
  EXPECT_EQ(stack(), (std::vector<float>{2.f, 1.f, 1.f}));
  ASSERT_EQ(run_kept("DROP DROP"), 0);
  EXPECT_EQ(stack(), std::vector<float>{2.f});
  ASSERT_EQ(run_kept("3 *"), 0);
  EXPECT_EQ(stack(), std::vector<float>{6.f});

  // SWAP with one value: an empty pop (0.001), both pushed back.
  con.clear();
  EXPECT_EQ(run_kept("SWAP"), -1);
  EXPECT_EQ(msgs(),
            (std::vector<std::string>{kEmpty, evaluating("SWAP")}));
  EXPECT_EQ(stack(), (std::vector<float>{6.f, 0.001f}));
}

TEST_F(ExprTest, ValueStackLimits) {
  float v = 1.f;
  EXPECT_EQ(pop_value(con, st.stack, v), -1);
  EXPECT_EQ(v, 0.001f);
  EXPECT_EQ(msgs(), std::vector<std::string>{kEmpty});

  con.clear();
  for (int i = 0; i < kMaxValues; ++i) {
    ASSERT_EQ(push_value(con, st.stack, float(i)), 0);
  }
  EXPECT_EQ(push_value(con, st.stack, 99.f), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kOverflow});
  EXPECT_EQ(st.stack.count, kMaxValues);
  ASSERT_EQ(pop_value(con, st.stack, v), 0);
  EXPECT_EQ(v, float(kMaxValues - 1));

  // A number pushed on a full stack stops the evaluation.
  con.clear();
  ASSERT_EQ(push_value(con, st.stack, 1.f), 0);
  EXPECT_EQ(run_kept("1 2"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kOverflow});
}

TEST_F(ExprTest, PostfixListHoldsFortyTokens) {
  // 20 ones, 19 plus signs and "!": exactly 40 postfix tokens.
  std::string text = "1";
  for (int i = 0; i < 19; ++i) text += "+1";
  EXPECT_FLOAT_EQ(value(text + "!"), 20.f);
  EXPECT_EQ(list.count, kMaxTokens);

  // One more token is refused, and the list is left empty.
  con.clear();
  EXPECT_EQ(compile(text + "+1"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kOverflow});
  EXPECT_EQ(list.count, 0);

  // 41 pending "(" overflow the operator stack.
  con.clear();
  EXPECT_EQ(compile(std::string(39, '(') + "1"), 0);
  EXPECT_EQ(list.count, kMaxTokens);
  EXPECT_EQ(compile(std::string(41, '(') + "1"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kOverflow});
}

TEST_F(ExprTest, UnmatchedClosingParenthesis) {
  EXPECT_EQ(compile("1+2)"), -1);
  EXPECT_EQ(msgs(), std::vector<std::string>{kEmpty});
  EXPECT_EQ(list.count, 0);
}

TEST_F(ExprTest, ActivityMarkBeforeTokens) {
  ASSERT_EQ(compile("1+2"), 0);
  ASSERT_EQ(evaluate_postfix(con, list, kAdmitAll, st), 0);
  EXPECT_EQ(con.lines(), std::vector<std::string>{">"});
  // The mark is written over the current line from its first column.
  con.record("line");
  ASSERT_EQ(evaluate_postfix(con, list, kAdmitAll, st), 0);
  EXPECT_EQ(con.lines(), (std::vector<std::string>{">", ">ine"}));
}

TEST_F(ExprTest, MalformedNumberReportedOnceAtCompile) {
  ASSERT_EQ(compile("1.2.3+1"), 0);
  EXPECT_EQ(msgs(), std::vector<std::string>{kConversion});
  con.clear();
  for (int i = 0; i < 3; ++i) {
    st.stack.count = 0;
    ASSERT_EQ(evaluate_postfix(con, list, kAdmitAll, st), 0);
    EXPECT_EQ(stack(), std::vector<float>{1.f});
  }
  EXPECT_TRUE(msgs().empty());
}

TEST_F(ExprTest, RandomFunctionsUseProcessState) {
  EXPECT_EQ(value("RAN"), 2147435376.f / 2147483648.f);
  const float second = value("RAN");
  EXPECT_GT(second, 0.f);
  EXPECT_LT(second, 1.f);
  EXPECT_NE(second, 2147435376.f / 2147483648.f);
  // A hand-built token is looked up by its text.
  Token t;
  t.kind = Kind::Operator;
  t.text = "RANG";
  st.stack.count = 0;
  ASSERT_EQ(apply_operator(con, t, st), 0);
  ASSERT_EQ(apply_operator(con, t, st), 0);
  EXPECT_EQ(st.stack.count, 2);
  EXPECT_TRUE(st.random.gauss_seeded);
  EXPECT_FALSE(st.random.reserve_held);
}

TEST_F(ExprTest, ConstantExpressionForSetAndRanges) {
  float r = -1.f;
  EXPECT_TRUE(evaluate_constant_expression(con, st, "N*2+M", 3, 4, r));
  EXPECT_EQ(r, 10.f);
  EXPECT_EQ(st.stack.count, 0);
  EXPECT_TRUE(evaluate_constant_expression(con, st, "PIE", 0, 0, r));
  EXPECT_EQ(r, st.vars[kE]);
  EXPECT_TRUE(msgs().empty());

  r = -1.f;
  EXPECT_FALSE(evaluate_constant_expression(con, st, "X+1", 3, 4, r));
  EXPECT_EQ(msgs(), std::vector<std::string>{kIllegal});
  con.clear();
  EXPECT_FALSE(evaluate_constant_expression(con, st, "SQRT(-N)", 3, 4, r));
  EXPECT_EQ(msgs(), std::vector<std::string>{evaluating("SQRT")});
  con.clear();
  EXPECT_FALSE(evaluate_constant_expression(con, st, "DROP", 3, 4, r));
  EXPECT_EQ(msgs(), (std::vector<std::string>{kEmpty, evaluating("DROP")}));
  con.clear();
  EXPECT_FALSE(evaluate_constant_expression(con, st, "   ", 3, 4, r));
  EXPECT_TRUE(msgs().empty());
  EXPECT_EQ(r, -1.f);
}

class TextToNumberTest : public ::testing::Test {
 protected:
  MemoryConsole con;
  float conv(std::string_view text) { return text_to_number(con, text); }
  void expect_error(std::string_view text) {
    con.clear();
    EXPECT_EQ(conv(text), 0.f) << text;
    EXPECT_EQ(con.lines(), std::vector<std::string>{kConversion}) << text;
  }
};

TEST_F(TextToNumberTest, ReadsPlainAndExponentForms) {
  EXPECT_EQ(conv("12"), 12.f);
  EXPECT_EQ(conv("  -12.5"), -12.5f);
  EXPECT_EQ(conv("+7"), 7.f);
  EXPECT_EQ(conv("1.5E-3"), 0.0015f);
  EXPECT_EQ(conv("2E3"), 2000.f);
  EXPECT_EQ(conv("-2.5E+2  "), -250.f);
  EXPECT_EQ(conv(".5"), 0.5f);
  EXPECT_EQ(conv("5."), 5.f);
  EXPECT_EQ(conv("3.4028235E38"), 3.4028235e38f);
  EXPECT_EQ(conv("0.1"), 0.1f);  // correctly rounded
  EXPECT_EQ(conv("1E-60"), 0.f);
  EXPECT_EQ(conv("1E"), 1.f);
  EXPECT_EQ(conv("1E-"), 1.f);
  // The first blank ends the mantissa.
  EXPECT_EQ(conv("12 34"), 12.f);
  EXPECT_EQ(conv("4 XYZ"), 4.f);
  EXPECT_TRUE(con.lines().empty());
}

TEST_F(TextToNumberTest, WorksOnThirtyCharacters) {
  EXPECT_EQ(conv(std::string(28, ' ') + "123"), 12.f);
  EXPECT_EQ(conv(std::string(30, '1') + "999"), std::stof(std::string(30, '1')));
  expect_error(std::string(30, ' ') + "5");
}

TEST_F(TextToNumberTest, MalformedTextGivesZeroAndMessage) {
  for (const char* text : {"", "    ", "E5", "1 2.5", "1.2.3", "3.X", "1-2",
                           "+", ".", "-.E3", "1E5X", "1E+-5", "1e5", "ABC",
                           "1E99", "-1E39"}) {
    expect_error(text);
  }
}

}  // namespace
}  // namespace verto::expr
