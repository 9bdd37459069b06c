// The registry functions against real keys of the test prefix, with values
// of every type and awkward size written directly through the platform.
#include "system/Registry.h"
#include "system/RegistryNames.h"

#include "base/Handles.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char kTestRoot[] = "SOFTWARE\\TavrinTest\\Registry";

// Gives every test its own key, so test processes may run side by side.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keyPath = std::string(kTestRoot) + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
    }

    void TearDown() override
    {
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
        // The parents go only once no other test keeps a key under them.
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestRoot);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TavrinTest");
    }

    // Stores raw bytes with the narrow function, as another program might.
    void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size)
    {
        HKEY created = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &created, nullptr));
        COwnedKey key(created);
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExA(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    }

    // Stores raw UTF-16 bytes, which may end in half a character.
    void SetRawWide(const std::string& name, DWORD type, const void* data, DWORD size)
    {
        HKEY created = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &created, nullptr));
        COwnedKey key(created);
        const std::wstring wideName(name.begin(), name.end());
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(key.Get(), wideName.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    }

    // The stored type and size of a value, read without the code under test.
    bool QueryRaw(const std::string& name, DWORD& type, std::vector<char>& data)
    {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        COwnedKey key(opened);
        DWORD size = 0;
        if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.assign(size, '\0');
        return ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size)
            == ERROR_SUCCESS;
    }

    std::string keyPath;
};

TEST_F(RegistryTest, ReadStringTakesEveryFormOfString)
{
    const char normal[] = "D:\\Disc Root\\Nimbo";
    SetRaw("Normal", REG_SZ, normal, sizeof(normal));
    SetRaw("OnlyNul", REG_SZ, "", 1);
    SetRaw("NoBytes", REG_SZ, "", 0);
    SetRaw("NoNul", REG_SZ, "abc", 3);
    SetRaw("OddWithNul", REG_SZ, "abcd", 5);
    SetRaw("InnerNul", REG_SZ, "abc\0def", 8);
    const wchar_t halfCharacter[] = L"abc";
    SetRawWide("HalfCharacter", REG_SZ, halfCharacter, 5);

    std::string output = "previous";
    EXPECT_TRUE(ReadRegString(keyPath, "Normal", output));
    EXPECT_EQ(normal, output);

    output = "previous";
    EXPECT_TRUE(ReadRegString(keyPath, "OnlyNul", output));
    EXPECT_EQ("", output);

    output = "previous";
    EXPECT_TRUE(ReadRegString(keyPath, "NoBytes", output));
    EXPECT_EQ("", output);

    EXPECT_TRUE(ReadRegString(keyPath, "NoNul", output));
    EXPECT_EQ("abc", output);

    EXPECT_TRUE(ReadRegString(keyPath, "OddWithNul", output));
    EXPECT_EQ("abcd", output);

    EXPECT_TRUE(ReadRegString(keyPath, "InnerNul", output));
    EXPECT_EQ("abc", output);

    // Two and a half UTF-16 characters: whatever the platform makes of the
    // half, the text starts with the whole ones and nothing is read beyond.
    output = "previous";
    EXPECT_TRUE(ReadRegString(keyPath, "HalfCharacter", output));
    EXPECT_EQ(0u, output.rfind("ab", 0)) << output;
    EXPECT_LE(output.size(), 3u);
}

TEST_F(RegistryTest, ReadStringTakesA64KiBValueWhole)
{
    std::string large(65535, 'x');
    for (size_t index = 0; index < large.size(); index += 97)
        large[index] = static_cast<char>('a' + index % 26);
    SetRaw("Large", REG_SZ, large.c_str(), static_cast<DWORD>(large.size() + 1));
    SetRaw("LargeNoNul", REG_SZ, large.c_str(), static_cast<DWORD>(large.size()));

    std::string output;
    EXPECT_TRUE(ReadRegString(keyPath, "Large", output));
    EXPECT_EQ(large, output);
    output.clear();
    EXPECT_TRUE(ReadRegString(keyPath, "LargeNoNul", output));
    EXPECT_EQ(large, output);
}

TEST_F(RegistryTest, ReadStringRefusesOtherTypesAndLeavesOutput)
{
    SetRaw("Expand", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
    SetRaw("Multi", REG_MULTI_SZ, "one\0two\0", 9);
    SetRaw("Binary", REG_BINARY, "text", 5);
    const DWORD number = 9;
    SetRaw("Number", REG_DWORD, &number, sizeof(number));

    for (const char* name : {"Expand", "Multi", "Binary", "Number", "Missing"}) {
        std::string output = "untouched";
        EXPECT_FALSE(ReadRegString(keyPath, name, output)) << name;
        EXPECT_EQ("untouched", output) << name;
    }
    std::string output = "untouched";
    EXPECT_FALSE(ReadRegString(keyPath + "\\Missing", "Normal", output));
    EXPECT_EQ("untouched", output);
}

TEST_F(RegistryTest, ReadDwordTakesFourBytesOrFewerWhateverTheType)
{
    const DWORD number = 0x12345678;
    const BYTE four[] = {0x01, 0x02, 0x03, 0x04};
    const BYTE two[] = {0x34, 0x12};
    const BYTE eight[] = {1, 2, 3, 4, 5, 6, 7, 8};
    SetRaw("Number", REG_DWORD, &number, sizeof(number));
    SetRaw("Four", REG_BINARY, four, sizeof(four));
    SetRaw("Two", REG_BINARY, two, sizeof(two));
    SetRaw("Eight", REG_BINARY, eight, sizeof(eight));

    DWORD output = 0xDEADBEEF;
    EXPECT_TRUE(ReadRegDword(keyPath, "Number", output));
    EXPECT_EQ(0x12345678u, output);

    EXPECT_TRUE(ReadRegDword(keyPath, "Four", output));
    EXPECT_EQ(0x04030201u, output);

    output = 0xDEADBEEF;
    EXPECT_TRUE(ReadRegDword(keyPath, "Two", output));
    EXPECT_EQ(0x1234u, output);

    output = 0xDEADBEEF;
    EXPECT_FALSE(ReadRegDword(keyPath, "Eight", output));
    EXPECT_EQ(0xDEADBEEFu, output);

    EXPECT_FALSE(ReadRegDword(keyPath, "Missing", output));
    EXPECT_FALSE(ReadRegDword(keyPath + "\\Missing", "Number", output));
    EXPECT_EQ(0xDEADBEEFu, output);
}

TEST_F(RegistryTest, WritesCreateMissingKeysAndStoreExactTypes)
{
    const std::string nested = keyPath + "\\Kardo\\Deeper";
    ASSERT_FALSE(RegKeyExists(nested));

    EXPECT_EQ(ERROR_SUCCESS, WriteRegDword(nested, "Language", 1036));
    EXPECT_TRUE(RegKeyExists(nested));
    EXPECT_EQ(ERROR_SUCCESS, WriteRegString(keyPath + "\\Other", "SplashPath", "D:\\setup.exe"));
    EXPECT_EQ(ERROR_SUCCESS, WriteRegString(keyPath, "Empty", ""));
    // A value of another type is replaced, type and all.
    SetRaw("Replaced", REG_BINARY, "xyzw12", 6);
    EXPECT_EQ(ERROR_SUCCESS, WriteRegDword(keyPath, "Replaced", 7));

    DWORD number = 0;
    EXPECT_TRUE(ReadRegDword(nested, "Language", number));
    EXPECT_EQ(1036u, number);
    std::string text;
    EXPECT_TRUE(ReadRegString(keyPath + "\\Other", "SplashPath", text));
    EXPECT_EQ("D:\\setup.exe", text);

    DWORD type = 0;
    std::vector<char> data;
    ASSERT_TRUE(QueryRaw("Empty", type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(1u, data.size());
    ASSERT_TRUE(QueryRaw("Replaced", type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, data.size());
}

TEST_F(RegistryTest, WriteStringStoresTheTerminatingNul)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteRegString(keyPath, "Path", "C:\\Nimbo"));
    DWORD type = 0;
    std::vector<char> data;
    ASSERT_TRUE(QueryRaw("Path", type, data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(std::string("C:\\Nimbo", 9), std::string(data.begin(), data.end()));
}

TEST_F(RegistryTest, DeleteRemovesOnlyTheNamedValue)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteRegString(keyPath, "Splash", "D:\\Splash.exe"));
    ASSERT_EQ(ERROR_SUCCESS, WriteRegString(keyPath, "Other", "kept"));

    EXPECT_TRUE(DeleteRegValue(keyPath, "Splash"));
    std::string text;
    EXPECT_FALSE(ReadRegString(keyPath, "Splash", text));
    EXPECT_TRUE(ReadRegString(keyPath, "Other", text));
    EXPECT_EQ("kept", text);

    EXPECT_FALSE(DeleteRegValue(keyPath, "Splash"));
    EXPECT_FALSE(DeleteRegValue(keyPath + "\\Missing", "Splash"));
    EXPECT_FALSE(RegKeyExists(keyPath + "\\Missing"));
}

TEST_F(RegistryTest, KeyExistsLooksAtTheKeyOnly)
{
    EXPECT_FALSE(RegKeyExists(keyPath));
    HKEY created = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                nullptr));
    COwnedKey key(created);
    EXPECT_TRUE(RegKeyExists(keyPath));
    EXPECT_FALSE(RegKeyExists(keyPath + "\\{444E2E17-6784-4BF0-926A-996E29E73729}"));
    key.Reset();
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
    EXPECT_FALSE(RegKeyExists(keyPath));
}

TEST_F(RegistryTest, KeyNamesIgnoreCase)
{
    const std::string upper = "SOFTWARE\\TAVRINTEST\\REGISTRY\\"
        + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string mixed = "Software\\TavrinTest\\Registry\\"
        + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_EQ(ERROR_SUCCESS, WriteRegDword(upper, "Codec", 1));
    EXPECT_TRUE(RegKeyExists(mixed));
    DWORD number = 0;
    EXPECT_TRUE(ReadRegDword(mixed, "Codec", number));
    EXPECT_EQ(1u, number);
    EXPECT_EQ(ERROR_SUCCESS, WriteRegDword(mixed, "Codec", 3));
    EXPECT_TRUE(ReadRegDword(upper, "Codec", number));
    EXPECT_EQ(3u, number);
}

// One row of the system's handle list, as ntdll reports it.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
};

// The handles this process holds, from the system's handle list: Wine's
// GetProcessHandleCount always answers 0.
DWORD HandleCount()
{
    using QueryFunction = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return 0;
    std::vector<BYTE> buffer(1 << 16);
    ULONG needed = 0;
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed))
           == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD count = 0;
    for (ULONG index = 0; index < entries; ++index)
        if (entry[index].ownerProcessId == ::GetCurrentProcessId())
            ++count;
    return count;
}

TEST_F(RegistryTest, NoFunctionLeavesAKeyOpen)
{
    constexpr int kCalls = 2000;
    constexpr DWORD kSlack = 16;
    ASSERT_EQ(ERROR_SUCCESS, WriteRegString(keyPath, "Text", "value"));
    ASSERT_EQ(ERROR_SUCCESS, WriteRegDword(keyPath, "Number", 5));

    // The count must see open keys at all, or the comparison below proves nothing.
    const DWORD empty = HandleCount();
    {
        std::vector<COwnedKey> held;
        for (int index = 0; index < 50; ++index) {
            HKEY opened = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &opened));
            held.emplace_back(opened);
        }
        ASSERT_GE(HandleCount(), empty + 50);
    }

    const DWORD before = HandleCount();
    std::string text;
    DWORD number = 0;
    for (int index = 0; index < kCalls; ++index) {
        ReadRegString(keyPath, "Text", text);
        ReadRegString(keyPath, "Number", text);
        ReadRegString(keyPath, "Missing", text);
        ReadRegDword(keyPath, "Number", number);
        ReadRegDword(keyPath, "Missing", number);
        WriteRegString(keyPath, "Text", "value");
        WriteRegDword(keyPath, "Number", 5);
        WriteRegString(keyPath + "\\Created", "Text", "value");
        DeleteRegValue(keyPath, "Missing");
        DeleteRegValue(keyPath + "\\Created", "Text");
        RegKeyExists(keyPath);
        RegKeyExists(keyPath + "\\Missing");
    }
    EXPECT_LE(HandleCount(), before + kSlack);
}

}  // namespace

// The keys that the disc's installers and the other programs write, as they
// write them: the one place the tests spell them out, so that a slip in the
// program's own names shows.
TEST(RegistryNames, AreTheKeysTheInstallersWrite)
{
    const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    const std::pair<const char*, std::string> names[] = {
        {kLanguageKey, "SOFTWARE\\Tavrin\\Kardo"},
        {kLanguageValue, "Language"},
        {kSuiteFolderKey, "SOFTWARE\\Tavrin\\Kardo"},
        {kSuiteFolderValue, "PATH"},
        {kCodecKey, "Software\\Tavrin"},
        {kCodecValue, "Codec"},
        {kSplashPathKey, "SOFTWARE\\Tavrin"},
        {kSplashPathValue, "SplashPath"},
        {kRunKey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {kRunValue, "Splash"},
        {kPoliciesKey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"},
        {kAccountControlValue, "EnableLUA"},
        {kSuiteUninstallKey, uninstall + "{444E2E17-6784-4BF0-926A-996E29E73729}"},
        {kCodecsUninstallKey, uninstall + "{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}"},
        {kAfterEffectsPluginKey, uninstall + "{CB89C001-6354-46C0-AD14-ABCCB79DADA6}"},
        {kMaxPluginKey, uninstall + "{778B04A4-56EA-40CD-B042-E3842F375A83}"},
        {kPhotoshopPluginKey, uninstall + "{EF9EEF08-037B-499F-BDB8-0DFAF9AAF562}"},
        {kWallpapersKey, uninstall + "{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}"},
        {kLightWavePluginKey, uninstall + "{A15E3203-D026-4CBB-9947-2825E1AEE4DE}"},
        {kAcrobatReaderAppPathsKey, appPaths + "AcroRd32.exe"},
        {kPremiereAppPathsKey, appPaths + "Adobe Premiere.exe"},
    };
    for (const auto& name : names)
        EXPECT_EQ(name.second, name.first);
}
