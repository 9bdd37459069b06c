// The stub that stands in for every program on the disc: the other tests
// trust its records and its actions, so these pin them down first.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"

#include <gtest/gtest.h>

namespace {

constexpr char kTestKey[] = "SOFTWARE\\Tavrin\\E2eStub";

TEST(StubProgram, RecordsItsPathCommandLineAndWorkingFolderInTheLogThatTheEnvironmentNames)
{
    CTestDisc disc;
    disc.AddStub("Bonus\\Pixelan\\spicemaster2tavrindemo.exe");
    const std::string program = disc.PathOf("Bonus\\Pixelan\\spicemaster2tavrindemo.exe");

    ASSERT_EQ(0u, RunAndWait(program + " /l0x40C", disc.LogPath()));
    ASSERT_EQ(0u, RunAndWait("\"" + program + "\" second", disc.LogPath()));

    const std::vector<CStubRecord> starts = disc.Starts();
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(program, starts[0].program);
    EXPECT_EQ(program + " /l0x40C", starts[0].commandLine);
    EXPECT_EQ("\"" + program + "\" second", starts[1].commandLine);
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof(folder), folder);
    EXPECT_EQ(folder, starts[0].workingFolder);
}

TEST(StubProgram, CarriesOutItsSidecarInOrderAndEndsWithTheGivenCode)
{
    CTestDisc disc;
    CRegistrySeed seed;
    seed.WatchKey(kTestKey);
    disc.AddStub("Tavrin HotFix2\\Vexa_HotFix2.exe",
                 {"sleep 100", "regkey " + std::string(kTestKey) + "\\Made By Stub",
                  "regvalue \"" + std::string(kTestKey) + "\" \"Install Folder\" %STUB_FOLDER%\\Sub Folder",
                  "copyself %STUB_FOLDER%\\Copy\\Again.exe", "exit 7", "regkey " + std::string(kTestKey) + "\\Late"});

    const DWORD start = ::GetTickCount();
    EXPECT_EQ(7u, RunAndWait(disc.PathOf("Tavrin HotFix2\\Vexa_HotFix2.exe"), disc.LogPath()));
    EXPECT_GE(::GetTickCount() - start, 100u);

    EXPECT_TRUE(KeyExists(std::string(kTestKey) + "\\Made By Stub"));
    EXPECT_FALSE(KeyExists(std::string(kTestKey) + "\\Late")) << "actions after exit must not run";
    std::string folder;
    ASSERT_TRUE(ReadStringValue(kTestKey, "Install Folder", folder));
    EXPECT_EQ(disc.PathOf("Tavrin HotFix2\\Sub Folder"), folder);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(disc.PathOf("Tavrin HotFix2\\Copy\\Again.exe").c_str()));
    for (const CStubRecord& record : disc.ReadLog())
        EXPECT_TRUE(record.action.empty()) << record.action << ": " << record.commandLine;
}

// The menu starts the clean-up tool by its ".fix" name through
// CreateProcessA; the system runs it for what it is, a program.
TEST(StubProgram, StartsUnderTheCleanUpToolsFixNameWithOrWithoutQuotes)
{
    CTestDisc disc;
    disc.AddStub("Nimbo\\NimboCleanup.fix");
    disc.AddStub("Disc With Blanks\\Nimbo\\NimboCleanup.fix");
    const std::string plain = disc.PathOf("Nimbo\\NimboCleanup.fix");
    const std::string blanks = disc.PathOf("Disc With Blanks\\Nimbo\\NimboCleanup.fix");

    EXPECT_EQ(0u, RunAndWait(plain + " /Silent", disc.LogPath()));
    EXPECT_EQ(0u, RunAndWait("\"" + blanks + "\" /Silent", disc.LogPath()));
    EXPECT_EQ(0u, RunAndWait(blanks + " /Silent", disc.LogPath()));

    const std::vector<CStubRecord> starts = disc.Starts();
    ASSERT_EQ(3u, starts.size());
    EXPECT_EQ(plain, starts[0].program);
    EXPECT_EQ(blanks, starts[1].program);
    EXPECT_EQ(blanks, starts[2].program);
}

TEST(StubProgram, BroadcastReportsThatEveryWindowAnswered)
{
    CTestDisc disc;
    disc.AddStub("Nimbo\\setup.exe", {"broadcast"});

    EXPECT_EQ(0u, RunAndWait(disc.PathOf("Nimbo\\setup.exe"), disc.LogPath()));

    const std::vector<CStubRecord> records = disc.ReadLog();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ("broadcast", records[1].action);
    EXPECT_EQ(0u, records[1].commandLine.find("answered")) << records[1].commandLine;
    EXPECT_EQ("menu", records[2].action);
    EXPECT_EQ("no window", records[2].commandLine);
}

}  // namespace
