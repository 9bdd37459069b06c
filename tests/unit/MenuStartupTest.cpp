// The start-up rules of the menu window: where the disc root comes from,
// which language and model a machine gives, and that every label fits its
// button in every language.
#include "EntriesTestSupport.h"
#include "app/Languages.h"
#include "app/MenuDialog.h"
#include "entries/EntryTable.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/Registry.h"

#include <gtest/gtest.h>

using entriestest::CRegistrySeed;

namespace {

constexpr int kBearingAllowance = 6;

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string RunValue(bool& present)
{
    std::string value;
    present = ReadRegString(kRunKeyPath, "Splash", value);
    return value;
}

}  // namespace

TEST(DiscRoot, IsTheFolderOfThePathWithoutItsLastBackslash)
{
    EXPECT_EQ(FolderOfPath("E:\\Menu\\Splash.exe"), "E:\\Menu");
    EXPECT_EQ(FolderOfPath("D:\\Splash.exe"), "D:");
    EXPECT_EQ(FolderOfPath("\"F:\\Setup\\setup.exe\" /x"), "\"F:\\Setup");
    EXPECT_EQ(FolderOfPath("Splash.exe"), "");
    EXPECT_EQ(FolderOfPath(""), "");
}

TEST(DiscRoot, ComesFromTheRunValueWhichIsThenDeleted)
{
    CRegistrySeed seed;
    seed.String(kRunKeyPath, "Splash", "F:\\Setup\\setup.exe");
    EXPECT_EQ(FindDiscRoot("E:\\Menu\\Splash.exe"), "F:\\Setup");
    bool present = true;
    RunValue(present);
    EXPECT_FALSE(present);
    // The next start falls back to the program's own folder.
    EXPECT_EQ(FindDiscRoot("E:\\Menu\\Splash.exe"), "E:\\Menu");
}

TEST(DiscRoot, ARunValueWithoutABackslashIsIgnoredAndKept)
{
    CRegistrySeed seed;
    seed.String(kRunKeyPath, "Splash", "setup.exe");
    EXPECT_EQ(FindDiscRoot("D:\\Splash.exe"), "D:");
    bool present = false;
    EXPECT_EQ(RunValue(present), "setup.exe");
    EXPECT_TRUE(present);
}

TEST(DiscRoot, ARunValueOfAnotherTypeCountsAsMissingAndStays)
{
    CRegistrySeed seed;
    seed.Without(kRunKeyPath, "Splash");
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const char data[] = "G:\\Other\\setup.exe";
    ::RegSetValueExA(key, "Splash", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(data), sizeof(data));
    EXPECT_EQ(FindDiscRoot("E:\\Menu\\Splash.exe"), "E:\\Menu");
    EXPECT_EQ(::RegQueryValueExA(key, "Splash", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    ::RegDeleteValueA(key, "Splash");
    ::RegCloseKey(key);
}

TEST(Model, IsTheCodecValueLessFourOrNoneWithoutIt)
{
    const struct {
        DWORD codec;
        int model;
    } cases[] = {{4, kModelVexa10}, {5, kModelVexa100}, {7, 3}, {2, -2}};
    for (const auto& each : cases) {
        CRegistrySeed seed;
        seed.Dword("Software\\Tavrin", "Codec", each.codec);
        EXPECT_EQ(ReadModel(), each.model) << "Codec " << each.codec;
    }
    CRegistrySeed seed;
    seed.Without("Software\\Tavrin", "Codec");
    EXPECT_EQ(ReadModel(), kModelNone);
}

TEST(Language, StoredCodesMapToTheirIndexAndUnknownOnesToEnglish)
{
    const struct {
        DWORD code;
        int index;
    } cases[] = {{9, 0}, {1036, 1}, {7, 2}, {16, 3}, {10, 4}, {17, 5}, {12, 0}, {0, 0}, {0xFFFFFFFF, 0}};
    for (const auto& each : cases) {
        CRegistrySeed seed;
        seed.Dword(kLanguageKey, kLanguageValue, each.code);
        DWORD code = 1234;
        EXPECT_EQ(ReadLanguage(code), each.index) << each.code;
        EXPECT_EQ(code, each.code);
    }
    CRegistrySeed seed;
    seed.Without(kLanguageKey, kLanguageValue);
    DWORD code = 0;
    EXPECT_EQ(ReadLanguage(code), 0);
    EXPECT_EQ(code, 0u) << "a missing value keeps the code the menu had";
}

TEST(Language, TheFirstStartTakesThePrimaryLanguageOfTheSystem)
{
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)).code, 1036u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH_CANADIAN)).code, 1036u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH_SWISS)).index, 1);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN)).code, 7u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)).code, 16u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MEXICAN)).code, 10u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)).index, 5);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH)).code, 9u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN)).code, 9u);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)).index, 0);
}

// A label wider than its button is cut at both ends: every language must fit
// the menu's entry buttons (136 dialog units in the template's own font).
TEST(Labels, FitTheirButtonsInEveryLanguage)
{
    HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MENU), nullptr,
                                       &NoDialogProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    RECT button{};
    ::GetWindowRect(::GetDlgItem(dialog, IDC_SUITE), &button);
    const int width = button.right - button.left;
    CWindowDc dc(dialog);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    CSelectedObject selection(dc.Get(), font);

    std::vector<unsigned> labels = {IDS_LANGUAGE_LABEL};
    for (const CEntryRow& row : kEntryTable)
        labels.push_back(row.labelId);
    for (int index = 0; index < kLanguageCount; ++index) {
        for (unsigned id : labels) {
            const std::string text = LoadText(id, index * kLanguageOffsetStep);
            const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
            std::wstring wide(static_cast<size_t>(length), L'\0');
            ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc.Get(), wide.c_str(), length - 1, &extent);
            // A few pixels of the extent are the glyphs' side bearings, not ink.
            EXPECT_LE(extent.cx, width + kBearingAllowance) << "language " << index << ", label " << id << ": " << text;
        }
    }
    ::DestroyWindow(dialog);
}
