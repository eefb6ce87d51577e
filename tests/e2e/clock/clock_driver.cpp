#include "clock_driver.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "harness/text1252.h"

namespace driver {

namespace {

const char *const Weekdays[7] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};

std::string VariableName(const std::string &entry) {
  return entry.substr(0, entry.find('='));
}

bool SameName(const std::string &a, const std::string &b) {
  return a.size() == b.size() && _strnicmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// This process's environment with the extra entries replacing or added.
std::string BuildEnvironment(const std::vector<std::string> &extra) {
  std::vector<std::string> entries;
  char *block = GetEnvironmentStringsA();
  for (const char *p = block; *p; p += strlen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsA(block);
  for (const std::string &e : extra) {
    std::string name = VariableName(e);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [&](const std::string &x) { return SameName(VariableName(x), name); }),
                  entries.end());
    entries.push_back(e);
  }
  std::string out;
  for (const std::string &e : entries) {
    out += e;
    out.push_back('\0');
  }
  out.push_back('\0');
  return out;
}

struct TopWindows {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  TopWindows *top = reinterpret_cast<TopWindows *>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == top->pid && IsWindowVisible(window)) top->windows.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND> *>(param)->push_back(window);
  return TRUE;
}

}  // namespace

std::string ProgramPath() {
  return TAMRIX_EXE_PATH;
}

ClockProcess::~ClockProcess() {
  if (info_.hProcess) {
    if (Running()) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool ClockProcess::Start(const std::vector<std::string> &extraEnv) {
  std::string path = ProgramPath();
  std::string commandLine = "\"" + path + "\"";
  std::string environment = BuildEnvironment(extraEnv);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, environment.data(), nullptr,
                      &startup, &info_)) {
    fprintf(stderr, "driver: %s did not start (error %lu)\n", path.c_str(), GetLastError());
    return false;
  }
  // A driver that crashes must not leave its clock running for the next
  // test to find: the job ends the clock when the driver's handle goes.
  static HANDLE job = [] {
    HANDLE made = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (made && !SetInformationJobObject(made, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
      CloseHandle(made);
      made = nullptr;
    }
    return made;
  }();
  if (job) AssignProcessToJobObject(job, info_.hProcess);
  return true;
}

bool ClockProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> ClockProcess::Poll() {
  TopWindows top{info_.dwProcessId, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&top));
  for (HWND w : top.windows) {
    bool known = std::any_of(seen_.begin(), seen_.end(), [&](const SeenWindow &s) { return s.window == w; });
    if (!known) seen_.push_back({w, ClassOf(w), WindowText(w)});
  }
  return top.windows;
}

HWND ClockProcess::WaitWindow(const char *className, const char *title, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    for (HWND w : Poll()) {
      if (ClassOf(w) == className && (!title || WindowText(w) == title)) return w;
    }
    if (!Running()) {
      DWORD code = 0;
      GetExitCodeProcess(info_.hProcess, &code);
      fprintf(stderr, "driver: the program ended (exit code 0x%lX) before a window %s|%s appeared\n", code, className,
              title ? title : "*");
      return nullptr;
    }
    if (GetTickCount() - start > timeout) {
      fprintf(stderr, "driver: no window %s|%s within %lu ms\n", className, title ? title : "*", timeout);
      return nullptr;
    }
    Sleep(10);
  }
}

HWND ClockProcess::WaitDialog(const char *title, DialogParts *parts, DWORD timeout) {
  DWORD start = GetTickCount();
  HWND dialog = WaitWindow(InputClass, title, timeout);
  while (dialog) {
    *parts = FindDialogParts(dialog);
    if (parts->prompt && parts->edit && parts->button) return dialog;
    if (!IsWindow(dialog) || GetTickCount() - start > timeout) return nullptr;
    Sleep(10);
  }
  return nullptr;
}

HWND ClockProcess::WaitMessageBox(const char *title, DWORD timeout) {
  DWORD start = GetTickCount();
  HWND box = WaitWindow(MessageClass, title, timeout);
  while (box) {
    if (GetDlgItem(box, 0xFFFF) && GetDlgItem(box, IDOK)) return box;
    if (!IsWindow(box) || GetTickCount() - start > timeout) return nullptr;
    Sleep(10);
  }
  return nullptr;
}

DWORD ClockProcess::WaitExit(DWORD timeout) {
  DWORD start = GetTickCount();
  while (Running() && GetTickCount() - start <= timeout) {
    Poll();
    Sleep(10);
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::vector<std::string> ClockProcess::SeenSequence() const {
  std::vector<std::string> out;
  for (const SeenWindow &s : seen_) out.push_back(s.className + "|" + s.title);
  return out;
}

std::string WindowText(HWND window) {
  WCHAR buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return Cp1252From(buffer);
}

std::string MessageText(HWND window) {
  WCHAR buffer[1024] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &result);
  return Cp1252From(buffer);
}

std::string ClassOf(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

DialogParts FindDialogParts(HWND dialog) {
  DialogParts parts;
  for (HWND child : Children(dialog)) {
    std::string c = ClassOf(child);
    if (!_stricmp(c.c_str(), "Static")) parts.prompt = child;
    if (!_stricmp(c.c_str(), "Edit")) parts.edit = child;
    if (!_stricmp(c.c_str(), "Button")) parts.button = child;
  }
  return parts;
}

void TypeText(HWND edit, const std::string &text) {
  for (WCHAR c : WideFrom1252(text)) PostMessageW(edit, WM_CHAR, c, 1);
}

void PressKey(HWND edit, UINT virtualKey) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(edit, WM_KEYDOWN, virtualKey, scan | 1);
  PostMessageA(edit, WM_KEYUP, virtualKey, scan | 1 | (3u << 30));
}

void SelectAll(HWND edit) {
  PostMessageA(edit, EM_SETSEL, 0, -1);
}

void ConfirmMessage(HWND box) {
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? MessageText(text) : std::string();
}

int Scaled(int pixels) {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return MulDiv(pixels, dpi, 96);
}

SIZE TextBlockSize(const std::string &text, HFONT font) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  RECT rect = {0, 0, 0, 0};
  DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

int64_t ToMilliseconds(const SYSTEMTIME &t) {
  FILETIME f;
  SystemTimeToFileTime(&t, &f);
  ULARGE_INTEGER u;
  u.LowPart = f.dwLowDateTime;
  u.HighPart = f.dwHighDateTime;
  return static_cast<int64_t>(u.QuadPart / 10000);
}

SYSTEMTIME FromMilliseconds(int64_t ms) {
  ULARGE_INTEGER u;
  u.QuadPart = static_cast<ULONGLONG>(ms) * 10000;
  FILETIME f;
  f.dwLowDateTime = u.LowPart;
  f.dwHighDateTime = u.HighPart;
  SYSTEMTIME t;
  FileTimeToSystemTime(&f, &t);
  return t;
}

int64_t LocalNowMs() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return ToMilliseconds(t);
}

std::string FormatTime(const SYSTEMTIME &t) {
  char buffer[16];
  snprintf(buffer, sizeof buffer, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  return buffer;
}

std::string ExpectedClockText(const SYSTEMTIME &t, const char *alarm) {
  char buffer[128];
  snprintf(buffer, sizeof buffer, "%s\r %02u.%02u.%04u\r%s%s", Weekdays[t.wDayOfWeek % 7], t.wDay, t.wMonth, t.wYear,
           alarm ? " " : "", FormatTime(t).c_str());
  std::string text = buffer;
  if (alarm) text += std::string("\r *") + alarm + "*";
  return text;
}

std::vector<std::string> SplitLines(const std::string &text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\r', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

std::string Printable(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out.push_back(c);
  }
  return out;
}

ClockWindows WaitClock(ClockProcess &clock) {
  ClockWindows out;
  DWORD start = GetTickCount();
  out.window = clock.WaitWindow(ClockClass, ClockTitle);
  while (out.window && IsWindow(out.window) && GetTickCount() - start <= AppearTimeout) {
    std::vector<HWND> children = Children(out.window);
    if (children.size() == 1) {
      out.gadget = children[0];
      break;
    }
    Sleep(10);
  }
  // Making the window topmost is the last step of the set-up.
  DWORD setUp = GetTickCount();
  while (out.gadget && !(GetWindowLongA(out.window, GWL_EXSTYLE) & WS_EX_TOPMOST) && GetTickCount() - setUp < 5000) Sleep(10);
  // The loop's first pass follows at once, replacing the creation text.
  while (out.gadget && WindowText(out.gadget) == "-.-.-" && GetTickCount() - setUp < 5000) Sleep(10);
  return out;
}

ClockWindows StartPlainClock(ClockProcess &clock) {
  if (!clock.Start()) return {};
  DialogParts parts;
  if (!clock.WaitDialog(TimeTitle, &parts)) return {};
  PressKey(parts.edit, VK_ESCAPE);
  HWND box = clock.WaitMessageBox(ErrorTitle);
  if (!box) return {};
  ConfirmMessage(box);
  return WaitClock(clock);
}

bool ClockShowsTime(HWND gadget, const char *alarm, std::string *lastText, DWORD timeout) {
  DWORD start = GetTickCount();
  for (;;) {
    int64_t before = LocalNowMs();
    std::string text = WindowText(gadget);
    int64_t after = LocalNowMs();
    *lastText = text;
    // A pass comes just after each second starts, so the text may still
    // show the second before the first reading.
    for (int64_t ms : {before, after, before - 1000}) {
      if (text == ExpectedClockText(FromMilliseconds(ms), alarm)) return true;
    }
    if (GetTickCount() - start > timeout) return false;
    Sleep(50);
  }
}

}  // namespace driver
