// A disc made for one test in a fresh temporary folder: the files and
// programs the test asks for, the stubs' log, and clean-up of everything
// (processes included) when the test ends. Unit, end-to-end and bench
// programs all build their discs with it.
#pragma once

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

class CTestDisc {
public:
    // Makes the folders; the disc holds nothing yet. Its root is the folder
    // `rootName` of the disc's own folder.
    explicit CTestDisc(const std::string& rootName = "disc");
    // Ends every process started from the disc's folder and removes it; a
    // folder still held after that is a failure of the test.
    ~CTestDisc();
    CTestDisc(const CTestDisc&) = delete;
    CTestDisc& operator=(const CTestDisc&) = delete;

    // The disc root, without a trailing backslash.
    const std::string& Root() const noexcept { return root; }
    // The disc's own folder: the root and the stubs' log lie in it.
    const std::string& Folder() const noexcept { return folder; }
    const std::string& LogPath() const noexcept { return logPath; }
    std::string MenuPath() const { return root + "\\Splash.exe"; }
    // `relative` lies below the root, with or without a leading backslash.
    std::string PathOf(const std::string& relative) const;

    // Copies Splash.exe (or the test program's `program` under that name) into the root.
    void AddMenu(const std::string& program = "Splash.exe") const;
    // Copies a program from beside the test program to `relative`.
    void AddProgram(const std::string& relative, const std::string& program = "FixtureRecorder.exe") const;
    // Copies the stub program to `relative`, with a sidecar when actions are given.
    void AddStub(const std::string& relative, const std::vector<std::string>& actions = {}) const;
    // Writes a whole file, its folders made as needed.
    void AddFile(const std::string& relative, const std::string& content = std::string()) const;
    void Remove(const std::string& relative) const;
    bool Contains(const std::string& relative) const;

    // Every line of the stubs' log so far, in order; starts and reports alike.
    std::vector<CStubRecord> ReadLog() const;
    // Only the starts, in order.
    std::vector<CStubRecord> Starts() const;
    // Polls the log until `count` starts are in it or the time is up.
    std::vector<CStubRecord> WaitForStarts(size_t count, unsigned timeoutMs) const;

    // Ends the processes whose program lies in the disc's folder.
    void EndFixtureProcesses() const;

private:
    std::string folder;
    std::string root;
    std::string logPath;
};

// Creates every missing folder of a path's parent.
void MakeParentFolders(const std::string& path);
