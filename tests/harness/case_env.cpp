#include "harness/case_env.h"

#include <stdlib.h>
#include <string.h>

bool InCaseEnvironment(const char *word) {
  const char *words = getenv("TAMRIX_ENV");
  size_t length = strlen(word);
  for (const char *p = words; p && *p;) {
    const char *end = strchr(p, ' ');
    size_t n = end ? static_cast<size_t>(end - p) : strlen(p);
    if (n == length && strncmp(p, word, n) == 0) return true;
    p = end ? end + 1 : p + n;
  }
  return false;
}
