#pragma once
#include <gtest/gtest.h>

#include "app/clock_state.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"
#ifdef _WIN32
#include "runtime/platform/program_instance.h"
#endif

// A fresh string runtime and runtime heap, and the program variables after
// the start-up defaults.
class ClockFixture : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    ProgramInstance = GetModuleHandleA(nullptr);
#endif
    RuntimeHeap = PlatformHeapCreate(4096);
    StrInit();
    state = ClockState{};
    ClockStateSetDefaults(&state);
  }
  void TearDown() override {
#ifndef _WIN32
    PlatformSetLocalTime(nullptr);
#endif
    PlatformHeapDestroy(RuntimeHeap);
    RuntimeHeap = nullptr;
  }
  ClockState state;
};
