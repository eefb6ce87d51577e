/* The faked wall clock of 32-bit Wine processes (a Linux i386 library that
   scripts/wine-run preloads into Wine's 32-bit loader). Wine's 32-bit unix
   side reads the time through glibc's 64-bit-time entry points
   (__clock_gettime64, __gettimeofday64, __time64), which libfaketime 0.9
   does not replace. TAMRIX_FAKETIME holds epoch seconds: the clock stands
   still there, or with a leading "@" runs on from there, counted from the
   moment the process loaded this library. Other clocks stay real.
   Freestanding: built with -nostdlib, the real time comes from the kernel. */

typedef long long i64;
struct timespec64 { i64 tv_sec; int tv_nsec; int pad; };
struct timeval64 { i64 tv_sec; i64 tv_usec; };

extern char **environ;
extern int *__errno_location(void);

enum { RealTime = 0, RealTimeCoarse = 5, SysClockGettime64 = 403 };

static int faking, running;
static i64 base;
static struct timespec64 loaded;

static int real_clock(int clock, struct timespec64 *ts) {
  int result;
  __asm__ volatile("int $0x80" : "=a"(result) : "a"(SysClockGettime64), "b"(clock), "c"(ts) : "memory");
  return result;
}

__attribute__((constructor)) static void start(void) {
  static const char name[] = "TAMRIX_FAKETIME=";
  for (char **e = environ; e && *e; e++) {
    const char *p = *e;
    int i = 0;
    while (name[i] && p[i] == name[i]) i++;
    if (name[i]) continue;
    p += i;
    if (*p == '@') running = 1, p++;
    if (*p < '0' || *p > '9') return;
    for (; *p >= '0' && *p <= '9'; p++) base = base * 10 + (*p - '0');
    faking = *p == 0 && real_clock(RealTime, &loaded) == 0;
    return;
  }
}

int __clock_gettime64(int clock, struct timespec64 *ts) {
  int result = real_clock(clock, ts);
  if (result < 0) {
    *__errno_location() = -result;
    return -1;
  }
  if (!faking || (clock != RealTime && clock != RealTimeCoarse)) return 0;
  if (!running) {
    ts->tv_sec = base;
    ts->tv_nsec = 0;
    return 0;
  }
  // No 64-bit division: it would need libgcc.
  int ns = ts->tv_nsec - loaded.tv_nsec;
  ts->tv_sec = base + (ts->tv_sec - loaded.tv_sec) - (ns < 0);
  ts->tv_nsec = ns < 0 ? ns + 1000000000 : ns;
  return 0;
}

int __gettimeofday64(struct timeval64 *tv, void *zone) {
  (void)zone;
  struct timespec64 ts;
  if (__clock_gettime64(RealTime, &ts) != 0) return -1;
  if (tv) {
    tv->tv_sec = ts.tv_sec;
    tv->tv_usec = ts.tv_nsec / 1000;
  }
  return 0;
}

i64 __time64(i64 *out) {
  struct timespec64 ts;
  if (__clock_gettime64(RealTime, &ts) != 0) return -1;
  if (out) *out = ts.tv_sec;
  return ts.tv_sec;
}
