#include "Registry.h"

#include "base/Handles.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr REGSAM kFullAccess = KEY_ALL_ACCESS;

RegistryAccess access = RegistryAccess::Full;
std::vector<std::string> deniedKeys;

COwnedKey OpenKey(const std::string& keyPath, LONG& status)
{
    HKEY key = nullptr;
    const REGSAM wanted = access == RegistryAccess::ReadOnly ? KEY_READ : kFullAccess;
    status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, wanted, &key);
    if (status == ERROR_ACCESS_DENIED && std::find(deniedKeys.begin(), deniedKeys.end(), keyPath) == deniedKeys.end())
        deniedKeys.push_back(keyPath);
    return COwnedKey(status == ERROR_SUCCESS ? key : nullptr);
}

// Opens the key, or creates it when it cannot be opened; a read-only
// program does neither.
COwnedKey OpenOrCreateKey(const std::string& keyPath, LONG& status)
{
    if (access == RegistryAccess::ReadOnly) {
        status = ERROR_ACCESS_DENIED;
        return COwnedKey();
    }
    COwnedKey key = OpenKey(keyPath, status);
    if (key)
        return key;
    HKEY created = nullptr;
    status = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kFullAccess,
                               nullptr, &created, nullptr);
    return COwnedKey(status == ERROR_SUCCESS ? created : nullptr);
}

}  // namespace

void SetRegistryAccess(RegistryAccess wanted)
{
    access = wanted;
}

std::vector<std::string> TakeDeniedRegistryKeys()
{
    return std::exchange(deniedKeys, std::vector<std::string>());
}

bool ReadRegString(const std::string& keyPath, const std::string& valueName, std::string& output)
{
    LONG status = ERROR_SUCCESS;
    COwnedKey key = OpenKey(keyPath, status);
    if (!key)
        return false;

    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;

    // The value may change size between the two reads, may lack its
    // terminating NUL and may be of odd size: read into a buffer that is
    // always one NUL longer than what the registry reports, and retry while
    // it reports more.
    std::vector<char> buffer;
    LONG read = ERROR_MORE_DATA;
    while (read == ERROR_MORE_DATA) {
        buffer.assign(static_cast<size_t>(size) + 1, '\0');
        DWORD capacity = size;
        read = ::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                  &capacity);
        // A value that asks for no more room than it was given will never fit.
        if (read == ERROR_MORE_DATA && capacity <= size)
            return false;
        if (read == ERROR_SUCCESS || read == ERROR_MORE_DATA)
            size = capacity;
    }
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return false;
    buffer.resize(static_cast<size_t>(size) + 1, '\0');
    output.assign(buffer.data());
    return true;
}

bool ReadRegDword(const std::string& keyPath, const std::string& valueName, DWORD& output)
{
    LONG status = ERROR_SUCCESS;
    COwnedKey key = OpenKey(keyPath, status);
    if (!key)
        return false;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size)
        != ERROR_SUCCESS)
        return false;
    // A shorter value leaves the rest of the four bytes at zero.
    output = value;
    return true;
}

LONG WriteRegString(const std::string& keyPath, const std::string& valueName, const std::string& text)
{
    LONG status = ERROR_SUCCESS;
    COwnedKey key = OpenOrCreateKey(keyPath, status);
    if (!key)
        return status;
    const size_t bytes = text.size() + 1;  // with the NUL
    return ::RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(bytes));
}

LONG WriteRegDword(const std::string& keyPath, const std::string& valueName, DWORD value)
{
    LONG status = ERROR_SUCCESS;
    COwnedKey key = OpenOrCreateKey(keyPath, status);
    if (!key)
        return status;
    return ::RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value));
}

bool DeleteRegValue(const std::string& keyPath, const std::string& valueName)
{
    if (access == RegistryAccess::ReadOnly)
        return false;
    LONG status = ERROR_SUCCESS;
    COwnedKey key = OpenKey(keyPath, status);
    return key && ::RegDeleteValueA(key.Get(), valueName.c_str()) == ERROR_SUCCESS;
}

bool RegKeyExists(const std::string& keyPath)
{
    LONG status = ERROR_SUCCESS;
    return static_cast<bool>(OpenKey(keyPath, status));
}
