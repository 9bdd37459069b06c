#include "VersionProbe.h"

#include "Registry.h"
#include "RegistryNames.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {


// The US English string tables, in the order they are consulted.
const char* const kStringTables[] = {"\\StringFileInfo\\040904B0\\", "\\StringFileInfo\\040904E4\\"};

// The longest sub-block path the version functions are given, without its NUL.
constexpr size_t kMaxSubBlockLength = 255;

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
    if (!::VerQueryValueA(block.data(), subBlock.c_str(), &value, &length) || length == 0 || value == nullptr)
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
    if (path.empty() || path.size() >= MAX_PATH)
        return;

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return;

    for (const char* table : kStringTables) {
        const std::string subBlock = table + itemName;
        if (subBlock.size() > kMaxSubBlockLength)
            return;
        if (QueryVersionString(block, subBlock, text))
            return;
    }
}
