// The menu's language as a user meets it: the first start takes the
// system's language and stores it, a stored code is kept, and the language
// button opens a small dialog right above itself whose choice is stored and
// relabels the whole menu, while picking the same language or leaving the
// dialog with Escape changes nothing.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr char kCleanUpTool[] = "Nimbo\\NimboCleanup.fix";
// A code of no language of the menu: French's primary language number.
constexpr DWORD kForeignCode = 12;
// Where the test moves the menu before it opens the language dialog.
constexpr int kMenuLeft = 57;
constexpr int kMenuTop = 83;
// A place on the screen that no window of the menu covers.
constexpr POINT kAwayFromMenu = {1200, 1000};

// The code that a first start stores: the one a run under another locale
// names (see system_language.sh), else the test prefix's English.
DWORD ExpectedFirstStartCode()
{
    const char* code = std::getenv("SPLASH_EXPECTED_LANGUAGE");
    return code != nullptr ? std::strtoul(code, nullptr, 10) : kEnglishCode;
}

// The string offset of the language whose code is given.
int OffsetOfCode(DWORD code)
{
    const DWORD codes[] = {9, 1036, 7, 16, 10, 17};
    for (int index = 0; index < 6; ++index)
        if (codes[index] == code)
            return index * 1000;
    return 0;
}

struct CLabelled {
    int controlId;
    unsigned labelId;
};

// Every button that carries a label of the string table.
constexpr CLabelled kLabelledButtons[] = {
    {IDC_SUITE, IDS_SUITE_LABEL},
    {IDC_HOTFIX, IDS_HOTFIX_LABEL},
    {IDC_PREMIERE_UPDATER, IDS_PREMIERE_UPDATER_LABEL},
    {IDC_AFTER_EFFECTS_PLUGIN, IDS_AFTER_EFFECTS_PLUGIN_LABEL},
    {IDC_MAX_PLUGIN, IDS_MAX_PLUGIN_LABEL},
    {IDC_PHOTOSHOP_PLUGIN, IDS_PHOTOSHOP_PLUGIN_LABEL},
    {IDC_SPICEMASTER_DEMO, IDS_SPICEMASTER_DEMO_LABEL},
    {IDC_ACROBAT_READER, IDS_ACROBAT_READER_LABEL},
    {IDC_REGISTER, IDS_REGISTER_LABEL},
    {IDC_MANUAL, IDS_MANUAL_LABEL},
    {IDC_README, IDS_README_LABEL},
    {IDC_WALLPAPERS, IDS_WALLPAPERS_LABEL},
    {IDC_VFW_CODECS, IDS_VFW_CODECS_LABEL},
    {IDC_LIGHTWAVE_PLUGIN, IDS_LIGHTWAVE_PLUGIN_LABEL},
    {IDC_EFFECT_ADDONS, IDS_EFFECT_ADDONS_LABEL},
    {IDC_LANGUAGE, IDS_LANGUAGE_LABEL},
};

// The entry buttons that the language dialog covers.
constexpr int kCoveredButtons[] = {IDC_SUITE,      IDC_HOTFIX,           IDC_EFFECT_ADDONS,        IDC_WALLPAPERS,
                                   IDC_VFW_CODECS, IDC_REGISTER,         IDC_AFTER_EFFECTS_PLUGIN, IDC_PHOTOSHOP_PLUGIN,
                                   IDC_MAX_PLUGIN, IDC_LIGHTWAVE_PLUGIN, IDC_SPICEMASTER_DEMO};

class LanguageChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kRunKey, "Splash");
        disc.AddMenu();
        // Every refresh of all entries runs the clean-up tool: its starts
        // count the refreshes.
        disc.AddStub(kCleanUpTool);
        MovePointerTo(kAwayFromMenu);
    }

    CMenuDriver& StartMenu()
    {
        menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        EXPECT_NE(nullptr, menu->WaitForWindow()) << "the menu window did not appear";
        return *menu;
    }

    // Every label of the menu as the string table has it at the offset.
    void ExpectLabels(int offset) const
    {
        const CProgramTexts texts(disc.MenuPath());
        for (const CLabelled& button : kLabelledButtons) {
            SCOPED_TRACE("control " + std::to_string(button.controlId));
            EXPECT_EQ(texts.Text(button.labelId + offset), WideWindowText(menu->Control(button.controlId)));
        }
    }

    // Whether all eleven covered buttons are shown (true) or all hidden.
    bool CoveredButtonsShown(bool shown) const
    {
        for (const int id : kCoveredButtons)
            if ((::IsWindowVisible(menu->Control(id)) != FALSE) != shown)
                return false;
        return true;
    }

    size_t CleanUpRuns() const
    {
        size_t runs = 0;
        for (const CStubRecord& start : disc.Starts())
            runs += start.program == disc.PathOf(kCleanUpTool) ? 1 : 0;
        return runs;
    }

    DWORD StoredCode() const
    {
        DWORD code = 0;
        return ReadDwordValue(kLanguageKey, kLanguageValue, code) ? code : 0;
    }

    HWND OpenLanguageDialog() const
    {
        menu->Click(IDC_LANGUAGE);
        return WaitForDialogWith(IDC_ENGLISH, menu->ProcessId());
    }

    bool WaitUntilClosed(HWND dialog) const
    {
        return PollUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, kWindowTimeoutMs);
    }

    CRegistrySeed seed;
    CTestDisc disc;
    std::unique_ptr<CMenuDriver> menu;
};

TEST_F(LanguageChoice, FirstStartStoresTheSystemsLanguageAndSpeaksIt)
{
    const DWORD expected = ExpectedFirstStartCode();
    if (const char* primary = std::getenv("SPLASH_SYSTEM_LANGUAGE")) {
        ASSERT_EQ(std::strtoul(primary, nullptr, 10), PRIMARYLANGID(::GetSystemDefaultLangID()))
            << "the locale of the run did not reach Wine";
    }
    seed.RemoveValue(kLanguageKey, kLanguageValue);

    StartMenu();
    ASSERT_NE(nullptr, menu->Window());
    EXPECT_EQ(expected, StoredCode());
    ExpectLabels(OffsetOfCode(expected));
}

TEST_F(LanguageChoice, StoredCodeOfNoLanguageShowsEnglishAndStays)
{
    seed.SetDword(kLanguageKey, kLanguageValue, kForeignCode);

    StartMenu();
    ASSERT_NE(nullptr, menu->Window());
    ExpectLabels(0);
    EXPECT_EQ(kForeignCode, StoredCode());
}

TEST_F(LanguageChoice, DialogAboveTheButtonStoresAChoiceAndRelabelsTheMenu)
{
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
    StartMenu();
    ASSERT_NE(nullptr, menu->Window());
    // Anywhere on the screen, the dialog follows the button.
    ::SetWindowPos(menu->Window(), nullptr, kMenuLeft, kMenuTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const size_t startUpRuns = CleanUpRuns();
    EXPECT_EQ(2u, startUpRuns) << "the clean-up tool runs for the suite test and for the hotfix entry";

    const HWND dialog = OpenLanguageDialog();
    ASSERT_NE(nullptr, dialog) << "no language dialog";
    RECT placed{};
    ::GetWindowRect(dialog, &placed);
    const RECT button = menu->ControlRect(IDC_LANGUAGE);
    EXPECT_EQ(button.top, placed.bottom) << "its lower edge is not on the button's upper edge";
    EXPECT_EQ(button.left, placed.left) << "its left edge is not the button's";

    const struct {
        int id;
        const wchar_t* name;
    } names[] = {
        {IDC_ENGLISH, L"English"},  {IDC_FRENCH, L"Fran\u00e7ais"}, {IDC_GERMAN, L"Deutsch"},
        {IDC_ITALIAN, L"Italiano"}, {IDC_SPANISH, L"Espa\u00f1ol"}, {IDC_JAPANESE, L"\u65e5\u672c\u8a9e"},
    };
    LONG above = LONG_MIN;
    for (const auto& name : names) {
        const HWND languageButton = ::GetDlgItem(dialog, name.id);
        EXPECT_EQ(name.name, WideWindowText(languageButton)) << "control " << name.id;
        RECT row{};
        ::GetWindowRect(languageButton, &row);
        EXPECT_LT(above, row.top) << "control " << name.id << " is out of its row";
        above = row.top;
    }
    EXPECT_TRUE(CoveredButtonsShown(false)) << "covered entry buttons still shown";
    for (const int id : {IDC_PREMIERE_UPDATER, IDC_LANGUAGE, IDOK})
        EXPECT_TRUE(::IsWindowVisible(menu->Control(id))) << "control " << id << " hidden";

    ClickControlOf(dialog, IDC_FRENCH);
    ASSERT_TRUE(WaitUntilClosed(dialog)) << "the dialog stayed open";
    EXPECT_TRUE(PollUntil([&] { return CoveredButtonsShown(true); }, kWindowTimeoutMs));
    EXPECT_EQ(kFrenchCode, StoredCode());
    EXPECT_EQ(L"Installer Tavrin Nimbo", WideWindowText(menu->Control(IDC_SUITE)));
    ExpectLabels(kFrenchOffset);
    EXPECT_EQ(startUpRuns + 1, CleanUpRuns()) << "a change of language refreshes every entry once";

    // The line speaks the new language at the next move of the pointer.
    const CProgramTexts texts(disc.MenuPath());
    menu->PointAt(IDC_SUITE);
    EXPECT_TRUE(PollUntil(
        [&] {
            return WideWindowText(menu->Control(IDC_DESCRIPTION)) == texts.Text(IDS_SUITE_NOT_FOUND + kFrenchOffset);
        },
        kHoverTimeoutMs));
    menu->PointAt(IDC_LANGUAGE);
    EXPECT_TRUE(PollUntil(
        [&] {
            return WideWindowText(menu->Control(IDC_DESCRIPTION))
                == texts.Text(IDS_LANGUAGE_DESCRIPTION + kFrenchOffset);
        },
        kHoverTimeoutMs));
}

TEST_F(LanguageChoice, SameLanguageOrEscapeChangesNothing)
{
    seed.SetDword(kLanguageKey, kLanguageValue, kFrenchCode);
    StartMenu();
    ASSERT_NE(nullptr, menu->Window());
    const size_t startUpRuns = CleanUpRuns();

    {
        SCOPED_TRACE("the language in use picked again");
        const HWND dialog = OpenLanguageDialog();
        ASSERT_NE(nullptr, dialog);
        // A write of any kind would bring the value back.
        seed.RemoveValue(kLanguageKey, kLanguageValue);
        ClickControlOf(dialog, IDC_FRENCH);
        ASSERT_TRUE(WaitUntilClosed(dialog));
        EXPECT_TRUE(PollUntil([&] { return CoveredButtonsShown(true); }, kWindowTimeoutMs));
        EXPECT_FALSE(ValueExists(kLanguageKey, kLanguageValue)) << "the language was written again";
        EXPECT_EQ(startUpRuns, CleanUpRuns()) << "the entries were refreshed";
        ExpectLabels(kFrenchOffset);
    }
    {
        SCOPED_TRACE("Escape in the dialog");
        const HWND dialog = OpenLanguageDialog();
        ASSERT_NE(nullptr, dialog);
        PressKeyIn(dialog, VK_ESCAPE);
        ASSERT_TRUE(WaitUntilClosed(dialog)) << "Escape did not close the dialog";
        EXPECT_TRUE(PollUntil([&] { return CoveredButtonsShown(true); }, kWindowTimeoutMs));
        EXPECT_FALSE(ValueExists(kLanguageKey, kLanguageValue)) << "a language was stored";
        EXPECT_EQ(startUpRuns, CleanUpRuns()) << "the entries were refreshed";
        ExpectLabels(kFrenchOffset);
        EXPECT_FALSE(menu->HasEnded());
    }
}

}  // namespace
