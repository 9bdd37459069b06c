// Drives the menu program as a person would: starts it, finds its window
// and controls, moves the real pointer, clicks, presses keys, answers
// message boxes and closes it, always waiting with a bound.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

constexpr char kMenuWindowTitle[] = "Tavrin Vexa";
constexpr char kDialogClass[] = "#32770";
// The stored codes of the languages that the tests choose, and the offset of
// French texts in the string table.
constexpr DWORD kEnglishCode = 9;
constexpr DWORD kFrenchCode = 1036;
constexpr DWORD kGermanCode = 7;
constexpr int kFrenchOffset = 1000;
// Under Wine a cold start of the menu takes a second or two.
constexpr DWORD kWindowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
// Wine looks for hover and leave on a timer of about 400 ms.
constexpr DWORD kHoverTimeoutMs = 2500;

// One run of the menu program, ended (by force if need be) when the object
// goes away, so that no menu outlives a test.
class CMenuDriver {
public:
    // Starts the program with SPLASH_STUB_LOG naming the stubs' log, in the
    // working folder (the program's own folder when empty).
    CMenuDriver(const std::string& programPath, const std::string& stubLog, std::string workingFolder = "");
    ~CMenuDriver();
    CMenuDriver(const CMenuDriver&) = delete;
    CMenuDriver& operator=(const CMenuDriver&) = delete;

    DWORD ProcessId() const noexcept { return processId; }

    // Waits until the program shows its top-level window titled "Tavrin
    // Vexa"; nullptr when it does not within the time or the program ended.
    HWND WaitForWindow(DWORD timeoutMs = kWindowTimeoutMs);
    HWND Window() const noexcept { return window; }

    HWND Control(int id) const;
    // The control's rectangle in screen coordinates.
    RECT ControlRect(int id) const;
    POINT ControlCentre(int id) const;
    std::string ControlText(int id) const;

    // Moves the real pointer onto the middle of a control.
    void PointAt(int id) const;
    // Moves the pointer onto a control and presses and releases the left button.
    void Click(int id) const;
    // Brings the menu to the front and presses and releases a key.
    void PressKey(WORD virtualKey) const;
    // Asks the window to close as its close box would (WM_CLOSE).
    void PostClose() const;
    // The window menu's Close command (WM_SYSCOMMAND, SC_CLOSE).
    void PostSystemClose() const;
    // The notification a click on the button sends to the menu, posted: it
    // reaches buttons that the menu never shows.
    void PostCommand(int id) const;

    // True when the process ended within the time.
    bool WaitForExit(DWORD timeoutMs = kExitTimeoutMs) const;
    bool HasEnded() const;
    // The exit code of the ended program; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

private:
    COwnedKernelHandle process;
    DWORD processId = 0;
    HWND window = nullptr;
};

constexpr DWORD kNotStarted = 0xFFFFFFF0;
constexpr DWORD kStillRunning = 0xFFFFFFF1;

// Starts a command line as the menu starts the disc's programs (no
// application name, CREATE_NO_WINDOW) with SPLASH_STUB_LOG set, and waits
// for it; its exit code, kNotStarted, or kStillRunning after the time (the
// program is then ended).
DWORD RunAndWait(const std::string& commandLine, const std::string& stubLog, DWORD timeoutMs = kExitTimeoutMs);

// Every visible or hidden top-level window with this title (and class, when
// given), of any process or of one.
std::vector<HWND> FindTopLevelWindows(const std::string& title, const char* className = nullptr, DWORD processId = 0);
std::string WindowClassName(HWND window);
// The text a window answers to WM_GETTEXT, asked with a bound.
std::string WindowText(HWND window);

// Moves the real pointer to a screen point so that the window under it gets
// the mouse messages a person's move would give.
void MovePointerTo(POINT point);
void ClickAt(POINT point);
// True once the system's hit test at the point finds the control (its dialog
// when the control is disabled), waiting a moment for it.
bool WaitUntilPointLiesOn(HWND control, POINT point);
// Waits (a while at most) until the top-level window of `control` is its
// thread's active window, with no capture and no move loop, and the thread
// answers a sent message; false if that did not come.
bool WaitUntilReadyForInput(HWND control);
// Brings a window to the front, retrying for a moment (after a message box
// closes the foreground may stay on it for a while), then presses a key.
bool BringToFront(HWND window);
void PressKeyIn(HWND window, WORD virtualKey);

// The window's text as the window holds it, in UTF-16.
std::wstring WideWindowText(HWND window);
// The text a window answers to WM_GETTEXT asked in UTF-16, with a bound.
std::wstring SentWideText(HWND window);

// A visible dialog (class #32770) of the process that holds the control:
// tells the language and model dialogs from message boxes and the menu.
HWND FindDialogWith(int controlId, DWORD processId);
HWND WaitForDialogWith(int controlId, DWORD processId, DWORD timeoutMs = kWindowTimeoutMs);
// Clicks the middle of a control of any window with the real pointer, once
// the control is what lies there.
void ClickControlOf(HWND window, int controlId);

// The string table of a program file, read without running the program.
class CProgramTexts {
public:
    explicit CProgramTexts(const std::string& programPath);
    // The text at the identifier; empty when the table has none.
    std::wstring Text(unsigned id) const;
    // The program's manifest as its file holds it; empty when it has none.
    std::string Manifest() const;

private:
    COwnedLibrary module;
};

// Waits for a message box (a dialog of class #32770) with this caption.
HWND WaitForMessageBox(const std::string& caption, DWORD processId = 0, DWORD timeoutMs = kWindowTimeoutMs);
// The message text of a message box.
std::string MessageBoxText(HWND box);
std::wstring WideMessageBoxText(HWND box);
// Answers a message box as its button with this id (IDOK, IDYES ...) would.
void AnswerMessageBox(HWND box, int buttonId);

// A top-level window of the test program's own with the given title: some
// other program's window, as far as the menu can tell.
COwnedWindow CreateTitledWindow(const std::string& title, bool visible);

// Polls `condition` every few milliseconds until it holds or the time is up;
// the condition's last answer.
template <typename Condition>
bool PollUntil(Condition condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
        ::Sleep(20);
    }
}
