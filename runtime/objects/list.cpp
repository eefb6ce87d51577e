#include "runtime/objects/objects_internal.h"

void *ListAdd(void **front, size_t size) {
  if (size < sizeof(ListNode)) size = sizeof(ListNode);
  ListNode *node = static_cast<ListNode *>(RuntimeAlloc(size));
  if (!node) return nullptr;
  ListNode *old = *front ? ListNodeOf(*front) : nullptr;
  if (old) {
    old->prev = node;
    node->next = old;
  }
  *front = node + 1;
  return node + 1;
}

void ListRemove(void **front, void *payload) {
  if (!payload) return;
  ListNode *node = ListNodeOf(payload);
  if (*front == payload) {
    *front = node->next ? static_cast<void *>(node->next + 1) : nullptr;
    if (node->next) node->next->prev = nullptr;
  } else {
    if (node->prev) node->prev->next = node->next;
    if (node->next) node->next->prev = node->prev;
  }
  RuntimeFree(node);
}

void *ListContains(void *front, void *payload) {
  for (ListNode *n = front ? ListNodeOf(front) : nullptr; n; n = n->next)
    if (n + 1 == payload) return payload;
  return nullptr;
}

void *ListNext(void *payload) {
  if (!payload) return nullptr;
  ListNode *next = ListNodeOf(payload)->next;
  return next ? next + 1 : nullptr;
}
