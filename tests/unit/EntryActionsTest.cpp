// The clicks on the menu entries: the command lines that reach the programs
// (seen by a stand-in installer that records how it was started), the
// hiding of the menu while installers run, the messages on failures and
// time-outs, the refreshes afterwards, the manual's model and the suite's
// installation.
#include "EntriesTestSupport.h"

#include "entries/MenuEntries.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/CommandLine.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

using namespace entriestest;

namespace {

constexpr DWORD kShortWaitMs = 300;
constexpr DWORD kGenerousWaitMs = 30000;
const wchar_t kMarker[] = L"not refreshed";

// One message box the menu asked for.
struct CShownMessage {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    bool menuVisible;
};

// A click as the menu's tables describe it.
struct CClick {
    int controlId;
    const char* name;
    const char* program;  // below the disc root
    bool languageArgument;
    bool wait;
    std::vector<int> refreshed;
};

const std::vector<CClick>& DiscClicks()
{
    static const std::vector<CClick> clicks = {
        {IDC_PREMIERE_UPDATER,
         "PremiereUpdater",
         "\\Adobe Updater 1.5.1\\setup.exe",
         false,
         true,
         {IDC_PREMIERE_UPDATER}},
        {IDC_AFTER_EFFECTS_PLUGIN,
         "AfterEffectsPlugin",
         "\\ExtraPlug-ins\\AfterEffects\\setup.exe",
         true,
         true,
         {IDC_AFTER_EFFECTS_PLUGIN}},
        {IDC_MAX_PLUGIN, "MaxPlugin", "\\ExtraPlug-ins\\3DsMax\\setup.exe", true, true, {IDC_MAX_PLUGIN}},
        {IDC_PHOTOSHOP_PLUGIN,
         "PhotoshopPlugin",
         "\\ExtraPlug-ins\\Photoshop\\setup.exe",
         true,
         true,
         {IDC_PHOTOSHOP_PLUGIN}},
        {IDC_LIGHTWAVE_PLUGIN,
         "LightWavePlugin",
         "\\ExtraPlug-ins\\LightWave\\setup.exe",
         true,
         true,
         {IDC_LIGHTWAVE_PLUGIN}},
        {IDC_EFFECT_ADDONS, "EffectAddOns", "\\ExtraPlug-ins\\Effects\\Setup.exe", true, true, {IDC_EFFECT_ADDONS}},
        {IDC_WALLPAPERS, "Wallpapers", "\\Bonus\\DesktopWallpapers\\setup.exe", true, true, {IDC_WALLPAPERS}},
        {IDC_VFW_CODECS, "VfwCodecs", "\\Bonus\\VFWSoftwareCodecs\\setup.exe", true, true, {IDC_SUITE, IDC_VFW_CODECS}},
        {IDC_HOTFIX, "Hotfix", "\\Tavrin HotFix2\\Vexa_HotFix2.exe", true, true, {}},
        {IDC_SPICEMASTER_DEMO, "SpiceMasterDemo", "\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe", false, false, {}},
        {IDC_ACROBAT_READER,
         "AcrobatReader",
         "\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe",
         false,
         false,
         {IDC_ACROBAT_READER}},
    };
    return clicks;
}

// Every button that a click may refresh.
const int kEntryControls[] = {
    IDC_SUITE,      IDC_HOTFIX,           IDC_PREMIERE_UPDATER, IDC_AFTER_EFFECTS_PLUGIN,
    IDC_MAX_PLUGIN, IDC_PHOTOSHOP_PLUGIN, IDC_SPICEMASTER_DEMO, IDC_ACROBAT_READER,
    IDC_REGISTER,   IDC_MANUAL,           IDC_README,           IDC_WALLPAPERS,
    IDC_VFW_CODECS, IDC_LIGHTWAVE_PLUGIN, IDC_EFFECT_ADDONS,
};

std::string Quoted(const std::string& path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string CurrentFolder()
{
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder, length);
}

// The disc with a stand-in for every program, the folders of Acrobat Reader
// and of the file browser, and the menu window shown as it is in use.
class EntryActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const CClick& click : DiscClicks())
            disc.AddProgram(click.program);
        disc.AddProgram("\\Nimbo\\setup.exe");
        disc.AddProgram("\\Kardo\\TvRegister.exe");
        disc.AddFile("\\Docs\\Manual_VexaA.pdf");
        disc.AddFile("\\Docs\\Manual_VexaB.pdf");
        disc.AddFile("\\Readme.htm");
        reader.AddProgram("\\acrord32.exe");
        // The file browser stands in for the Windows folder's; a search would
        // find the planted one of the current folder first, which records
        // nothing, so that its start shows as a missing record.
        windows.AddProgram("\\explorer.exe");
        entries.fileBrowser = windows.Root() + "\\explorer.exe";
        shell.AddProgram("\\explorer.exe", "FixtureProgram.exe");
        ASSERT_TRUE(::GetCurrentDirectoryA(MAX_PATH, previousFolder));
        ASSERT_TRUE(::SetCurrentDirectoryA(shell.Root().c_str()));

        UseDisc(disc);
        state.languageCode = 9;
        state.acrobatFolder = reader.Root();
        state.readmePath = disc.Root() + "\\Readme.htm";
        entries.cleanupTimeoutMs = kShortWaitMs;
        entries.installerTimeoutMs = kGenerousWaitMs;
        entries.writeDebugLine = [](const std::string&) {};
        entries.showMessage = [this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            messages.push_back({owner, text, caption, type, ::IsWindowVisible(host.MenuWindow()) != FALSE});
            return answer;
        };
        ::ShowWindow(host.MenuWindow(), SW_SHOW);
    }

    void TearDown() override
    {
        recorder.Clear();
        ::SetCurrentDirectoryA(previousFolder);
    }

    void UseDisc(const CTestDisc& used)
    {
        state.discRoot = used.Root();
        state.suiteFolder = used.Root() + "\\Kardo";
    }

    void SetLanguage(int index, DWORD code)
    {
        state.languageOffset = index * 1000;
        state.languageCode = code;
    }

    void MarkButtons()
    {
        for (int controlId : kEntryControls)
            host.EntryButton(controlId)->SetCaptions(kMarker, 0);
    }

    std::vector<int> RefreshedButtons()
    {
        std::vector<int> refreshed;
        for (int controlId : kEntryControls) {
            if (host.EntryButton(controlId)->GetCaption(CHoverButton::kNormal) != kMarker)
                refreshed.push_back(controlId);
        }
        return refreshed;
    }

    // The one start that a click made.
    CRecord OnlyRecord()
    {
        const std::vector<CRecord> records = recorder.WaitForRecords(1);
        EXPECT_EQ(1u, records.size());
        CRecord record = records.empty() ? CRecord() : records.front();
        recorder.Clear();
        return record;
    }

    std::string LanguageOf(DWORD code) const { return LanguageArgument(code); }

    // The file browser as the readme's command line names it: always quoted.
    std::string Browser() const { return "\"" + windows.Root() + "\\explorer.exe\""; }

    CTestDisc disc;
    CTestDisc reader{"Acrobat Reader"};
    CTestDisc windows{"Windows"};
    CTestDisc shell{"Shell"};
    char previousFolder[MAX_PATH] = {};
    CRegistrySeed seed;
    CTestHost host;
    CRecorder recorder{shell.Root(), host.Title()};
    CMenuState state;
    CMenuEntries entries{state, host};
    std::vector<CShownMessage> messages;
    int answer = IDOK;
};

struct CLanguageCase {
    const char* name;
    int index;
    DWORD code;
    const char* argument;
    bool blankRoot;
};

void PrintTo(const CLanguageCase& language, std::ostream* output)
{
    *output << language.name;
}

class EveryClickTest : public EntryActionsTest, public ::testing::WithParamInterface<CLanguageCase> {};

TEST_P(EveryClickTest, StartsTheRowsCommandLine)
{
    const CLanguageCase& language = GetParam();
    std::unique_ptr<CTestDisc> blankDisc;
    if (language.blankRoot) {
        blankDisc = std::make_unique<CTestDisc>("Tavrin Disc");
        for (const CClick& click : DiscClicks())
            blankDisc->AddProgram(click.program);
        blankDisc->AddProgram("\\Kardo\\TvRegister.exe");
        blankDisc->AddFile("\\Readme.htm");
    }
    const CTestDisc& used = blankDisc ? *blankDisc : disc;
    UseDisc(used);
    state.readmePath = used.Root() + "\\Readme.htm";
    SetLanguage(language.index, language.code);
    const std::string menuFolder = CurrentFolder();

    for (const CClick& click : DiscClicks()) {
        SCOPED_TRACE(click.name);
        MarkButtons();
        entries.RunEntryAction(click.controlId);
        const CRecord record = OnlyRecord();
        std::string expected = Quoted(used.Root() + click.program);
        if (click.languageArgument)
            expected += std::string(" ") + language.argument;
        EXPECT_EQ(expected, record.commandLine);
        EXPECT_EQ(menuFolder, record.workingFolder);
        EXPECT_EQ(click.wait ? "hidden" : "visible", record.menu);
        EXPECT_TRUE(::IsWindowVisible(host.MenuWindow()));
        EXPECT_EQ(click.refreshed, RefreshedButtons());
    }

    struct COther {
        int controlId;
        const char* name;
        std::string commandLine;
        bool wait;
    };
    const COther others[] = {
        {IDC_REGISTER, "Register", Quoted(used.Root() + "\\Kardo\\TvRegister.exe"), false},
        {IDC_README, "Readme", Browser() + " \"" + used.Root() + "\\Readme.htm\"", false},
        {IDC_MANUAL, "Manual",
         Quoted(reader.Root() + "\\acrord32") + " " + Quoted(used.Root() + "\\Docs\\Manual_VexaA.pdf"), true},
    };
    state.model = kModelVexa10;
    for (const COther& other : others) {
        SCOPED_TRACE(other.name);
        MarkButtons();
        entries.RunEntryAction(other.controlId);
        const CRecord record = OnlyRecord();
        EXPECT_EQ(other.commandLine, record.commandLine);
        EXPECT_EQ(other.wait ? "hidden" : "visible", record.menu);
        EXPECT_TRUE(RefreshedButtons().empty());
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(0, host.modelQuestions);
}

INSTANTIATE_TEST_SUITE_P(Languages, EveryClickTest,
                         ::testing::Values(CLanguageCase{"English", 0, 9, "/l0x09", false},
                                           CLanguageCase{"French", 1, 1036, "/l0x40C", false},
                                           CLanguageCase{"Spanish", 4, 10, "/l0x0A", false},
                                           CLanguageCase{"EnglishOnADiscWithBlanks", 0, 9, "/l0x09", true}),
                         [](const ::testing::TestParamInfo<CLanguageCase>& info) { return info.param.name; });

TEST(LanguageArgument, WritesTheCodeInHexadecimal)
{
    const std::pair<DWORD, const char*> cases[] = {
        {9, "/l0x09"},  {1036, "/l0x40C"}, {7, "/l0x07"},  {16, "/l0x10"},
        {10, "/l0x0A"}, {17, "/l0x11"},    {12, "/l0x0C"}, {0xFFFFFFFF, "/l0xFFFFFFFF"},
    };
    for (const auto& [code, argument] : cases)
        EXPECT_EQ(argument, LanguageArgument(code)) << code;
}

TEST(QuotedPath, QuotesOnlyAPathWithBlanks)
{
    EXPECT_EQ("C:\\Disc\\setup.exe", QuotedPath("C:\\Disc\\setup.exe"));
    EXPECT_EQ("\"C:\\My Disc\\setup.exe\"", QuotedPath("C:\\My Disc\\setup.exe"));
    EXPECT_EQ("\"C:\\Tab\there\"", QuotedPath("C:\\Tab\there"));
}

TEST_F(EntryActionsTest, ThePrimaryLanguageOfFrenchStillReachesTheInstaller)
{
    state.languageCode = 12;
    entries.RunEntryAction(IDC_WALLPAPERS);
    EXPECT_EQ(disc.Root() + "\\Bonus\\DesktopWallpapers\\setup.exe /l0x0C", OnlyRecord().commandLine);
}

TEST_F(EntryActionsTest, AMissingProgramIsReportedAndTheEntryRefreshed)
{
    for (int index : {0, 1}) {
        SCOPED_TRACE("language " + std::to_string(index));
        SetLanguage(index, index == 0 ? 9 : 1036);
        messages.clear();
        disc.Remove("\\ExtraPlug-ins");
        MarkButtons();
        entries.RunEntryAction(IDC_MAX_PLUGIN);

        const std::string commandLine
            = disc.Root() + "\\ExtraPlug-ins\\3DsMax\\setup.exe " + (index == 0 ? "/l0x09" : "/l0x40C");
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(host.MenuWindow(), messages[0].owner);
        EXPECT_EQ(FormatText(IDS_CANNOT_FIND_FILE, state.languageOffset, commandLine), messages[0].text);
        EXPECT_EQ(L"Splash.exe", messages[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), messages[0].type);
        EXPECT_TRUE(messages[0].menuVisible);
        EXPECT_TRUE(::IsWindowVisible(host.MenuWindow()));
        EXPECT_EQ(std::vector<int>{IDC_MAX_PLUGIN}, RefreshedButtons());
    }
    EXPECT_EQ("Cannot find the file : '" + disc.Root() + "\\ExtraPlug-ins\\3DsMax\\setup.exe /l0x09'",
              InSystemCodePage(
                  FormatText(IDS_CANNOT_FIND_FILE, 0, disc.Root() + "\\ExtraPlug-ins\\3DsMax\\setup.exe /l0x09")));
    EXPECT_TRUE(recorder.Records().empty());
}

TEST_F(EntryActionsTest, TheMessageShowsTheQuotedCommandLine)
{
    CTestDisc blank("Tavrin Disc");
    UseDisc(blank);
    entries.RunEntryAction(IDC_ACROBAT_READER);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Cannot find the file : '\"" + blank.Root() + "\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe\"'",
              InSystemCodePage(messages[0].text));
}

TEST_F(EntryActionsTest, AnInstallerThatOutlastsTheWaitIsReported)
{
    entries.installerTimeoutMs = kShortWaitMs;
    recorder.SleepEach(3000);
    SetLanguage(2, 7);
    for (int controlId : {IDC_AFTER_EFFECTS_PLUGIN, IDC_EFFECT_ADDONS, IDC_PREMIERE_UPDATER, IDC_HOTFIX}) {
        SCOPED_TRACE(controlId);
        messages.clear();
        entries.RunEntryAction(controlId);
        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(LoadText(IDS_INSTALLER_CANNOT_START, 2000), messages[0].text);
        EXPECT_EQ(L"Splash.exe", messages[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), messages[0].type);
        EXPECT_EQ(host.MenuWindow(), messages[0].owner);
        EXPECT_FALSE(messages[0].menuVisible);
        EXPECT_TRUE(::IsWindowVisible(host.MenuWindow()));
        // The program is left running.
        EXPECT_EQ("hidden", OnlyRecord().menu);
    }
}

TEST_F(EntryActionsTest, AProgramThatEndsInTimeOrIsNotWaitedForIsNotReported)
{
    entries.RunEntryAction(IDC_LIGHTWAVE_PLUGIN);
    OnlyRecord();
    recorder.SleepEach(2000);
    entries.installerTimeoutMs = kShortWaitMs;
    entries.RunEntryAction(IDC_SPICEMASTER_DEMO);
    EXPECT_EQ("visible", OnlyRecord().menu);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryActionsTest, LaunchingLeavesNoHandleBehind)
{
    using GetCount = BOOL(WINAPI*)(HANDLE, PDWORD);
    const auto getCount = reinterpret_cast<GetCount>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetProcessHandleCount")));
    if (getCount == nullptr)
        GTEST_SKIP() << "no handle count on this system";
    // A first start settles what the system keeps for good.
    entries.RunEntryAction(IDC_WALLPAPERS);
    OnlyRecord();
    DWORD before = 0;
    ASSERT_TRUE(getCount(::GetCurrentProcess(), &before));
    for (int round = 0; round < 5; ++round) {
        entries.RunEntryAction(IDC_WALLPAPERS);
        OnlyRecord();
        entries.RunEntryAction(IDC_SPICEMASTER_DEMO);
        OnlyRecord();
    }
    DWORD after = 0;
    ASSERT_TRUE(getCount(::GetCurrentProcess(), &after));
    EXPECT_EQ(before, after);
}

TEST_F(EntryActionsTest, ManualAsksForTheModelUntilOneIsChosen)
{
    const std::string readerProgram = Quoted(reader.Root() + "\\acrord32") + " ";
    state.model = kModelNone;
    host.modelAnswer = kModelNone;
    entries.RunEntryAction(IDC_MANUAL);
    EXPECT_EQ(1, host.modelQuestions);
    EXPECT_EQ(kModelNone, state.model);

    host.modelAnswer = kModelVexa100;
    entries.RunEntryAction(IDC_MANUAL);
    EXPECT_EQ(2, host.modelQuestions);
    EXPECT_EQ(kModelVexa100, state.model);
    EXPECT_EQ(readerProgram + disc.Root() + "\\Docs\\Manual_VexaB.pdf", OnlyRecord().commandLine);

    // The answer stays.
    entries.RunEntryAction(IDC_MANUAL);
    EXPECT_EQ(2, host.modelQuestions);
    EXPECT_EQ(readerProgram + disc.Root() + "\\Docs\\Manual_VexaB.pdf", OnlyRecord().commandLine);

    // A model value the menu does not know asks too.
    state.model = -2;
    host.modelAnswer = kModelVexa10;
    entries.RunEntryAction(IDC_MANUAL);
    EXPECT_EQ(3, host.modelQuestions);
    EXPECT_EQ(readerProgram + disc.Root() + "\\Docs\\Manual_VexaA.pdf", OnlyRecord().commandLine);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryActionsTest, ReadmeAndManualQuoteTheirDocuments)
{
    CTestDisc blank("Tavrin Disc");
    blank.AddFile("\\Readme\\readme.es.htm");
    UseDisc(blank);
    SetLanguage(4, 10);
    entries.RefreshReadmeEntry();
    entries.RunEntryAction(IDC_README);
    EXPECT_EQ(Browser() + " \"" + blank.Root() + "\\Readme\\readme.es.htm\"", OnlyRecord().commandLine);

    state.model = kModelVexa100;
    entries.RunEntryAction(IDC_MANUAL);
    EXPECT_EQ(Quoted(reader.Root() + "\\acrord32") + " \"" + blank.Root() + "\\Docs\\Manual_VexaB.pdf\"",
              OnlyRecord().commandLine);
}

TEST_F(EntryActionsTest, RegistrationStartsTheProgramWhereTheRefreshFoundIt)
{
    disc.AddProgram("\\Reg 100%\\TvRegister.exe");
    seed.SetString(kSuiteFolderKey, kSuiteFolderValue, "%s\\Reg 100%%");
    state.suiteInstalled = true;
    entries.RefreshRegisterEntry();
    ASSERT_TRUE(state.registerEnabled);
    entries.RunEntryAction(IDC_REGISTER);
    EXPECT_EQ("\"" + disc.Root() + "\\Reg 100%\\TvRegister.exe\"", OnlyRecord().commandLine);
}

// The programs whose folders the registry gives are started only from a
// plain absolute path: a relative one would be taken from the current
// folder, where these copies lie ready to record; a quoted one would split
// the command line; an empty one would name the root of the current drive.
TEST_F(EntryActionsTest, RegistryPathsThatAreRelativeEmptyQuotedOrTooLongStartNothing)
{
    shell.AddProgram("\\Kardo\\TvRegister.exe");
    shell.AddProgram("\\Reader\\acrord32.exe");
    shell.AddProgram("\\Premiere\\Adobe Premiere Pro.exe");
    const std::pair<const char*, std::string> cases[] = {
        {"relative", "Kardo"},
        {"empty", ""},
        {"quoted", "\"" + disc.Root() + "\\Kardo\""},
        {"too long", disc.Root() + "\\" + std::string(MAX_PATH, 'k')},
    };
    state.suiteInstalled = true;
    state.model = kModelVexa10;
    for (const auto& [name, folder] : cases) {
        SCOPED_TRACE(name);
        const std::string relativeFolder = folder == "Kardo" ? "Reader" : folder;
        seed.SetString(kSuiteFolderKey, kSuiteFolderValue, folder);
        seed.SetString(kAcrobatReaderAppPathsKey, "Path", relativeFolder);
        seed.SetString(kPremiereAppPathsKey, "Path", folder == "Kardo" ? "Premiere" : folder);
        state.suiteFolder.clear();
        messages.clear();

        EXPECT_FALSE(entries.Evaluate(IDC_REGISTER).enabled);
        EXPECT_EQ(LoadText(IDS_REGISTER_NOT_FOUND, 0), entries.Evaluate(IDC_REGISTER).reason);
        EXPECT_EQ(LoadText(IDS_PREMIERE_UPDATER_NEEDS_PREMIERE, 0), entries.Evaluate(IDC_PREMIERE_UPDATER).reason);
        entries.RefreshManualEntry();
        EXPECT_EQ(relativeFolder, state.acrobatFolder);

        entries.RunEntryAction(IDC_REGISTER);
        entries.RunEntryAction(IDC_MANUAL);
        ASSERT_EQ(2u, messages.size());
        EXPECT_EQ(0u, messages[0].text.find(L"Cannot find the file : '")) << messages[0].text;
        EXPECT_NE(std::wstring::npos, messages[1].text.find(L"\\acrord32 ")) << messages[1].text;
        EXPECT_TRUE(recorder.Records().empty()) << recorder.Records()[0].commandLine;
    }
}

TEST_F(EntryActionsTest, OtherControlsStartNothing)
{
    MarkButtons();
    for (int controlId : {IDOK, IDC_LANGUAGE, IDC_DESCRIPTION, 0, -1})
        entries.RunEntryAction(controlId);
    EXPECT_TRUE(RefreshedButtons().empty());
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(recorder.Records().empty());
}

TEST_F(EntryActionsTest, SuiteInstallationAsksThenRunsTheInstallerInItsFolder)
{
    seed.RemoveValue(kSplashPathKey, kSplashPathValue);
    struct CCase {
        const char* name;
        int index;
        DWORD code;
        int answer;
        const char* arguments;
    };
    const CCase cases[] = {
        {"English, typical", 0, 9, IDYES, " /express /l0x09"},
        {"French, custom", 1, 1036, IDNO, " /l0x40C"},
        {"Japanese, typical", 5, 17, IDYES, " /express /l0x11"},
    };
    for (const CCase& each : cases) {
        SCOPED_TRACE(each.name);
        SetLanguage(each.index, each.code);
        answer = each.answer;
        messages.clear();
        MarkButtons();
        entries.RunEntryAction(IDC_SUITE);

        ASSERT_EQ(1u, messages.size());
        EXPECT_EQ(LoadText(IDS_SUITE_QUESTION, state.languageOffset), messages[0].text);
        EXPECT_EQ(L"Nimbo Setup", messages[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), messages[0].type);
        EXPECT_EQ(host.MenuWindow(), messages[0].owner);

        const CRecord record = OnlyRecord();
        EXPECT_EQ(disc.Root() + "\\Nimbo\\setup.exe" + each.arguments, record.commandLine);
        EXPECT_EQ(disc.Root() + "\\Nimbo", record.workingFolder);
        EXPECT_EQ("hidden", record.menu);
        EXPECT_TRUE(::IsWindowVisible(host.MenuWindow()));
        EXPECT_TRUE(RefreshedButtons().empty());

        std::string stored;
        EXPECT_TRUE(ReadStringValue(kSplashPathKey, kSplashPathValue, stored)) << "a REG_SZ value";
        EXPECT_EQ(disc.Root() + "\\setup.exe", stored);
    }
}

TEST_F(EntryActionsTest, SuiteInstallerMissingOrOnADiscWithBlanks)
{
    seed.RemoveValue(kSplashPathKey, kSplashPathValue);
    answer = IDYES;
    CTestDisc blank("Tavrin Disc");
    UseDisc(blank);
    entries.InstallSuite();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Cannot find the file : '\"" + blank.Root() + "\\Nimbo\\setup.exe\" /express /l0x09'",
              InSystemCodePage(messages[1].text));
    EXPECT_EQ(L"Splash.exe", messages[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), messages[1].type);
    EXPECT_TRUE(messages[1].menuVisible);

    blank.AddProgram("\\Nimbo\\setup.exe");
    messages.clear();
    answer = IDNO;
    entries.InstallSuite();
    ASSERT_EQ(1u, messages.size());
    const CRecord record = OnlyRecord();
    EXPECT_EQ("\"" + blank.Root() + "\\Nimbo\\setup.exe\" /l0x09", record.commandLine);
    EXPECT_EQ(blank.Root() + "\\Nimbo", record.workingFolder);
}

}  // namespace
