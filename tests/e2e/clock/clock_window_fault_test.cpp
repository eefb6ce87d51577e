// The clock routine when its window cannot be created: a CBT hook refuses
// the creation of "WindowClass_0". The routine must shut down and return 0
// instead of waiting forever for a close request from a window that does
// not exist. The dialogs before it are answered from a helper thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/clock_main.h"

namespace {

HHOOK hook;
LONG refused;

LRESULT CALLBACK RefuseClockWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    char name[64] = {};
    GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (!strcmp(name, "WindowClass_0")) {
      InterlockedIncrement(&refused);
      return 1;
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

struct Answers {
  const char *entry;   // typed into the time dialog
  bool nameDialog;     // a name dialog follows (valid entry)
  LONG answered;       // dialogs and messages answered
  LONG unexpected;     // windows that should not have come
  volatile LONG stop;
};

HWND FindOwn(const char *className) {
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

HWND FindChild(HWND parent, const char *className) {
  return FindWindowExA(parent, nullptr, className, nullptr);
}

// Answers the time dialog, the name dialog or the error message, whichever
// is up, until told to stop.
DWORD WINAPI AnswerDialogs(void *param) {
  Answers *a = static_cast<Answers *>(param);
  HWND last = nullptr;
  while (!a->stop) {
    if (HWND dialog = FindOwn("InputRequester"); dialog && dialog != last) {
      char title[128] = {};
      GetWindowTextA(dialog, title, sizeof title);
      HWND edit = FindChild(dialog, "Edit");
      if (edit && FindChild(dialog, "Button")) {
        if (strstr(title, "Alarmzeit")) {
          for (const char *c = a->entry; *c; c++) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
        } else if (!a->nameDialog) {
          InterlockedIncrement(&a->unexpected);
        }
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        last = dialog;
        InterlockedIncrement(&a->answered);
      }
    }
    if (HWND box = FindOwn("#32770"); box && box != last && GetDlgItem(box, IDOK)) {
      if (a->nameDialog) InterlockedIncrement(&a->unexpected);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      last = box;
      InterlockedIncrement(&a->answered);
    }
    Sleep(10);
  }
  return 0;
}

struct Watchdog {
  DWORD seconds;
};

// Ends the process if the routine never returns: the failure is the
// timeout, not a hang of the whole test run.
DWORD WINAPI EndIfStuck(void *param) {
  Sleep(static_cast<Watchdog *>(param)->seconds * 1000);
  fprintf(stderr, "ClockRun did not return without its window\n");
  fflush(stderr);
  ExitProcess(2);
}

}  // namespace

struct FaultRow {
  const char *entry;
  bool valid;
};

const FaultRow FaultRows[] = {
    {"23:59:59", true},  // alarm set: name dialog, then the window
    {"", false},         // no alarm: error message, then the window
};

// One row in a process of its own, as the routine runs once per process.
// Run by ClockWindowFault.RoutineEndsWhenWindowCannotBeCreated.
TEST(ClockWindowFaultChild, Row) {
  char value[8] = {};
  if (!GetEnvironmentVariableA("TAMRIX_FAULT_ROW", value, sizeof value)) GTEST_SKIP() << "started by the parent case";
  const FaultRow &row = FaultRows[atoi(value)];
  static Watchdog watchdog{60};
  CloseHandle(CreateThread(nullptr, 0, EndIfStuck, &watchdog, 0, nullptr));
  hook = SetWindowsHookExA(WH_CBT, RefuseClockWindow, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Answers answers = {row.entry, row.valid, 0, 0, 0};
  HANDLE helper = CreateThread(nullptr, 0, AnswerDialogs, &answers, 0, nullptr);
  int result = ClockRun();
  answers.stop = 1;
  WaitForSingleObject(helper, 5000);
  CloseHandle(helper);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(refused, 1) << "the clock window was asked for once";
  EXPECT_EQ(answers.answered, 2) << "two dialogs or messages before the window";
  EXPECT_EQ(answers.unexpected, 0);
  // Only this process's windows count, shown or not: another test's clock
  // may be about.
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "WindowClass_0", nullptr)) != nullptr;) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    EXPECT_NE(pid, GetCurrentProcessId()) << "a clock window exists";
  }
  EXPECT_EQ(FindOwn("InputRequester"), nullptr);
}

TEST(ClockWindowFault, RoutineEndsWhenWindowCannotBeCreated) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  for (size_t i = 0; i < sizeof FaultRows / sizeof FaultRows[0]; i++) {
    SCOPED_TRACE(std::string("entry '") + FaultRows[i].entry + "'");
    std::string command = std::string("\"") + self + "\" --gtest_filter=ClockWindowFaultChild.Row";
    SetEnvironmentVariableA("TAMRIX_FAULT_ROW", std::to_string(i).c_str());
    SetEnvironmentVariableA("GTEST_OUTPUT", nullptr);  // the parent writes the results
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessA(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child));
    SetEnvironmentVariableA("TAMRIX_FAULT_ROW", nullptr);
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 90000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    EXPECT_EQ(code, 0u) << "the row failed or did not return (2: ClockRun never returned)";
  }
}
