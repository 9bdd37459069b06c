#include "EntryTable.h"

#include "res/Text.h"
#include "res/resource.h"
#include "system/ProgramLauncher.h"

namespace {

// The SpiceMaster demo's installer is the one file name not in the string table.
constexpr char kSpiceMasterDemoFile[] = "spicemaster2tavrindemo.exe";

// Readers of the table: the parts of a row, named.
constexpr CEntryItem OnDisc(unsigned folderId, unsigned fileId)
{
    return {folderId, fileId, nullptr};
}
constexpr CEntryItem OnDiscNamed(unsigned folderId, const char* fileName)
{
    return {folderId, 0, fileName};
}
// The registration program lies in the suite's folder, not on the disc.
constexpr CEntryItem InSuiteFolder(unsigned fileId)
{
    return {0, fileId, nullptr};
}

struct CReasons {
    unsigned installed;
    unsigned prerequisite;
    unsigned notFound;
};
constexpr CEntryAvailability Decided(EntryRule rule, const char* installedKey, Prerequisite prerequisite,
                                     CReasons reasons)
{
    return {rule, installedKey, prerequisite, reasons.installed, reasons.prerequisite, reasons.notFound};
}

constexpr unsigned kInstaller = kWaitWhileHidden | kReportLongWait;
constexpr CEntryLaunch StartsFromDisc(const char* program, unsigned options, int refresh = 0, int alsoRefresh = 0)
{
    return {EntryAction::DiscProgram, program, options, {refresh, alsoRefresh}};
}
constexpr CEntryLaunch Starts(EntryAction action, unsigned options, const char* program = nullptr)
{
    return {action, program, options, {0, 0}};
}

constexpr bool kCovered = true;
constexpr bool kUncovered = false;

struct CReadmePage {
    DWORD languageCode;
    unsigned fileId;
};

// The translated readme pages; English has none of its own in the readme folder.
constexpr CReadmePage kReadmePages[] = {
    {1036, IDS_README_FR_FILE}, {7, IDS_README_DE_FILE},  {16, IDS_README_IT_FILE},
    {10, IDS_README_ES_FILE},   {17, IDS_README_JP_FILE},
};

}  // namespace

// Rows in refresh order. Each gives its control, key, name, label and
// description; then where its item lies, how its availability is decided
// (the installed key, the prerequisite and the reason of each failed test),
// what a click starts; and last the flag that keeps its availability and
// whether the language dialog covers its button.
constexpr std::array<CEntryRow, kEntryCount> kEntryTable = {{
    {IDC_SUITE, EntryKey::Suite, "Suite", IDS_SUITE_LABEL, IDS_SUITE_DESCRIPTION,
     OnDisc(IDS_SUITE_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::Suite, nullptr, Prerequisite::CodecsAbsent,
             {IDS_SUITE_INSTALLED, IDS_SUITE_CODECS_INSTALLED, IDS_SUITE_NOT_FOUND}),
     Starts(EntryAction::SuiteInstallation, kInstaller | kLanguageArgument, "\\Nimbo\\setup.exe"), nullptr, kCovered},

    {IDC_HOTFIX, EntryKey::Hotfix, "Hotfix", IDS_HOTFIX_LABEL, IDS_HOTFIX_DESCRIPTION,
     OnDisc(IDS_HOTFIX_FOLDER, IDS_HOTFIX_FILE),
     Decided(EntryRule::Hotfix, nullptr, Prerequisite::SuiteTestedAfresh,
             {0, IDS_HOTFIX_NEEDS_SUITE, IDS_HOTFIX_NOT_FOUND}),
     StartsFromDisc("\\Tavrin HotFix2\\Vexa_HotFix2.exe", kInstaller | kLanguageArgument), nullptr, kCovered},

    {IDC_PREMIERE_UPDATER, EntryKey::PremiereUpdater, "PremiereUpdater", IDS_PREMIERE_UPDATER_LABEL,
     IDS_PREMIERE_UPDATER_DESCRIPTION, OnDisc(IDS_PREMIERE_UPDATER_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::PremiereUpdater, nullptr, Prerequisite::PremiereRelease,
             {IDS_PREMIERE_UPDATED, IDS_PREMIERE_UPDATER_NEEDS_PREMIERE, IDS_PREMIERE_UPDATER_NOT_FOUND}),
     StartsFromDisc("\\Adobe Updater 1.5.1\\setup.exe", kInstaller, IDC_PREMIERE_UPDATER),
     &CMenuState::premiereUpdaterEnabled, kUncovered},

    {IDC_AFTER_EFFECTS_PLUGIN, EntryKey::AfterEffectsPlugin, "AfterEffectsPlugin", IDS_AFTER_EFFECTS_PLUGIN_LABEL,
     IDS_AFTER_EFFECTS_PLUGIN_DESCRIPTION, OnDisc(IDS_AFTER_EFFECTS_PLUGIN_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::Common, kAfterEffectsPluginKey, Prerequisite::SuiteAndVexa100,
             {IDS_AFTER_EFFECTS_PLUGIN_INSTALLED, IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100,
              IDS_AFTER_EFFECTS_PLUGIN_NOT_FOUND}),
     StartsFromDisc("\\ExtraPlug-ins\\AfterEffects\\setup.exe", kInstaller | kLanguageArgument,
                    IDC_AFTER_EFFECTS_PLUGIN),
     &CMenuState::afterEffectsPluginEnabled, kCovered},

    {IDC_MAX_PLUGIN, EntryKey::MaxPlugin, "MaxPlugin", IDS_MAX_PLUGIN_LABEL, IDS_MAX_PLUGIN_DESCRIPTION,
     OnDisc(IDS_MAX_PLUGIN_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::Common, kMaxPluginKey, Prerequisite::SuiteAndVexa100,
             {IDS_MAX_PLUGIN_INSTALLED, IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100, IDS_MAX_PLUGIN_NOT_FOUND}),
     StartsFromDisc("\\ExtraPlug-ins\\3DsMax\\setup.exe", kInstaller | kLanguageArgument, IDC_MAX_PLUGIN),
     &CMenuState::maxPluginEnabled, kCovered},

    {IDC_PHOTOSHOP_PLUGIN, EntryKey::PhotoshopPlugin, "PhotoshopPlugin", IDS_PHOTOSHOP_PLUGIN_LABEL,
     IDS_PHOTOSHOP_PLUGIN_DESCRIPTION, OnDisc(IDS_PHOTOSHOP_PLUGIN_FOLDER, IDS_SETUP_FILE),
     Decided(
         EntryRule::Common, kPhotoshopPluginKey, Prerequisite::SuiteAndVexa100,
         {IDS_PHOTOSHOP_PLUGIN_INSTALLED, IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100, IDS_PHOTOSHOP_PLUGIN_NOT_FOUND}),
     StartsFromDisc("\\ExtraPlug-ins\\Photoshop\\setup.exe", kInstaller | kLanguageArgument, IDC_PHOTOSHOP_PLUGIN),
     &CMenuState::photoshopPluginEnabled, kCovered},

    // A demo: the menu stays while it runs.
    {IDC_SPICEMASTER_DEMO, EntryKey::SpiceMasterDemo, "SpiceMasterDemo", IDS_SPICEMASTER_DEMO_LABEL,
     IDS_SPICEMASTER_DEMO_DESCRIPTION, OnDiscNamed(IDS_SPICEMASTER_DEMO_FOLDER, kSpiceMasterDemoFile),
     Decided(EntryRule::Common, nullptr, Prerequisite::None, {0, 0, IDS_SPICEMASTER_DEMO_NOT_FOUND}),
     StartsFromDisc("\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe", kLaunchOnly), &CMenuState::spiceMasterDemoEnabled,
     kCovered},

    {IDC_ACROBAT_READER, EntryKey::AcrobatReader, "AcrobatReader", IDS_ACROBAT_READER_LABEL,
     IDS_ACROBAT_READER_DESCRIPTION, OnDisc(IDS_ACROBAT_READER_FOLDER, IDS_ACROBAT_READER_FILE),
     Decided(EntryRule::Common, kAcrobatReaderAppPathsKey, Prerequisite::None,
             {IDS_ACROBAT_READER_INSTALLED, 0, IDS_ACROBAT_READER_NOT_FOUND}),
     StartsFromDisc("\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe", kNoCreationFlags, IDC_ACROBAT_READER),
     &CMenuState::acrobatReaderEnabled, kUncovered},

    {IDC_REGISTER, EntryKey::Register, "Register", IDS_REGISTER_LABEL, IDS_REGISTER_DESCRIPTION,
     InSuiteFolder(IDS_REGISTER_FILE),
     Decided(EntryRule::Register, nullptr, Prerequisite::SuiteInstalled,
             {0, IDS_REGISTER_NEEDS_SUITE, IDS_REGISTER_NOT_FOUND}),
     Starts(EntryAction::RegistrationProgram, kLaunchOnly), &CMenuState::registerEnabled, kCovered},

    {IDC_MANUAL, EntryKey::Manual, "Manual", IDS_MANUAL_LABEL, IDS_MANUAL_DESCRIPTION,
     OnDisc(IDS_MANUAL_FOLDER, IDS_MANUAL_VEXA10_FILE),
     Decided(EntryRule::Manual, nullptr, Prerequisite::AcrobatReaderFolder,
             {0, IDS_MANUAL_NEEDS_READER, IDS_MANUAL_NOT_FOUND}),
     Starts(EntryAction::ManualInReader, kInstaller), &CMenuState::manualEnabled, kUncovered},

    {IDC_README, EntryKey::Readme, "Readme", IDS_README_LABEL, IDS_README_DESCRIPTION,
     OnDisc(IDS_README_FOLDER, IDS_README_FILE),
     Decided(EntryRule::Readme, nullptr, Prerequisite::None, {0, 0, IDS_README_NOT_FOUND}),
     Starts(EntryAction::ReadmeInBrowser, kLaunchOnly), &CMenuState::readmeEnabled, kUncovered},

    {IDC_WALLPAPERS, EntryKey::Wallpapers, "Wallpapers", IDS_WALLPAPERS_LABEL, IDS_WALLPAPERS_DESCRIPTION,
     OnDisc(IDS_WALLPAPERS_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::Common, kWallpapersKey, Prerequisite::None,
             {IDS_WALLPAPERS_INSTALLED, 0, IDS_WALLPAPERS_NOT_FOUND}),
     StartsFromDisc("\\Bonus\\DesktopWallpapers\\setup.exe", kInstaller | kLanguageArgument, IDC_WALLPAPERS),
     &CMenuState::wallpapersEnabled, kCovered},

    // The codecs and the suite exclude each other: both are looked at again.
    {IDC_VFW_CODECS, EntryKey::VfwCodecs, "VfwCodecs", IDS_VFW_CODECS_LABEL, IDS_VFW_CODECS_DESCRIPTION,
     OnDisc(IDS_VFW_CODECS_FOLDER, IDS_SETUP_FILE),
     Decided(EntryRule::Common, kCodecsUninstallKey, Prerequisite::SuiteAbsent,
             {IDS_VFW_CODECS_INSTALLED, IDS_VFW_CODECS_SUITE_INSTALLED, IDS_VFW_CODECS_NOT_FOUND}),
     StartsFromDisc("\\Bonus\\VFWSoftwareCodecs\\setup.exe", kInstaller | kLanguageArgument, IDC_SUITE, IDC_VFW_CODECS),
     &CMenuState::vfwCodecsEnabled, kCovered},

    {IDC_LIGHTWAVE_PLUGIN, EntryKey::LightWavePlugin, "LightWavePlugin", IDS_LIGHTWAVE_PLUGIN_LABEL,
     IDS_LIGHTWAVE_PLUGIN_DESCRIPTION, OnDisc(IDS_LIGHTWAVE_PLUGIN_FOLDER, IDS_SETUP_FILE),
     Decided(
         EntryRule::Common, kLightWavePluginKey, Prerequisite::SuiteAndVexa100,
         {IDS_LIGHTWAVE_PLUGIN_INSTALLED, IDS_LIGHTWAVE_PLUGIN_NEEDS_SUITE_VEXA100, IDS_LIGHTWAVE_PLUGIN_NOT_FOUND}),
     StartsFromDisc("\\ExtraPlug-ins\\LightWave\\setup.exe", kInstaller | kLanguageArgument, IDC_LIGHTWAVE_PLUGIN),
     &CMenuState::lightWavePluginEnabled, kCovered},

    // The effect add-ons have no uninstall key; one reason serves both the
    // missing suite and another model.
    {IDC_EFFECT_ADDONS, EntryKey::EffectAddOns, "EffectAddOns", IDS_EFFECT_ADDONS_LABEL, IDS_EFFECT_ADDONS_DESCRIPTION,
     OnDisc(IDS_EFFECT_ADDONS_FOLDER, IDS_EFFECT_ADDONS_SETUP_FILE),
     Decided(EntryRule::Common, nullptr, Prerequisite::SuiteAndVexa100,
             {0, IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100, IDS_EFFECT_ADDONS_NOT_FOUND}),
     StartsFromDisc("\\ExtraPlug-ins\\Effects\\Setup.exe", kInstaller | kLanguageArgument, IDC_EFFECT_ADDONS),
     &CMenuState::effectAddOnsEnabled, kCovered},
}};

namespace {

// The table's own rules, checked as it is compiled.
constexpr bool ControlIdsAreUnique()
{
    for (size_t i = 0; i < kEntryTable.size(); ++i) {
        for (size_t j = i + 1; j < kEntryTable.size(); ++j) {
            if (kEntryTable[i].controlId == kEntryTable[j].controlId || kEntryTable[i].key == kEntryTable[j].key)
                return false;
        }
    }
    return true;
}

constexpr bool IsEntry(int controlId)
{
    for (const CEntryRow& row : kEntryTable) {
        if (row.controlId == controlId)
            return true;
    }
    return false;
}

constexpr bool RefreshesNameOnlyEntries()
{
    for (const CEntryRow& row : kEntryTable) {
        for (int refreshed : row.launch.refreshesAfter) {
            if (refreshed != 0 && !IsEntry(refreshed))
                return false;
        }
    }
    return true;
}

constexpr bool CommonRowsLieOnTheDisc()
{
    for (const CEntryRow& row : kEntryTable) {
        if (row.availability.rule == EntryRule::Common && (row.item.folderId == 0 || row.launch.program == nullptr))
            return false;
    }
    return true;
}

constexpr bool RowsAreInKeyOrder()
{
    for (size_t i = 0; i < kEntryTable.size(); ++i) {
        if (static_cast<size_t>(kEntryTable[i].key) != i)
            return false;
    }
    return true;
}

static_assert(ControlIdsAreUnique(), "two rows share a control or a key");
static_assert(RefreshesNameOnlyEntries(), "a row refreshes a control that is no entry");
static_assert(CommonRowsLieOnTheDisc(), "a row of the common rule has no folder or program on the disc");
static_assert(RowsAreInKeyOrder(), "the rows are not in the order of their keys");

}  // namespace

// A plain search: fifteen rows.
size_t EntryIndex(int controlId)
{
    size_t index = 0;
    while (index < kEntryTable.size() && kEntryTable[index].controlId != controlId)
        ++index;
    return index;
}

const CEntryRow* FindEntryRow(int controlId)
{
    const size_t index = EntryIndex(controlId);
    return index < kEntryTable.size() ? &kEntryTable[index] : nullptr;
}

// Codes are compared as stored, French as 1036.
unsigned ReadmeFileId(DWORD languageCode)
{
    for (const CReadmePage& page : kReadmePages) {
        if (page.languageCode == languageCode)
            return page.fileId;
    }
    return IDS_README_FILE;
}

// Folder and file as the refresh probes them, plus the files that other
// steps need: the clean-up program, the second manual, every readme page.
std::vector<CDiscFile> DiscLayoutFiles()
{
    // With an empty disc root every folder template reads as a path below the root.
    const std::string root;
    std::vector<CDiscFile> files;
    for (const CEntryRow& row : kEntryTable) {
        const CEntryItem& item = row.item;
        if (item.folderId == 0)
            continue;  // the registration program lies in the suite's folder, not on the disc
        const std::string folder = FormatFixedText(item.folderId, root);
        const std::string name = item.fileId != 0 ? LoadFixedText(item.fileId) : item.fileName;
        switch (row.availability.rule) {
        case EntryRule::Readme:
            files.push_back({row.key, "\\" + name});
            for (const CReadmePage& page : kReadmePages)
                files.push_back({row.key, folder + "\\" + LoadFixedText(page.fileId)});
            break;
        case EntryRule::Manual:
            files.push_back({row.key, folder + "\\" + name});
            files.push_back({row.key, folder + "\\" + LoadFixedText(IDS_MANUAL_VEXA100_FILE)});
            break;
        case EntryRule::Suite:
            files.push_back({row.key, folder + "\\" + name});
            files.push_back({row.key, kCleanupProgram});
            break;
        default:
            files.push_back({row.key, folder + "\\" + name});
            break;
        }
    }
    return files;
}
