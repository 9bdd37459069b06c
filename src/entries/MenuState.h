// The menu's shared state: what the start-up learns about the disc and the
// machine, and what the entries' refreshes keep between clicks.
#pragma once

#include <windows.h>

#include <string>

// Hardware models as the menu counts them.
constexpr int kModelVexa10 = 0;
constexpr int kModelVexa100 = 1;
constexpr int kModelNone = 3;

struct CMenuState {
    int model = kModelNone;
    bool suiteInstalled = false;
    DWORD languageCode = 0;  // the stored code: 9, 1036, 7, 16, 10 or 17; 0 = none stored
    int languageOffset = 0;  // language index * 1000, added to localised string ids
    std::string discRoot;  // without a trailing backslash
    std::string suiteFolder;
    std::string readmePath;
    std::string acrobatFolder;

    // The entries that keep their availability between refreshes.
    bool premiereUpdaterEnabled = false;
    bool afterEffectsPluginEnabled = false;
    bool maxPluginEnabled = false;
    bool photoshopPluginEnabled = false;
    bool spiceMasterDemoEnabled = false;
    bool acrobatReaderEnabled = false;
    bool manualEnabled = false;
    bool readmeEnabled = false;
    bool wallpapersEnabled = false;
    bool vfwCodecsEnabled = false;
    bool lightWavePluginEnabled = false;
    bool registerEnabled = false;
    bool effectAddOnsEnabled = false;
};
