// The refresh of the menu entries on a seeded registry and a temporary disc:
// every entry's state, caption, colours, description and reason, the kept
// flags and paths, and the suite's clean-up step.
#include "EntriesTestSupport.h"

#include "../support/TestPaths.h"
#include "entries/EntryTable.h"
#include "entries/MenuEntries.h"
#include "res/Text.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

using namespace entriestest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreyBlue = RGB(81, 110, 125);
constexpr DWORD kShortWaitMs = 300;
constexpr unsigned kNoReason = 0;

// What each entry button shows, as the menu's tables give it.
struct CEntryTexts {
    int controlId;
    const char* name;
    unsigned labelId;
    unsigned descriptionId;
    bool CMenuState::*flag;
};

const CEntryTexts kEntryTexts[] = {
    {IDC_SUITE, "Suite", IDS_SUITE_LABEL, IDS_SUITE_DESCRIPTION, nullptr},
    {IDC_HOTFIX, "Hotfix", IDS_HOTFIX_LABEL, IDS_HOTFIX_DESCRIPTION, nullptr},
    {IDC_PREMIERE_UPDATER, "PremiereUpdater", IDS_PREMIERE_UPDATER_LABEL, IDS_PREMIERE_UPDATER_DESCRIPTION,
     &CMenuState::premiereUpdaterEnabled},
    {IDC_AFTER_EFFECTS_PLUGIN, "AfterEffectsPlugin", IDS_AFTER_EFFECTS_PLUGIN_LABEL,
     IDS_AFTER_EFFECTS_PLUGIN_DESCRIPTION, &CMenuState::afterEffectsPluginEnabled},
    {IDC_MAX_PLUGIN, "MaxPlugin", IDS_MAX_PLUGIN_LABEL, IDS_MAX_PLUGIN_DESCRIPTION, &CMenuState::maxPluginEnabled},
    {IDC_PHOTOSHOP_PLUGIN, "PhotoshopPlugin", IDS_PHOTOSHOP_PLUGIN_LABEL, IDS_PHOTOSHOP_PLUGIN_DESCRIPTION,
     &CMenuState::photoshopPluginEnabled},
    {IDC_SPICEMASTER_DEMO, "SpiceMasterDemo", IDS_SPICEMASTER_DEMO_LABEL, IDS_SPICEMASTER_DEMO_DESCRIPTION,
     &CMenuState::spiceMasterDemoEnabled},
    {IDC_ACROBAT_READER, "AcrobatReader", IDS_ACROBAT_READER_LABEL, IDS_ACROBAT_READER_DESCRIPTION,
     &CMenuState::acrobatReaderEnabled},
    {IDC_REGISTER, "Register", IDS_REGISTER_LABEL, IDS_REGISTER_DESCRIPTION, &CMenuState::registerEnabled},
    {IDC_MANUAL, "Manual", IDS_MANUAL_LABEL, IDS_MANUAL_DESCRIPTION, &CMenuState::manualEnabled},
    {IDC_README, "Readme", IDS_README_LABEL, IDS_README_DESCRIPTION, &CMenuState::readmeEnabled},
    {IDC_WALLPAPERS, "Wallpapers", IDS_WALLPAPERS_LABEL, IDS_WALLPAPERS_DESCRIPTION, &CMenuState::wallpapersEnabled},
    {IDC_VFW_CODECS, "VfwCodecs", IDS_VFW_CODECS_LABEL, IDS_VFW_CODECS_DESCRIPTION, &CMenuState::vfwCodecsEnabled},
    {IDC_LIGHTWAVE_PLUGIN, "LightWavePlugin", IDS_LIGHTWAVE_PLUGIN_LABEL, IDS_LIGHTWAVE_PLUGIN_DESCRIPTION,
     &CMenuState::lightWavePluginEnabled},
    {IDC_EFFECT_ADDONS, "EffectAddOns", IDS_EFFECT_ADDONS_LABEL, IDS_EFFECT_ADDONS_DESCRIPTION,
     &CMenuState::effectAddOnsEnabled},
};

const CEntryTexts& TextsOf(int controlId)
{
    return *std::find_if(std::begin(kEntryTexts), std::end(kEntryTexts),
                         [controlId](const CEntryTexts& texts) { return texts.controlId == controlId; });
}

// The state an entry should show: enabled, or disabled with a reason (0 for none).
struct CExpected {
    int controlId;
    bool enabled;
    unsigned reasonId;
};

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// The text of the tooltip's one tool.
std::wstring TooltipText(HWND tooltip)
{
    wchar_t text[256] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    if (!::SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        return L"<no tool>";
    return text;
}

const char* const kMenuKeys[] = {
    kSuiteUninstallKey,  kCodecsUninstallKey, kAfterEffectsPluginKey, kMaxPluginKey,
    kPhotoshopPluginKey, kWallpapersKey,      kLightWavePluginKey,
};

class EntriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A key left behind by an earlier test would make this one lie.
        for (const char* key : kMenuKeys)
            ASSERT_FALSE(Present(key)) << key;
        ASSERT_FALSE(Present(kAcrobatReaderAppPathsKey));
        ASSERT_FALSE(Present(kPremiereAppPathsKey));
        seed.RemoveValue(kSuiteFolderKey, kSuiteFolderValue);

        state.discRoot = disc.Root();
        state.languageCode = 9;
        entries.cleanupTimeoutMs = kShortWaitMs;
        entries.installerTimeoutMs = kShortWaitMs;
        entries.writeDebugLine = [this](const std::string& line) { debugLines.push_back(line); };
        entries.showMessage = [](HWND, const std::wstring& text, const std::wstring&, UINT) {
            ADD_FAILURE() << "a refresh showed a message: " << text;
            return IDOK;
        };
    }

    static bool Present(const std::string& key)
    {
        HKEY opened = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(opened);
        return true;
    }

    void FillDisc(bool upperCase = false)
    {
        for (const std::string& file : FullLayout())
            disc.AddFile(upperCase ? Upper(file) : file);
    }

    void EmptyDisc()
    {
        for (const char* folder : {"\\Nimbo", "\\Tavrin HotFix2", "\\Adobe Updater 1.5.1", "\\ExtraPlug-ins", "\\Bonus",
                                   "\\Docs", "\\Readme", "\\Readme.htm"})
            disc.Remove(folder);
    }

    std::wstring Text(unsigned id) const { return LoadText(id, state.languageOffset); }

    // The button, the kept flag and the outcome of the entry agree with the expected state.
    void ExpectEntry(const CExpected& expected)
    {
        const CEntryTexts& texts = TextsOf(expected.controlId);
        SCOPED_TRACE(texts.name);
        CHoverButton* button = host.EntryButton(expected.controlId);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(expected.enabled, ::IsWindowEnabled(button->GetHandle()) != FALSE);

        const std::wstring label = Text(texts.labelId);
        EXPECT_FALSE(label.empty());
        for (CHoverButton::State each :
             {CHoverButton::kNormal, CHoverButton::kPressed, CHoverButton::kHover, CHoverButton::kDisabled}) {
            EXPECT_EQ(label, button->GetCaption(each));
            EXPECT_EQ(each == CHoverButton::kDisabled ? kGreyBlue : kWhite, button->GetCaptionColor(each));
        }
        const std::wstring reason = expected.reasonId != kNoReason ? Text(expected.reasonId) : std::wstring();
        EXPECT_EQ(expected.enabled ? Text(texts.descriptionId) : reason, button->GetDescription());
        if (texts.flag != nullptr) {
            EXPECT_EQ(expected.enabled, state.*texts.flag);
        }
    }

    void ExpectEntries(std::initializer_list<CExpected> expected)
    {
        for (const CExpected& each : expected)
            ExpectEntry(each);
    }

    // All four plug-ins and the effect add-ons, enabled or not, with their reasons.
    void ExpectPlugins(bool enabled, unsigned afterEffects, unsigned max, unsigned photoshop, unsigned lightWave,
                       unsigned effects)
    {
        ExpectEntries({{IDC_AFTER_EFFECTS_PLUGIN, enabled, afterEffects},
                       {IDC_MAX_PLUGIN, enabled, max},
                       {IDC_PHOTOSHOP_PLUGIN, enabled, photoshop},
                       {IDC_LIGHTWAVE_PLUGIN, enabled, lightWave},
                       {IDC_EFFECT_ADDONS, enabled, effects}});
    }

    void ExpectPluginsNeedSuiteAndVexa100()
    {
        ExpectPlugins(false, IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100, IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100,
                      IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100, IDS_LIGHTWAVE_PLUGIN_NEEDS_SUITE_VEXA100,
                      IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100);
    }

    CRegistrySeed seed;
    CTestDisc disc;
    CTestHost host;
    CMenuState state;
    CMenuEntries entries{state, host};
    std::vector<std::string> debugLines;
};

TEST_F(EntriesTest, NothingInstalledOnAFullDisc)
{
    FillDisc();
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_SUITE, true, kNoReason},
                   {IDC_HOTFIX, false, IDS_HOTFIX_NEEDS_SUITE},
                   {IDC_PREMIERE_UPDATER, false, kNoReason},
                   {IDC_SPICEMASTER_DEMO, true, kNoReason},
                   {IDC_ACROBAT_READER, true, kNoReason},
                   {IDC_REGISTER, false, IDS_REGISTER_NEEDS_SUITE},
                   {IDC_MANUAL, false, IDS_MANUAL_NEEDS_READER},
                   {IDC_README, true, kNoReason},
                   {IDC_WALLPAPERS, true, kNoReason},
                   {IDC_VFW_CODECS, true, kNoReason}});
    ExpectPluginsNeedSuiteAndVexa100();
    EXPECT_EQ(disc.Root() + "\\Readme.htm", state.readmePath);
    EXPECT_TRUE(state.suiteFolder.empty());
    EXPECT_TRUE(state.acrobatFolder.empty());
}

TEST_F(EntriesTest, NothingInstalledOnAnEmptyDisc)
{
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_SUITE, false, IDS_SUITE_NOT_FOUND},
                   {IDC_HOTFIX, false, IDS_HOTFIX_NEEDS_SUITE},
                   {IDC_PREMIERE_UPDATER, false, kNoReason},
                   {IDC_SPICEMASTER_DEMO, false, IDS_SPICEMASTER_DEMO_NOT_FOUND},
                   {IDC_ACROBAT_READER, false, IDS_ACROBAT_READER_NOT_FOUND},
                   {IDC_REGISTER, false, IDS_REGISTER_NEEDS_SUITE},
                   {IDC_MANUAL, false, IDS_MANUAL_NEEDS_READER},
                   {IDC_README, false, IDS_README_NOT_FOUND},
                   {IDC_WALLPAPERS, false, IDS_WALLPAPERS_NOT_FOUND},
                   {IDC_VFW_CODECS, false, IDS_VFW_CODECS_NOT_FOUND}});
    ExpectPluginsNeedSuiteAndVexa100();
    EXPECT_TRUE(state.readmePath.empty());
}

TEST_F(EntriesTest, SuiteInstalledWithEachModel)
{
    FillDisc();
    seed.CreateKey(kSuiteUninstallKey);
    state.suiteInstalled = true;
    // Codec 4 and 5 give the two models, no value gives 3, and any other
    // value passes through, such as 2 giving -2.
    for (int model : {0, 1, 3, -2}) {
        SCOPED_TRACE("model " + std::to_string(model));
        state.model = model;
        entries.RefreshAllEntries(0);
        ExpectEntries({{IDC_SUITE, false, IDS_SUITE_INSTALLED},
                       {IDC_HOTFIX, true, kNoReason},
                       {IDC_VFW_CODECS, false, IDS_VFW_CODECS_SUITE_INSTALLED},
                       {IDC_REGISTER, false, IDS_REGISTER_NOT_FOUND},
                       {IDC_WALLPAPERS, true, kNoReason},
                       {IDC_SPICEMASTER_DEMO, true, kNoReason},
                       {IDC_README, true, kNoReason}});
        if (model == 1)
            ExpectPlugins(true, kNoReason, kNoReason, kNoReason, kNoReason, kNoReason);
        else
            ExpectPluginsNeedSuiteAndVexa100();
    }
}

TEST_F(EntriesTest, SuiteInstalledButItsItemsMissing)
{
    seed.CreateKey(kSuiteUninstallKey);
    state.suiteInstalled = true;
    state.model = kModelVexa100;
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_SUITE, false, IDS_SUITE_INSTALLED}, {IDC_HOTFIX, false, IDS_HOTFIX_NOT_FOUND}});
    ExpectPlugins(false, IDS_AFTER_EFFECTS_PLUGIN_NOT_FOUND, IDS_MAX_PLUGIN_NOT_FOUND, IDS_PHOTOSHOP_PLUGIN_NOT_FOUND,
                  IDS_LIGHTWAVE_PLUGIN_NOT_FOUND, IDS_EFFECT_ADDONS_NOT_FOUND);
}

TEST_F(EntriesTest, TheCodecsExcludeTheSuite)
{
    FillDisc();
    seed.CreateKey(kCodecsUninstallKey);
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_SUITE, false, IDS_SUITE_CODECS_INSTALLED}, {IDC_VFW_CODECS, false, IDS_VFW_CODECS_INSTALLED}});

    // The codecs' reason wins over the suite's own.
    state.suiteInstalled = true;
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_SUITE, false, IDS_SUITE_CODECS_INSTALLED}, {IDC_VFW_CODECS, false, IDS_VFW_CODECS_INSTALLED}});
}

TEST_F(EntriesTest, AnInstalledItemIsReportedBeforeItsMissingFolder)
{
    for (const char* key : {kCodecsUninstallKey, kAfterEffectsPluginKey, kMaxPluginKey, kPhotoshopPluginKey,
                            kWallpapersKey, kLightWavePluginKey})
        seed.CreateKey(key);
    seed.CreateKey(kAcrobatReaderAppPathsKey);
    // Neither the suite nor the model may hide the installed state.
    for (bool suite : {false, true}) {
        SCOPED_TRACE(suite ? "suite installed" : "suite missing");
        state.suiteInstalled = suite;
        state.model = suite ? kModelVexa100 : kModelNone;
        entries.RefreshAllEntries(0);
        ExpectEntries({{IDC_AFTER_EFFECTS_PLUGIN, false, IDS_AFTER_EFFECTS_PLUGIN_INSTALLED},
                       {IDC_MAX_PLUGIN, false, IDS_MAX_PLUGIN_INSTALLED},
                       {IDC_PHOTOSHOP_PLUGIN, false, IDS_PHOTOSHOP_PLUGIN_INSTALLED},
                       {IDC_LIGHTWAVE_PLUGIN, false, IDS_LIGHTWAVE_PLUGIN_INSTALLED},
                       {IDC_WALLPAPERS, false, IDS_WALLPAPERS_INSTALLED},
                       {IDC_ACROBAT_READER, false, IDS_ACROBAT_READER_INSTALLED},
                       {IDC_VFW_CODECS, false, IDS_VFW_CODECS_INSTALLED},
                       // Acrobat's key without its "Path" value: no reader for the manual.
                       {IDC_MANUAL, false, IDS_MANUAL_NEEDS_READER}});
    }
}

TEST_F(EntriesTest, NamesOnTheDiscMatchWhateverTheirCase)
{
    FillDisc(true);
    disc.AddFile("\\KARDO\\TVREGISTER.EXE");
    seed.CreateKey(kSuiteUninstallKey);
    seed.SetString(kSuiteFolderKey, kSuiteFolderValue, disc.Root() + "\\Kardo");
    seed.SetString(kAcrobatReaderAppPathsKey, "Path", "C:\\Reader");
    state.suiteInstalled = true;
    state.model = kModelVexa100;
    state.languageCode = 1036;
    entries.RefreshAllEntries(1);
    ExpectEntries({{IDC_SUITE, false, IDS_SUITE_INSTALLED},
                   {IDC_HOTFIX, true, kNoReason},
                   {IDC_SPICEMASTER_DEMO, true, kNoReason},
                   {IDC_ACROBAT_READER, false, IDS_ACROBAT_READER_INSTALLED},
                   {IDC_REGISTER, true, kNoReason},
                   {IDC_MANUAL, true, kNoReason},
                   {IDC_README, true, kNoReason},
                   {IDC_WALLPAPERS, true, kNoReason},
                   {IDC_VFW_CODECS, false, IDS_VFW_CODECS_SUITE_INSTALLED}});
    ExpectPlugins(true, kNoReason, kNoReason, kNoReason, kNoReason, kNoReason);
    // The page is named as the string table names it; the file system finds it either way.
    EXPECT_EQ(disc.Root() + "\\Readme\\readme.fr.htm", state.readmePath);

    // Without the suite's installer the suite shows why; the French block is used.
    disc.Remove("\\NIMBO");
    state.suiteInstalled = false;
    entries.RefreshSuiteEntry();
    ExpectEntry({IDC_SUITE, false, IDS_SUITE_NOT_FOUND});
    EXPECT_EQ(L"Installer Tavrin Nimbo", host.EntryButton(IDC_SUITE)->GetCaption(CHoverButton::kNormal));
}

TEST_F(EntriesTest, LanguageAndExitButtonsFollowTheLanguage)
{
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE("language " + std::to_string(index));
        entries.RefreshAllEntries(index);
        EXPECT_EQ(index * 1000, state.languageOffset);

        CHoverButton* language = host.EntryButton(IDC_LANGUAGE);
        const std::wstring label = Text(IDS_LANGUAGE_LABEL);
        EXPECT_FALSE(label.empty());
        EXPECT_EQ(label, language->GetCaption(CHoverButton::kHover));
        EXPECT_EQ(kWhite, language->GetCaptionColor(CHoverButton::kNormal));
        EXPECT_EQ(kGreyBlue, language->GetCaptionColor(CHoverButton::kDisabled));
        EXPECT_EQ(Text(IDS_LANGUAGE_DESCRIPTION), language->GetDescription());
        // The one description serves the disabled state too.
        ::EnableWindow(language->GetHandle(), FALSE);
        EXPECT_EQ(Text(IDS_LANGUAGE_DESCRIPTION), language->GetDescription());
        ::EnableWindow(language->GetHandle(), TRUE);

        CHoverButton* exit = host.EntryButton(IDOK);
        EXPECT_EQ(L"", exit->GetCaption(CHoverButton::kNormal));
        EXPECT_EQ(Text(IDS_EXIT_DESCRIPTION), exit->GetDescription());
        ::EnableWindow(exit->GetHandle(), FALSE);
        EXPECT_EQ(Text(IDS_EXIT_DESCRIPTION), exit->GetDescription());
        ::EnableWindow(exit->GetHandle(), TRUE);
        // The tooltip is made when the pointer first reaches the button.
        MSG move{exit->GetHandle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
        exit->PreTranslateMessage(move);
        ASSERT_NE(nullptr, exit->GetTooltipWindow());
        EXPECT_EQ(1, ::SendMessageA(exit->GetTooltipWindow(), TTM_GETTOOLCOUNT, 0, 0));
        EXPECT_EQ(Text(IDS_EXIT_TOOLTIP), TooltipText(exit->GetTooltipWindow()));
    }
    EXPECT_EQ(L"Quitter", LoadText(IDS_EXIT_TOOLTIP, 1000));
}

TEST_F(EntriesTest, PremiereUpdaterOffersItselfOverVersionOnePointFiveOnly)
{
    disc.AddFile("\\Adobe Updater 1.5.1\\setup.exe");
    CTestDisc premiere("Premiere");
    const std::string program = "\\Adobe Premiere Pro.exe";
    // Premiere not registered: disabled without a word.
    entries.RefreshPremiereUpdaterEntry();
    ExpectEntry({IDC_PREMIERE_UPDATER, false, kNoReason});

    // Registered (App Paths keeps a trailing backslash), its program missing.
    seed.SetString(kPremiereAppPathsKey, "Path", premiere.Root() + "\\");
    entries.RefreshPremiereUpdaterEntry();
    ExpectEntry({IDC_PREMIERE_UPDATER, false, IDS_PREMIERE_UPDATER_NEEDS_PREMIERE});

    struct CCase {
        const char* fixture;
        const char* version;
        bool enabled;
        unsigned reasonId;
    };
    const CCase cases[] = {
        {"FixtureVersionUnicode.exe", "1, 5, 0, 0", true, kNoReason},
        {"FixtureVersionLatin1.exe", "1, 5, 1, 0", false, IDS_PREMIERE_UPDATED},
        {"FixtureVersionPatch.exe", "1, 5, 0, 1", false, kNoReason},
        {"FixtureProgram.exe", "none", false, kNoReason},
    };
    for (const CCase& each : cases) {
        SCOPED_TRACE(each.version);
        premiere.AddProgram(program, each.fixture);
        entries.RefreshPremiereUpdaterEntry();
        ExpectEntry({IDC_PREMIERE_UPDATER, each.enabled, each.reasonId});
    }

    // Version 1.5 without the updater on the disc; the name the updater is
    // started by is the one looked for, not "sub.exe".
    premiere.AddProgram(program, "FixtureVersionUnicode.exe");
    disc.Remove("\\Adobe Updater 1.5.1\\setup.exe");
    disc.AddFile("\\Adobe Updater 1.5.1\\sub.exe");
    entries.RefreshPremiereUpdaterEntry();
    ExpectEntry({IDC_PREMIERE_UPDATER, false, IDS_PREMIERE_UPDATER_NOT_FOUND});
}

TEST_F(EntriesTest, ManualNeedsTheReaderAndEitherManual)
{
    disc.AddFile("\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe");
    {
        CRegistrySeed reader;
        reader.SetString(kAcrobatReaderAppPathsKey, "Path", "C:\\Program Files\\Adobe\\Reader");
        entries.RefreshAllEntries(0);
        ExpectEntries(
            {{IDC_MANUAL, false, IDS_MANUAL_NOT_FOUND}, {IDC_ACROBAT_READER, false, IDS_ACROBAT_READER_INSTALLED}});
        EXPECT_EQ("C:\\Program Files\\Adobe\\Reader", state.acrobatFolder);

        disc.AddFile("\\Docs\\Manual_VexaB.pdf");
        entries.RefreshManualEntry();
        ExpectEntry({IDC_MANUAL, true, kNoReason});
        disc.Remove("\\Docs");
        disc.AddFile("\\Docs\\Manual_VexaA.pdf");
        entries.RefreshManualEntry();
        ExpectEntry({IDC_MANUAL, true, kNoReason});
    }
    // The reader gone, its folder stays known.
    entries.RefreshAllEntries(0);
    ExpectEntries({{IDC_MANUAL, false, IDS_MANUAL_NEEDS_READER}, {IDC_ACROBAT_READER, true, kNoReason}});
    EXPECT_EQ("C:\\Program Files\\Adobe\\Reader", state.acrobatFolder);
}

TEST_F(EntriesTest, RegistrationFolderIsReadAsData)
{
    state.suiteInstalled = true;
    struct CCase {
        std::string stored;
        std::string folder;  // where the program must be
    };
    const CCase cases[] = {
        {disc.Root() + "\\Kardo", disc.Root() + "\\Kardo"},
        {"%s\\Reg", disc.Root() + "\\Reg"},
        {disc.Root() + "\\100%%", disc.Root() + "\\100%"},
        {disc.Root() + "\\%n%x", disc.Root() + "\\%n%x"},
        {disc.Root() + "\\50% off %d", disc.Root() + "\\50% off %d"},
    };
    for (const CCase& each : cases) {
        SCOPED_TRACE(each.stored);
        CRegistrySeed stored;
        stored.SetString(kSuiteFolderKey, kSuiteFolderValue, each.stored);
        entries.RefreshRegisterEntry();
        ExpectEntry({IDC_REGISTER, false, IDS_REGISTER_NOT_FOUND});
        EXPECT_EQ(each.stored, state.suiteFolder);

        disc.AddFile(each.folder.substr(disc.Root().size()) + "\\TvRegister.exe");
        entries.RefreshRegisterEntry();
        ExpectEntry({IDC_REGISTER, true, kNoReason});
        disc.Remove(each.folder.substr(disc.Root().size()));
    }
}

TEST_F(EntriesTest, RegistrationKeepsTheLastFolderFound)
{
    disc.AddFile("\\Kardo\\TvRegister.exe");
    {
        CRegistrySeed stored;
        stored.SetString(kSuiteFolderKey, kSuiteFolderValue, disc.Root() + "\\Kardo");
        // Not offered without the suite, but the folder is kept all the same.
        entries.RefreshRegisterEntry();
        ExpectEntry({IDC_REGISTER, false, IDS_REGISTER_NEEDS_SUITE});
        EXPECT_EQ(disc.Root() + "\\Kardo", state.suiteFolder);
    }
    state.suiteInstalled = true;
    entries.RefreshRegisterEntry();
    ExpectEntry({IDC_REGISTER, true, kNoReason});
    {
        CRegistrySeed empty;
        empty.SetString(kSuiteFolderKey, kSuiteFolderValue, "");
        entries.RefreshRegisterEntry();
        ExpectEntry({IDC_REGISTER, true, kNoReason});
        EXPECT_EQ(disc.Root() + "\\Kardo", state.suiteFolder);
    }
}

TEST_F(EntriesTest, ReadmeOfEachLanguage)
{
    struct CLanguage {
        int index;
        DWORD code;
        const char* page;
    };
    const CLanguage languages[] = {
        {1, 1036, "readme.fr.htm"}, {2, 7, "readme.de.htm"},  {3, 16, "readme.it.htm"},
        {4, 10, "readme.es.htm"},   {5, 17, "readme.jp.htm"},
    };
    for (const CLanguage& language : languages) {
        SCOPED_TRACE(language.page);
        state.languageCode = language.code;
        state.languageOffset = language.index * 1000;
        state.readmePath.clear();

        disc.AddFile(std::string("\\Readme\\") + language.page);
        entries.RefreshReadmeEntry();
        ExpectEntry({IDC_README, true, kNoReason});
        EXPECT_EQ(disc.Root() + "\\Readme\\" + language.page, state.readmePath);

        // Without the translated page, the English one in the disc root.
        disc.Remove("\\Readme");
        disc.AddFile("\\Readme.htm");
        entries.RefreshReadmeEntry();
        ExpectEntry({IDC_README, true, kNoReason});
        EXPECT_EQ(disc.Root() + "\\Readme.htm", state.readmePath);

        // Neither: the last page found stays.
        disc.Remove("\\Readme.htm");
        entries.RefreshReadmeEntry();
        ExpectEntry({IDC_README, false, IDS_README_NOT_FOUND});
        EXPECT_EQ(disc.Root() + "\\Readme.htm", state.readmePath);
    }

    // English looks in the disc root only, and another language's page is no fallback.
    state.languageCode = 9;
    state.languageOffset = 0;
    disc.AddFile("\\Readme\\Readme.htm");
    disc.AddFile("\\Readme\\readme.fr.htm");
    entries.RefreshReadmeEntry();
    ExpectEntry({IDC_README, false, IDS_README_NOT_FOUND});
    state.languageCode = 7;
    entries.RefreshReadmeEntry();
    ExpectEntry({IDC_README, false, IDS_README_NOT_FOUND});
}

TEST_F(EntriesTest, FlagsFollowEachRefreshWhilePathsStay)
{
    FillDisc();
    disc.AddFile("\\Kardo\\TvRegister.exe");
    CTestDisc premiere("Premiere");
    premiere.AddProgram("\\Adobe Premiere Pro.exe", "FixtureVersionUnicode.exe");
    state.suiteInstalled = true;
    state.model = kModelVexa100;
    state.languageCode = 1036;
    {
        CRegistrySeed machine;
        machine.CreateKey(kSuiteUninstallKey);
        machine.SetString(kSuiteFolderKey, kSuiteFolderValue, disc.Root() + "\\Kardo");
        machine.SetString(kAcrobatReaderAppPathsKey, "Path", "C:\\Reader");
        machine.SetString(kPremiereAppPathsKey, "Path", premiere.Root());
        entries.RefreshAllEntries(1);
        for (const CEntryTexts& texts : kEntryTexts) {
            // Acrobat Reader counts as installed and the codecs give way to the suite.
            if (texts.flag != nullptr && texts.controlId != IDC_ACROBAT_READER && texts.controlId != IDC_VFW_CODECS) {
                EXPECT_TRUE(state.*texts.flag) << texts.name;
            }
        }
        ExpectEntry({IDC_HOTFIX, true, kNoReason});
    }
    EmptyDisc();
    disc.Remove("\\Kardo");
    entries.RefreshAllEntries(1);
    for (const CEntryTexts& texts : kEntryTexts) {
        if (texts.flag != nullptr) {
            EXPECT_FALSE(state.*texts.flag) << texts.name;
        }
    }
    EXPECT_EQ(disc.Root() + "\\Kardo", state.suiteFolder);
    EXPECT_EQ("C:\\Reader", state.acrobatFolder);
    EXPECT_EQ(disc.Root() + "\\Readme\\readme.fr.htm", state.readmePath);
    // The start-up's answer stands, whatever the hotfix's own test finds.
    EXPECT_TRUE(state.suiteInstalled);
    ExpectEntry({IDC_HOTFIX, false, IDS_HOTFIX_NEEDS_SUITE});
}

TEST_F(EntriesTest, EvaluationWithoutWindowsKeepsTheState)
{
    FillDisc();
    CTestHost headless(CTestHost::kHeadless);
    CMenuEntries check(state, headless);
    check.cleanupTimeoutMs = kShortWaitMs;
    check.writeDebugLine = [](const std::string&) {};
    check.RefreshAllEntries(0);
    EXPECT_TRUE(state.spiceMasterDemoEnabled);
    EXPECT_TRUE(state.readmeEnabled);
    EXPECT_FALSE(state.afterEffectsPluginEnabled);
    EXPECT_EQ(disc.Root() + "\\Readme.htm", state.readmePath);

    const CEntryOutcome suite = check.Evaluate(IDC_SUITE);
    EXPECT_TRUE(suite.enabled);
    EXPECT_EQ(L"", suite.reason);
    const CEntryOutcome plugin = check.Evaluate(IDC_MAX_PLUGIN);
    EXPECT_FALSE(plugin.enabled);
    EXPECT_EQ(LoadText(IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100, 0), plugin.reason);
    // Not an entry.
    EXPECT_FALSE(check.Evaluate(IDC_LANGUAGE).enabled);

    // Evaluating alone leaves the kept flag as it was.
    disc.Remove("\\Bonus");
    EXPECT_FALSE(check.Evaluate(IDC_SPICEMASTER_DEMO).enabled);
    EXPECT_TRUE(state.spiceMasterDemoEnabled);
}

TEST_F(EntriesTest, DiscLayoutListsEveryFileOfTheDisc)
{
    std::set<std::string> expected;
    for (const std::string& file : FullLayout())
        expected.insert(Lower(file));
    expected.insert(Lower("\\Nimbo\\NimboCleanup.fix"));

    std::set<std::string> listed;
    for (const CDiscFile& file : DiscLayoutFiles()) {
        listed.insert(Lower(file.path));
        if (Lower(file.path) == Lower("\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe")) {
            EXPECT_EQ(EntryKey::SpiceMasterDemo, file.key);
        }
        if (Lower(file.path) == Lower("\\Readme\\readme.jp.htm")) {
            EXPECT_EQ(EntryKey::Readme, file.key);
        }
    }
    EXPECT_EQ(expected, listed);
}

// The suite's clean-up program as the start-up and the hotfix entry run it.
class CleanUpTest : public EntriesTest {
protected:
    void SetUp() override
    {
        EntriesTest::SetUp();
        disc.AddProgram("\\Nimbo\\NimboCleanup.fix");
    }

    std::string CommandLine() const { return disc.Root() + "\\Nimbo\\NimboCleanup.fix /Silent"; }

    CRecorder recorder{disc.Root()};
};

TEST_F(CleanUpTest, RunsTheCleanupThenTestsTheSuiteKey)
{
    EXPECT_FALSE(entries.CleanUpAndDetectSuite());
    {
        CRegistrySeed suite;
        suite.CreateKey(kSuiteUninstallKey);
        EXPECT_TRUE(entries.CleanUpAndDetectSuite());
    }
    const std::vector<CRecord> records = recorder.Records();
    ASSERT_EQ(2u, records.size());
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    for (const CRecord& record : records) {
        EXPECT_EQ(CommandLine(), record.commandLine);
        EXPECT_EQ(folder, record.workingFolder);
    }
    EXPECT_TRUE(debugLines.empty());
}

TEST_F(CleanUpTest, ReportsACleanupThatCannotStartOrDoesNotEnd)
{
    recorder.SleepEach(3000);
    {
        CRegistrySeed suite;
        suite.CreateKey(kSuiteUninstallKey);
        EXPECT_TRUE(entries.CleanUpAndDetectSuite());
    }
    ASSERT_EQ(std::vector<std::string>{"NimboCleanup failed"}, debugLines);
    recorder.Clear();

    debugLines.clear();
    disc.Remove("\\Nimbo");
    EXPECT_FALSE(entries.CleanUpAndDetectSuite());
    EXPECT_EQ(std::vector<std::string>{CommandLine() + " failed"}, debugLines);
    EXPECT_TRUE(recorder.Records().empty());
}

TEST_F(CleanUpTest, QuotesADiscRootWithBlanks)
{
    CTestDisc blank("Tavrin Disc");
    blank.AddProgram("\\Nimbo\\NimboCleanup.fix");
    state.discRoot = blank.Root();
    EXPECT_FALSE(entries.CleanUpAndDetectSuite());
    const std::vector<CRecord> records = recorder.Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("\"" + blank.Root() + "\\Nimbo\\NimboCleanup.fix\" /Silent", records[0].commandLine);

    blank.Remove("\\Nimbo");
    entries.CleanUpAndDetectSuite();
    EXPECT_EQ(std::vector<std::string>{"\"" + blank.Root() + "\\Nimbo\\NimboCleanup.fix\" /Silent failed"}, debugLines);
}

TEST_F(CleanUpTest, HotfixRunsTheCleanupAtEachRefresh)
{
    disc.AddFile("\\Tavrin HotFix2\\Vexa_HotFix2.exe");
    disc.AddFile("\\Nimbo\\setup.exe");
    CRegistrySeed suite;
    suite.CreateKey(kSuiteUninstallKey);
    entries.RefreshAllEntries(0);
    EXPECT_EQ(1u, recorder.Records().size());
    entries.RefreshHotfixEntry();
    EXPECT_EQ(2u, recorder.Records().size());
    // The key found now makes the hotfix available; the start-up's answer stays.
    ExpectEntry({IDC_HOTFIX, true, kNoReason});
    EXPECT_FALSE(state.suiteInstalled);
    ExpectEntry({IDC_SUITE, true, kNoReason});
}

}  // namespace
