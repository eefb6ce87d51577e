#include "runtime/window/window_internal.h"

EventQueueState *EventQueue;

void EventQueueInit(void) {
  if (EventQueue) return;
  EventQueueState *queue = static_cast<EventQueueState *>(LibraryStateCreate(sizeof(EventQueueState), nullptr));
  if (!queue) return;
  queue->pool = PoolCreate(static_cast<int32_t>(sizeof(EventNode)), 16, 256);
  if (!queue->pool) return;
  // Without one element held for good, the pool would free and remake its
  // first block every time the queue runs empty.
  queue->reserved = static_cast<EventNode *>(PoolAlloc(queue->pool));
  EventQueue = queue;
}

void EventPost(int32_t code, intptr_t object, intptr_t window, int32_t type) {
  if (!EventQueue) return;
  EventNode *last = EventQueue->tail;
  if (last && last->code == code && last->object == object && last->window == window && last->type == type) return;
  EventNode *node = static_cast<EventNode *>(PoolAlloc(EventQueue->pool));
  if (!node) return;
  node->next = nullptr;
  node->code = code;
  node->object = object;
  node->window = window;
  node->type = type;
  if (last) last->next = node;
  else EventQueue->head = node;
  EventQueue->tail = node;
}

int32_t EventTake(void) {
  if (!EventQueue || !EventQueue->head) return 0;
  EventNode *node = EventQueue->head;
  EventQueue->head = node->next;
  if (!EventQueue->head) EventQueue->tail = nullptr;
  if (WindowLibrary && WindowLibrary->eventState) {
    EventFields *current = &WindowLibrary->eventState->current;
    current->object = node->object;
    current->window = node->window;
    current->type = node->type;
  }
  int32_t code = node->code;
  PoolFree(EventQueue->pool, node);
  return code;
}

EventState *WindowEventState(void) {
  return WindowLibrary ? WindowLibrary->eventState : nullptr;
}
