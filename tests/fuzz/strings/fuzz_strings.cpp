// StrLeft, StrRight and StrMid (and the assignment, append and store around
// them) on arbitrary texts, counts and start positions, with the text outside
// the temporary area, inside it at an expression's mark, or in the middle of
// an earlier piece, while the area grows. Every result is compared with a
// plain reference, and the area below each output position with a shadow copy.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "runtime/strings/strings.h"

namespace {

#define CHECK(cond)                                                                    \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      fprintf(stderr, "fuzz_strings: check failed at line %d: %s\n", __LINE__, #cond); \
      abort();                                                                         \
    }                                                                                  \
  } while (0)

std::string shadow;  // what the area holds from 0 to top
std::vector<std::string> sources;

// The reference pieces, as the definitions say.
std::string RefLeft(const std::string &t, int32_t n) {
  if (n < 0) n = 0;
  return t.substr(0, std::min<size_t>(t.size(), static_cast<size_t>(n)));
}

std::string RefRight(const std::string &t, int32_t n) {
  if (n < 0) n = 0;
  size_t count = std::min<size_t>(t.size(), static_cast<size_t>(n));
  return t.substr(t.size() - count);
}

std::string RefMid(const std::string &t, int32_t s, int32_t n) {
  if (n <= 0) return "";
  size_t i = 0;
  for (int64_t k = s; k > 1; k--) {
    if (i == t.size()) return "";
    i++;
  }
  return t.substr(i, static_cast<size_t>(n));
}

void CheckArea() {
  CHECK(StrTempTop() == static_cast<int32_t>(shadow.size()));
  CHECK(memcmp(StrTempBase(), shadow.data(), shadow.size()) == 0);
  CHECK(StrTempBase()[shadow.size()] == 0);
  CHECK(StrTempCapacity() > StrTempTop());
}

int32_t PickCount(FuzzedDataProvider &in, int32_t length) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return in.ConsumeIntegralInRange<int32_t>(-3, length + 3);
    case 1: return in.ConsumeIntegral<int32_t>();
    case 2: return in.ConsumeBool() ? INT32_MAX : INT32_MIN;
    default: return in.ConsumeIntegralInRange<int32_t>(0, 40);
  }
}

// Where the text argument lies. Returns the pointer to pass and sets ref;
// positions of texts placed into the area are returned through mark (else -1).
const char *PlaceText(FuzzedDataProvider &in, std::string *ref, int32_t *mark) {
  *mark = -1;
  const std::string &src = sources[in.ConsumeIntegralInRange<size_t>(0, sources.size() - 1)];
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      *ref = "";
      return nullptr;
    case 1:  // outside the area
      *ref = src;
      return src.c_str();
    case 2: {  // built in the area at a mark, its terminator covered, as an argument
      *mark = StrTempTop();
      StrAppend(src.c_str());
      shadow += src;
      CheckArea();
      StrTempSetTop(*mark + static_cast<int32_t>(src.size()) + 1);
      shadow.push_back('\0');
      CheckArea();
      *ref = src;
      return StrTempBase() + *mark;
    }
    default: {  // the tail of whatever the area holds below top
      if (shadow.empty()) {
        *ref = "";
        return StrTempBase();
      }
      size_t from = in.ConsumeIntegralInRange<size_t>(0, shadow.size() - 1);
      *ref = std::string(shadow.c_str() + from);
      return StrTempBase() + from;
    }
  }
}

void PieceStep(FuzzedDataProvider &in) {
  std::string ref;
  int32_t mark;
  int which = in.ConsumeIntegralInRange<int>(0, 2);
  const char *text = PlaceText(in, &ref, &mark);
  int32_t length = static_cast<int32_t>(ref.size());
  int32_t at = StrTempTop();
  std::string expected;
  char *result;
  if (which == 0) {
    int32_t n = PickCount(in, length);
    expected = RefLeft(ref, n);
    result = StrLeft(text, n, at);
  } else if (which == 1) {
    int32_t n = PickCount(in, length);
    expected = RefRight(ref, n);
    result = StrRight(text, n, at);
  } else {
    int32_t s = PickCount(in, length);
    int32_t n = PickCount(in, length);
    expected = RefMid(ref, s, n);
    result = StrMid(text, s, n, at);
  }
  CHECK(result == StrTempBase() + at);
  shadow += expected;
  CheckArea();
  // Either keep the piece as part of the outer expression, or drop it and
  // the argument, as a caller does after the call.
  if (in.ConsumeBool()) {
    int32_t back = mark >= 0 ? mark : at;
    StrTempSetTop(back);
    shadow.resize(static_cast<size_t>(back));
    CheckArea();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider in(data, size);
  StrInit();
  shadow.clear();
  sources.clear();
  // A few source texts, some of them long enough to grow the area.
  int count = in.ConsumeIntegralInRange<int>(1, 4);
  for (int i = 0; i < count; i++) {
    std::string piece = in.ConsumeRandomLengthString(64);
    piece = piece.c_str();  // a string value ends at its first 0
    int repeat = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(1, 2000) : 1;
    std::string text;
    // Up to 40 KB: enough to cross the first growths, small enough to stay fast.
    for (int r = 0; r < repeat && !piece.empty() && text.size() < 40000; r++) text += piece;
    sources.push_back(text);
  }
  CHECK(StrTempTop() == 0 && StrTempCapacity() == 16);

  char *variable = nullptr;
  std::string variableRef;
  bool variableNull = true;
  int steps = 0;
  while (in.remaining_bytes() > 0 && steps++ < 120) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
      case 1:
      case 2:
        PieceStep(in);
        break;
      case 3: {  // append a text from outside or from inside the area
        std::string ref;
        int32_t mark;
        const char *text = PlaceText(in, &ref, &mark);
        StrAppend(text);
        shadow += ref;
        CheckArea();
        break;
      }
      case 4: {  // store the area above a mark into the variable
        int32_t mark = in.ConsumeIntegralInRange<int32_t>(0, static_cast<int32_t>(shadow.size()));
        std::string expected(shadow.data() + mark, shadow.size() - static_cast<size_t>(mark));
        StrStore(&variable, mark);
        shadow.resize(static_cast<size_t>(mark));
        CheckArea();
        CHECK(variable != nullptr);
        variableRef = std::string(expected.c_str());
        variableNull = false;
        CHECK(memcmp(variable, expected.data(), expected.size()) == 0 && variable[expected.size()] == 0);
        break;
      }
      case 5: {  // assign from anywhere, the variable's own text included
        std::string ref;
        int32_t mark;
        const char *text;
        if (in.ConsumeBool() && variable) {
          size_t from = in.ConsumeIntegralInRange<size_t>(0, variableRef.size());
          text = variable + from;
          ref = variableRef.substr(from);
        } else {
          text = PlaceText(in, &ref, &mark);
        }
        StrAssign(&variable, text);
        variableNull = text == nullptr;
        variableRef = ref;
        CHECK(variableNull ? variable == nullptr : strcmp(variable, ref.c_str()) == 0);
        break;
      }
      case 6: {
        std::string ref;
        int32_t mark;
        const char *text = PlaceText(in, &ref, &mark);
        CHECK(StrLen(text) == static_cast<int32_t>(ref.size()));
        CHECK(StrEqual(text, variable) == (ref == variableRef ? 1 : 0));
        CHECK(StrLen(variable) == static_cast<int32_t>(variableRef.size()));
        break;
      }
      default: {  // back to an earlier position
        int32_t back = in.ConsumeIntegralInRange<int32_t>(0, static_cast<int32_t>(shadow.size()));
        StrTempSetTop(back);
        shadow.resize(static_cast<size_t>(back));
        CheckArea();
        break;
      }
    }
    if (shadow.size() > (1u << 18)) {  // keep each input's area modest
      StrTempSetTop(0);
      shadow.clear();
    }
  }
  return 0;
}
