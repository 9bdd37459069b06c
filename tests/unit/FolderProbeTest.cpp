// The folder probe against real folders made for each test.
#include "system/FolderProbe.h"

#include "../support/TestDisc.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A fresh folder for each test, removed with all it holds.
class FolderProbeTest : public ::testing::Test {
protected:
    // Makes a folder (and its parents) below the root; returns its path.
    std::string MakeFolder(const std::string& relative)
    {
        const std::string path = disc.PathOf(relative);
        std::filesystem::create_directories(path);
        return path;
    }

    void MakeFile(const std::string& relative) { disc.AddFile(relative, "x"); }

    CTestDisc disc{"FolderProbe"};
    const std::string& root = disc.Root();
};

TEST_F(FolderProbeTest, FindsNamesWhateverTheirCase)
{
    MakeFolder("Upper");
    MakeFile("Upper\\SETUP.EXE");
    MakeFolder("Mixed");
    MakeFile("Mixed\\Setup.exe");

    EXPECT_TRUE(FolderContains("setup.exe", root + "\\Upper"));
    EXPECT_TRUE(FolderContains("setup.exe", root + "\\Mixed"));
    EXPECT_TRUE(FolderContains("SeTuP.ExE", root + "\\Mixed"));
    EXPECT_FALSE(FolderContains("setup.ex", root + "\\Mixed"));
    EXPECT_FALSE(FolderContains("setup.exe ", root + "\\Mixed"));
    EXPECT_FALSE(FolderContains("", root + "\\Mixed"));
}

TEST_F(FolderProbeTest, LeavesTheCallersStringsAlone)
{
    MakeFile("Setup.exe");
    const std::string name = "SETUP.EXE";
    const std::string folder = root;
    EXPECT_TRUE(FolderContains(name, folder));
    EXPECT_EQ("SETUP.EXE", name);
    EXPECT_EQ(root, folder);
}

TEST_F(FolderProbeTest, CountsSubfoldersButDoesNotDescend)
{
    MakeFolder("Disc\\setup.exe");
    MakeFolder("Disc\\Nimbo");
    MakeFile("Disc\\Nimbo\\readme.htm");

    EXPECT_TRUE(FolderContains("SETUP.EXE", root + "\\Disc"));
    EXPECT_TRUE(FolderContains("nimbo", root + "\\Disc"));
    EXPECT_FALSE(FolderContains("readme.htm", root + "\\Disc"));
    EXPECT_TRUE(FolderContains("readme.htm", root + "\\Disc\\Nimbo"));
}

TEST_F(FolderProbeTest, DotEntriesCount)
{
    MakeFolder("Empty");
    EXPECT_TRUE(FolderContains(".", root + "\\Empty"));
    EXPECT_TRUE(FolderContains("..", root + "\\Empty"));
    EXPECT_FALSE(FolderContains("...", root + "\\Empty"));
}

TEST_F(FolderProbeTest, WildcardsInTheNameAreLiteral)
{
    MakeFile("setup.exe");
    EXPECT_FALSE(FolderContains("*.exe", root));
    EXPECT_FALSE(FolderContains("setup.ex?", root));
    EXPECT_FALSE(FolderContains("*", root));
    EXPECT_FALSE(FolderContains("setup.exe", root + "\\set*"));
}

TEST_F(FolderProbeTest, MissingOrUnusableFoldersAnswerFalse)
{
    MakeFile("setup.exe");
    EXPECT_FALSE(FolderContains("setup.exe", root + "\\Missing"));
    EXPECT_FALSE(FolderContains("setup.exe", root + "\\setup.exe"));
    EXPECT_FALSE(FolderContains("setup.exe", ""));
    EXPECT_FALSE(FolderContains("setup.exe", std::string(100000, 'a')));
}

// Builds a real folder whose path has exactly the given length, out of
// components the file system accepts.
std::string MakeFolderOfLength(const std::string& base, size_t length)
{
    std::string path = base;
    while (path.size() < length) {
        const size_t room = length - path.size() - 1;
        // Never leave a remainder too short for a component of its own.
        const size_t part = room > 200 ? 100 : room;
        path += "\\" + std::string(part, 'd');
    }
    std::filesystem::create_directories(path);
    return path;
}

TEST_F(FolderProbeTest, FolderMustLeaveRoomForThePattern)
{
    // The pattern adds two characters and must stay below MAX_PATH.
    const std::string fits = MakeFolderOfLength(root + "\\a", MAX_PATH - 3);
    const std::string tooLong = MakeFolderOfLength(root + "\\b", MAX_PATH - 2);
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 3), fits.size());
    ASSERT_EQ(static_cast<size_t>(MAX_PATH - 2), tooLong.size());
    std::ofstream(fits + "\\f") << "x";
    std::ofstream(tooLong + "\\f") << "x";
    ASSERT_TRUE(std::filesystem::exists(fits + "\\f"));
    ASSERT_TRUE(std::filesystem::exists(tooLong + "\\f"));

    EXPECT_TRUE(FolderContains("f", fits));
    EXPECT_FALSE(FolderContains("f", tooLong));
}

}  // namespace
