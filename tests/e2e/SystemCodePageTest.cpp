// The menu as every Windows before 10 1903 runs it: without the UTF-8 code
// page its manifest asks for, in the system's own, a Western one here. Each
// text it shows (the title, the captions, the description line, an error
// message and the language dialog's names) reads back through the wide
// functions exactly as its string table holds it, in each of the six
// languages: Japanese too, which the system's code page cannot hold.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "../support/TestPaths.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

constexpr char kSystemCodePageMenu[] = "SplashSystemCodePage.exe";
// A folder where the wallpapers' installer should be: the entry is offered
// and its click fails to start it, which shows the error message.
constexpr char kWallpapersProgram[] = "Bonus\\DesktopWallpapers\\setup.exe";
constexpr char kErrorCaption[] = "Splash.exe";
constexpr wchar_t kJapaneseName[] = L"\u65e5\u672c\u8a9e";
constexpr POINT kAwayFromMenu = {1200, 1000};

struct CLanguageRow {
    const char* name;
    DWORD code;
    int offset;
};

const CLanguageRow kLanguageRows[] = {
    {"English", 9, 0},     {"French", 1036, 1000}, {"German", 7, 2000},
    {"Italian", 16, 3000}, {"Spanish", 10, 4000},  {"Japanese", 17, 5000},
};

void PrintTo(const CLanguageRow& row, std::ostream* out)
{
    *out << row.name;
}

constexpr unsigned kLabelIds[][2] = {
    {IDC_SUITE, IDS_SUITE_LABEL},
    {IDC_HOTFIX, IDS_HOTFIX_LABEL},
    {IDC_EFFECT_ADDONS, IDS_EFFECT_ADDONS_LABEL},
    {IDC_WALLPAPERS, IDS_WALLPAPERS_LABEL},
    {IDC_VFW_CODECS, IDS_VFW_CODECS_LABEL},
    {IDC_REGISTER, IDS_REGISTER_LABEL},
    {IDC_AFTER_EFFECTS_PLUGIN, IDS_AFTER_EFFECTS_PLUGIN_LABEL},
    {IDC_PHOTOSHOP_PLUGIN, IDS_PHOTOSHOP_PLUGIN_LABEL},
    {IDC_MAX_PLUGIN, IDS_MAX_PLUGIN_LABEL},
    {IDC_LIGHTWAVE_PLUGIN, IDS_LIGHTWAVE_PLUGIN_LABEL},
    {IDC_SPICEMASTER_DEMO, IDS_SPICEMASTER_DEMO_LABEL},
    {IDC_PREMIERE_UPDATER, IDS_PREMIERE_UPDATER_LABEL},
    {IDC_LANGUAGE, IDS_LANGUAGE_LABEL},
};

constexpr unsigned kLanguageNames[][2] = {
    {IDC_ENGLISH, IDS_ENGLISH_NAME}, {IDC_FRENCH, IDS_FRENCH_NAME},   {IDC_GERMAN, IDS_GERMAN_NAME},
    {IDC_ITALIAN, IDS_ITALIAN_NAME}, {IDC_SPANISH, IDS_SPANISH_NAME}, {IDC_JAPANESE, IDS_JAPANESE_NAME},
};

class SystemCodePage : public ::testing::TestWithParam<CLanguageRow> {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kRunKey, "Splash");
        seed.SetDword(kLanguageKey, kLanguageValue, GetParam().code);
        seed.RemoveKey(kWallpapersKey);
        disc.AddMenu(kSystemCodePageMenu);
        MakeParentFolders(disc.PathOf(kWallpapersProgram));
        ::CreateDirectoryA(disc.PathOf(kWallpapersProgram).c_str(), nullptr);
        MovePointerTo(kAwayFromMenu);
    }

    // The text at `id` of the current language, as the menu's file holds it.
    std::wstring Text(unsigned id) const { return texts->Text(id + GetParam().offset); }

    bool WaitForLine(const std::wstring& expected) const
    {
        const HWND line = menu->Control(IDC_DESCRIPTION);
        return PollUntil([&] { return SentWideText(line) == expected; }, kHoverTimeoutMs);
    }

    CRegistrySeed seed;
    CTestDisc disc;
    std::unique_ptr<CProgramTexts> texts;
    std::unique_ptr<CMenuDriver> menu;
};

TEST_P(SystemCodePage, EveryTextReadsBackAsTheStringTableHoldsIt)
{
    // Without these the test would prove nothing: a copy that still had the
    // UTF-8 code page, or a system code page that holds Japanese.
    const std::string menuFile = TestProgramFolder() + "\\" + kSystemCodePageMenu;
    ASSERT_EQ(std::string::npos, CProgramTexts(menuFile).Manifest().find("activeCodePage"));
    ASSERT_NE(std::string::npos, CProgramTexts(TestProgramFolder() + "\\Splash.exe").Manifest().find("activeCodePage"));
    ASSERT_NE(static_cast<UINT>(CP_UTF8), ::GetACP());
    BOOL lost = FALSE;
    char narrow[16] = {};
    ::WideCharToMultiByte(CP_ACP, 0, kJapaneseName, -1, narrow, sizeof(narrow), nullptr, &lost);
    ASSERT_TRUE(lost) << "the system's code page " << ::GetACP() << " holds Japanese";

    texts.reset(new CProgramTexts(disc.MenuPath()));
    menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
    ASSERT_NE(nullptr, menu->WaitForWindow()) << "the menu window did not appear";
    EXPECT_EQ(L"Tavrin Vexa", WideWindowText(menu->Window()));
    for (const auto& label : kLabelIds)
        EXPECT_EQ(Text(label[1]), WideWindowText(menu->Control(label[0]))) << "control " << label[0];

    menu->PointAt(IDC_WALLPAPERS);
    EXPECT_TRUE(WaitForLine(Text(IDS_WALLPAPERS_DESCRIPTION)));
    menu->PointAt(IDC_LANGUAGE);
    EXPECT_TRUE(WaitForLine(Text(IDS_LANGUAGE_DESCRIPTION)));

    menu->Click(IDC_WALLPAPERS);
    const HWND box = WaitForMessageBox(kErrorCaption, menu->ProcessId());
    ASSERT_NE(nullptr, box) << "no error message";
    const std::wstring format = Text(IDS_CANNOT_FIND_FILE);
    const std::wstring shown = WideMessageBoxText(box);
    const size_t placeholder = format.find(L"%s");
    ASSERT_NE(std::wstring::npos, placeholder);
    EXPECT_EQ(0u, shown.find(format.substr(0, placeholder))) << "the message does not begin as its text";
    EXPECT_NE(std::wstring::npos, shown.find(L"DesktopWallpapers\\setup.exe"));
    EXPECT_EQ(format.size() - placeholder - 2, shown.size() - shown.rfind(format.substr(placeholder + 2)))
        << "the message does not end as its text";
    AnswerMessageBox(box, IDOK);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(box); }, kWindowTimeoutMs));

    ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
    menu->Click(IDC_LANGUAGE);
    const HWND dialog = WaitForDialogWith(IDC_ENGLISH, menu->ProcessId());
    ASSERT_NE(nullptr, dialog) << "no language dialog";
    for (const auto& name : kLanguageNames)
        EXPECT_EQ(texts->Text(name[1]), WideWindowText(::GetDlgItem(dialog, name[0]))) << "control " << name[0];
    EXPECT_EQ(kJapaneseName, WideWindowText(::GetDlgItem(dialog, IDC_JAPANESE)));
    PressKeyIn(dialog, VK_ESCAPE);
}

INSTANTIATE_TEST_SUITE_P(Languages, SystemCodePage, ::testing::ValuesIn(kLanguageRows),
                         [](const ::testing::TestParamInfo<CLanguageRow>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
