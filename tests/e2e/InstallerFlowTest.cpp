// A click on an installer entry, followed through: the setup program starts
// from the disc with the language argument while the menu hides and waits,
// the menu keeps answering other programs meanwhile, and comes back with
// the entry greyed once the product is registered.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

namespace {

constexpr char kWallpapersSetup[] = "Bonus\\DesktopWallpapers\\setup.exe";
constexpr DWORD kSetupRunMs = 800;
constexpr DWORD kFlowTimeoutMs = 15000;

// English chosen, no Run value, and the wallpapers not installed.
void SeedEnglishWithoutWallpapers(CRegistrySeed& seed)
{
    seed.RemoveValue(kRunKey, kRunValue);
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
    seed.RemoveKey(kWallpapersKey);
}

// Clicks the wallpapers entry of a menu whose setup program does the given
// actions, and follows the menu through hiding, waiting and coming back.
// Returns the stub's records of the setup program.
std::vector<CStubRecord> RunWallpapersSetup(const std::vector<std::string>& actions)
{
    CRegistrySeed seed;
    SeedEnglishWithoutWallpapers(seed);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub(kWallpapersSetup, actions);

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    EXPECT_NE(nullptr, menu.WaitForWindow());
    const HWND button = menu.Control(IDC_WALLPAPERS);
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, kWindowTimeoutMs))
        << "the wallpapers entry is not offered";

    menu.Click(IDC_WALLPAPERS);
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu.Window()); }, kFlowTimeoutMs))
        << "the menu stayed visible while the setup ran";
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kFlowTimeoutMs))
        << "the menu did not come back";
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowEnabled(button); }, kWindowTimeoutMs))
        << "the entry is still offered after the install";
    EXPECT_FALSE(menu.HasEnded());

    const std::string setup = disc.PathOf(kWallpapersSetup);
    std::vector<CStubRecord> records;
    for (const CStubRecord& record : disc.ReadLog()) {
        if (record.program == setup)
            records.push_back(record);
    }
    std::vector<CStubRecord> starts;
    for (const CStubRecord& record : records) {
        if (record.action.empty())
            starts.push_back(record);
    }
    EXPECT_EQ(1u, starts.size());
    if (!starts.empty()) {
        EXPECT_EQ(setup + " /l0x09", starts[0].commandLine);
        EXPECT_EQ(disc.Root(), starts[0].workingFolder);
    }
    return records;
}

TEST(InstallerFlow, WallpapersSetupRunsWhileTheMenuHidesThenTheEntryIsGreyed)
{
    for (const CStubRecord& record :
         RunWallpapersSetup({"sleep " + std::to_string(kSetupRunMs), "regkey " + std::string(kWallpapersKey)})) {
        if (!record.action.empty())
            ADD_FAILURE() << record.action << ": " << record.commandLine;
    }
}

// A setup that broadcasts with SendMessage waits for every top-level window,
// the hidden menu's too: a menu stuck in a plain wait would hang both.
TEST(InstallerFlow, TheWaitingMenuAnswersASetupsBroadcast)
{
#ifdef _WIN64
    GTEST_SKIP() << "under 64-bit Wine 8 a broadcast SendMessage does not block on a thread in a plain wait, "
                    "so only the 32-bit run can tell a safe wait from a plain one";
#endif
    int answers = 0;
    for (const CStubRecord& record : RunWallpapersSetup(
             {"sleep " + std::to_string(kSetupRunMs), "regkey " + std::string(kWallpapersKey), "broadcast"})) {
        if (record.action == "broadcast") {
            ++answers;
            EXPECT_EQ(0u, record.commandLine.find("answered")) << record.commandLine;
        } else if (record.action == "menu") {
            ++answers;
            EXPECT_EQ(0u, record.commandLine.find("answered \"Tavrin Vexa\"")) << record.commandLine;
        } else if (!record.action.empty()) {
            ADD_FAILURE() << record.action << ": " << record.commandLine;
        }
    }
    EXPECT_EQ(2, answers) << "the broadcast and the message to the menu";
}

TEST(InstallerFlow, SetupThatCannotStartIsReportedWithItsCommandLineAndTheMenuStays)
{
    CRegistrySeed seed;
    SeedEnglishWithoutWallpapers(seed);
    CTestDisc disc;
    disc.AddMenu();
    // On the disc, so the entry is offered, but no program.
    disc.AddFile(kWallpapersSetup, "not a program");

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    ASSERT_NE(nullptr, menu.WaitForWindow());
    const HWND button = menu.Control(IDC_WALLPAPERS);
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowEnabled(button) != FALSE; }, kWindowTimeoutMs));

    menu.Click(IDC_WALLPAPERS);
    const HWND box = WaitForMessageBox("Splash.exe", menu.ProcessId());
    ASSERT_NE(nullptr, box) << "no message about the failed start";
    EXPECT_EQ("Cannot find the file : '" + disc.PathOf(kWallpapersSetup) + " /l0x09'", MessageBoxText(box));
    EXPECT_TRUE(::IsWindowVisible(menu.Window())) << "the menu hid for a program that never started";

    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(PollUntil([&] { return !::IsWindow(box); }, kWindowTimeoutMs));
    EXPECT_TRUE(::IsWindowVisible(menu.Window()));
    EXPECT_FALSE(menu.HasEnded());
    // The menu takes keys again once the box is gone.
    menu.PressKey(VK_ESCAPE);
    EXPECT_TRUE(menu.WaitForExit());
}

// What another program's click on a button of the dialog sends; true when
// the dialog answered.
bool SendClick(HWND dialog, int controlId)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, controlId)), SMTO_ABORTIFHUNG, 5000,
                                 &result)
        != 0;
}

// A program that clicks a button of the menu with SendMessage while the menu
// waits is answered at once, but what it asks for is done only once the wait
// is over: the demo starts after the setup has ended, never beside it.
TEST(InstallerFlow, ACommandSentWhileASetupRunsIsCarriedOutOnceTheSetupHasEnded)
{
    constexpr char kDemo[] = "Bonus\\Pixelan\\spicemaster2tavrindemo.exe";
    CRegistrySeed seed;
    SeedEnglishWithoutWallpapers(seed);
    CTestDisc disc;
    disc.AddMenu();
    // The setup's last act, the broadcast, leaves lines in the log.
    disc.AddStub(kWallpapersSetup, {"sleep 1500", "broadcast"});
    disc.AddStub(kDemo);

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    ASSERT_NE(nullptr, menu.WaitForWindow());
    ASSERT_TRUE(
        PollUntil([&] { return ::IsWindowEnabled(menu.Control(IDC_SPICEMASTER_DEMO)) != FALSE; }, kWindowTimeoutMs));
    menu.Click(IDC_WALLPAPERS);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu.Window()); }, kFlowTimeoutMs));

    EXPECT_TRUE(SendClick(menu.Window(), IDC_SPICEMASTER_DEMO)) << "the waiting menu did not answer";
    ASSERT_EQ(2u, disc.WaitForStarts(2, kFlowTimeoutMs).size()) << "the demo never started";

    std::vector<std::string> order;
    for (const CStubRecord& record : disc.ReadLog()) {
        if (record.program == disc.PathOf(kDemo))
            order.push_back("demo");
        else if (record.action == "menu")
            order.push_back("setup's end");
    }
    EXPECT_EQ((std::vector<std::string>{"setup's end", "demo"}), order);
}

// The window exists, untitled and hidden, while the clean-up program runs;
// an Exit that another program sends it then ends the menu once it is up.
TEST(InstallerFlow, AnExitSentWhileTheCleanUpRunsEndsTheMenuOnceItHasStarted)
{
    CRegistrySeed seed;
    SeedEnglishWithoutWallpapers(seed);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub("Nimbo\\NimboCleanup.fix", {"sleep 1500"});

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    ASSERT_EQ(1u, disc.WaitForStarts(1, kWindowTimeoutMs).size()) << "the clean-up did not start";
    std::vector<HWND> starting;
    ASSERT_TRUE(PollUntil([&] { return !(starting = FindTopLevelWindows("", kDialogClass, menu.ProcessId())).empty(); },
                          kWindowTimeoutMs));
    EXPECT_TRUE(SendClick(starting[0], IDOK));
    EXPECT_TRUE(menu.WaitForExit(kFlowTimeoutMs)) << "the Exit was lost";
    EXPECT_EQ(0u, menu.ExitCode());
    // Both runs of the clean-up: the start-up went on to its end.
    EXPECT_EQ(2u, disc.Starts().size());
}

}  // namespace
