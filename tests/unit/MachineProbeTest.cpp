// The rules of the entries over a plain probe that answers what a test
// says, without a registry, a disc or a program: the updater over each
// Premiere it can meet, and the hotfix over a clean-up that never ends.
#include "entries/MachineProbe.h"
#include "EntriesTestSupport.h"
#include "entries/MenuEntries.h"
#include "res/Text.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using entriestest::CTestHost;

namespace {

class CPlainProbe : public CMachineProbe {
public:
    bool premiereRegistered = true;
    std::string premiereVersion;
    CleanUpRun cleanUp = CleanUpRun::Ended;
    bool suiteKey = false;
    mutable std::vector<std::string> asked;

    bool KeyExists(const char* key) const override
    {
        asked.push_back(std::string("key ") + key);
        return suiteKey && std::string(key) == kSuiteUninstallKey;
    }
    std::string storedValue;  // what every registry value reads; empty: none is stored
    bool ReadValue(const char*, const char*, std::string& value) const override
    {
        if (storedValue.empty())
            return false;
        value = storedValue;
        return true;
    }
    bool FolderHolds(const std::string& name, const std::string& folder) const override
    {
        asked.push_back("list " + folder + "\\" + name);
        return true;
    }
    bool ProgramExists(const std::string&) const override { return true; }
    bool PremiereFolder(std::string& folder) const override
    {
        folder = "C:\\Premiere";
        return premiereRegistered;
    }
    std::string FileVersion(const std::string& path, const char*) const override
    {
        asked.push_back("version " + path);
        return premiereVersion;
    }
    CleanUpRun RunCleanUp(const std::string&, const std::string& commandLine, DWORD) const override
    {
        asked.push_back("clean-up " + commandLine);
        return cleanUp;
    }
};

class MachineProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.discRoot = "D:";
        state.languageCode = 9;
        entries.probe = &probe;
        entries.writeDebugLine = [this](const std::string& line) { debugLines.push_back(line); };
    }

    CPlainProbe probe;
    CMenuState state;
    CTestHost host{CTestHost::kHeadless};
    CMenuEntries entries{state, host};
    std::vector<std::string> debugLines;
};

}  // namespace

TEST_F(MachineProbeTest, TheUpdaterIsDecidedByThePremiereTheProbeReports)
{
    probe.premiereVersion = "1, 5, 0, 0";
    EXPECT_TRUE(entries.Evaluate(IDC_PREMIERE_UPDATER).enabled);
    EXPECT_EQ((std::vector<std::string>{"version C:\\Premiere\\Adobe Premiere Pro.exe",
                                        "list D:\\Adobe Updater 1.5.1\\setup.exe"}),
              probe.asked);

    probe.premiereVersion = "1, 5, 1, 0";
    const CEntryOutcome updated = entries.Evaluate(IDC_PREMIERE_UPDATER);
    EXPECT_FALSE(updated.enabled);
    EXPECT_EQ(LoadText(IDS_PREMIERE_UPDATED, 0), updated.reason);

    probe.premiereRegistered = false;
    const CEntryOutcome absent = entries.Evaluate(IDC_PREMIERE_UPDATER);
    EXPECT_FALSE(absent.enabled);
    EXPECT_EQ(L"", absent.reason);
}

TEST_F(MachineProbeTest, TheHotfixRunsTheCleanUpThroughTheProbe)
{
    probe.cleanUp = CleanUpRun::DidNotEnd;
    const CEntryOutcome outcome = entries.Evaluate(IDC_HOTFIX);
    EXPECT_FALSE(outcome.enabled);
    EXPECT_EQ(LoadText(IDS_HOTFIX_NEEDS_SUITE, 0), outcome.reason);
    EXPECT_EQ(std::vector<std::string>{"NimboCleanup failed"}, debugLines);
    ASSERT_EQ(2u, probe.asked.size());
    EXPECT_EQ("clean-up D:\\Nimbo\\NimboCleanup.fix /Silent", probe.asked[0]);

    probe.suiteKey = true;
    probe.cleanUp = CleanUpRun::Ended;
    EXPECT_TRUE(entries.Evaluate(IDC_HOTFIX).enabled);
}

// Evaluating finds the paths a click needs but keeps none of them; the
// refresh keeps what it found, and a value no longer stored keeps the old.
TEST_F(MachineProbeTest, EvaluatingChangesNothingAndTheRefreshKeepsWhatItFound)
{
    probe.storedValue = "C:\\Found";
    state.suiteInstalled = true;
    for (int controlId : {IDC_REGISTER, IDC_MANUAL, IDC_README}) {
        const CEntryOutcome outcome = entries.Evaluate(controlId);
        EXPECT_TRUE(outcome.enabled) << controlId;
    }
    EXPECT_EQ("", state.suiteFolder);
    EXPECT_EQ("", state.acrobatFolder);
    EXPECT_EQ("", state.readmePath);
    EXPECT_EQ("C:\\Found", entries.Evaluate(IDC_REGISTER).found.suiteFolder.value_or("none"));

    for (int controlId : {IDC_REGISTER, IDC_MANUAL, IDC_README})
        entries.RefreshEntry(controlId);
    EXPECT_EQ("C:\\Found", state.suiteFolder);
    EXPECT_EQ("C:\\Found", state.acrobatFolder);
    EXPECT_EQ("D:\\Readme.htm", state.readmePath);

    probe.storedValue.clear();
    entries.RefreshEntry(IDC_REGISTER);
    entries.RefreshEntry(IDC_MANUAL);
    EXPECT_EQ("C:\\Found", state.suiteFolder);
    EXPECT_EQ("C:\\Found", state.acrobatFolder);
}

// Whether the clean-up program ends, outlasts its wait or cannot start, the
// step's answer is the suite's key; each failure leaves its debugger line.
TEST_F(MachineProbeTest, TheCleanUpStepAnswersWithTheSuitesKeyWhateverTheProgramDoes)
{
    probe.suiteKey = true;
    EXPECT_TRUE(entries.CleanUpAndDetectSuite());
    probe.cleanUp = CleanUpRun::DidNotEnd;
    EXPECT_TRUE(entries.CleanUpAndDetectSuite());

    probe.cleanUp = CleanUpRun::CouldNotStart;
    probe.suiteKey = false;
    EXPECT_FALSE(entries.CleanUpAndDetectSuite());
    EXPECT_EQ((std::vector<std::string>{"NimboCleanup failed", "D:\\Nimbo\\NimboCleanup.fix /Silent failed"}),
              debugLines);
}
