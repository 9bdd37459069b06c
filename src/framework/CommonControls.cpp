#include "CommonControls.h"

#include "system/SystemLibrary.h"

CCommonControls::CCommonControls() : library(LoadSystemLibrary("comctl32.dll"))
{
    if (!library)
        return;
    initCommonControls = LibraryFunction<InitFunction>(library.Get(), "InitCommonControlsEx");
    trackMouseEvent = LibraryFunction<TrackFunction>(library.Get(), "_TrackMouseEvent");
}

// Loaded on the first call, kept until the program ends.
CCommonControls& CCommonControls::Library()
{
    static CCommonControls loaded;
    return loaded;
}

bool CCommonControls::RegisterClasses(DWORD classes)
{
    const InitFunction initialise = Library().initCommonControls;
    if (initialise == nullptr)
        return false;
    const INITCOMMONCONTROLSEX request{sizeof(INITCOMMONCONTROLSEX), classes};
    return initialise(&request) != FALSE;
}

BOOL CCommonControls::TrackMouseEvent(TRACKMOUSEEVENT& request)
{
    if (const TrackFunction track = Library().trackMouseEvent)
        return track(&request);
    return ::TrackMouseEvent(&request);
}

HMODULE CCommonControls::Module()
{
    return Library().library.Get();
}
