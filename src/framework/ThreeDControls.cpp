#include "ThreeDControls.h"

#include "system/SystemLibrary.h"

namespace {
// Current Windows no longer ship it: then the menu keeps the plain look.
const char kLibraryName[] = "ctl3d32.dll";
using RegisterFunction = BOOL(WINAPI*)(HINSTANCE);
}  // namespace

bool CThreeDControls::Enable(HINSTANCE instance)
{
    library = LoadSystemLibrary(kLibraryName);
    if (!library)
        return false;
    auto registerProgram
        = reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(::GetProcAddress(library.Get(), "Ctl3dRegister")));
    auto autoSubclass = reinterpret_cast<RegisterFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library.Get(), "Ctl3dAutoSubclass")));
    if (registerProgram == nullptr || !registerProgram(instance))
        return false;
    registeredInstance = instance;
    if (autoSubclass != nullptr)
        autoSubclass(instance);
    return true;
}

CThreeDControls::~CThreeDControls()
{
    // The library hooks the program's windows: take the hooks off before it is unloaded.
    if (registeredInstance == nullptr)
        return;
    auto unregisterProgram = reinterpret_cast<RegisterFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library.Get(), "Ctl3dUnregister")));
    if (unregisterProgram != nullptr)
        unregisterProgram(registeredInstance);
}
