// The program's module, kept by the clock's entry point (or a test's main)
// for every library that registers window classes or loads resources.
// Windows only; the portable libraries never need it.
#pragma once
#include <windows.h>

extern HINSTANCE ProgramInstance;
