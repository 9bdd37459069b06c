// The fifteen entries of the menu as data: one row per entry, in the order
// in which the refresh of all entries visits them. A row says where the
// entry's item lies on the disc, how the menu tells that it is installed,
// what must hold before it is offered, the reasons it shows while it is not,
// and what a click starts.
#pragma once

#include "MenuState.h"
#include "system/ProgramLauncher.h"
#include "system/RegistryNames.h"

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
    SuiteAndVexa100,  // the suite installed and the model the Vexa100
    SuiteAbsent,  // the suite not installed: the codecs are for machines without the hardware
    CodecsAbsent,  // the codecs' uninstall key absent (the suite)
    SuiteTestedAfresh,  // the suite's uninstall key present after the clean-up has run (the hotfix)
    PremiereRelease,  // Adobe Premiere Pro 1.5 registered and its program present (the updater)
    SuiteInstalled,  // the suite installed at start-up (the registration)
    AcrobatReaderFolder,  // Acrobat Reader's folder readable from its App Paths key (the manual)
};

// What a click on the entry starts.
enum class EntryAction {
    SuiteInstallation,  // the question, then the suite's installer
    DiscProgram,  // the row's program on the disc
    RegistrationProgram,  // the registration program in the suite's folder
    ManualInReader,  // Acrobat Reader on the manual of the model
    ReadmeInBrowser,  // the file browser on the readme page
};

// Where an entry's item lies on the disc: a folder template ("%s" = the
// disc root) and a file name, both read fixed. A file id of 0 takes the
// built-in name; a folder id of 0 means the item is not on the disc.
struct CEntryItem {
    unsigned folderId;
    unsigned fileId;
    const char* fileName;
};

// How the menu decides whether an entry is offered, and the reason it
// shows for each test that fails.
struct CEntryAvailability {
    EntryRule rule;
    const char* installedKey;  // present: the item is installed; null: no key tells
    Prerequisite prerequisite;
    unsigned installedReasonId;
    unsigned prerequisiteReasonId;
    unsigned notFoundReasonId;
};

// How a click starts the entry's program.
enum LaunchOption : unsigned {
    kLaunchOnly = 0,
    kLanguageArgument = 1 << 0,  // "/l0x%.2X" of the language code follows the program
    kWaitWhileHidden = 1 << 1,  // the menu hides until the program ends or the wait runs out
    kReportLongWait = 1 << 2,  // a wait that ends before the program does is reported
    kNoCreationFlags = 1 << 3,  // started without the usual creation flags
};

// What a click on an entry starts, and which entries it looks at again afterwards.
struct CEntryLaunch {
    EntryAction action;
    const char* program;  // below the disc root, for the programs on the disc
    unsigned options;  // LaunchOption flags
    std::array<int, 2> refreshesAfter;  // control ids, 0 for none

    bool Has(LaunchOption option) const noexcept { return (options & option) != 0; }
    DWORD CreationFlags() const noexcept { return Has(kNoCreationFlags) ? 0 : kNormalLaunchFlags; }
};

struct CEntryRow {
    int controlId;
    EntryKey key;
    const char* name;
    unsigned labelId;
    unsigned descriptionId;
    CEntryItem item;
    CEntryAvailability availability;
    CEntryLaunch launch;
    bool CMenuState::*enabledFlag;  // where the availability is kept; null: kept nowhere
    bool coveredByLanguageDialog;  // hidden while the language dialog is open
};

constexpr size_t kEntryCount = 15;

// The rows in refresh order.
extern const std::array<CEntryRow, kEntryCount> kEntryTable;

// The row of the entry button `controlId`, or null for any other control.
const CEntryRow* FindEntryRow(int controlId);

// The place of the entry button `controlId` in the table, or kEntryCount.
size_t EntryIndex(int controlId);

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
