// The environment a case was registered with (cmake/tests.cmake), read
// from the variables themselves. Cases that only mean something in such an
// environment skip elsewhere (when a program is run by hand).
#pragma once

#include <stdlib.h>
#include <string.h>

// DSOUND.DLL cannot be loaded (WINEDLLOVERRIDES=dsound=d).
inline bool DsoundDisabled() {
  const char *overrides = getenv("WINEDLLOVERRIDES");
  return overrides && strstr(overrides, "dsound=d");
}

// The default ALSA device does not exist (TAMRIX_AUDIO=none).
inline bool AudioAbsent() {
  const char *audio = getenv("TAMRIX_AUDIO");
  return audio && strcmp(audio, "none") == 0;
}

// The case runs in a private prefix with PART among its settings
// (PREFIX no-arial, dpi-120, ...).
inline bool PrefixHas(const char *part) {
  const char *prefix = getenv("TAMRIX_PREFIX");
  size_t n = strlen(part);
  for (const char *p = prefix; p && (p = strstr(p, part)) != nullptr; p += n)
    if ((p == prefix || p[-1] == '+') && (p[n] == '\0' || p[n] == '+')) return true;
  return false;
}

#ifdef _WIN32
#include <windows.h>

// Whether the program runs under the ANSI code page the case was registered
// for (TAMRIX_CODE_PAGE, beside the LANG and LC_ALL of a locale that has it);
// true when none was asked for. A case under another code page proves nothing.
inline bool InCaseCodePage() {
  const char *page = getenv("TAMRIX_CODE_PAGE");
  return !page || GetACP() == strtoul(page, nullptr, 10);
}
#endif
