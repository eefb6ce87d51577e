// The environment scripts/run-case set up for this run. It names it in
// TAMRIX_ENV, one word per setting: "no-dsound", "no-audio", "no-arial",
// "locale", "zone", "at", "capture". Cases that only mean something in such an
// environment skip elsewhere (when a program is run by hand).
#pragma once

bool InCaseEnvironment(const char *word);
