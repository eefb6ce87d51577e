#include "fault_support.h"

#include <stdio.h>
#include <string.h>

#include "harness/gdi_count.h"

using namespace driver;

namespace faults {

ClockWindows StartArmedClock(ClockProcess &clock, const std::string &entry) {
  if (!clock.Start()) return {};
  DialogParts parts;
  if (!clock.WaitDialog(TimeTitle, &parts)) return {};
  TypeText(parts.edit, entry);
  PressKey(parts.edit, VK_RETURN);
  if (!clock.WaitDialog(NameTitle, &parts)) return {};
  PressKey(parts.edit, VK_RETURN);
  return WaitClock(clock);
}

std::string AlarmInAnHour() {
  return FormatTime(FromMilliseconds(LocalNowMs() + 3600 * 1000));
}

bool ClockTicks(HWND gadget, const char *alarm, std::string *why) {
  std::vector<std::string> texts;
  DWORD start = GetTickCount();
  while (texts.size() < 2) {
    std::string text;
    if (!ClockShowsTime(gadget, alarm, &text, 1500)) {
      *why = "the clock shows \"" + Printable(text) + "\", not the time";
      return false;
    }
    if (texts.empty() || texts.back() != text) texts.push_back(text);
    if (texts.size() < 2 && GetTickCount() - start > 3500) {
      *why = "the clock stayed at \"" + Printable(text) + "\" for 3.5 s";
      return false;
    }
    Sleep(100);
  }
  return true;
}

DWORD CloseClock(ClockProcess &clock, HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  return clock.WaitExit();
}

int64_t WindowCount(const ClockProcess &clock) {
  return harness::WindowCountOfProcess(clock.ProcessId());
}

std::string FieldText(HWND edit) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           5000, &copied))
    return "";
  text.resize(copied <= length ? copied : length);
  return text;
}

bool SetClipboardText(const std::string &text) {
  bool open = false;
  for (int attempt = 0; attempt < 50 && !open; attempt++) {
    open = OpenClipboard(nullptr) != 0;
    if (!open) Sleep(20);
  }
  if (!open) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool placed = false;
  if (block) {
    char *bytes = static_cast<char *>(GlobalLock(block));
    memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    placed = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!placed) GlobalFree(block);
  }
  CloseClipboard();
  return placed;
}

void SendKey(WORD virtualKey, bool shift) {
  INPUT input[4] = {};
  UINT n = 0;
  auto key = [&](WORD vk, DWORD flags) {
    input[n].type = INPUT_KEYBOARD;
    input[n].ki.wVk = vk;
    input[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input[n].ki.dwFlags = flags;
    n++;
  };
  if (shift) key(VK_SHIFT, 0);
  key(virtualKey, 0);
  key(virtualKey, KEYEVENTF_KEYUP);
  if (shift) key(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(n, input, sizeof(INPUT));
}

void Activate(HWND window) {
  SetForegroundWindow(window);
  BringWindowToTop(window);
}

}  // namespace faults
