// The common controls library (comctl32), loaded from the system folder by
// its full path the first time a control needs it: a button's first tooltip
// or its first tracking of the pointer. The menu draws its first picture
// without it; loading it at the start would cost the start-up some
// milliseconds and the process megabytes it has no use for yet.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <commctrl.h>

class CCommonControls {
public:
    // Registers the library's window classes `classes` (InitCommonControlsEx);
    // false when the library cannot be had.
    static bool RegisterClasses(DWORD classes);
    // The library's _TrackMouseEvent, or the system's own TrackMouseEvent
    // (which it calls) when the library cannot be had.
    static BOOL TrackMouseEvent(TRACKMOUSEEVENT& request);
    // The library, loaded if need be; null when it cannot be had.
    static HMODULE Module();

private:
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using TrackFunction = BOOL(WINAPI*)(TRACKMOUSEEVENT*);

    CCommonControls();
    static CCommonControls& Library();

    COwnedLibrary library;
    InitFunction initCommonControls = nullptr;
    TrackFunction trackMouseEvent = nullptr;
};
