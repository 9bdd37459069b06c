// The start of the program before the menu opens: a copy that finds the
// menu claimed or open ends; a copy without administrator rights starts
// itself again with them, through a mapped drive's share, hands its claim
// over and ends, agreed or declined, without a window of its own.
#include "app/StartUpSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

// Long enough for another thread to reach its wait.
constexpr DWORD kSettleMs = 100;

struct CStart {
    std::string verb;
    std::string program;
    std::string folder;
};

// The system as a test says it is; it records the starts asked of it, and
// the claim's steps.
class CFakeStartUpSystem : public CStartUpSystem {
public:
    bool claimTaken = false;
    bool handOverPending = false;
    bool menuOpen = false;
    Elevation elevation = Elevation::Elevated;
    RelaunchOutcome outcome = RelaunchOutcome::Started;
    std::string programPath = "E:\\Vexa Disc\\Splash.exe";
    std::string workingFolder = "E:\\";
    std::string shareOfZ;
    mutable std::vector<CStart> starts;
    mutable std::vector<std::string> steps;

    bool ClaimMenu(DWORD waitMs) override
    {
        steps.push_back("claim, waiting " + std::to_string(waitMs));
        return !claimTaken;
    }
    void BeginHandOver() override { steps.push_back("hand-over"); }
    bool HandOverPending() const override { return handOverPending; }
    void ReleaseMenu() override { steps.push_back("release"); }
    bool MenuIsOpen() const override { return menuOpen; }
    Elevation ProcessElevation() const override { return elevation; }
    RelaunchOutcome StartCopy(const char* verb, const std::string& program, const std::string& folder) const override
    {
        starts.push_back({verb, program, folder});
        steps.push_back("start");
        return outcome;
    }
    std::string ProgramPath() const override { return programPath; }
    std::string WorkingFolder() const override { return workingFolder; }
    std::string NetworkPathOfDrive(const std::string& drive) const override
    {
        return drive == "Z:" ? shareOfZ : std::string();
    }
};

const std::vector<std::string> kClaimAlone = {"claim, waiting 0"};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int WindowsOfThisThread()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

TEST(StartUpElevation, GoesOnWithRightsOrWithoutAccountControl)
{
    for (const Elevation elevation : {Elevation::Elevated, Elevation::NoAccountControl}) {
        CFakeStartUpSystem system;
        system.elevation = elevation;
        system.handOverPending = true;
        const CStartDecision start = DecideStart(system);
        EXPECT_TRUE(start.runMenu);
        EXPECT_TRUE(system.starts.empty()) << "no second copy";
        EXPECT_EQ(std::vector<std::string>{"claim, waiting " + std::to_string(kHandOverWaitMs)}, system.steps)
            << "waits for the copy that started it, and keeps the claim while the menu runs";
    }
}

TEST(StartUpElevation, WithoutRightsStartsItselfOnceElevatedAndEndsWithoutAWindow)
{
    const int windowsBefore = WindowsOfThisThread();
    for (const RelaunchOutcome outcome : {RelaunchOutcome::Started, RelaunchOutcome::Declined}) {
        CFakeStartUpSystem system;
        system.elevation = Elevation::NotElevated;
        system.outcome = outcome;
        system.handOverPending = true;  // another copy's: this one waits for nothing
        const CStartDecision start = DecideStart(system);
        EXPECT_FALSE(start.runMenu);
        EXPECT_EQ(0, start.exitCode) << "agreed or declined, the copy ends quietly";
        ASSERT_EQ(1u, system.starts.size());
        EXPECT_EQ("runas", system.starts[0].verb);
        EXPECT_EQ("E:\\Vexa Disc\\Splash.exe", system.starts[0].program);
        EXPECT_EQ("E:\\", system.starts[0].folder);
        // Held while the user answers, so that no other copy asks too.
        EXPECT_EQ((std::vector<std::string>{"claim, waiting 0", "hand-over", "start", "release"}), system.steps);
    }
    EXPECT_EQ(windowsBefore, WindowsOfThisThread());
}

// The elevated copy does not see the user's mapped drives.
TEST(StartUpElevation, FromAMappedDriveTheElevatedCopyStartsThroughItsShare)
{
    const struct {
        const char *program, *folder, *shareOfZ, *startedProgram, *startedFolder;
    } rows[] = {
        {"Z:\\Splash.exe", "Z:\\", "\\\\server\\vexa", "\\\\server\\vexa\\Splash.exe", "\\\\server\\vexa\\"},
        {"Z:\\Disc\\Splash.exe", "E:\\", "\\\\server\\vexa\\", "\\\\server\\vexa\\Disc\\Splash.exe", "E:\\"},
        {"\\\\server\\vexa\\Splash.exe", "Z:\\Work", "\\\\other\\share", "\\\\server\\vexa\\Splash.exe",
         "\\\\other\\share\\Work"},
    };
    for (const auto& row : rows) {
        CFakeStartUpSystem system;
        system.elevation = Elevation::NotElevated;
        system.programPath = row.program;
        system.workingFolder = row.folder;
        system.shareOfZ = row.shareOfZ;
        DecideStart(system);
        ASSERT_EQ(1u, system.starts.size());
        EXPECT_EQ(row.startedProgram, system.starts[0].program);
        EXPECT_EQ(row.startedFolder, system.starts[0].folder);
    }
}

// Another copy's claim is refused while this one holds it, and given once
// this one hands it over; the mark shows meanwhile.
TEST(StartUpElevation, TheSessionsClaimIsHeldUntilReleased)
{
    CStartUpSystem first;
    ASSERT_TRUE(first.ClaimMenu(0));
    first.BeginHandOver();
    EXPECT_TRUE(CStartUpSystem().HandOverPending());
    bool refusedThenClaimed = false;
    std::thread otherCopy([&] {
        CStartUpSystem other;
        refusedThenClaimed = !other.ClaimMenu(0) && other.ClaimMenu(kHandOverWaitMs);
    });
    ::Sleep(kSettleMs);
    first.ReleaseMenu();
    otherCopy.join();
    EXPECT_TRUE(refusedThenClaimed);
    EXPECT_FALSE(CStartUpSystem().HandOverPending());
}

TEST(StartUpElevation, AStartTheShellRefusesOrAnUnknownPathEndsWithAFailure)
{
    CFakeStartUpSystem refused;
    refused.elevation = Elevation::NotElevated;
    refused.outcome = RelaunchOutcome::Failed;
    const CStartDecision afterRefusal = DecideStart(refused);
    EXPECT_FALSE(afterRefusal.runMenu);
    EXPECT_EQ(1, afterRefusal.exitCode);

    // Never a bare name that the shell would search for.
    CFakeStartUpSystem pathless;
    pathless.elevation = Elevation::NotElevated;
    pathless.programPath.clear();
    const CStartDecision withoutPath = DecideStart(pathless);
    EXPECT_FALSE(withoutPath.runMenu);
    EXPECT_EQ(1, withoutPath.exitCode);
    EXPECT_TRUE(pathless.starts.empty());
}

TEST(StartUpElevation, AClaimedOrOpenMenuEndsTheCopyBeforeAnyPrompt)
{
    for (const Elevation elevation : {Elevation::Elevated, Elevation::NotElevated}) {
        for (const bool claimTaken : {true, false}) {
            CFakeStartUpSystem system;
            system.claimTaken = claimTaken;
            system.menuOpen = !claimTaken;
            system.elevation = elevation;
            const CStartDecision start = DecideStart(system);
            EXPECT_FALSE(start.runMenu);
            EXPECT_EQ(0, start.exitCode);
            EXPECT_TRUE(system.starts.empty());
            EXPECT_EQ(kClaimAlone, system.steps);
        }
    }
}

// Wine gives every process full rights, which the end-to-end tests rely on:
// the menu they start must not start itself again.
TEST(StartUpElevation, ThisSystemLetsTheMenuGoOn)
{
    EXPECT_NE(Elevation::NotElevated, CStartUpSystem().ProcessElevation());
    EXPECT_FALSE(CStartUpSystem().ProgramPath().empty());
    EXPECT_FALSE(CStartUpSystem().WorkingFolder().empty());
}
