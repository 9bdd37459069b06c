// Clicks followed through to what they start: the codecs' setup and what
// its installation greys, the suite's typical and custom installations with
// their question, a program gone from the disc, and the manual with its
// model question. Stub programs record each command line and working folder.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "../support/WideTree.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kVexa10Codec = 4;
constexpr char kCleanUpTool[] = "Nimbo\\NimboCleanup.fix";
constexpr char kSuiteSetup[] = "Nimbo\\setup.exe";
constexpr char kCodecsSetup[] = "Bonus\\VFWSoftwareCodecs\\setup.exe";
constexpr char kReaderFolder[] = "Reader";
constexpr char kReader[] = "Reader\\acrord32.exe";
constexpr char kQuestionCaption[] = "Nimbo Setup";
constexpr char kErrorCaption[] = "Splash.exe";
// Long enough for the test to see the menu hidden.
constexpr DWORD kSetupRunMs = 800;
constexpr DWORD kFlowTimeoutMs = 15000;
// A place on the screen that no window of the menu covers.
constexpr POINT kAwayFromMenu = {1200, 1000};

// What every test starts from: no Run value, the language stored, neither
// the suite nor the codecs installed.
void SeedCommon(CRegistrySeed& seed, DWORD languageCode)
{
    seed.RemoveValue(kRunKey, "Splash");
    seed.SetDword(kLanguageKey, kLanguageValue, languageCode);
    seed.RemoveKey(kSuiteUninstallKey);
    seed.RemoveKey(kCodecsUninstallKey);
    seed.RemoveValue(kSplashPathKey, kSplashPathValue);
    MovePointerTo(kAwayFromMenu);
}

// The starts of one program of the disc, in order.
std::vector<CStubRecord> StartsOf(const CTestDisc& disc, const std::string& relative)
{
    std::vector<CStubRecord> starts;
    for (const CStubRecord& start : disc.Starts())
        if (start.program == disc.PathOf(relative))
            starts.push_back(start);
    return starts;
}

// Starts the menu and waits until its entry is offered.
void StartWithEntryOffered(CMenuDriver& menu, int entryId)
{
    ASSERT_NE(nullptr, menu.WaitForWindow()) << "the menu window did not appear";
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowEnabled(menu.Control(entryId)) != FALSE; }, kWindowTimeoutMs))
        << "entry " << entryId << " is not offered";
}

// The menu hides while the program runs and comes back after it.
void ExpectHiddenThenShown(const CMenuDriver& menu)
{
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu.Window()); }, kFlowTimeoutMs))
        << "the menu stayed visible while the program ran";
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kFlowTimeoutMs))
        << "the menu did not come back";
}

TEST(Clicks, CodecsSetupHidesTheMenuThenItsEntryAndTheSuiteShowWhyTheyAreGreyed)
{
    CRegistrySeed seed;
    SeedCommon(seed, kEnglishCode);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub(kSuiteSetup);
    disc.AddStub(kCodecsSetup, {"sleep " + std::to_string(kSetupRunMs), "regkey " + std::string(kCodecsUninstallKey)});
    const CProgramTexts texts(disc.MenuPath());

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    StartWithEntryOffered(menu, IDC_VFW_CODECS);
    ASSERT_TRUE(::IsWindowEnabled(menu.Control(IDC_SUITE)));

    menu.Click(IDC_VFW_CODECS);
    ExpectHiddenThenShown(menu);
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowEnabled(menu.Control(IDC_VFW_CODECS)); }, kWindowTimeoutMs));
    EXPECT_FALSE(::IsWindowEnabled(menu.Control(IDC_SUITE))) << "the suite is still offered beside the codecs";

    // The pointer still rests on the codecs' button: its next move tells why.
    menu.PointAt(IDC_VFW_CODECS);
    EXPECT_TRUE(
        PollUntil([&] { return WideWindowText(menu.Control(IDC_DESCRIPTION)) == texts.Text(IDS_VFW_CODECS_INSTALLED); },
                  kHoverTimeoutMs));
    menu.PointAt(IDC_SUITE);
    EXPECT_TRUE(PollUntil(
        [&] { return WideWindowText(menu.Control(IDC_DESCRIPTION)) == texts.Text(IDS_SUITE_CODECS_INSTALLED); },
        kHoverTimeoutMs));

    const std::vector<CStubRecord> starts = StartsOf(disc, kCodecsSetup);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(disc.PathOf(kCodecsSetup) + " /l0x09", starts[0].commandLine);
    EXPECT_EQ(disc.Root(), starts[0].workingFolder);
}

TEST(Clicks, SuiteTypicalInstallationInEnglish)
{
    CRegistrySeed seed;
    SeedCommon(seed, kEnglishCode);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub(kCleanUpTool);
    disc.AddStub(kSuiteSetup, {"sleep " + std::to_string(kSetupRunMs), "regkey " + std::string(kSuiteUninstallKey)});
    const CProgramTexts texts(disc.MenuPath());

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    StartWithEntryOffered(menu, IDC_SUITE);
    const size_t startUpCleanUps = StartsOf(disc, kCleanUpTool).size();
    EXPECT_EQ(2u, startUpCleanUps) << "the clean-up tool runs for the suite test and for the hotfix entry";

    menu.Click(IDC_SUITE);
    const HWND question = WaitForMessageBox(kQuestionCaption, menu.ProcessId());
    ASSERT_NE(nullptr, question) << "no question about the kind of installation";
    EXPECT_EQ(texts.Text(IDS_SUITE_QUESTION), WideMessageBoxText(question));
    AnswerMessageBox(question, IDYES);
    ExpectHiddenThenShown(menu);

    const std::vector<CStubRecord> setups = StartsOf(disc, kSuiteSetup);
    ASSERT_EQ(1u, setups.size());
    EXPECT_EQ(disc.PathOf(kSuiteSetup) + " /express /l0x09", setups[0].commandLine);
    EXPECT_EQ(disc.PathOf("Nimbo"), setups[0].workingFolder);
    std::string splashPath;
    EXPECT_TRUE(ReadStringValue(kSplashPathKey, kSplashPathValue, splashPath));
    EXPECT_EQ(disc.Root() + "\\setup.exe", splashPath);

    // The installer registered the suite, but the menu refreshes nothing
    // until it starts again. A refresh would run the clean-up tool before
    // the click's handler ends, and so before the menu takes the close
    // request posted behind it.
    ASSERT_TRUE(KeyExists(kSuiteUninstallKey));
    EXPECT_TRUE(::IsWindowEnabled(menu.Control(IDC_SUITE)));
    menu.PostClose();
    ASSERT_TRUE(menu.WaitForExit());
    EXPECT_EQ(startUpCleanUps, StartsOf(disc, kCleanUpTool).size()) << "the entries were refreshed";
}

TEST(Clicks, SuiteCustomInstallationInFrenchFromAFolderWithBlanks)
{
    CRegistrySeed seed;
    SeedCommon(seed, kFrenchCode);
    CTestDisc disc("Tavrin Vexa Disc");
    disc.AddMenu();
    disc.AddStub(kSuiteSetup, {"sleep " + std::to_string(kSetupRunMs)});
    // What an unquoted path would start: the system tries the path up to
    // its first blank before the whole of it.
    disc.AddStub("..\\Tavrin.exe");
    const CProgramTexts texts(disc.MenuPath());

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    StartWithEntryOffered(menu, IDC_SUITE);

    menu.Click(IDC_SUITE);
    const HWND question = WaitForMessageBox(kQuestionCaption, menu.ProcessId());
    ASSERT_NE(nullptr, question) << "no question about the kind of installation";
    EXPECT_EQ(texts.Text(IDS_SUITE_QUESTION + kFrenchOffset), WideMessageBoxText(question));
    AnswerMessageBox(question, IDNO);
    ExpectHiddenThenShown(menu);

    const std::vector<CStubRecord> setups = StartsOf(disc, kSuiteSetup);
    ASSERT_EQ(1u, setups.size()) << "the installer did not start; the log has " << disc.Starts().size()
                                 << " other start(s)";
    // Quoted, or the blank would cut the program's path.
    EXPECT_EQ("\"" + disc.PathOf(kSuiteSetup) + "\" /l0x40C", setups[0].commandLine);
    EXPECT_EQ(disc.PathOf("Nimbo"), setups[0].workingFolder);
    std::string splashPath;
    EXPECT_TRUE(ReadStringValue(kSplashPathKey, kSplashPathValue, splashPath));
    EXPECT_EQ(disc.Root() + "\\setup.exe", splashPath);
}

TEST(Clicks, ProgramGoneFromTheDiscIsReportedWithItsCommandLineAndTheMenuStays)
{
    CRegistrySeed seed;
    SeedCommon(seed, kEnglishCode);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub(kSuiteSetup);

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    StartWithEntryOffered(menu, IDC_SUITE);
    ASSERT_TRUE(::DeleteFileA(disc.PathOf(kSuiteSetup).c_str()));

    menu.Click(IDC_SUITE);
    const HWND question = WaitForMessageBox(kQuestionCaption, menu.ProcessId());
    ASSERT_NE(nullptr, question);
    AnswerMessageBox(question, IDYES);
    const HWND box = WaitForMessageBox(kErrorCaption, menu.ProcessId());
    ASSERT_NE(nullptr, box) << "no message about the failed start";
    EXPECT_EQ("Cannot find the file : '" + disc.PathOf(kSuiteSetup) + " /express /l0x09'",
              widetree::Encode(WideMessageBoxText(box), CP_UTF8));
    EXPECT_TRUE(::IsWindowVisible(menu.Window())) << "the menu hid for a program that never started";

    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(PollUntil([&] { return !::IsWindow(box); }, kWindowTimeoutMs));
    EXPECT_TRUE(::IsWindowVisible(menu.Window()));
    EXPECT_FALSE(menu.HasEnded());
}

// Acrobat Reader registered in a folder of the fixture, both manuals on the
// disc, and the model as the Codec value gives it (none when 0).
void MakeManualDisc(CRegistrySeed& seed, CTestDisc& disc, DWORD codec)
{
    SeedCommon(seed, kEnglishCode);
    seed.SetString(kAcrobatReaderAppPathsKey, "Path", disc.PathOf(kReaderFolder));
    if (codec == 0)
        seed.RemoveValue(kCodecKey, kCodecValue);
    else
        seed.SetDword(kCodecKey, kCodecValue, codec);
    disc.AddMenu();
    disc.AddStub(kReader);
    disc.AddFile("Docs\\Manual_VexaA.pdf", "%PDF-1.3\n");
    disc.AddFile("Docs\\Manual_VexaB.pdf", "%PDF-1.3\n");
}

// The reader's command line for one manual of the disc.
std::string ReaderCommandLine(const CTestDisc& disc, const std::string& manual)
{
    return disc.PathOf(kReaderFolder) + "\\acrord32 " + disc.PathOf("Docs\\" + manual);
}

// The manual's button is never shown: its notification is posted instead.
TEST(Clicks, ManualAsksForTheModelUntilOneIsChosenAndOpensItsManual)
{
    CRegistrySeed seed;
    CTestDisc disc;
    MakeManualDisc(seed, disc, 0);
    {
        SCOPED_TRACE("Vexa100 chosen");
        CMenuDriver menu(disc.MenuPath(), disc.LogPath());
        StartWithEntryOffered(menu, IDC_MANUAL);
        menu.PostCommand(IDC_MANUAL);
        const HWND dialog = WaitForDialogWith(IDC_VEXA100, menu.ProcessId());
        ASSERT_NE(nullptr, dialog) << "no model question";
        EXPECT_EQ(L"Vexa10", WideWindowText(::GetDlgItem(dialog, IDC_VEXA10)));
        EXPECT_EQ(L"Vexa100", WideWindowText(::GetDlgItem(dialog, IDC_VEXA100)));
        EXPECT_EQ(L"Exit", WideWindowText(::GetDlgItem(dialog, IDC_MODEL_EXIT)));
        ClickControlOf(dialog, IDC_VEXA100);
        std::vector<CStubRecord> starts = disc.WaitForStarts(1, kFlowTimeoutMs);
        ASSERT_EQ(1u, starts.size()) << "the reader was not started";
        EXPECT_EQ(ReaderCommandLine(disc, "Manual_VexaB.pdf"), starts[0].commandLine);
        EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kFlowTimeoutMs));

        // Asked once: the next click opens the same manual at once.
        menu.PostCommand(IDC_MANUAL);
        starts = disc.WaitForStarts(2, kFlowTimeoutMs);
        ASSERT_EQ(2u, starts.size()) << "the second click did not open the manual without asking";
        EXPECT_EQ(ReaderCommandLine(disc, "Manual_VexaB.pdf"), starts[1].commandLine);
        EXPECT_EQ(nullptr, FindDialogWith(IDC_VEXA100, menu.ProcessId()));
    }
    {
        SCOPED_TRACE("Escape and Exit, then Vexa10 in a new run");
        CMenuDriver menu(disc.MenuPath(), disc.LogPath());
        StartWithEntryOffered(menu, IDC_MANUAL);
        menu.PostCommand(IDC_MANUAL);
        HWND dialog = WaitForDialogWith(IDC_VEXA100, menu.ProcessId());
        ASSERT_NE(nullptr, dialog) << "the model chosen in the last run was kept";
        PressKeyIn(dialog, VK_ESCAPE);
        ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));

        menu.PostCommand(IDC_MANUAL);
        dialog = WaitForDialogWith(IDC_VEXA100, menu.ProcessId());
        ASSERT_NE(nullptr, dialog) << "not asked again after Escape";
        ClickControlOf(dialog, IDC_MODEL_EXIT);
        ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));

        menu.PostCommand(IDC_MANUAL);
        dialog = WaitForDialogWith(IDC_VEXA100, menu.ProcessId());
        ASSERT_NE(nullptr, dialog) << "not asked again after Exit";
        ClickControlOf(dialog, IDC_VEXA10);
        // Neither Escape nor Exit opened anything before.
        const std::vector<CStubRecord> starts = disc.WaitForStarts(3, kFlowTimeoutMs);
        ASSERT_EQ(3u, starts.size());
        EXPECT_EQ(ReaderCommandLine(disc, "Manual_VexaA.pdf"), starts[2].commandLine);
    }
}

TEST(Clicks, ManualOfTheStoredModelOpensWithoutAsking)
{
    CRegistrySeed seed;
    CTestDisc disc;
    MakeManualDisc(seed, disc, kVexa10Codec);
    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    StartWithEntryOffered(menu, IDC_MANUAL);

    menu.PostCommand(IDC_MANUAL);
    const std::vector<CStubRecord> starts = disc.WaitForStarts(1, kFlowTimeoutMs);
    ASSERT_EQ(1u, starts.size()) << "the reader was not started without a question";
    EXPECT_EQ(disc.PathOf(kReader), starts[0].program);
    EXPECT_EQ(ReaderCommandLine(disc, "Manual_VexaA.pdf"), starts[0].commandLine);
    EXPECT_EQ(nullptr, FindDialogWith(IDC_VEXA100, menu.ProcessId()));
}

}  // namespace
