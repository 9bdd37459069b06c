#include "Paths.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "\\server\share\" with neither part empty; "\\?\" and "\\.\" name
// devices and namespaces, not shares.
bool IsSharePath(const std::string& path)
{
    if (path.size() < 5 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || path[2] == '?' || path[2] == '.')
        return false;
    const std::string::size_type serverEnd = path.find_first_of("\\/", 2);
    if (serverEnd == std::string::npos || serverEnd == 2)
        return false;
    const std::string::size_type shareEnd = path.find_first_of("\\/", serverEnd + 1);
    return shareEnd != std::string::npos && shareEnd > serverEnd + 1;
}

// A text that Windows hands back through a buffer it asks to be sized first.
template <typename Query>
std::string AskWindows(Query query)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::string WithoutTrailingBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

}  // namespace

std::size_t Utf16Length(const std::string& text)
{
    if (text.empty())
        return 0;
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return text.size();  // never less than its bytes in UTF-16 units: long either way
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    return units > 0 ? static_cast<std::size_t>(units) : text.size();
}

bool FitsNarrowPathLimit(const std::string& path)
{
    // A path of MAX_PATH bytes or more may still be short in UTF-16 units;
    // one of fewer bytes never is long.
    return path.size() < MAX_PATH || Utf16Length(path) < MAX_PATH;
}

bool IsPlainAbsolutePath(const std::string& path)
{
    for (char c : path) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"')
            return false;
    }
    const bool onDrive = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    return (onDrive || IsSharePath(path)) && FitsNarrowPathLimit(path);
}

bool IsExistingProgramFile(const std::string& path)
{
    if (!IsPlainAbsolutePath(path))
        return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProgramFilePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size()) {
            const int size = ::WideCharToMultiByte(CP_ACP, 0, buffer.data(), static_cast<int>(length), nullptr, 0,
                                                   nullptr, nullptr);
            std::string path(static_cast<size_t>(size > 0 ? size : 0), '\0');
            if (size > 0)
                ::WideCharToMultiByte(CP_ACP, 0, buffer.data(), static_cast<int>(length), &path[0], size, nullptr,
                                      nullptr);
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string CurrentFolder()
{
    // The needed size includes the terminating zero; the folder may change
    // between the two calls, so ask again while it does not fit.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::string SystemFolder()
{
    return WithoutTrailingBackslash(AskWindows(&::GetSystemDirectoryA));
}

std::string WindowsFolder()
{
    // Not GetWindowsDirectory, which on a terminal server is a private folder of the user's.
    return WithoutTrailingBackslash(AskWindows(&::GetSystemWindowsDirectoryA));
}
