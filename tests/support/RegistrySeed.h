// Registry values and keys under HKEY_LOCAL_MACHINE that a test sets or
// removes for its run, put back as they were when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CRegistrySeed {
public:
    CRegistrySeed() = default;
    // Puts back every value and key this seed touched, the last one first.
    ~CRegistrySeed();
    CRegistrySeed(const CRegistrySeed&) = delete;
    CRegistrySeed& operator=(const CRegistrySeed&) = delete;

    void SetString(const std::string& key, const std::string& name, const std::string& text);
    void SetDword(const std::string& key, const std::string& name, DWORD value);
    void RemoveValue(const std::string& key, const std::string& name);
    void CreateKey(const std::string& key);
    // Removes the key with everything in it; an existing key comes back
    // empty at the end.
    void RemoveKey(const std::string& key);
    // Touches nothing now, but gives the key back its present existence at
    // the end: for keys that the programs under test create.
    void WatchKey(const std::string& key);
    // Touches nothing now, but gives the value back its present data (or
    // absence) at the end.
    void WatchValue(const std::string& key, const std::string& name) { SaveValue(key, name); }

private:
    struct CSavedValue {
        std::string key;
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct CSavedKey {
        std::string key;
        bool existed;
    };

    void SaveValue(const std::string& key, const std::string& name);

    std::vector<CSavedValue> values;
    std::vector<CSavedKey> keys;
};

// Reads a value straight from the registry, for the tests' checks.
bool ReadStringValue(const std::string& key, const std::string& name, std::string& text);
// A REG_DWORD value only.
bool ReadDwordValue(const std::string& key, const std::string& name, DWORD& value);
bool ValueExists(const std::string& key, const std::string& name);
bool KeyExists(const std::string& key);
