// Every registry key and value that the menu reads or writes, all under
// HKEY_LOCAL_MACHINE.
#pragma once

// The menu's own settings, and the hand-overs with the suite's installer.
constexpr char kLanguageKey[] = "SOFTWARE\\Tavrin\\Kardo";
constexpr char kLanguageValue[] = "Language";
constexpr char kSuiteFolderKey[] = "SOFTWARE\\Tavrin\\Kardo";
constexpr char kSuiteFolderValue[] = "PATH";
constexpr char kCodecKey[] = "Software\\Tavrin";
constexpr char kCodecValue[] = "Codec";
constexpr char kSplashPathKey[] = "SOFTWARE\\Tavrin";
constexpr char kSplashPathValue[] = "SplashPath";

// The program an installer has Windows start again at the next logon.
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Splash";

// Whether account control is on.
constexpr char kPoliciesKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
constexpr char kAccountControlValue[] = "EnableLUA";

// Installed products: their uninstall keys.
constexpr char kSuiteUninstallKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{444E2E17-6784-4BF0-926A-996E29E73729}";
constexpr char kCodecsUninstallKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}";
constexpr char kAfterEffectsPluginKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{CB89C001-6354-46C0-AD14-ABCCB79DADA6}";
constexpr char kMaxPluginKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{778B04A4-56EA-40CD-B042-E3842F375A83}";
constexpr char kPhotoshopPluginKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{EF9EEF08-037B-499F-BDB8-0DFAF9AAF562}";
constexpr char kWallpapersKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}";
constexpr char kLightWavePluginKey[]
    = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{A15E3203-D026-4CBB-9947-2825E1AEE4DE}";

// Installed programs: their folders, from their application paths.
constexpr char kAcrobatReaderAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AcroRd32.exe";
constexpr char kAcrobatReaderFolderValue[] = "Path";
constexpr char kPremiereAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Adobe Premiere.exe";
constexpr char kPremiereFolderValue[] = "Path";
