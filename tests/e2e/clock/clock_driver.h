// Drives the real Tamrix.exe from outside, the way a user would: starts it,
// finds its windows, types into its dialogs, reads texts, presses OK, closes
// the clock and collects the exit code.
#pragma once
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace driver {

// Texts the program shows (cp1252). The driver reads and types them through
// the ...W functions and Windows' own 1252 table, so they compare the same
// under any ANSI code page.
inline constexpr char TimeTitle[] = "Tamrix: Wenn gew\xFCnscht, Alarmzeit eingeben!";
inline constexpr char TimePrompt[] = "Eingabe-Format = # oder ## oder ##:## oder ##:##:##";
inline constexpr char NameTitle[] = "Tamrix: Erinnerungsname Alarm!";
inline constexpr char NamePrompt[] = "Bezeichnung f\xFCr den Alarm eingeben!";
inline constexpr char NameDefault[] = "Alarm wurde ausgel\xF6st!";
inline constexpr char ErrorTitle[] = "Tamrix: Fehler o. keine Alarmzeiteingabe!";
inline constexpr char ErrorText[] =
    "Keine oder nicht zul\xE4ssige Alarmzeit eingegeben!\r\rDas Programm wird ohne Alarm gestartet!";
inline constexpr char AlarmTitle[] = "Tamrix: Alarm und Programmende!";
inline constexpr char InputClass[] = "InputRequester";
inline constexpr char MessageClass[] = "#32770";
inline constexpr char ClockClass[] = "WindowClass_0";
inline constexpr char ClockTitle[] = "Tamrix";

// Long enough for a start-up on a busy machine; a correct program is far
// quicker, and a wrong one fails on content, not on waiting.
constexpr DWORD AppearTimeout = 30000;

// One visible top-level window of the program, as first seen.
struct SeenWindow {
  HWND window;
  std::string className;
  std::string title;
};

struct DialogParts {
  HWND prompt = nullptr;
  HWND edit = nullptr;
  HWND button = nullptr;
};

class ClockProcess {
 public:
  ClockProcess() = default;
  ClockProcess(const ClockProcess &) = delete;
  ClockProcess &operator=(const ClockProcess &) = delete;
  ~ClockProcess();

  // extraEnv: "NAME=value" entries that replace or add to this process's
  // environment for the program. The program goes into a job that ends it
  // when the driver ends, so a driver that fails, hangs or is killed leaves
  // no clock behind. On failure, says why on stderr.
  bool Start(const std::vector<std::string> &extraEnv = {});
  DWORD ProcessId() const { return info_.dwProcessId; }
  HANDLE Process() const { return info_.hProcess; }

  // Looks at the program's visible top-level windows once, records those not
  // seen before, and returns them.
  std::vector<HWND> Poll();
  // Waits for a visible top-level window of the class (and title, unless
  // null); null on time-out or when the program ended.
  HWND WaitWindow(const char *className, const char *title, DWORD timeout = AppearTimeout);
  // Like WaitWindow, and also until the window's controls exist: an input
  // dialog with prompt, field and button, a message box with its text.
  HWND WaitDialog(const char *title, DialogParts *parts, DWORD timeout = AppearTimeout);
  HWND WaitMessageBox(const char *title, DWORD timeout = AppearTimeout);
  // Exit code, or STILL_ACTIVE after the time-out. Keeps polling meanwhile.
  DWORD WaitExit(DWORD timeout = 10000);
  bool Running() const;

  // "class|title" of every visible top-level window in order of appearance.
  std::vector<std::string> SeenSequence() const;
  const std::vector<SeenWindow> &Seen() const { return seen_; }

 private:
  PROCESS_INFORMATION info_ = {};
  std::vector<SeenWindow> seen_;
};

// The Tamrix.exe under test (a Windows path).
std::string ProgramPath();

std::string WindowText(HWND window);             // GetWindowTextW
std::string MessageText(HWND window);            // WM_GETTEXT, works for any control
std::string ClassOf(HWND window);
std::vector<HWND> Children(HWND parent);
DialogParts FindDialogParts(HWND dialog);

// Keyboard input posted to the dialog's edit field: characters, then keys.
void TypeText(HWND edit, const std::string &text);
void PressKey(HWND edit, UINT virtualKey);
void SelectAll(HWND edit);
// Presses OK in a message box.
void ConfirmMessage(HWND box);
// The static text of a message box (control id 0xFFFF).
std::string MessageBoxText(HWND box);

// A length given in pixels at 96 dpi, scaled to this screen's DPI as the
// program scales its layout (LOGPIXELSY / 96, MulDiv).
int Scaled(int pixels);
// Width and height of text drawn in font (lines broken at carriage returns).
SIZE TextBlockSize(const std::string &text, HFONT font);

// Local time helpers. Milliseconds since 1601 keep arithmetic simple.
int64_t ToMilliseconds(const SYSTEMTIME &t);
SYSTEMTIME FromMilliseconds(int64_t ms);
int64_t LocalNowMs();
std::string FormatTime(const SYSTEMTIME &t);  // HH:MM:SS
// The clock text for a reading (with the alarm line when alarm is not null).
std::string ExpectedClockText(const SYSTEMTIME &t, const char *alarm);
// Splits at lone carriage returns.
std::vector<std::string> SplitLines(const std::string &text);
std::string Printable(const std::string &text);  // \r shown as "\r" for messages

// The clock window and its text gadget, both from the program.
struct ClockWindows {
  HWND window = nullptr;
  HWND gadget = nullptr;
};
// Waits for the clock window and its one text gadget, and (up to 5 s) for
// the window to become topmost, the last step of its set-up.
ClockWindows WaitClock(ClockProcess &clock);
// Runs the program to its clock window, answering the first dialog with an
// invalid entry (Escape) and confirming the error: the plain three-line clock.
ClockWindows StartPlainClock(ClockProcess &clock);

// Reads the gadget's text until it equals the clock text of the reading
// taken around it (the one before, the one after, or a second earlier while
// the next pass is due). Returns the last text read.
bool ClockShowsTime(HWND gadget, const char *alarm, std::string *lastText, DWORD timeout = 3000);

}  // namespace driver
