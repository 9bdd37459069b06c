#include "SystemLibrary.h"

#include "Paths.h"

#include <string>

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which older headers do not declare.
constexpr DWORD kSearchSystemFolderOnly = 0x00000800;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCSTR);

// Whether every search of the process is already kept to the system folder.
bool searchRestricted = false;

}  // namespace

void RestrictLibrarySearch()
{
    // Both are looked up: neither exists on every Windows the menu runs on.
    const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    const auto setDefaultDirectories
        = LibraryFunction<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
    if (setDefaultDirectories != nullptr && setDefaultDirectories(kSearchSystemFolderOnly)) {
        searchRestricted = true;
        return;
    }
    const auto setDirectory = LibraryFunction<SetDllDirectoryFunction>(kernel, "SetDllDirectoryA");
    if (setDirectory != nullptr)
        setDirectory("");
}

COwnedLibrary LoadSystemLibrary(const char* fileName)
{
    const std::string folder = SystemFolder();
    if (folder.empty())
        return COwnedLibrary();
    const std::string path = folder + "\\" + fileName;
    // Without the restriction, the altered search at least looks for the
    // library's own imports in its folder, the system folder, first.
    const DWORD flags = searchRestricted ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH;
    return COwnedLibrary(::LoadLibraryExA(path.c_str(), nullptr, flags));
}
