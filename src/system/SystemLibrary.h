// Libraries that the program loads itself: only from the system folder, by
// full path, never by a search that could reach a folder an ordinary user
// can write to (the program's own, the current folder, PATH).
#pragma once

#include "base/Handles.h"

#include <windows.h>

// Restricts every later library search of the process to the system folder
// (where Windows has SetDefaultDllDirectories, else it drops at least the
// current folder). The first thing a program of the menu does.
void RestrictLibrarySearch();

// Loads a library of the system folder ("version.dll") by its full path;
// empty when the system has no such library.
COwnedLibrary LoadSystemLibrary(const char* fileName);

// The library's function `name` as a pointer of type Function; null when
// the library is not loaded or lacks it.
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name)
{
    if (library == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}
