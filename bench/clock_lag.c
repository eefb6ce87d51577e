/* How late each new second appears in the running clock, read from outside:
   clock_lag [SECONDS] (default 20).
   Finds the clock window (class WindowClass_0, title "Tamrix") and its text
   gadget, and reads the gadget's text about every millisecond for SECONDS.
   GetWindowTextA on another process's window returns the text the system
   keeps for it, so the clock gets no message and is not woken by the reading.
   Each reading is bracketed by GetLocalTime, the clock the program itself
   reads, under the same wineserver. When the time line shows a new second,
   its lag is the time of the reading that first showed it minus the start of
   that second (an upper bound: the text changed after the reading before).
   Prints "key value" lines:
     seconds N         new seconds seen (the one shown at the start is not
                       counted: its appearance was not seen)
     skipped N         seconds the clock never showed in between
     lag_median_ms, lag_p95_ms, lag_max_ms   (95th percentile by nearest rank)
     lag_runs a,b,...  every lag in the order seen
     window_median_ms, window_p95_ms, window_max_ms   how closely each
                       appearance is placed: from the start of the reading
                       before to the end of the one that saw it
     polls N, unreadable N   readings, and those without a time line
   Exit code 0 when at least one new second was seen. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <mmsystem.h>

#define DayMs 86400000LL

static long long TimeOfDayMs(const SYSTEMTIME *t) {
  return ((t->wHour * 60LL + t->wMinute) * 60LL + t->wSecond) * 1000LL + t->wMilliseconds;
}

/* The seconds of the day on the clock's time line: the line that is exactly
   hh:mm:ss after leading blanks (the alarm line has asterisks); -1 if none. */
static long ShownSecond(const char *text) {
  const char *line = text;
  while (*line) {
    const char *end = line + strcspn(line, "\r\n");
    const char *p = line;
    while (p < end && *p == ' ') p++;
    if (end - p == 8 && p[2] == ':' && p[5] == ':') {
      int ok = 1, i;
      for (i = 0; i < 8; i++)
        if (i != 2 && i != 5 && (p[i] < '0' || p[i] > '9')) ok = 0;
      if (ok) {
        long h = (p[0] - '0') * 10 + (p[1] - '0'), m = (p[3] - '0') * 10 + (p[4] - '0'),
             s = (p[6] - '0') * 10 + (p[7] - '0');
        if (h < 24 && m < 60 && s < 60) return (h * 60 + m) * 60 + s;
      }
    }
    line = *end ? end + 1 : end;
  }
  return -1;
}

static int Ascending(const void *a, const void *b) {
  long long x = *(const long long *)a, y = *(const long long *)b;
  return (x > y) - (x < y);
}

/* Sorts the values (a copy) and prints median, nearest-rank 95th percentile and maximum. */
static void PrintSpread(const char *name, const long long *values, int n) {
  long long *sorted = malloc(sizeof *sorted * (n ? n : 1));
  int p95;
  if (!sorted || !n) {
    free(sorted);
    return;
  }
  memcpy(sorted, values, sizeof *sorted * n);
  qsort(sorted, n, sizeof *sorted, Ascending);
  p95 = (95 * n + 99) / 100 - 1;
  if (n % 2)
    printf("%s_median_ms %lld\n", name, sorted[n / 2]);
  else
    printf("%s_median_ms %.1f\n", name, (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0);
  printf("%s_p95_ms %lld\n", name, sorted[p95]);
  printf("%s_max_ms %lld\n", name, sorted[n - 1]);
  free(sorted);
}

int main(int argc, char **argv) {
  int seconds = argc > 1 ? atoi(argv[1]) : 20;
  HWND clock = NULL, gadget = NULL;
  DWORD start;
  long last = -1;
  long long before = 0, previousBefore = 0;
  long long *lags, *windows;
  int count = 0, capacity, skipped = 0, polls = 0, unreadable = 0, i;

  if (seconds <= 0) seconds = 20;
  capacity = seconds * 4 + 16;
  lags = malloc(sizeof *lags * capacity);
  windows = malloc(sizeof *windows * capacity);
  if (!lags || !windows) return 2;

  start = GetTickCount();
  while (!gadget && GetTickCount() - start < 10000) {
    clock = FindWindowA("WindowClass_0", "Tamrix");
    if (clock) gadget = GetWindow(clock, GW_CHILD);
    if (!gadget) Sleep(10);
  }
  if (!gadget) {
    fprintf(stderr, "clock_lag: no clock window with its text gadget\n");
    return 2;
  }

  /* Only this program's sleeps get finer; the clock is left as it is. */
  timeBeginPeriod(1);
  start = GetTickCount();
  while (GetTickCount() - start < (DWORD)seconds * 1000) {
    SYSTEMTIME t0, t1;
    char text[256];
    long shown;
    long long after;
    GetLocalTime(&t0);
    text[0] = 0;
    GetWindowTextA(gadget, text, sizeof text);
    GetLocalTime(&t1);
    before = TimeOfDayMs(&t0);
    after = TimeOfDayMs(&t1);
    if (after < before) after += DayMs;
    polls++;
    shown = ShownSecond(text);
    if (shown < 0) {
      unreadable++;
    } else if (shown != last) {
      if (last >= 0 && count < capacity) {
        long long lag = after - shown * 1000LL, window = after - previousBefore;
        long step = (shown - last + 86400) % 86400;
        /* Across midnight the second and the reading are on different days. */
        if (lag > DayMs / 2) lag -= DayMs;
        if (lag < -DayMs / 2) lag += DayMs;
        if (window < 0) window += DayMs;
        lags[count] = lag;
        windows[count] = window;
        count++;
        if (step > 1 && step < 3600) skipped += step - 1;
      }
      last = shown;
    }
    previousBefore = before;
    Sleep(1);
  }
  timeEndPeriod(1);

  printf("seconds %d\n", count);
  printf("skipped %d\n", skipped);
  PrintSpread("lag", lags, count);
  printf("lag_runs ");
  for (i = 0; i < count; i++) printf(i ? ",%lld" : "%lld", lags[i]);
  printf("%s\n", count ? "" : "-");
  PrintSpread("window", windows, count);
  printf("polls %d\n", polls);
  printf("unreadable %d\n", unreadable);
  free(lags);
  free(windows);
  return count ? 0 : 1;
}
