// The start-up rules of the menu window: where the disc root comes from,
// which language and model a machine gives, and that every label fits its
// button in every language.
#include "EntriesTestSupport.h"
#include "app/MenuDialog.h"
#include "controls/LinkedFont.h"
#include "entries/EntryTable.h"
#include "entries/Languages.h"
#include "entries/StartUp.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/Registry.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

// Blank pixels every caption leaves on each side of its button.
constexpr int kCaptionMargin = 4;
// How far a caption's measured width may differ from its ink: the side
// bearings of its first and last letters.
constexpr int kBearingAllowance = 3;

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

std::string RunValue(bool& present)
{
    std::string value;
    present = ReadRegString(kRunKey, "Splash", value);
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
    seed.SetString(kRunKey, "Splash", "F:\\Setup\\setup.exe");
    EXPECT_EQ(FindDiscRoot("E:\\Menu\\Splash.exe"), "F:\\Setup");
    bool present = true;
    RunValue(present);
    EXPECT_FALSE(present);
    // The next start falls back to the program's own folder, a share too.
    EXPECT_EQ(FindDiscRoot("E:\\Menu\\Splash.exe"), "E:\\Menu");
    EXPECT_EQ(FindDiscRoot("\\\\server\\vexa\\Splash.exe"), "\\\\server\\vexa");
}

TEST(DiscRoot, ARunValueWithoutABackslashIsIgnoredAndKept)
{
    CRegistrySeed seed;
    seed.SetString(kRunKey, "Splash", "setup.exe");
    EXPECT_EQ(FindDiscRoot("D:\\Splash.exe"), "D:");
    bool present = false;
    EXPECT_EQ(RunValue(present), "setup.exe");
    EXPECT_TRUE(present);
}

TEST(DiscRoot, ARunValueOfAnotherTypeCountsAsMissingAndStays)
{
    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, "Splash");
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
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
        seed.SetDword(kCodecKey, kCodecValue, each.codec);
        EXPECT_EQ(ReadModel(), each.model) << "Codec " << each.codec;
    }
    CRegistrySeed seed;
    seed.RemoveValue(kCodecKey, kCodecValue);
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
        seed.SetDword(kLanguageKey, kLanguageValue, each.code);
        DWORD code = 1234;
        EXPECT_EQ(ReadLanguage(code), each.index) << each.code;
        EXPECT_EQ(code, each.code);
    }
    CRegistrySeed seed;
    seed.RemoveValue(kLanguageKey, kLanguageValue);
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

namespace {

// Where a caption's ink lies on its button, drawn as the button draws it:
// centred on one line in the button's own font.
struct CCaptionInk {
    int left = 0;  // blank columns left of the ink
    int right = 0;  // blank columns right of it
    int extent = 0;  // the width the font measures for the caption
    int ink = 0;  // the width its pixels cover
};

CCaptionInk DrawCaption(HWND button, const std::wstring& text, bool linked)
{
    RECT bounds{};
    ::GetClientRect(button, &bounds);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bounds.right;
    info.bmiHeader.biHeight = -bounds.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const COwnedMemoryDc dc(::CreateCompatibleDC(nullptr));
    const COwnedBitmap picture(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture)
        return CCaptionInk{};
    CSelectedObject pictureSelection(dc.Get(), picture.Get());
    const auto buttonFont = reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0));
    const COwnedFont linkedFont = linked ? CreateLinkedFont(buttonFont) : COwnedFont();
    CSelectedObject fontSelection(dc.Get(), linked ? linkedFont.Get() : buttonFont);
    ::FillRect(dc.Get(), &bounds, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc.Get(), TRANSPARENT);
    ::SetTextColor(dc.Get(), RGB(0, 0, 0));
    ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &bounds, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::GdiFlush();

    const auto* pixels = static_cast<const DWORD*>(bits);
    int first = bounds.right;
    int last = -1;
    for (int y = 0; y < bounds.bottom; ++y) {
        for (int x = 0; x < bounds.right; ++x) {
            if ((pixels[y * bounds.right + x] & 0xFFFFFF) != 0xFFFFFF) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    CCaptionInk result;
    result.left = first;
    result.right = bounds.right - 1 - last;
    result.extent = extent.cx;
    result.ink = last - first + 1;
    return result;
}

}  // namespace

// Every caption keeps 4 blank pixels on each side of its button, in every
// language, in the font the button draws with; the text measures as wide as
// it is drawn, so that what is measured is what shows. Entries hidden under
// the language dialog are held to the size of the other entries.
TEST(Labels, FitTheirButtonsInEveryLanguage)
{
    HWND dialog
        = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MENU), nullptr, &NoDialogProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    HWND languageDialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LANGUAGE), nullptr,
                                               &NoDialogProcedure, 0);
    ASSERT_NE(languageDialog, nullptr);

    struct CCaption {
        HWND button;
        unsigned id;
        bool fixed;
        bool linked;  // a name drawn in the linked font in every language
    };
    std::vector<CCaption> captions = {{::GetDlgItem(dialog, IDC_LANGUAGE), IDS_LANGUAGE_LABEL, false, false}};
    for (const CEntryRow& row : kEntryTable) {
        HWND button = ::GetDlgItem(dialog, row.controlId);
        if ((::GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) == 0)
            button = ::GetDlgItem(dialog, IDC_SUITE);
        captions.push_back({button, row.labelId, false, false});
    }
    for (const CLanguage& language : kLanguages)
        captions.push_back(
            {::GetDlgItem(languageDialog, language.buttonId), language.nameId, true, language.linkedFont});

    for (int index = 0; index < kLanguageCount; ++index) {
        CCaptionInk narrowest;
        narrowest.left = narrowest.right = INT_MAX;
        unsigned narrowestId = 0;
        for (const CCaption& caption : captions) {
            const std::wstring text
                = caption.fixed ? LoadFixedCaption(caption.id) : LoadText(caption.id, index * kLanguageOffsetStep);
            const bool linked = caption.fixed ? caption.linked : kLanguages[index].linkedFont;
            const CCaptionInk ink = DrawCaption(caption.button, text, linked);
            SCOPED_TRACE("language " + std::to_string(index) + ", text " + std::to_string(caption.id) + ": "
                         + entriestest::InSystemCodePage(text));
            if (linked) {
                // Wine draws its own tahoma.ttf from the bitmaps it holds for
                // small sizes but measures it from its outlines, some 5 %
                // wider, which sets the centred text off to the left; Windows'
                // Tahoma measures as it draws. The caption must fit all the same.
                EXPECT_GE(ink.left + ink.right, 2 * kCaptionMargin);
            } else {
                EXPECT_GE(ink.left, kCaptionMargin);
                EXPECT_GE(ink.right, kCaptionMargin);
                EXPECT_NEAR(ink.extent, ink.ink, kBearingAllowance)
                    << "the font measures the caption otherwise than it draws it";
            }
            if (std::min(ink.left, ink.right) < std::min(narrowest.left, narrowest.right)) {
                narrowest = ink;
                narrowestId = caption.id;
            }
        }
        std::printf("language %d: narrowest margins %d | %d px (text %u, %d px of ink)\n", index, narrowest.left,
                    narrowest.right, narrowestId, narrowest.ink);
    }
    ::DestroyWindow(languageDialog);
    ::DestroyWindow(dialog);
}
