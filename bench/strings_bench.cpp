// A clock text's worth of pieces appended and stored: the string runtime's
// StrAppend/StrStore chain against std::string concatenation.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/strings/strings.h"

namespace {

const char *const Pieces[] = {"Montag", "\r", " 07.12.2026", "\r", " 09:13:02", "\r *", "12:30:00", "*"};

void BM_StrChain_Tamrix(benchmark::State &st) {
  StrInit();
  char *variable = nullptr;
  for (auto _ : st) {
    int32_t mark = StrTempTop();
    for (const char *piece : Pieces) StrAppend(piece);
    StrStore(&variable, mark);
    benchmark::DoNotOptimize(variable);
  }
}
BENCHMARK(BM_StrChain_Tamrix);

void BM_StrChain_StdString(benchmark::State &st) {
  std::string variable;
  for (auto _ : st) {
    variable = std::string(Pieces[0]) + Pieces[1] + Pieces[2] + Pieces[3] + Pieces[4] + Pieces[5] + Pieces[6] +
               Pieces[7];
    benchmark::DoNotOptimize(variable.data());
  }
}
BENCHMARK(BM_StrChain_StdString);

}  // namespace
