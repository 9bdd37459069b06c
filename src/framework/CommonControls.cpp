#include "CommonControls.h"

#include <string>
#include <vector>

namespace {

constexpr char kLibraryName[] = "comctl32.dll";

// The library in the system folder, named by its full path so that nothing
// beside the program or in the current folder can stand in for it.
HMODULE LoadFromSystemFolder(const char* name)
{
    std::vector<char> folder(MAX_PATH);
    UINT length = ::GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length + 1);
        length = ::GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    }
    if (length == 0 || length >= folder.size())
        return nullptr;
    const std::string path = std::string(folder.data(), length) + "\\" + name;
    return ::LoadLibraryA(path.c_str());
}

template <typename Function>
Function Lookup(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

}  // namespace

CCommonControls::CCommonControls() : library(LoadFromSystemFolder(kLibraryName))
{
    if (!library)
        return;
    initCommonControls = Lookup<InitFunction>(library.Get(), "InitCommonControlsEx");
    trackMouseEvent = Lookup<TrackFunction>(library.Get(), "_TrackMouseEvent");
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
