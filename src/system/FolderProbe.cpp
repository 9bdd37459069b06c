#include "FolderProbe.h"

#include "Paths.h"
#include "base/Handles.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<std::size_t> folderListings{0};

// Lower-cases in place with the user's locale; CharLowerBuffA steps over the
// trail bytes of double-byte characters, which a byte-wise tolower would not.
void LowerCase(std::string& text)
{
    if (!text.empty())
        ::CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
}

}  // namespace

bool FolderContains(std::string name, const std::string& folder)
{
    // The narrow listing functions take fewer than MAX_PATH UTF-16 units; an
    // empty folder would silently list the root of the current drive.
    const std::string pattern = folder + "\\*";
    if (folder.empty() || !FitsNarrowPathLimit(pattern))
        return false;

    WIN32_FIND_DATAA entry{};
    ++folderListings;
    COwnedFind listing(::FindFirstFileA(pattern.c_str(), &entry));
    if (!listing)
        return false;

    LowerCase(name);
    do {
        // A name too long for the narrow buffer may fill it without a NUL.
        std::string entryName(entry.cFileName, ::strnlen(entry.cFileName, sizeof(entry.cFileName)));
        LowerCase(entryName);
        if (entryName == name)
            return true;
    } while (::FindNextFileA(listing.Get(), &entry));
    return false;
}

std::size_t FolderListingCount()
{
    return folderListings.load();
}
