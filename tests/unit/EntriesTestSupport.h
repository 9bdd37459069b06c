// What the tests of the menu entries share: a seeded registry that puts
// itself back, a temporary disc, a stand-in for the menu window with real
// hover buttons, and the records of the stand-in installer.
#pragma once

#include "../support/RegistrySeed.h"
#include "../support/TestPaths.h"
#include "app/HoverButtonHost.h"
#include "base/Handles.h"
#include "system/RegistryNames.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace entriestest {

// The real keys of the menu, written out here so that a slip in the
// program's own copies shows.
constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kSuiteGuid[] = "{444E2E17-6784-4BF0-926A-996E29E73729}";
constexpr char kCodecsGuid[] = "{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}";
constexpr char kAfterEffectsGuid[] = "{CB89C001-6354-46C0-AD14-ABCCB79DADA6}";
constexpr char kMaxGuid[] = "{778B04A4-56EA-40CD-B042-E3842F375A83}";
constexpr char kPhotoshopGuid[] = "{EF9EEF08-037B-499F-BDB8-0DFAF9AAF562}";
constexpr char kWallpapersGuid[] = "{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}";
constexpr char kLightWaveGuid[] = "{A15E3203-D026-4CBB-9947-2825E1AEE4DE}";
constexpr char kKardoKey[] = "SOFTWARE\\Tavrin\\Kardo";

std::string UninstallKey(const char* guid);

// A folder tree under the temporary folder, removed with everything in it.
class CTestDisc {
public:
    explicit CTestDisc(const std::string& name = "TavrinDisc");
    ~CTestDisc();
    CTestDisc(const CTestDisc&) = delete;
    CTestDisc& operator=(const CTestDisc&) = delete;

    const std::string& Root() const noexcept { return root; }
    // An empty file (its folders made as needed) at a path below the root.
    void AddFile(const std::string& relative) const;
    // A copy of a fixture program from beside the test program.
    void AddProgram(const std::string& relative, const std::string& fixture = "FixtureRecorder.exe") const;
    void Remove(const std::string& relative) const;
    bool Contains(const std::string& relative) const;

private:
    std::string root;
};

// Every file the menu looks for on a full disc, as the disc's makers laid it out.
const std::vector<std::string>& FullLayout();

// A text the menu shows, in the process code page, for comparing with paths.
std::string InSystemCodePage(const std::wstring& text);

// The menu window of the tests: a hidden top-level window holding a real
// owner-drawn button, bound to a hover button, per control of the menu; or
// nothing at all for a check without a window.
class CTestHost : public CHoverButtonHost {
public:
    enum Kind { kWithWindow, kHeadless };
    explicit CTestHost(Kind kind = kWithWindow);
    ~CTestHost() override;

    CHoverButton* EntryButton(int controlId) override;
    HWND MenuWindow() override { return menu.Get(); }
    int AskModel() override;

    // The title that the stand-in installer looks for.
    const std::string& Title() const noexcept { return title; }

    int modelAnswer = 3;
    int modelQuestions = 0;

private:
    std::string title;
    COwnedWindow menu;
    std::map<int, std::unique_ptr<CHoverButton>> buttons;
};

// One start of the stand-in installer.
struct CRecord {
    DWORD processId = 0;
    std::string menu;  // "hidden", "visible", "missing" or "none"
    std::string workingFolder;
    std::string commandLine;
};

// Sets the environment that the stand-in installer reads for as long as it
// lives, and reads back what the starts recorded; waits for every recorded
// program to end before it goes.
class CRecorder {
public:
    explicit CRecorder(const std::string& folder, const std::string& windowTitle = std::string());
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    // Each start makes the program sleep that long before it ends.
    void SleepEach(DWORD milliseconds) const;
    std::vector<CRecord> Records() const;
    // Polls (with a bound) until `count` starts are recorded.
    std::vector<CRecord> WaitForRecords(size_t count) const;
    // Forgets the records so far, once their programs have ended.
    void Clear() const;

private:
    void WaitForPrograms() const;
    std::string file;
};

}  // namespace entriestest
