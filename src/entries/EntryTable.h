// The fifteen entries of the menu as data: one row per entry, in the order
// in which the refresh of all entries visits them. A row says where the
// entry's item lies on the disc, how the menu tells that it is installed,
// what must hold before it is offered, the reasons it shows while it is not,
// and what a click starts.
#pragma once

#include "MenuState.h"

#include <windows.h>

#include <array>
#include <string>
#include <vector>

enum class EntryKey {
    Suite,
    Hotfix,
    PremiereUpdater,
    AfterEffectsPlugin,
    MaxPlugin,
    PhotoshopPlugin,
    SpiceMasterDemo,
    AcrobatReader,
    Register,
    Manual,
    Readme,
    Wallpapers,
    VfwCodecs,
    LightWavePlugin,
    EffectAddOns,
};

// Which routine decides an entry's state: the common one over the row's
// columns, or the entry's own where its tests do not fit them.
enum class EntryRule { Common, Suite, Hotfix, PremiereUpdater, Register, Manual, Readme };

// What must hold before an entry's item is offered.
enum class Prerequisite {
    None,
    SuiteAndVexa100,      // the suite installed and the model the Vexa100
    SuiteAbsent,          // the suite not installed: the codecs are for machines without the hardware
    CodecsAbsent,         // the codecs' uninstall key absent (the suite)
    SuiteTestedAfresh,    // the suite's uninstall key present after the clean-up has run (the hotfix)
    PremiereRelease,      // Adobe Premiere Pro 1.5 registered and its program present (the updater)
    SuiteInstalled,       // the suite installed at start-up (the registration)
    AcrobatReaderFolder,  // Acrobat Reader's folder readable from its App Paths key (the manual)
};

// What a click on the entry starts.
enum class EntryAction {
    SuiteInstallation,    // the question, then the suite's installer
    DiscProgram,          // the row's program on the disc
    RegistrationProgram,  // the registration program in the suite's folder
    ManualInReader,       // Acrobat Reader on the manual of the model
    ReadmeInBrowser,      // the file browser on the readme page
};

struct CEntryRow {
    int controlId;
    EntryKey key;
    const char* name;
    unsigned labelId;
    unsigned descriptionId;
    EntryRule rule;

    // The item on the disc: a folder template ("%s" = the disc root) and a
    // file name, both read fixed; a file id of 0 takes the built-in name.
    unsigned folderId;
    unsigned fileId;
    const char* fileName;

    const char* installedKey;  // present: the item is installed; null: no key tells
    Prerequisite prerequisite;
    unsigned installedReasonId;
    unsigned prerequisiteReasonId;
    unsigned notFoundReasonId;

    EntryAction action;
    const char* program;    // the started program, below the disc root
    bool languageArgument;  // "/l0x%.2X" of the language code follows the program
    DWORD creationFlags;
    bool wait;
    bool timeoutMessage;                // a wait that ends before the program does is reported
    std::array<int, 2> refreshesAfter;  // control ids refreshed after the click, 0 for none

    bool CMenuState::*enabledFlag;  // where the availability is kept; null: kept nowhere
};

constexpr size_t kEntryCount = 15;

// The rows in refresh order.
extern const std::array<CEntryRow, kEntryCount> kEntryTable;

// The row of the entry button `controlId`, or null for any other control.
const CEntryRow* FindEntryRow(int controlId);

constexpr char kSuiteUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{444E2E17-6784-4BF0-926A-996E29E73729}";
constexpr char kCodecsUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}";
constexpr char kAcrobatReaderAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AcroRd32.exe";
constexpr char kAcrobatReaderFolderValue[] = "Path";
constexpr char kSuiteFolderKey[] = "SOFTWARE\\Tavrin\\Kardo";
constexpr char kSuiteFolderValue[] = "PATH";
constexpr char kSplashPathKey[] = "SOFTWARE\\Tavrin";
constexpr char kSplashPathValue[] = "SplashPath";

// The suite's clean-up program and its switch.
constexpr char kCleanupProgram[] = "\\Nimbo\\NimboCleanup.fix";
constexpr char kCleanupSwitch[] = "/Silent";
// The switch of a typical suite installation; a custom one has none.
constexpr char kTypicalInstallationSwitch[] = "/express";
// What the suite installer finds its folder from.
constexpr char kSplashPathFile[] = "\\setup.exe";

// Adobe Premiere Pro's program in its folder and the two versions the updater entry tells apart.
constexpr char kPremiereProgram[] = "\\Adobe Premiere Pro.exe";
constexpr char kPremiereVersionItem[] = "FileVersion";
constexpr char kPremiereReleaseVersion[] = "1, 5, 0, 0";
constexpr char kPremiereUpdatedVersion[] = "1, 5, 1, 0";

// Acrobat Reader's program in its folder, as its command line names it, and
// the extension of the file that is started.
constexpr char kAcrobatReaderProgram[] = "\\acrord32";
constexpr char kProgramExtension[] = ".exe";
// The file browser in the Windows folder.
constexpr char kFileBrowser[] = "\\explorer.exe";

// Caption colours of every entry button.
constexpr COLORREF kCaptionColor = RGB(255, 255, 255);
constexpr COLORREF kDisabledCaptionColor = RGB(81, 110, 125);

// The fixed identifier of the readme page of a language, kept in the readme
// folder; English (and any unknown code) has its page in the disc root.
unsigned ReadmeFileId(DWORD languageCode);

// One file that the menu looks for on the disc.
struct CDiscFile {
    EntryKey key;
    std::string path;  // below the disc root, beginning with a backslash
};

// Every file of the disc layout, as the entries look for it, entry by entry.
std::vector<CDiscFile> DiscLayoutFiles();
