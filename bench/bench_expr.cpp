// The MATH loop: one compile, then per point set the per-point variables,
// reset the stack, evaluate and pop. Items are points, so the table's
// items_per_second gives the per-point rate and "ns_per_point" the time.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/evaluator.h"
#include "core/memory_console.h"

namespace {

using namespace verto;

constexpr int kPoints = 50000;

void run_math(benchmark::State& state, const char* text) {
  MemoryConsole con;
  con.set_discard(true);  // output hooks do nothing
  expr::ExprState st;
  expr::Postfix list;
  if (expr::compile_expression(con, text, expr::kAdmitAll, list) < 0) {
    state.SkipWithError("compile failed");
    return;
  }
  std::vector<float> x(kPoints), y(kPoints), c1(kPoints), out(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    x[i] = 0.001f * i;
    y[i] = 1.f - 0.0005f * i;
    c1[i] = static_cast<float>(i % 97);
  }
  for (auto _ : state) {
    for (int i = 0; i < kPoints; ++i) {
      st.vars[expr::kX] = x[i];
      st.vars[expr::kY] = y[i];
      st.vars[expr::kI] = static_cast<float>(i + 1);
      st.vars[expr::kC1] = c1[i];
      st.stack.count = 0;
      float v = 0.f;
      if (expr::evaluate_postfix(con, list, expr::kAdmitAll, st) < 0 ||
          expr::pop_value(con, st.stack, v) < 0) {
        state.SkipWithError("evaluation failed");
        return;
      }
      out[i] = v;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
  state.counters["ns_per_point"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kPoints,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["tokens"] = list.count;
}

// 10 postfix tokens: X 2 * Y SIN + C1 3 / -
void BM_MathTenTokens(benchmark::State& state) {
  run_math(state, "X*2+SIN(Y)-C1/3");
}
BENCHMARK(BM_MathTenTokens)->Unit(benchmark::kMillisecond);

// Arithmetic only, no library function: the evaluator's own overhead.
void BM_MathArithmetic(benchmark::State& state) {
  run_math(state, "X*2+Y*3-C1/4+I");
}
BENCHMARK(BM_MathArithmetic)->Unit(benchmark::kMillisecond);

void BM_Compile(benchmark::State& state) {
  MemoryConsole con;
  con.set_discard(true);
  expr::Postfix list;
  for (auto _ : state) {
    benchmark::DoNotOptimize(expr::compile_expression(
        con, "SQRT(X**2+Y**2)*SIND(30)+MAX(C1,(-2.5E-3))", expr::kAdmitAll,
        list));
  }
}
BENCHMARK(BM_Compile);

}  // namespace
