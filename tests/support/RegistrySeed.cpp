#include "RegistrySeed.h"

#include "base/Handles.h"

#include <shlwapi.h>

#include <stdexcept>

namespace {

// Opens an HKLM key, or gives an empty owner.
COwnedKey OpenKey(const std::string& key, REGSAM access)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return COwnedKey();
    return COwnedKey(opened);
}

// Opens the key, creating it and its parents when missing; empty on failure.
COwnedKey CreateKeyQuietly(const std::string& key)
{
    HKEY created = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr)
        != ERROR_SUCCESS)
        return COwnedKey();
    return COwnedKey(created);
}

// The key opened or made; a seed that cannot be laid fails the test.
COwnedKey CreateOrThrow(const std::string& key)
{
    COwnedKey created = CreateKeyQuietly(key);
    if (!created)
        throw std::runtime_error("cannot create HKLM\\" + key);
    return created;
}

// Writes one value of any type, making its key.
void SetOrThrow(const std::string& key, const std::string& name, DWORD type, const BYTE* data, DWORD size)
{
    const COwnedKey opened = CreateOrThrow(key);
    if (::RegSetValueExA(opened.Get(), name.c_str(), 0, type, data, size) != ERROR_SUCCESS)
        throw std::runtime_error("cannot write HKLM\\" + key + "\\" + name);
}

}  // namespace

CRegistrySeed::~CRegistrySeed()
{
    for (auto value = values.rbegin(); value != values.rend(); ++value) {
        if (value->existed) {
            const COwnedKey opened = CreateKeyQuietly(value->key);
            if (opened)
                ::RegSetValueExA(opened.Get(), value->name.c_str(), 0, value->type, value->data.data(),
                                 static_cast<DWORD>(value->data.size()));
        } else {
            const COwnedKey opened = OpenKey(value->key, KEY_ALL_ACCESS);
            if (opened)
                ::RegDeleteValueA(opened.Get(), value->name.c_str());
        }
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        if (key->existed)
            CreateKeyQuietly(key->key);
        else
            ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, key->key.c_str());
    }
}

// Remembers a value as it is before this seed first touches it.
void CRegistrySeed::SaveValue(const std::string& key, const std::string& name)
{
    for (const CSavedValue& saved : values)
        if (saved.key == key && saved.name == name)
            return;
    CSavedValue saved{key, name, false, REG_NONE, {}};
    const COwnedKey opened = OpenKey(key, KEY_QUERY_VALUE);
    DWORD size = 0;
    if (opened
        && ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
        saved.data.resize(size);
        saved.existed = ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &saved.type,
                                           size ? saved.data.data() : nullptr, &size)
            == ERROR_SUCCESS;
        saved.data.resize(size);
    }
    // The key itself goes again if it is made for this value.
    WatchKey(key);
    values.push_back(saved);
}

void CRegistrySeed::SetString(const std::string& key, const std::string& name, const std::string& text)
{
    SaveValue(key, name);
    SetOrThrow(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}

void CRegistrySeed::SetDword(const std::string& key, const std::string& name, DWORD value)
{
    SaveValue(key, name);
    SetOrThrow(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void CRegistrySeed::RemoveValue(const std::string& key, const std::string& name)
{
    SaveValue(key, name);
    const COwnedKey opened = OpenKey(key, KEY_ALL_ACCESS);
    if (opened)
        ::RegDeleteValueA(opened.Get(), name.c_str());
}

void CRegistrySeed::CreateKey(const std::string& key)
{
    WatchKey(key);
    CreateOrThrow(key);
}

void CRegistrySeed::RemoveKey(const std::string& key)
{
    WatchKey(key);
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
}

void CRegistrySeed::WatchKey(const std::string& key)
{
    // Each level, shallowest first, so that every missing one the test
    // makes (parents included) goes again.
    for (size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
        const std::string level = key.substr(0, end);
        bool watched = false;
        for (const CSavedKey& saved : keys)
            watched = watched || saved.key == level;
        if (!watched)
            keys.push_back({level, KeyExists(level)});
        if (end == std::string::npos)
            break;
    }
}

bool ReadStringValue(const std::string& key, const std::string& name, std::string& text)
{
    const COwnedKey opened = OpenKey(key, KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD size = 0;
    if (!opened || ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || type != REG_SZ)
        return false;
    std::vector<char> buffer(size + 1);
    if (::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size)
        != ERROR_SUCCESS)
        return false;
    text.assign(buffer.data());
    return true;
}

bool ReadDwordValue(const std::string& key, const std::string& name, DWORD& value)
{
    const COwnedKey opened = OpenKey(key, KEY_QUERY_VALUE);
    DWORD type = 0;
    DWORD read = 0;
    DWORD size = sizeof(read);
    if (!opened
        || ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&read), &size)
            != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(read))
        return false;
    value = read;
    return true;
}

bool ValueExists(const std::string& key, const std::string& name)
{
    const COwnedKey opened = OpenKey(key, KEY_QUERY_VALUE);
    return opened
        && ::RegQueryValueExA(opened.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(const std::string& key)
{
    return static_cast<bool>(OpenKey(key, KEY_QUERY_VALUE));
}
