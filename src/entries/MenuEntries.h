// The fifteen menu entries: what each one shows (its refresh) and what a
// click on it does (its action), over the menu's shared state.
#pragma once

#include "EntryTable.h"
#include "MachineProbe.h"
#include "MenuHost.h"
#include "MenuState.h"

#include <functional>
#include <optional>
#include <string>

// Paths an entry's evaluation found that its click needs.
struct CEntryFindings {
    std::optional<std::string> suiteFolder;  // as stored, "%s" standing for the disc root
    std::optional<std::string> acrobatFolder;  // Acrobat Reader's folder
    std::optional<std::string> readmePath;  // the readme page to open
};

// What a refresh decides for one entry.
struct CEntryOutcome {
    bool enabled = false;
    std::wstring reason;  // the unavailable reason, shown while disabled
    CEntryFindings found;
};

class CMenuEntries {
public:
    CMenuEntries(CMenuState& state, CMenuHost& host) noexcept;

    // Runs the suite's clean-up program from the disc, then tells whether
    // the suite's uninstall key exists.
    bool CleanUpAndDetectSuite();

    // Relabels and re-evaluates every entry, the language and Exit buttons
    // in language `languageIndex` (0 to 5).
    void RefreshAllEntries(int languageIndex);

    void RefreshSuiteEntry();
    void RefreshHotfixEntry();
    void RefreshPremiereUpdaterEntry();
    void RefreshAfterEffectsPluginEntry();
    void RefreshMaxPluginEntry();
    void RefreshPhotoshopPluginEntry();
    void RefreshSpiceMasterDemoEntry();
    void RefreshAcrobatReaderEntry();
    void RefreshRegisterEntry();
    void RefreshManualEntry();
    void RefreshReadmeEntry();
    void RefreshWallpapersEntry();
    void RefreshVfwCodecsEntry();
    void RefreshLightWavePluginEntry();
    void RefreshEffectAddOnsEntry();

    // Decides whether the entry of button `controlId` is offered, and why
    // not, from what the probe answers: it changes neither the state nor the
    // button, but the hotfix's test runs the suite's clean-up program through
    // the probe, as every refresh of it does.
    CEntryOutcome Evaluate(int controlId);
    // Evaluates the entry, keeps its flag and the paths found, and shows
    // the outcome on its button.
    void RefreshEntry(int controlId);

    // The click of an entry button (any entry control id but the suite's).
    void RunEntryAction(int controlId);
    // The click of the suite button: asks typical or custom and runs the installer.
    void InstallSuite();

    // Starts `program` (a full path) with `commandLine`; for waiting rows
    // hides the menu until the program ends or `installerTimeoutMs` passes.
    void LaunchItem(const std::string& program, const std::string& commandLine, DWORD creationFlags, bool wait,
                    bool timeoutMessage);

    // Bounds of the waits; tests shorten them, the program keeps its own.
    DWORD cleanupTimeoutMs;
    DWORD installerTimeoutMs;
    // Whether the suite test first runs the clean-up program; a check of the
    // disc, which must start nothing, tests the uninstall key alone.
    bool runCleanUp = true;

    // The file browser that opens the readme: the one in the Windows folder.
    // Tests put a stand-in at another full path in its place.
    std::string fileBrowser;

    // How message boxes are shown (MessageBoxW's arguments and answer) and
    // debugger lines written; tests put recorders in their place.
    std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)> showMessage;
    std::function<void(const std::string& line)> writeDebugLine;
    // What every test of the machine and the disc asks; tests hand in their own.
    const CMachineProbe* probe;

private:
    void Refresh(const CEntryRow& row);
    // The hotfix's evaluation runs the clean-up program: neither it nor the
    // evaluation of a row that may be the hotfix's is const.
    CEntryOutcome EvaluateRow(const CEntryRow& row);
    CEntryOutcome EvaluateCommon(const CEntryRow& row) const;
    CEntryOutcome EvaluateSuite(const CEntryRow& row) const;
    CEntryOutcome EvaluateHotfix(const CEntryRow& row);
    CEntryOutcome EvaluatePremiereUpdater(const CEntryRow& row) const;
    CEntryOutcome EvaluateRegister(const CEntryRow& row) const;
    CEntryOutcome EvaluateManual(const CEntryRow& row) const;
    CEntryOutcome EvaluateReadme(const CEntryRow& row) const;
    bool PrerequisiteHolds(const CEntryRow& row) const;
    bool ItemOnDisc(const CEntryRow& row) const;
    CEntryOutcome Unavailable(unsigned reasonId) const;
    std::string RegistrationFolder(const std::string& suiteFolder) const;
    std::string RegistrationProgram(const CEntryRow& row, const std::string& suiteFolder) const;

    void ShowOutcome(const CEntryRow& row, const CEntryOutcome& outcome);
    std::wstring Text(unsigned id) const;

    std::string DiscProgramCommandLine(const CEntryRow& row) const;
    void OpenManual(const CEntryRow& row);
    void OpenReadme(const CEntryRow& row);
    void OpenDocument(const std::string& program, const std::string& commandLine, const std::string& document,
                      const CEntryRow& row);
    void StartAndWait(const std::string& program, const std::string& commandLine, DWORD creationFlags,
                      const std::string& workingFolder, bool wait, DWORD timeoutMs, bool timeoutMessage);
    void ShowError(const std::wstring& text);

    CMenuState& state;
    CMenuHost& host;
};
