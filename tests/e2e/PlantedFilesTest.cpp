// What an ordinary user could plant beside the menu and in its current
// folder: libraries (version, comctl32, ctl3d32) and a file browser. The
// menu runs as administrator and must take none of them; the disc check
// neither.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "../support/TestPaths.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <psapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr const char* kPlantedLibraries[] = {"version", "comctl32", "ctl3d32"};
constexpr char kWineProgramSettings[] = "Software\\Wine\\AppDefaults\\";

// Windows' search order for the planted libraries, for some programs and one
// scope, as WINEDLLOVERRIDES="version,comctl32,ctl3d32=n,b" gives it: Wine
// then takes them from beside a program or from its current folder before
// its own. That variable reaches only programs started from Linux, so the
// test sets the same order in Wine's settings for each program.
class CWindowsLikeSearch {
public:
    explicit CWindowsLikeSearch(std::vector<std::string> names) : programs(std::move(names))
    {
        for (const std::string& program : programs) {
            HKEY key = nullptr;
            ::RegCreateKeyExA(HKEY_CURRENT_USER, (kWineProgramSettings + program + "\\DllOverrides").c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
            for (const char* library : kPlantedLibraries)
                ::RegSetValueExA(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
            ::RegCloseKey(key);
        }
    }
    ~CWindowsLikeSearch()
    {
        for (const std::string& program : programs)
            ::SHDeleteKeyA(HKEY_CURRENT_USER, (kWineProgramSettings + program).c_str());
    }

private:
    std::vector<std::string> programs;
};

// Ends the programs that a process started and gives their files' paths, in lower case.
std::vector<std::string> EndProgramsStartedBy(DWORD parentId)
{
    std::vector<std::string> ended;
    const COwnedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry)) {
        const COwnedKernelHandle child(entry.th32ParentProcessID == parentId
                                           ? ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID)
                                           : nullptr);
        char path[MAX_PATH] = {};
        if (!child || ::GetModuleFileNameExA(child.Get(), nullptr, path, MAX_PATH) == 0)
            continue;
        ended.push_back(::CharLowerA(path));
        ::TerminateProcess(child.Get(), 1);
        ::WaitForSingleObject(child.Get(), kExitTimeoutMs);
    }
    return ended;
}

TEST(PlantedFiles, AreNeitherLoadedNorStartedByTheMenuOrTheCheck)
{
    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, kRunValue);
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
    CTestDisc disc;
    const std::string current = disc.Folder() + "\\current";
    disc.AddMenu();
    disc.AddFile("Readme.htm", "<html></html>");
    // Premiere registered with its program, so that the menu reads a file's version.
    disc.AddStub("Premiere\\Adobe Premiere Pro.exe");
    seed.SetString(kPremiereAppPathsKey, kPremiereFolderValue, disc.PathOf("Premiere"));
    disc.AddStub("Baseline.exe");  // a program that imports only the system's own libraries
    ::CopyFileA((TestProgramFolder() + "\\SplashCheck.exe").c_str(), disc.PathOf("SplashCheck.exe").c_str(), FALSE);
    MakeParentFolders(current + "\\explorer.exe");
    for (const std::string& folder : {disc.Root(), current}) {
        ::CopyFileA((TestProgramFolder() + "\\StubProgram.exe").c_str(), (folder + "\\explorer.exe").c_str(), FALSE);
        for (const char* library : kPlantedLibraries)
            ASSERT_TRUE(::CopyFileA((TestProgramFolder() + "\\PlantedLibrary.dll").c_str(),
                                    (folder + "\\" + library + ".dll").c_str(), FALSE));
    }
    const CWindowsLikeSearch search({"Baseline.exe", "Splash.exe", "SplashCheck.exe"});

    // Wine's user32 imports version.dll (Windows' does not), so a version.dll
    // beside any program is loaded before the program's first instruction.
    CMenuDriver(disc.PathOf("Baseline.exe"), disc.LogPath(), current).WaitForExit();
    {
        CMenuDriver check(disc.PathOf("SplashCheck.exe"), disc.LogPath(), current);
        EXPECT_TRUE(check.WaitForExit());
        EXPECT_EQ(1u, check.ExitCode()) << "a check of a disc that lacks its items";
    }
    CMenuDriver menu(disc.MenuPath(), disc.LogPath(), current);
    ASSERT_NE(nullptr, menu.WaitForWindow()) << "the menu does not start";
    menu.PointAt(IDC_SUITE);
    // The readme's button is never shown; its command reaches the menu all the same.
    menu.PostCommand(IDC_README);
    std::vector<std::string> started;
    PollUntil([&] { return !(started = EndProgramsStartedBy(menu.ProcessId())).empty(); }, kWindowTimeoutMs);
    menu.Click(IDOK);
    EXPECT_TRUE(menu.WaitForExit());
    EXPECT_EQ(0u, menu.ExitCode());

    char windows[MAX_PATH] = {};
    ::GetSystemWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(std::vector<std::string>{::CharLowerA(windows) + std::string("\\explorer.exe")}, started);
    // Only the baseline starts; no planted function is called; a planted
    // library is loaded only where the system loads it for any program.
    std::set<std::string> loadedBySystem;
    std::vector<CStubRecord> records = disc.ReadLog();
    for (CStubRecord& record : records) {
        ::CharLowerA(&record.program[0]);
        if (record.action == "loaded" && record.commandLine == disc.PathOf("Baseline.exe"))
            loadedBySystem.insert(record.program);
    }
    for (const CStubRecord& record : records) {
        EXPECT_TRUE(record.action.empty() || record.action == "loaded")
            << record.commandLine << " of " << record.program;
        EXPECT_TRUE(record.action != "loaded" || loadedBySystem.count(record.program) == 1)
            << record.program << " loaded into " << record.commandLine;
        EXPECT_TRUE(!record.action.empty() || record.commandLine.find("Baseline.exe") != std::string::npos)
            << record.program;
    }
}

}  // namespace
