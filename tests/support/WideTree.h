// A folder tree for the tests whose paths the narrow file functions cannot
// always hold: names outside the test program's code page, or longer than
// MAX_PATH. It is made and removed through the wide functions with the
// "\\?\" prefix, which lifts the length limit.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <string>

namespace widetree {

// Text of the process code page (plain ASCII in practice) as UTF-16.
inline std::wstring Widen(const std::string& text)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}

// UTF-16 in `codePage`, with the platform's stand-in for a character that
// has no place in it.
inline std::string Encode(const std::wstring& text, UINT codePage)
{
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(codePage, 0, text.data(), length, &result[0], size, nullptr, nullptr);
    return result;
}

// UTF-16 in the process code page; empty when a character has no place in it.
inline std::string Narrow(const std::wstring& text)
{
    BOOL lossy = FALSE;
    const bool utf8 = ::GetACP() == CP_UTF8;
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           utf8 ? nullptr : &lossy);
    if (size <= 0 || lossy)
        return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
    return narrow;
}

// The temporary folder, with its trailing backslash.
inline std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp, length <= MAX_PATH ? length : 0);
}

class CWideTree {
public:
    // Makes the root and every missing folder above it.
    explicit CWideTree(std::wstring rootPath) : root(std::move(rootPath)) { MakeFolders(root); }
    ~CWideTree()
    {
        // A program that has just ended may hold a file a moment longer.
        for (int attempt = 0; attempt < kRemoveAttempts && !RemoveAll(Long(root)); ++attempt)
            ::Sleep(kRemoveRetryMs);
    }
    CWideTree(const CWideTree&) = delete;
    CWideTree& operator=(const CWideTree&) = delete;

    const std::wstring& Root() const noexcept { return root; }
    std::wstring PathOf(const std::string& relative) const { return root + Widen(relative); }

    // An empty file at a path below the root ("\\Folder\\name"), its folders made.
    bool AddFile(const std::string& relative) const
    {
        const std::wstring path = PathOf(relative);
        MakeFolders(path.substr(0, path.rfind(L'\\')));
        const HANDLE created = ::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
        const COwnedKernelHandle file(created != INVALID_HANDLE_VALUE ? created : nullptr);
        return static_cast<bool>(file);
    }

    // A folder (and its parents) at a path below the root.
    bool AddFolder(const std::string& relative) const { return MakeFolders(PathOf(relative)); }

    // A copy of an existing file at a path below the root, its folders made.
    bool AddCopy(const std::wstring& source, const std::string& relative) const
    {
        const std::wstring path = PathOf(relative);
        MakeFolders(path.substr(0, path.rfind(L'\\')));
        return ::CopyFileW(source.c_str(), Long(path).c_str(), FALSE) != FALSE;
    }

private:
    static constexpr int kRemoveAttempts = 100;
    static constexpr DWORD kRemoveRetryMs = 50;

    static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

    static bool MakeFolders(const std::wstring& path)
    {
        // Past the drive ("C:\") each backslash ends one folder.
        for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
            ::CreateDirectoryW(Long(path.substr(0, slash)).c_str(), nullptr);
        ::CreateDirectoryW(Long(path).c_str(), nullptr);
        return (::GetFileAttributesW(Long(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    // Deletes a tree given with its prefix; true once it is gone.
    static bool RemoveAll(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry{};
        const COwnedFind listing(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
        if (listing) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveAll(path);
                else
                    ::DeleteFileW(path.c_str());
            } while (::FindNextFileW(listing.Get(), &entry));
        }
        return ::RemoveDirectoryW(folder.c_str()) != FALSE
            || ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    }

    std::wstring root;
};

}  // namespace widetree
