// Registry values under HKEY_LOCAL_MACHINE as raw bytes, written and read
// through the wide functions, which convert nothing: strings are the UTF-16
// bytes the registry keeps, of any size, with or without their NUL.
#pragma once

#include "base/Handles.h"

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>

namespace rawregistry {

// The raw bytes of UTF-16 text, as the registry keeps strings.
inline std::string Utf16(const std::wstring& text, bool withNul = true)
{
    std::string data(reinterpret_cast<const char*>(text.c_str()), text.size() * sizeof(wchar_t));
    if (withNul)
        data.append(sizeof(wchar_t), '\0');
    return data;
}

// A value as the registry keeps it: its type and raw bytes.
struct CRawValue {
    DWORD type;
    std::string data;
    bool operator==(const CRawValue& other) const { return type == other.type && data == other.data; }
};

// A failure shows the type, the size and the first bytes, not 128 KiB of text.
inline void PrintTo(const CRawValue& value, std::ostream* out)
{
    constexpr size_t kShownBytes = 24;
    *out << "type " << value.type << ", " << value.data.size() << " bytes";
    for (size_t index = 0; index < value.data.size() && index < kShownBytes; ++index)
        *out << (index == 0 ? ": " : " ") << static_cast<unsigned>(static_cast<unsigned char>(value.data[index]));
}

inline std::wstring WideName(const std::string& asciiName)
{
    return std::wstring(asciiName.begin(), asciiName.end());
}

// The value's type and bytes as stored; nothing when the key or value is missing.
inline std::optional<CRawValue> ReadRawValue(const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const COwnedKey owner(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(owner.Get(), WideName(name).c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (::RegQueryValueExW(owner.Get(), WideName(name).c_str(), nullptr, &type,
                           size != 0 ? reinterpret_cast<BYTE*>(&data[0]) : nullptr, &size)
        != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return CRawValue{type, data};
}

// Stores the bytes unconverted, making the key when it is missing; true
// when the registry then holds exactly these bytes.
inline bool WriteRawValue(const std::string& key, const std::string& name, const CRawValue& value)
{
    HKEY created = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr)
        != ERROR_SUCCESS)
        return false;
    const COwnedKey owner(created);
    // The system counts a NUL that follows a string's bytes in memory into
    // the string; bytes behind the data that are no NUL keep it unterminated.
    const std::string buffer = value.data + "\x7F\x7F";
    if (::RegSetValueExW(owner.Get(), WideName(name).c_str(), 0, value.type,
                         reinterpret_cast<const BYTE*>(buffer.data()), static_cast<DWORD>(value.data.size()))
        != ERROR_SUCCESS)
        return false;
    return ReadRawValue(key, name) == std::optional<CRawValue>(value);
}

}  // namespace rawregistry
