// A disc made for one test in a fresh temporary folder: the menu program
// and the stub programs the test asks for, the stubs' log, and clean-up of
// everything (processes included) when the test ends.
#pragma once

#include "../support/TestPaths.h"
#include <string>
#include <vector>

// One line of the stubs' log: a start, or a report of one of its actions
// (then `action` holds its name and `commandLine` the outcome).
struct CStubRecord {
    std::string program;
    std::string commandLine;
    std::string workingFolder;
    std::string action;
};

class CFixtureDisc {
public:
    // Makes the folders; the disc holds nothing yet. Its root is the folder
    // `rootName` of the fixture's folder.
    explicit CFixtureDisc(const std::string& rootName = "disc");
    // Ends every process started from the fixture's folder and removes it.
    ~CFixtureDisc();
    CFixtureDisc(const CFixtureDisc&) = delete;
    CFixtureDisc& operator=(const CFixtureDisc&) = delete;

    // The disc root, without a trailing backslash.
    const std::string& Root() const noexcept { return root; }
    // The fixture's own folder: the disc root and the log lie in it.
    const std::string& Folder() const noexcept { return folder; }
    const std::string& LogPath() const noexcept { return logPath; }
    std::string MenuPath() const { return root + "\\Splash.exe"; }
    std::string PathOf(const std::string& relative) const { return root + "\\" + relative; }

    // Copies Splash.exe (or the test program's `program` under that name) into the disc root.
    void AddMenu(const std::string& program = "Splash.exe");
    // Copies the stub to `relative`, with a sidecar when actions are given.
    void AddProgram(const std::string& relative, const std::vector<std::string>& actions = {});
    void AddFile(const std::string& relative, const std::string& content);

    // Every line of the log so far, in order; starts and reports alike.
    std::vector<CStubRecord> ReadLog() const;
    // Only the starts, in order.
    std::vector<CStubRecord> Starts() const;
    // Polls the log until `count` starts are in it or the time is up.
    std::vector<CStubRecord> WaitForStarts(size_t count, unsigned timeoutMs) const;

    // Ends the processes whose program lies in the fixture's folder.
    void EndFixtureProcesses() const;

private:
    std::string folder;
    std::string root;
    std::string logPath;
};

// Creates every missing folder of a path's parent.
void MakeParentFolders(const std::string& path);
