#include "EntryTable.h"

#include "res/Text.h"
#include "res/resource.h"
#include "system/ProgramLauncher.h"

namespace {

constexpr char kAfterEffectsPluginKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{CB89C001-6354-46C0-AD14-ABCCB79DADA6}";
constexpr char kMaxPluginKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{778B04A4-56EA-40CD-B042-E3842F375A83}";
constexpr char kPhotoshopPluginKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{EF9EEF08-037B-499F-BDB8-0DFAF9AAF562}";
constexpr char kWallpapersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}";
constexpr char kLightWavePluginKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{A15E3203-D026-4CBB-9947-2825E1AEE4DE}";

// The SpiceMaster demo's installer is the one file name not in the string table.
constexpr char kSpiceMasterDemoFile[] = "spicemaster2tavrindemo.exe";

constexpr std::array<int, 2> kNoRefresh = {0, 0};

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

// Columns: control, key, name, label, description, rule;
//          item folder, item file id, built-in file name;
//          installed key, prerequisite, reasons (installed, prerequisite, not found);
//          action, program, language argument, creation flags, wait, timeout message, refreshes after;
//          kept enabled flag.
const std::array<CEntryRow, kEntryCount> kEntryTable = {{
    {IDC_SUITE, EntryKey::Suite, "Suite", IDS_SUITE_LABEL, IDS_SUITE_DESCRIPTION, EntryRule::Suite,
     IDS_SUITE_FOLDER, IDS_SETUP_FILE, nullptr,
     nullptr, Prerequisite::CodecsAbsent, IDS_SUITE_INSTALLED, IDS_SUITE_CODECS_INSTALLED, IDS_SUITE_NOT_FOUND,
     EntryAction::SuiteInstallation, "\\Nimbo\\setup.exe", true, kNormalLaunchFlags, true, true, kNoRefresh,
     nullptr},

    {IDC_HOTFIX, EntryKey::Hotfix, "Hotfix", IDS_HOTFIX_LABEL, IDS_HOTFIX_DESCRIPTION, EntryRule::Hotfix,
     IDS_HOTFIX_FOLDER, IDS_HOTFIX_FILE, nullptr,
     nullptr, Prerequisite::SuiteTestedAfresh, 0, IDS_HOTFIX_NEEDS_SUITE, IDS_HOTFIX_NOT_FOUND,
     EntryAction::DiscProgram, "\\Tavrin HotFix2\\Vexa_HotFix2.exe", true, kNormalLaunchFlags, true, true,
     kNoRefresh,
     nullptr},

    {IDC_PREMIERE_UPDATER, EntryKey::PremiereUpdater, "PremiereUpdater", IDS_PREMIERE_UPDATER_LABEL,
     IDS_PREMIERE_UPDATER_DESCRIPTION, EntryRule::PremiereUpdater,
     IDS_PREMIERE_UPDATER_FOLDER, IDS_SETUP_FILE, nullptr,
     nullptr, Prerequisite::PremiereRelease, IDS_PREMIERE_UPDATED, IDS_PREMIERE_UPDATER_NEEDS_PREMIERE,
     IDS_PREMIERE_UPDATER_NOT_FOUND,
     EntryAction::DiscProgram, "\\Adobe Updater 1.5.1\\setup.exe", false, kNormalLaunchFlags, true, true,
     {IDC_PREMIERE_UPDATER, 0},
     &CMenuState::premiereUpdaterEnabled},

    {IDC_AFTER_EFFECTS_PLUGIN, EntryKey::AfterEffectsPlugin, "AfterEffectsPlugin", IDS_AFTER_EFFECTS_PLUGIN_LABEL,
     IDS_AFTER_EFFECTS_PLUGIN_DESCRIPTION, EntryRule::Common,
     IDS_AFTER_EFFECTS_PLUGIN_FOLDER, IDS_SETUP_FILE, nullptr,
     kAfterEffectsPluginKey, Prerequisite::SuiteAndVexa100, IDS_AFTER_EFFECTS_PLUGIN_INSTALLED,
     IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100, IDS_AFTER_EFFECTS_PLUGIN_NOT_FOUND,
     EntryAction::DiscProgram, "\\ExtraPlug-ins\\AfterEffects\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_AFTER_EFFECTS_PLUGIN, 0},
     &CMenuState::afterEffectsPluginEnabled},

    {IDC_MAX_PLUGIN, EntryKey::MaxPlugin, "MaxPlugin", IDS_MAX_PLUGIN_LABEL, IDS_MAX_PLUGIN_DESCRIPTION,
     EntryRule::Common,
     IDS_MAX_PLUGIN_FOLDER, IDS_SETUP_FILE, nullptr,
     kMaxPluginKey, Prerequisite::SuiteAndVexa100, IDS_MAX_PLUGIN_INSTALLED, IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100,
     IDS_MAX_PLUGIN_NOT_FOUND,
     EntryAction::DiscProgram, "\\ExtraPlug-ins\\3DsMax\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_MAX_PLUGIN, 0},
     &CMenuState::maxPluginEnabled},

    {IDC_PHOTOSHOP_PLUGIN, EntryKey::PhotoshopPlugin, "PhotoshopPlugin", IDS_PHOTOSHOP_PLUGIN_LABEL,
     IDS_PHOTOSHOP_PLUGIN_DESCRIPTION, EntryRule::Common,
     IDS_PHOTOSHOP_PLUGIN_FOLDER, IDS_SETUP_FILE, nullptr,
     kPhotoshopPluginKey, Prerequisite::SuiteAndVexa100, IDS_PHOTOSHOP_PLUGIN_INSTALLED,
     IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100, IDS_PHOTOSHOP_PLUGIN_NOT_FOUND,
     EntryAction::DiscProgram, "\\ExtraPlug-ins\\Photoshop\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_PHOTOSHOP_PLUGIN, 0},
     &CMenuState::photoshopPluginEnabled},

    {IDC_SPICEMASTER_DEMO, EntryKey::SpiceMasterDemo, "SpiceMasterDemo", IDS_SPICEMASTER_DEMO_LABEL,
     IDS_SPICEMASTER_DEMO_DESCRIPTION, EntryRule::Common,
     IDS_SPICEMASTER_DEMO_FOLDER, 0, kSpiceMasterDemoFile,
     nullptr, Prerequisite::None, 0, 0, IDS_SPICEMASTER_DEMO_NOT_FOUND,
     EntryAction::DiscProgram, "\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe", false, kNormalLaunchFlags, false,
     false, kNoRefresh,
     &CMenuState::spiceMasterDemoEnabled},

    {IDC_ACROBAT_READER, EntryKey::AcrobatReader, "AcrobatReader", IDS_ACROBAT_READER_LABEL,
     IDS_ACROBAT_READER_DESCRIPTION, EntryRule::Common,
     IDS_ACROBAT_READER_FOLDER, IDS_ACROBAT_READER_FILE, nullptr,
     kAcrobatReaderAppPathsKey, Prerequisite::None, IDS_ACROBAT_READER_INSTALLED, 0, IDS_ACROBAT_READER_NOT_FOUND,
     EntryAction::DiscProgram, "\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe", false, 0, false, false,
     {IDC_ACROBAT_READER, 0},
     &CMenuState::acrobatReaderEnabled},

    {IDC_REGISTER, EntryKey::Register, "Register", IDS_REGISTER_LABEL, IDS_REGISTER_DESCRIPTION, EntryRule::Register,
     0, IDS_REGISTER_FILE, nullptr,
     nullptr, Prerequisite::SuiteInstalled, 0, IDS_REGISTER_NEEDS_SUITE, IDS_REGISTER_NOT_FOUND,
     EntryAction::RegistrationProgram, nullptr, false, kNormalLaunchFlags, false, false, kNoRefresh,
     &CMenuState::registerEnabled},

    {IDC_MANUAL, EntryKey::Manual, "Manual", IDS_MANUAL_LABEL, IDS_MANUAL_DESCRIPTION, EntryRule::Manual,
     IDS_MANUAL_FOLDER, IDS_MANUAL_VEXA10_FILE, nullptr,
     nullptr, Prerequisite::AcrobatReaderFolder, 0, IDS_MANUAL_NEEDS_READER, IDS_MANUAL_NOT_FOUND,
     EntryAction::ManualInReader, nullptr, false, kNormalLaunchFlags, true, true, kNoRefresh,
     &CMenuState::manualEnabled},

    {IDC_README, EntryKey::Readme, "Readme", IDS_README_LABEL, IDS_README_DESCRIPTION, EntryRule::Readme,
     IDS_README_FOLDER, IDS_README_FILE, nullptr,
     nullptr, Prerequisite::None, 0, 0, IDS_README_NOT_FOUND,
     EntryAction::ReadmeInBrowser, nullptr, false, kNormalLaunchFlags, false, false, kNoRefresh,
     &CMenuState::readmeEnabled},

    {IDC_WALLPAPERS, EntryKey::Wallpapers, "Wallpapers", IDS_WALLPAPERS_LABEL, IDS_WALLPAPERS_DESCRIPTION,
     EntryRule::Common,
     IDS_WALLPAPERS_FOLDER, IDS_SETUP_FILE, nullptr,
     kWallpapersKey, Prerequisite::None, IDS_WALLPAPERS_INSTALLED, 0, IDS_WALLPAPERS_NOT_FOUND,
     EntryAction::DiscProgram, "\\Bonus\\DesktopWallpapers\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_WALLPAPERS, 0},
     &CMenuState::wallpapersEnabled},

    {IDC_VFW_CODECS, EntryKey::VfwCodecs, "VfwCodecs", IDS_VFW_CODECS_LABEL, IDS_VFW_CODECS_DESCRIPTION,
     EntryRule::Common,
     IDS_VFW_CODECS_FOLDER, IDS_SETUP_FILE, nullptr,
     kCodecsUninstallKey, Prerequisite::SuiteAbsent, IDS_VFW_CODECS_INSTALLED, IDS_VFW_CODECS_SUITE_INSTALLED,
     IDS_VFW_CODECS_NOT_FOUND,
     EntryAction::DiscProgram, "\\Bonus\\VFWSoftwareCodecs\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_SUITE, IDC_VFW_CODECS},
     &CMenuState::vfwCodecsEnabled},

    {IDC_LIGHTWAVE_PLUGIN, EntryKey::LightWavePlugin, "LightWavePlugin", IDS_LIGHTWAVE_PLUGIN_LABEL,
     IDS_LIGHTWAVE_PLUGIN_DESCRIPTION, EntryRule::Common,
     IDS_LIGHTWAVE_PLUGIN_FOLDER, IDS_SETUP_FILE, nullptr,
     kLightWavePluginKey, Prerequisite::SuiteAndVexa100, IDS_LIGHTWAVE_PLUGIN_INSTALLED,
     IDS_LIGHTWAVE_PLUGIN_NEEDS_SUITE_VEXA100, IDS_LIGHTWAVE_PLUGIN_NOT_FOUND,
     EntryAction::DiscProgram, "\\ExtraPlug-ins\\LightWave\\setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_LIGHTWAVE_PLUGIN, 0},
     &CMenuState::lightWavePluginEnabled},

    // The effect add-ons have no uninstall key; one reason serves both the
    // missing suite and another model.
    {IDC_EFFECT_ADDONS, EntryKey::EffectAddOns, "EffectAddOns", IDS_EFFECT_ADDONS_LABEL,
     IDS_EFFECT_ADDONS_DESCRIPTION, EntryRule::Common,
     IDS_EFFECT_ADDONS_FOLDER, IDS_EFFECT_ADDONS_SETUP_FILE, nullptr,
     nullptr, Prerequisite::SuiteAndVexa100, 0, IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100, IDS_EFFECT_ADDONS_NOT_FOUND,
     EntryAction::DiscProgram, "\\ExtraPlug-ins\\Effects\\Setup.exe", true, kNormalLaunchFlags, true, true,
     {IDC_EFFECT_ADDONS, 0},
     &CMenuState::effectAddOnsEnabled},
}};

// A plain search: fifteen rows.
const CEntryRow* FindEntryRow(int controlId)
{
    for (const CEntryRow& row : kEntryTable) {
        if (row.controlId == controlId)
            return &row;
    }
    return nullptr;
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
        if (row.folderId == 0)
            continue;  // the registration program lies in the suite's folder, not on the disc
        const std::string name = row.fileId != 0 ? LoadFixedText(row.fileId) : row.fileName;
        switch (row.rule) {
        case EntryRule::Readme:
            files.push_back({row.key, "\\" + name});
            for (const CReadmePage& page : kReadmePages)
                files.push_back({row.key, FormatFixedText(row.folderId, root) + "\\" + LoadFixedText(page.fileId)});
            break;
        case EntryRule::Manual:
            files.push_back({row.key, FormatFixedText(row.folderId, root) + "\\" + name});
            files.push_back(
                {row.key, FormatFixedText(row.folderId, root) + "\\" + LoadFixedText(IDS_MANUAL_VEXA100_FILE)});
            break;
        case EntryRule::Suite:
            files.push_back({row.key, FormatFixedText(row.folderId, root) + "\\" + name});
            files.push_back({row.key, kCleanupProgram});
            break;
        default:
            files.push_back({row.key, FormatFixedText(row.folderId, root) + "\\" + name});
            break;
        }
    }
    return files;
}
