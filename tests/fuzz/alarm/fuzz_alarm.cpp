// The alarm entry on arbitrary entries (any length, any bytes) against a model
// of the accept/reject and normalisation rules: pieces chosen by length alone,
// values as StrVal reads them (low 32 bits), digits only, hour 0..23, minute
// and second 0..59, separators never examined and replaced by ":". Every
// accepted entry is HH:MM:SS that a formatted time can equal, and rings at
// the first reading at or after its time of day. Then the clock text and the
// alarm message at a fixed reading.
#include <ctype.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>

#include "app/alarm_entry.h"
#include "app/clock_state.h"
#include "app/clock_text.h"
#include "app/clock_tick.h"
#include "runtime/objects/objects.h"
#include "runtime/strings/strings.h"

namespace {

#define CHECK(cond)                                                                  \
  do {                                                                               \
    if (!(cond)) {                                                                   \
      fprintf(stderr, "fuzz_alarm: check failed at line %d: %s\n", __LINE__, #cond); \
      abort();                                                                       \
    }                                                                                \
  } while (0)

// A value as the string functions read it, written independently.
int32_t PieceValue(const std::string &piece) {
  size_t i = 0;
  while (i < piece.size() && (piece[i] == ' ' || piece[i] == '\t')) i++;
  bool negative = i < piece.size() && piece[i] == '-';
  if (i < piece.size() && (piece[i] == '-' || piece[i] == '+')) i++;
  uint64_t value = 0;
  if (i < piece.size() && piece[i] == '$') {
    for (i++; i < piece.size() && isxdigit(static_cast<unsigned char>(piece[i])); i++) {
      char c = piece[i];
      value = value * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    }
  } else if (i < piece.size() && piece[i] == '%') {
    for (i++; i < piece.size() && (piece[i] == '0' || piece[i] == '1'); i++) value = value * 2 + static_cast<uint64_t>(piece[i] - '0');
  } else {
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; i++) value = value * 10 + static_cast<uint64_t>(piece[i] - '0');
  }
  if (negative) value = 0 - value;
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

struct Expected {
  bool error;
  std::string alarmTime;
  std::string hour, minute, second;
  bool hasHour, hasMinute, hasSecond;
};

Expected Model(const std::string &entry) {
  Expected e{};
  size_t n = entry.size();
  e.alarmTime = entry;
  switch (n) {
    case 1:
    case 2:
      e.hour = entry;
      e.alarmTime = (n == 1 ? "0" : "") + entry + ":00:00";
      e.hasHour = true;
      break;
    case 5:
      e.hour = entry.substr(0, 2);
      e.minute = entry.substr(3, 2);
      e.alarmTime = e.hour + ":" + e.minute + ":00";
      e.hasHour = e.hasMinute = true;
      break;
    case 6:
    case 8:
      e.hour = entry.substr(0, 2);
      e.minute = entry.substr(n == 6 ? 2 : 3, 2);
      e.second = entry.substr(n - 2, 2);
      e.alarmTime = e.hour + ":" + e.minute + ":" + e.second;
      e.hasHour = e.hasMinute = e.hasSecond = true;
      break;
    default:
      e.error = true;
      return e;
  }
  auto bad = [](const std::string &piece, int32_t highest) {
    for (char c : piece)
      if (c < '0' || c > '9') return true;
    int32_t v = PieceValue(piece);
    return v > highest || v < 0;
  };
  if (bad(e.hour, 23)) e.error = true;
  if (e.hasMinute && bad(e.minute, 59)) e.error = true;
  if (e.hasSecond && bad(e.second, 59)) e.error = true;
  return e;
}

std::string Text(const char *value) {
  return value ? value : "";
}

int64_t reading;
int64_t Reading(void) {
  return reading;
}

std::string Format(const char *mask, int64_t date) {
  struct tm f;
  time_t t = date;
  gmtime_r(&t, &f);
  char out[64];
  strftime(out, sizeof out, mask, &f);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  RuntimeHeap = PlatformHeapCreate(4096);
  StrInit();
  bool nullEntry = in.ConsumeBool();
  reading = in.ConsumeIntegralInRange<int64_t>(0, 253402300799 - 86400 * 2);
  std::string entry = in.ConsumeRemainingBytesAsString();
  entry = entry.c_str();

  ClockState state{};
  ClockStateSetDefaults(&state);
  if (!(nullEntry && entry.empty())) StrAssign(&state.alarmTime, entry.c_str());

  Expected e = Model(entry);
  int32_t result = AlarmEntryValidate(&state);
  CHECK(state.inputLength == static_cast<int32_t>(entry.size()));
  CHECK(result == state.inputError);
  if (e.error != (state.inputError == 1)) {
    fprintf(stderr, "fuzz_alarm: entry of %zu bytes %s, model says %s\n", entry.size(),
            state.inputError ? "rejected" : "accepted", e.error ? "reject" : "accept");
    abort();
  }
  CHECK(Text(state.alarmTime) == e.alarmTime);
  if (e.hasHour) CHECK(Text(state.hourText) == e.hour && state.hourValue == PieceValue(e.hour));
  if (e.hasMinute) CHECK(Text(state.minuteText) == e.minute && state.minuteValue == PieceValue(e.minute));
  if (e.hasSecond) CHECK(Text(state.secondText) == e.second && state.secondValue == PieceValue(e.second));
  CHECK(StrTempTop() == 0);

  if (state.inputError) {
    ClockAlarmArm(&state, reading);
    CHECK(ClockAlarmDueAt(&state, reading) == 0);
    AlarmEntryDismissError(&state);
    CHECK(state.alarmWanted == 0 && state.inputError == 0);
    CHECK(ClockAlarmDueAt(&state, reading + 86400) == 0);
  } else {
    CHECK(state.alarmWanted == 1);
    // Accepted: a time a formatted one can equal, which rings on the first
    // reading that shows it, not a second earlier, and at the latest a day on.
    const std::string &t = e.alarmTime;
    CHECK(t.size() == 8 && t[2] == ':' && t[5] == ':');
    for (int i : {0, 1, 3, 4, 6, 7}) CHECK(t[static_cast<size_t>(i)] >= '0' && t[static_cast<size_t>(i)] <= '9');
    CHECK(t.compare(0, 2, "23") <= 0 && t[3] <= '5' && t[6] <= '5');
    ClockAlarmArm(&state, reading);
    struct tm f;
    time_t now = reading;
    gmtime_r(&now, &f);
    int alarmSecond = atoi(t.substr(0, 2).c_str()) * 3600 + atoi(t.substr(3, 2).c_str()) * 60 + atoi(t.substr(6).c_str());
    int64_t shown = reading + (alarmSecond - (f.tm_hour * 3600 + f.tm_min * 60 + f.tm_sec) + 86400) % 86400;
    CHECK(Format("%H:%M:%S", shown) == t);
    CHECK(state.alarmDue == shown);
    if (shown > reading) CHECK(ClockAlarmDueAt(&state, shown - 1) == 0);
    CHECK(ClockAlarmDueAt(&state, shown) == 1);
    // Accepted while the clock read invalid: the first valid reading arms it alike.
    ClockAlarmArm(&state, -1);
    CHECK(ClockAlarmDueAt(&state, -1) == 0);
    CHECK(ClockAlarmDueAt(&state, reading) == (shown == reading));
    CHECK(state.alarmDue == shown);
  }
  CHECK(StrTempTop() == 0);

  static const char *const names[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
  ClockTextBuildWith(&state, Reading);
  std::string text = names[(reading / 86400 + 4) % 7];
  text += "\r" + Format(" %d.%m.%Y", reading) + "\r";
  if (state.alarmWanted == 1) text += Format(" %H:%M:%S", reading) + "\r *" + e.alarmTime + "*";
  else text += Format("%H:%M:%S", reading);
  CHECK(Text(state.clockText) == text);
  CHECK(StrTempTop() == 0);

  char *message = ClockAlarmMessage(&state, 0);
  CHECK(std::string(message) == Text(state.alarmTime) + "\r\r" + Text(state.alarmName));
  CHECK(StrTempTop() == static_cast<int32_t>(strlen(message)));

  PlatformHeapDestroy(RuntimeHeap);
  RuntimeHeap = nullptr;
  return 0;
}
