// State shared by the files of the string runtime.
#pragma once
#include <stdint.h>

#include "runtime/platform/platform.h"

struct StrState {
  PlatformHeap heap;  // holds every variable's block and the area
  char *base;         // the temporary area; moves when it grows
  int32_t top;        // bytes in use; base[top] is always 0
  int32_t capacity;   // size at which the area grows
};

extern StrState strState;
