// What the tests of the menu entries share: a seeded registry that puts
// itself back, a temporary disc, a stand-in for the menu window with real
// hover buttons, and the records of the stand-in installer.
#pragma once

#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
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
