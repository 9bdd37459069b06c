// The start of the program before the menu opens: a copy that finds a menu
// open ends; a copy without administrator rights starts itself again with
// them and ends, agreed or declined, without a window of its own.
#include "app/StartUpSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CStart {
    std::string verb;
    std::string program;
    std::string folder;
};

// The system as a test says it is; it records the starts asked of it.
class CFakeStartUpSystem : public CStartUpSystem {
public:
    bool menuOpen = false;
    Elevation elevation = Elevation::Elevated;
    RelaunchOutcome outcome = RelaunchOutcome::Started;
    std::string programPath = "E:\\Vexa Disc\\Splash.exe";
    mutable std::vector<CStart> starts;

    bool MenuIsOpen() const override { return menuOpen; }
    Elevation ProcessElevation() const override { return elevation; }
    RelaunchOutcome StartCopy(const char* verb, const std::string& program, const std::string& folder) const override
    {
        starts.push_back({verb, program, folder});
        return outcome;
    }
    std::string ProgramPath() const override { return programPath; }
    std::string WorkingFolder() const override { return "E:\\"; }
};

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
        const CStartDecision start = DecideStart(system);
        EXPECT_TRUE(start.runMenu);
        EXPECT_TRUE(system.starts.empty()) << "no second copy";
    }
}

TEST(StartUpElevation, WithoutRightsStartsItselfOnceElevatedAndEndsWithoutAWindow)
{
    const int windowsBefore = WindowsOfThisThread();
    for (const RelaunchOutcome outcome : {RelaunchOutcome::Started, RelaunchOutcome::Declined}) {
        CFakeStartUpSystem system;
        system.elevation = Elevation::NotElevated;
        system.outcome = outcome;
        const CStartDecision start = DecideStart(system);
        EXPECT_FALSE(start.runMenu);
        EXPECT_EQ(0, start.exitCode) << "agreed or declined, the copy ends quietly";
        ASSERT_EQ(1u, system.starts.size());
        EXPECT_EQ("runas", system.starts[0].verb);
        EXPECT_EQ("E:\\Vexa Disc\\Splash.exe", system.starts[0].program);
        EXPECT_EQ("E:\\", system.starts[0].folder);
    }
    EXPECT_EQ(windowsBefore, WindowsOfThisThread());
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

TEST(StartUpElevation, AnOpenMenuEndsTheCopyBeforeAnyPrompt)
{
    for (const Elevation elevation : {Elevation::Elevated, Elevation::NotElevated}) {
        CFakeStartUpSystem system;
        system.menuOpen = true;
        system.elevation = elevation;
        const CStartDecision start = DecideStart(system);
        EXPECT_FALSE(start.runMenu);
        EXPECT_EQ(0, start.exitCode);
        EXPECT_TRUE(system.starts.empty());
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
