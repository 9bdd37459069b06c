// The version probes: version resources of the fixture programs built next
// to the test program, and Premiere's App Paths value in the test registry.
#include "system/VersionProbe.h"

#include "../support/TestPaths.h"
#include "base/Handles.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string FixturePath(const std::string& name)
{
    return TestProgramFolder() + "\\" + name;
}

std::string FileVersionOf(const std::string& path)
{
    std::string text = "stale";
    ReadFileVersionItem(path, text, "FileVersion");
    return text;
}

TEST(ReadFileVersionItem, ReadsTheUsEnglishTablesInOrder)
{
    EXPECT_EQ("1, 5, 0, 0", FileVersionOf(FixturePath("FixtureVersionUnicode.exe")));
    EXPECT_EQ("1, 5, 1, 0", FileVersionOf(FixturePath("FixtureVersionLatin1.exe")));
    // The Unicode table wins even where the other one comes first in the file.
    EXPECT_EQ("1, 5, 3, 0", FileVersionOf(FixturePath("FixtureVersionBoth.exe")));
}

TEST(ReadFileVersionItem, AnswersEmptyWithoutAUsEnglishItem)
{
    EXPECT_EQ("", FileVersionOf(FixturePath("FixtureVersionGerman.exe")));
    EXPECT_EQ("", FileVersionOf(FixturePath("FixtureProgram.exe")));
    EXPECT_EQ("", FileVersionOf(FixturePath("Missing.exe")));
    EXPECT_EQ("", FileVersionOf(""));

    std::string text = "stale";
    ReadFileVersionItem(FixturePath("FixtureVersionUnicode.exe"), text, "Comments");
    EXPECT_EQ("", text);
    ReadFileVersionItem(FixturePath("FixtureVersionUnicode.exe"), text, "CompanyName");
    EXPECT_EQ("Tavrin Test", text);
}

// Lengthens a path to exactly the given size with "\." and "\..\bin" steps,
// which name the same file.
std::string PaddedPath(const std::string& folder, const std::string& file, size_t length)
{
    const std::string leaf = folder.substr(folder.find_last_of('\\') + 1);
    const std::string back = "\\..\\" + leaf;
    std::string path = folder;
    size_t missing = length - folder.size() - file.size() - 1;
    if (missing % 2 == 1) {
        if (back.size() % 2 == 0 || back.size() > missing)
            return std::string();
        path += back;
        missing -= back.size();
    }
    while (missing > 0) {
        path += "\\.";
        missing -= 2;
    }
    return path + "\\" + file;
}

TEST(ReadFileVersionItem, RefusesPathsOfMaxPathOrMore)
{
    const std::string folder = TestProgramFolder();
    const std::string longest = PaddedPath(folder, "FixtureVersionUnicode.exe", MAX_PATH - 1);
    const std::string tooLong = PaddedPath(folder, "FixtureVersionUnicode.exe", MAX_PATH);
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 1), longest.size());
    ASSERT_EQ(static_cast<size_t>(MAX_PATH), tooLong.size());

    EXPECT_EQ("1, 5, 0, 0", FileVersionOf(longest));
    EXPECT_EQ("", FileVersionOf(tooLong));
    EXPECT_EQ("", FileVersionOf(folder + std::string(5000, '\\') + "FixtureVersionUnicode.exe"));
}

TEST(ReadFileVersionItem, RefusesItemNamesTooLongForTheSubBlock)
{
    // The fixture holds items with both names; "\StringFileInfo\040904B0\"
    // takes 25 of the 255 characters a sub-block path may have.
    const std::string path = FixturePath("FixtureVersionUnicode.exe");
    std::string text = "stale";
    ReadFileVersionItem(path, text, std::string(230, 'L'));
    EXPECT_EQ("longest name", text);
    ReadFileVersionItem(path, text, std::string(231, 'L'));
    EXPECT_EQ("", text);
    text = "stale";
    ReadFileVersionItem(path, text, std::string(100000, 'L'));
    EXPECT_EQ("", text);
}

// Keeps the real App Paths key of Premiere as it was before the test.
class CSavedPremiereKey {
public:
    CSavedPremiereKey()
    {
        HKEY opened = nullptr;
        keyExisted = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey, 0, KEY_READ, &opened) == ERROR_SUCCESS;
        COwnedKey key(opened);
        DWORD size = 0;
        if (keyExisted && ::RegQueryValueExA(key.Get(), "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            valueExisted = ::RegQueryValueExA(key.Get(), "Path", nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
            data.resize(size);
        }
    }

    ~CSavedPremiereKey()
    {
        if (!keyExisted) {
            ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey);
            return;
        }
        HKEY opened = nullptr;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                              nullptr)
            != ERROR_SUCCESS)
            return;
        COwnedKey key(opened);
        if (valueExisted)
            ::RegSetValueExA(key.Get(), "Path", 0, type, data.data(), static_cast<DWORD>(data.size()));
        else
            ::RegDeleteValueA(key.Get(), "Path");
    }

    bool KeyExisted() const { return keyExisted; }

    CSavedPremiereKey(const CSavedPremiereKey&) = delete;
    CSavedPremiereKey& operator=(const CSavedPremiereKey&) = delete;

    // Stores the Path value raw, with its terminating NUL.
    static void SetPath(DWORD valueType, const std::string& text)
    {
        HKEY created = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &created, nullptr));
        COwnedKey key(created);
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExA(key.Get(), "Path", 0, valueType, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1)));
    }

private:
    bool keyExisted = false;
    bool valueExisted = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

std::string PremiereFolderFor(DWORD type, const std::string& value, bool& found)
{
    CSavedPremiereKey::SetPath(type, value);
    std::string folder = "stale";
    found = FindPremiereFolder(folder);
    return folder;
}

// One test for all cases, since they share the one real key.
TEST(FindPremiereFolder, ReadsTheAppPathsValue)
{
    CSavedPremiereKey saved;
    bool found = false;

    EXPECT_EQ("C:\\PROGRAM FILES\\ADOBE\\PREMIERE PRO 1.5",
              PremiereFolderFor(REG_SZ, "C:\\Program Files\\Adobe\\Premiere Pro 1.5\\", found));
    EXPECT_TRUE(found);
    EXPECT_EQ("C:\\PROGRAM FILES\\ADOBE\\PREMIERE PRO 1.5",
              PremiereFolderFor(REG_SZ, "c:\\program files\\adobe\\premiere pro 1.5", found));
    EXPECT_TRUE(found);
    EXPECT_EQ("D:\\PREMIERE\\", PremiereFolderFor(REG_SZ, "d:\\premiere\\\\", found));
    EXPECT_TRUE(found);

    EXPECT_EQ("", PremiereFolderFor(REG_EXPAND_SZ, "%ProgramFiles%\\Adobe\\Premiere Pro 1.5\\", found));
    EXPECT_FALSE(found);

    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey, 0, KEY_ALL_ACCESS, &opened));
    COwnedKey key(opened);
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteValueA(key.Get(), "Path"));
    std::string folder = "stale";
    EXPECT_FALSE(FindPremiereFolder(folder));
    EXPECT_EQ("", folder);

    // Removing the whole key would lose whatever else a real machine keeps in it.
    if (saved.KeyExisted())
        return;
    key.Reset();
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kPremiereAppPathsKey);
    folder = "stale";
    EXPECT_FALSE(FindPremiereFolder(folder));
    EXPECT_EQ("", folder);
}

}  // namespace
