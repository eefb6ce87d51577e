// Runs N passes of one tick implementation, for counting instructions under
// callgrind (two runs with different N; the difference cancels start-up):
//   tick_count tamrix N | tick_count baseline N
// and, natively, the heap calls per pass and the live heap before and after:
//   tick_count heap N
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "bench/tick_work.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: tick_count tamrix|baseline|heap N\n");
    return 2;
  }
  long n = strtol(argv[2], nullptr, 10);
  int due = 0;
  if (strcmp(argv[1], "tamrix") == 0) {
    ClockState state;
    TamrixTickSetUp(&state);
    for (long i = 0; i < n; i++) due += TamrixTickPass(&state);
  } else if (strcmp(argv[1], "baseline") == 0) {
    BaselineState state;
    BaselineTickSetUp(&state);
    for (long i = 0; i < n; i++) due += BaselineTickPass(&state);
  } else if (strcmp(argv[1], "heap") == 0) {
    ClockState state;
    TamrixTickSetUp(&state);
    due += TamrixTickPass(&state);  // the first pass makes clockText and weekdayName
    HeapTotals before = TamrixHeapTotals();
    for (long i = 0; i < n; i++) due += TamrixTickPass(&state);
    HeapTotals after = TamrixHeapTotals();
    printf("passes %ld\nheap_calls_per_pass %.3f\nlive_blocks %lld %lld\nlive_bytes %lld %lld\n", n,
           n ? static_cast<double>(after.calls - before.calls) / static_cast<double>(n) : 0.0,
           static_cast<long long>(before.liveBlocks), static_cast<long long>(after.liveBlocks),
           static_cast<long long>(before.liveBytes), static_cast<long long>(after.liveBytes));
  } else {
    fprintf(stderr, "tick_count: unknown kind %s\n", argv[1]);
    return 2;
  }
  // The alarm is 12:30:00 and the clock stands at 09:13:02: it never fires.
  return due == 0 ? 0 : 1;
}
