// The floor of the menu's start-up: the menu's own template shown by the
// platform's dialog box with no logic at all, only the menu's title so that
// the benchmark finds it the same way. Built with the menu's resources; its
// timed build (BareMenuTimed.exe) marks the phases it shares with the menu.
#include "framework/StartupClock.h"
#include "res/resource.h"

#include <windows.h>

namespace {

constexpr char kMenuTitle[] = "Tavrin Vexa";

// Titles the window at its creation and ends on Exit, Escape or a close.
INT_PTR CALLBACK BareMenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_SETFONT)
        MarkStartupPhase(startup::kDialogWindow);
    if (message == WM_INITDIALOG) {
        MarkStartupPhase(startup::kTemplateControls);
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
