// StrVal on arbitrary bytes against a reference written another way: the
// digits are first cut out as a string, then valued with 128-bit arithmetic
// reduced modulo 2^64 (hexadecimal and binary from their last 16 or 64
// digits only, since the others shift out).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "runtime/strings/strings.h"

namespace {

bool IsDigitOf(unsigned char c, int base) {
  switch (base) {
    case 16: return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    case 2: return c == '0' || c == '1';
    default: return c >= '0' && c <= '9';
  }
}

unsigned DigitValue(unsigned char c) {
  if (c >= 'a') return c - 'a' + 10u;
  if (c >= 'A') return c - 'A' + 10u;
  return c - '0';
}

int64_t Reference(const std::string &text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') base = 16, i++;
  else if (i < text.size() && text[i] == '%') base = 2, i++;
  std::string digits;
  while (i < text.size() && IsDigitOf(static_cast<unsigned char>(text[i]), base)) digits += text[i++];
  uint64_t value = 0;
  if (base == 10) {
    unsigned __int128 v = 0;
    for (char c : digits) v = (v * 10 + DigitValue(static_cast<unsigned char>(c))) % (static_cast<unsigned __int128>(1) << 64);
    value = static_cast<uint64_t>(v);
  } else {
    size_t keep = base == 16 ? 16 : 64;
    if (digits.size() > keep) digits.erase(0, digits.size() - keep);
    for (char c : digits) value = (value << (base == 16 ? 4 : 1)) | DigitValue(static_cast<unsigned char>(c));
  }
  if (negative) value = ~value + 1;
  return static_cast<int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  // An exactly sized copy, so reading past the terminator is seen.
  std::string text(reinterpret_cast<const char *>(data), size);
  text = text.c_str();
  char *copy = static_cast<char *>(malloc(text.size() + 1));
  memcpy(copy, text.c_str(), text.size() + 1);
  int64_t got = StrVal(copy);
  int64_t want = Reference(text);
  if (got != want) {
    fprintf(stderr, "fuzz_strval: StrVal gave %lld, the reference %lld\n", static_cast<long long>(got),
            static_cast<long long>(want));
    abort();
  }
  free(copy);
  if (StrVal(nullptr) != 0) abort();
  return 0;
}
