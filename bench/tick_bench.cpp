// Time per pass of the tick loop's portable work: Tamrix against the baseline.
#include <benchmark/benchmark.h>

#include "bench/tick_work.h"
#include "runtime/objects/objects.h"

namespace {

void BM_TickPass_Tamrix(benchmark::State &st) {
  ClockState state;
  TamrixTickSetUp(&state);
  for (auto _ : st) benchmark::DoNotOptimize(TamrixTickPass(&state));
  PlatformHeapDestroy(RuntimeHeap);
  RuntimeHeap = nullptr;
}
BENCHMARK(BM_TickPass_Tamrix);

void BM_TickPass_Baseline(benchmark::State &st) {
  BaselineState state;
  BaselineTickSetUp(&state);
  for (auto _ : st) benchmark::DoNotOptimize(BaselineTickPass(&state));
}
BENCHMARK(BM_TickPass_Baseline);

}  // namespace
