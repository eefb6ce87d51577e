// State shared by the files of the string runtime (the temporary area's
// values are in strings.h).
#pragma once
#include "runtime/platform/platform.h"

struct StrState {
  PlatformHeap heap;  // holds every variable's block and the area
};

extern StrState strState;
