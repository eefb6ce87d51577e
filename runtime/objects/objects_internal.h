// Inside the objects library: the one place that steps from a payload to its
// list node.
#pragma once
#include "runtime/objects/objects.h"

inline ListNode *ListNodeOf(void *payload) {
  return static_cast<ListNode *>(payload) - 1;
}
