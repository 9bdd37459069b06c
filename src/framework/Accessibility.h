// What screen readers learn of a control beyond its window text and style:
// its description, through the platform's accessibility interfaces. The
// accessibility library and COM are loaded, from the system folder, only
// when a screen reader first asks, so a menu nobody reads costs nothing.
#pragma once

#include <windows.h>

// Answers WM_GETOBJECT (`wParam`, `lParam`) for `window`, a window of the
// program's own: for its client object, the standard accessible object of
// the window with the description that the window's object gives
// (CWindow::AccessibleDescription). True, with `answer`, when it answered;
// false leaves the request to the default handling.
bool AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& answer);
