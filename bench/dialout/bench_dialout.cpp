// Numbers normalised per second for the kinds of input the dial-out dialog
// sees: a copied international number with decoration, one whose code sits
// near the end of the table, a national one, and a long pasted selection.
#include <benchmark/benchmark.h>

#include <string>

#include "dialout/normalize_number.h"

namespace {

const std::string kInputs[] = {
    "+49 (0)30 1234-5",
    "00998 0 71 123 45 67",
    "030/12345",
    std::string(1000, ' ') + "+44 20 7946 0000",
};

// range(0): which input.
void BM_NormalizeNumber(benchmark::State& state) {
  const std::string& input = kInputs[state.range(0)];
  for (auto _ : state) benchmark::DoNotOptimize(fon::NormalizeNumber(input));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NormalizeNumber)->ArgName("input")->DenseRange(0, 3);

void BM_NormalizeNumberReused(benchmark::State& state) {
  const std::string& input = kInputs[state.range(0)];
  std::string buffer;
  buffer.reserve(2048);
  for (auto _ : state) {
    buffer.assign(input);
    fon::NormalizeNumberInPlace(buffer);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NormalizeNumberReused)->ArgName("input")->DenseRange(0, 3);

}  // namespace

BENCHMARK_MAIN();
