// The floor of the menu's start-up: the menu's own template shown by the
// platform's dialog box with no logic at all, only the menu's title so that
// the benchmark finds it the same way. Built with the menu's resources.
#include "res/resource.h"

#include <windows.h>

namespace {

constexpr char kMenuTitle[] = "Tavrin Vexa";

// Titles the window at its creation and ends on Exit, Escape or a close.
INT_PTR CALLBACK BareMenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowTextA(window, kMenuTitle);
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
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MENU), nullptr, &BareMenuProcedure, 0);
    return 0;
}
