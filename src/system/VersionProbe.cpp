#include "VersionProbe.h"

#include "Paths.h"
#include "Registry.h"
#include "RegistryNames.h"
#include "SystemLibrary.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// The US English string tables, in the order they are consulted.
const char* const kStringTables[] = {"\\StringFileInfo\\040904B0\\", "\\StringFileInfo\\040904E4\\"};

// The longest sub-block path the version functions are given, without its NUL.
constexpr size_t kMaxSubBlockLength = 255;

// The version functions. version.dll is no library that Windows always
// takes from the system folder, so it is loaded from there by full path,
// once, rather than imported; without it no file has version information.
class CVersionLibrary {
public:
    CVersionLibrary() :
        library(LoadSystemLibrary("version.dll")),
        getInfoSize(LibraryFunction<GetInfoSizeFunction>(library.Get(), "GetFileVersionInfoSizeA")),
        getInfo(LibraryFunction<GetInfoFunction>(library.Get(), "GetFileVersionInfoA")),
        queryValue(LibraryFunction<QueryValueFunction>(library.Get(), "VerQueryValueA"))
    {
    }

    DWORD GetInfoSize(const char* path) const
    {
        DWORD ignored = 0;
        return getInfoSize != nullptr && getInfo != nullptr && queryValue != nullptr ? getInfoSize(path, &ignored) : 0;
    }
    bool GetInfo(const char* path, std::vector<BYTE>& block) const
    {
        return getInfo(path, 0, static_cast<DWORD>(block.size()), block.data()) != FALSE;
    }
    bool QueryValue(const std::vector<BYTE>& block, const char* subBlock, void** value, UINT* length) const
    {
        return queryValue(block.data(), subBlock, value, length) != FALSE;
    }

private:
    using GetInfoSizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using GetInfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryValueFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

    COwnedLibrary library;
    GetInfoSizeFunction getInfoSize;
    GetInfoFunction getInfo;
    QueryValueFunction queryValue;
};

const CVersionLibrary& VersionLibrary()
{
    static const CVersionLibrary library;
    return library;
}

// True when the last character (not merely the last byte, which may be the
// trail byte of a double-byte character) is a backslash.
bool EndsWithBackslash(const std::string& text)
{
    if (text.empty())
        return false;
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    return ::CharPrevA(begin, end) == end - 1 && end[-1] == '\\';
}

// Looks one item up in one string table; a lookup counts only when it
// succeeds with a length and a text.
bool QueryVersionString(const std::vector<BYTE>& block, const std::string& subBlock, std::string& text)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VersionLibrary().QueryValue(block, subBlock.c_str(), &value, &length) || length == 0 || value == nullptr)
        return false;
    // The length counts characters, with or without the NUL depending on the
    // platform: stop at whichever comes first.
    const char* begin = static_cast<const char*>(value);
    text.assign(begin, std::find(begin, begin + length, '\0'));
    return true;
}

}  // namespace

bool FindPremiereFolder(std::string& folder)
{
    folder.clear();
    if (!ReadRegString(kPremiereAppPathsKey, kPremiereFolderValue, folder))
        return false;
    if (EndsWithBackslash(folder))
        folder.pop_back();
    if (!folder.empty())
        ::CharUpperBuffA(&folder[0], static_cast<DWORD>(folder.size()));
    return true;
}

void ReadFileVersionItem(const std::string& path, std::string& text, const std::string& itemName)
{
    text.clear();
    if (path.empty() || !FitsNarrowPathLimit(path))
        return;

    const CVersionLibrary& library = VersionLibrary();
    const DWORD size = library.GetInfoSize(path.c_str());
    if (size == 0)
        return;
    std::vector<BYTE> block(size);
    if (!library.GetInfo(path.c_str(), block))
        return;

    for (const char* table : kStringTables) {
        const std::string subBlock = table + itemName;
        if (subBlock.size() > kMaxSubBlockLength)
            return;
        if (QueryVersionString(block, subBlock, text))
            return;
    }
}
