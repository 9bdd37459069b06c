// The fifteen menu entries: what each one shows (its refresh) and what a
// click on it does (its action), over the menu's shared state.
#pragma once

#include "MenuHost.h"
#include "MenuState.h"

#include <string>

// What a refresh decides for one entry.
struct CEntryOutcome {
    bool enabled = false;
    std::string reason;  // the unavailable reason, shown while disabled
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

    // The click of an entry button (any entry control id but the suite's).
    void RunEntryAction(int controlId);
    // The click of the suite button: asks typical or custom and runs the installer.
    void InstallSuite();

    // Starts `commandLine`; for waiting rows hides the menu until the program
    // ends or `installerTimeoutMs` passes.
    void LaunchItem(const std::string& commandLine, DWORD creationFlags, bool wait, bool timeoutMessage);

    // Bounds of the waits; tests shorten them, the program keeps its own.
    DWORD cleanupTimeoutMs;
    DWORD installerTimeoutMs;

private:
    CMenuState& state;
    CMenuHost& host;
};
