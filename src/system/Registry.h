// Access to the menu's registry values. Every key lies under
// HKEY_LOCAL_MACHINE and is opened with full access, for reading too, unless
// the program asks for read access only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How every function below opens its keys: with the full access the menu
// asks for, or, for a tool that runs without administrator rights, with read
// access only (every write and delete then fails with ERROR_ACCESS_DENIED
// and changes nothing).
enum class RegistryAccess { Full, ReadOnly };
void SetRegistryAccess(RegistryAccess access);

// The keys that could not be opened for lack of rights since the last call,
// each once, in the order they were met; the list is emptied.
std::vector<std::string> TakeDeniedRegistryKeys();

// Reads a REG_SZ value whole; false (output untouched) when the key or
// value is missing, unreadable or of another type.
bool ReadRegString(const std::string& keyPath, const std::string& valueName, std::string& output);

// Reads a 32-bit value whatever its stored type; false (output untouched)
// when it cannot be read into 4 bytes.
bool ReadRegDword(const std::string& keyPath, const std::string& valueName, DWORD& output);

// Writes a REG_SZ value, creating the key when needed; the status code of
// the step that failed, or ERROR_SUCCESS.
LONG WriteRegString(const std::string& keyPath, const std::string& valueName, const std::string& text);

// Writes a REG_DWORD value, creating the key when needed; a status code.
LONG WriteRegDword(const std::string& keyPath, const std::string& valueName, DWORD value);

// Deletes one value; true when the key opened and the value was deleted.
bool DeleteRegValue(const std::string& keyPath, const std::string& valueName);

// True when the key can be opened with full access.
bool RegKeyExists(const std::string& keyPath);
