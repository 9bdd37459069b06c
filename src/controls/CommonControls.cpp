#include "CommonControls.h"

#include "system/SystemLibrary.h"

#include <windows.h>

#include <commctrl.h>

namespace {

using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Registers the classes when it loads; kept until the process ends.
class CCommonControlsLibrary {
public:
    CCommonControlsLibrary()
        : library(LoadSystemLibrary("comctl32.dll"))
    {
        const auto initialise = LibraryFunction<InitCommonControlsExFunction>(library.Get(), "InitCommonControlsEx");
        const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
        loaded = initialise != nullptr && initialise(&classes);
    }

    bool IsLoaded() const noexcept { return loaded; }

private:
    CLibrary library;
    bool loaded = false;
};

}  // namespace

bool LoadCommonControls()
{
    static const CCommonControlsLibrary library;
    return library.IsLoaded();
}
