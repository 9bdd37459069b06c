// The floor of the menu's start-up: the menu's own template shown by the
// platform's dialog box with no logic at all, only the menu's title so that
// the benchmark finds it the same way. Built with the menu's resources; its
// timed build (BareMenuTimed.exe) marks the phases it shares with the menu.
// Built with SPLASH_FLOOR_RUNS_CLEANUP (BareMenuCleanup.exe and its timed
// build), it also runs the disc's clean-up program twice before its window
// shows, started and waited for as the menu's start-up must: the least that
// the menu's start-up with its two clean-up runs can cost.
#include "framework/StartupClock.h"
#include "res/resource.h"
#ifdef SPLASH_FLOOR_RUNS_CLEANUP
#include "entries/EntryTable.h"
#include "system/CommandLine.h"
#include "system/ProgramLauncher.h"
#endif

#include <windows.h>

#include <string>

namespace {

constexpr char kMenuTitle[] = "Tavrin Vexa";

#ifdef SPLASH_FLOOR_RUNS_CLEANUP
// Runs the clean-up program beside this program once, with the menu's
// command line, flags and time-out.
void RunCleanUp()
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::string program(path, length);
    program = program.substr(0, program.find_last_of('\\')) + kCleanupProgram;
    COwnedKernelHandle process;
    if (StartProgram(program, QuotedPath(program) + " " + kCleanupSwitch, kNormalLaunchFlags, std::string(), process))
        WaitForProgram(process.Get(), kInstallerTimeoutMs);
}
#endif

// Titles the window at its creation and ends on Exit, Escape or a close.
INT_PTR CALLBACK BareMenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_SETFONT)
        MarkStartupPhase(startup::kDialogWindow);
    if (message == WM_INITDIALOG) {
        MarkStartupPhase(startup::kTemplateControls);
#ifdef SPLASH_FLOOR_RUNS_CLEANUP
        RunCleanUp();
        RunCleanUp();
        MarkStartupPhase("clean-up program run twice");
#endif
        ::SetWindowTextA(window, kMenuTitle);
        MarkStartupPhase("title");
        WatchFirstPaint(window);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStartupPhase(startup::kUntilWinMain);
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MENU), nullptr, &BareMenuProcedure, 0);
    return 0;
}
