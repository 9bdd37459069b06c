#include "MenuEntries.h"

#include "CommandLine.h"
#include "controls/HoverButton.h"
#include "framework/StartupClock.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/FolderProbe.h"
#include "system/ProgramLauncher.h"
#include "system/Registry.h"
#include "system/VersionProbe.h"

#include <shlwapi.h>

namespace {

// The string offset of one language index: its block of texts lies this far above the English one.
constexpr int kLanguageOffsetStep = 1000;

// The longest path and command line Windows accepts, in characters.
constexpr size_t kLongestPath = 32767;

// The message box of the platform, behind the replaceable `showMessage`.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

// The debugger output, behind the replaceable `writeDebugLine`.
void WriteDebugLine(const std::string& line)
{
    ::OutputDebugStringA(line.c_str());
}

// The file name of the row's item, from the string table or built in.
std::string ItemFileName(const CEntryRow& row)
{
    return row.fileId != 0 ? LoadFixedText(row.fileId) : std::string(row.fileName);
}

}  // namespace

CMenuEntries::CMenuEntries(CMenuState& state, CMenuHost& host) noexcept
    : cleanupTimeoutMs(kInstallerTimeoutMs),
      installerTimeoutMs(kInstallerTimeoutMs),
      showMessage(&ShowMessageBox),
      writeDebugLine(&WriteDebugLine),
      state(state),
      host(host)
{
}

// Neither a missing clean-up program nor one that outlasts the wait changes
// the answer; each only leaves a line for a debugger.
bool CMenuEntries::CleanUpAndDetectSuite()
{
    if (runCleanUp) {
        CStartupSpan span("clean-up program started and waited for");
        const std::string commandLine = QuotedPath(state.discRoot + kCleanupProgram) + " " + kCleanupSwitch;
        CKernelHandle process;
        if (!StartProgram(commandLine, kNormalLaunchFlags, std::string(), process))
            writeDebugLine(commandLine + " failed");
        else if (WaitForProgram(process.Get(), cleanupTimeoutMs) != WaitOutcome::Ended)
            writeDebugLine("NimboCleanup failed");
    }
    return RegKeyExists(kSuiteUninstallKey);
}

// The language and Exit buttons carry one description for both states.
void CMenuEntries::RefreshAllEntries(int languageIndex)
{
    state.languageOffset = languageIndex * kLanguageOffsetStep;
    for (const CEntryRow& row : kEntryTable)
        Refresh(row);

    LabelButton(IDC_LANGUAGE, IDS_LANGUAGE_LABEL);
    if (CHoverButton* language = host.EntryButton(IDC_LANGUAGE))
        language->SetDescriptions(LoadText(IDS_LANGUAGE_DESCRIPTION, state.languageOffset).c_str(), nullptr);
    if (CHoverButton* exit = host.EntryButton(IDOK)) {
        exit->SetDescriptions(LoadText(IDS_EXIT_DESCRIPTION, state.languageOffset).c_str(), nullptr);
        exit->SetTooltipText(LoadText(IDS_EXIT_TOOLTIP, state.languageOffset).c_str(), true);
    }
}

void CMenuEntries::RefreshSuiteEntry() { RefreshEntry(IDC_SUITE); }
void CMenuEntries::RefreshHotfixEntry() { RefreshEntry(IDC_HOTFIX); }
void CMenuEntries::RefreshPremiereUpdaterEntry() { RefreshEntry(IDC_PREMIERE_UPDATER); }
void CMenuEntries::RefreshAfterEffectsPluginEntry() { RefreshEntry(IDC_AFTER_EFFECTS_PLUGIN); }
void CMenuEntries::RefreshMaxPluginEntry() { RefreshEntry(IDC_MAX_PLUGIN); }
void CMenuEntries::RefreshPhotoshopPluginEntry() { RefreshEntry(IDC_PHOTOSHOP_PLUGIN); }
void CMenuEntries::RefreshSpiceMasterDemoEntry() { RefreshEntry(IDC_SPICEMASTER_DEMO); }
void CMenuEntries::RefreshAcrobatReaderEntry() { RefreshEntry(IDC_ACROBAT_READER); }
void CMenuEntries::RefreshRegisterEntry() { RefreshEntry(IDC_REGISTER); }
void CMenuEntries::RefreshManualEntry() { RefreshEntry(IDC_MANUAL); }
void CMenuEntries::RefreshReadmeEntry() { RefreshEntry(IDC_README); }
void CMenuEntries::RefreshWallpapersEntry() { RefreshEntry(IDC_WALLPAPERS); }
void CMenuEntries::RefreshVfwCodecsEntry() { RefreshEntry(IDC_VFW_CODECS); }
void CMenuEntries::RefreshLightWavePluginEntry() { RefreshEntry(IDC_LIGHTWAVE_PLUGIN); }
void CMenuEntries::RefreshEffectAddOnsEntry() { RefreshEntry(IDC_EFFECT_ADDONS); }

// Controls that are no entry are never offered.
CEntryOutcome CMenuEntries::Evaluate(int controlId)
{
    const CEntryRow* row = FindEntryRow(controlId);
    return row != nullptr ? EvaluateRow(*row) : CEntryOutcome();
}

void CMenuEntries::RefreshEntry(int controlId)
{
    if (const CEntryRow* row = FindEntryRow(controlId))
        Refresh(*row);
}

// Suite and hotfix keep no flag: their rows have none.
void CMenuEntries::Refresh(const CEntryRow& row)
{
    const CEntryOutcome outcome = EvaluateRow(row);
    if (row.enabledFlag != nullptr)
        state.*row.enabledFlag = outcome.enabled;
    ShowOutcome(row, outcome);
}

// The row's rule picks the routine; most rows share the common one.
CEntryOutcome CMenuEntries::EvaluateRow(const CEntryRow& row)
{
    switch (row.rule) {
    case EntryRule::Suite:
        return EvaluateSuite(row);
    case EntryRule::Hotfix:
        return EvaluateHotfix(row);
    case EntryRule::PremiereUpdater:
        return EvaluatePremiereUpdater(row);
    case EntryRule::Register:
        return EvaluateRegister(row);
    case EntryRule::Manual:
        return EvaluateManual(row);
    case EntryRule::Readme:
        return EvaluateReadme(row);
    case EntryRule::Common:
        break;
    }
    return EvaluateCommon(row);
}

// The installed test, the prerequisite and the item on the disc, in this
// order; the first that fails gives the reason.
CEntryOutcome CMenuEntries::EvaluateCommon(const CEntryRow& row)
{
    if (row.installedKey != nullptr && RegKeyExists(row.installedKey))
        return Unavailable(row.installedReasonId);
    if (!PrerequisiteHolds(row))
        return Unavailable(row.prerequisiteReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.notFoundReasonId);
    return {true, std::string()};
}

// The codecs exclude the suite even where the suite is installed too.
CEntryOutcome CMenuEntries::EvaluateSuite(const CEntryRow& row)
{
    if (!PrerequisiteHolds(row))
        return Unavailable(row.prerequisiteReasonId);
    if (state.suiteInstalled)
        return Unavailable(row.installedReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.notFoundReasonId);
    return {true, std::string()};
}

// Tests the suite afresh (the clean-up runs each time) but leaves
// `suiteInstalled` as the start-up found it.
CEntryOutcome CMenuEntries::EvaluateHotfix(const CEntryRow& row)
{
    if (!PrerequisiteHolds(row))
        return Unavailable(row.prerequisiteReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.notFoundReasonId);
    return {true, std::string()};
}

// Offered only over Premiere Pro 1.5 exactly; without Premiere registered,
// or with a version it does not know, it stays disabled without a reason.
CEntryOutcome CMenuEntries::EvaluatePremiereUpdater(const CEntryRow& row)
{
    std::string folder;
    if (!FindPremiereFolder(folder))
        return {};
    const std::string program = folder + kPremiereProgram;
    if (program.size() >= MAX_PATH || !::PathFileExistsA(program.c_str()))
        return Unavailable(row.prerequisiteReasonId);

    std::string version;
    ReadFileVersionItem(program, version, kPremiereVersionItem);
    if (version == kPremiereReleaseVersion)
        return ItemOnDisc(row) ? CEntryOutcome{true, std::string()} : Unavailable(row.notFoundReasonId);
    if (version == kPremiereUpdatedVersion)
        return Unavailable(row.installedReasonId);
    return {};
}

// Keeps the suite's folder from the registry whenever it is stored, even
// while the suite counts as not installed.
CEntryOutcome CMenuEntries::EvaluateRegister(const CEntryRow& row)
{
    std::string storedFolder;
    ReadRegString(kSuiteFolderKey, kSuiteFolderValue, storedFolder);
    if (!storedFolder.empty())
        state.suiteFolder = storedFolder;

    if (!PrerequisiteHolds(row))
        return Unavailable(row.prerequisiteReasonId);
    if (!FolderContains(ItemFileName(row), RegistrationFolder()))
        return Unavailable(row.notFoundReasonId);
    return {true, std::string()};
}

// Either model's manual makes the entry available; the click picks the model's own.
CEntryOutcome CMenuEntries::EvaluateManual(const CEntryRow& row)
{
    if (!PrerequisiteHolds(row))
        return Unavailable(row.prerequisiteReasonId);
    const std::string folder = FormatFixedText(row.folderId, state.discRoot);
    if (FolderContains(ItemFileName(row), folder) || FolderContains(LoadFixedText(IDS_MANUAL_VEXA100_FILE), folder))
        return {true, std::string()};
    return Unavailable(row.notFoundReasonId);
}

// The language's own page in the readme folder, else the English page in
// the disc root; `readmePath` keeps the last page found.
CEntryOutcome CMenuEntries::EvaluateReadme(const CEntryRow& row)
{
    const unsigned pageId = ReadmeFileId(state.languageCode);
    const std::string folder = pageId == row.fileId ? state.discRoot : FormatFixedText(row.folderId, state.discRoot);
    const std::string page = LoadFixedText(pageId);
    if (FolderContains(page, folder)) {
        state.readmePath = folder + "\\" + page;
        return {true, std::string()};
    }
    const std::string englishPage = ItemFileName(row);
    if (FolderContains(englishPage, state.discRoot)) {
        state.readmePath = state.discRoot + "\\" + englishPage;
        return {true, std::string()};
    }
    return Unavailable(row.notFoundReasonId);
}

// Runs the clean-up for the hotfix and keeps Acrobat Reader's folder for
// the manual as it goes: both are part of the test.
bool CMenuEntries::PrerequisiteHolds(const CEntryRow& row)
{
    switch (row.prerequisite) {
    case Prerequisite::None:
        return true;
    case Prerequisite::SuiteAndVexa100:
        return state.suiteInstalled && state.model == kModelVexa100;
    case Prerequisite::SuiteAbsent:
        return !state.suiteInstalled;
    case Prerequisite::CodecsAbsent:
        return !RegKeyExists(kCodecsUninstallKey);
    case Prerequisite::SuiteTestedAfresh:
        return CleanUpAndDetectSuite();
    case Prerequisite::SuiteInstalled:
        return state.suiteInstalled;
    case Prerequisite::AcrobatReaderFolder:
        return ReadRegString(kAcrobatReaderAppPathsKey, kAcrobatReaderFolderValue, state.acrobatFolder);
    case Prerequisite::PremiereRelease:
        // Told apart by the updater's own routine, which must also tell a
        // Premiere that is not registered (no reason at all).
        return true;
    }
    return false;
}

// The row's file in the row's folder below the disc root.
bool CMenuEntries::ItemOnDisc(const CEntryRow& row) const
{
    return FolderContains(ItemFileName(row), FormatFixedText(row.folderId, state.discRoot));
}

// A disabled entry with its reason in the current language.
CEntryOutcome CMenuEntries::Unavailable(unsigned reasonId) const
{
    return {false, LoadText(reasonId, state.languageOffset)};
}

// The stored folder is data: a "%s" in it stands for the disc root and
// "%%" for a percent sign, and nothing else in it is ever read as a format.
// A folder that would expand past the longest path or command line Windows
// takes names nothing: it is not expanded (many "%s" over a long disc root
// would otherwise ask for gigabytes).
std::string CMenuEntries::RegistrationFolder() const
{
    size_t placeholders = 0;
    for (size_t at = state.suiteFolder.find("%s"); at != std::string::npos; at = state.suiteFolder.find("%s", at + 2))
        ++placeholders;
    if (placeholders > 0 && (state.suiteFolder.size() > kLongestPath ||
                             state.discRoot.size() > (kLongestPath - state.suiteFolder.size()) / placeholders))
        return std::string();
    return ExpandFormat(state.suiteFolder, state.discRoot);
}

// A headless check has no button, and a window-less button is labelled all the same.
void CMenuEntries::ShowOutcome(const CEntryRow& row, const CEntryOutcome& outcome)
{
    CHoverButton* button = host.EntryButton(row.controlId);
    if (button == nullptr)
        return;
    if (button->GetHandle() != nullptr)
        ::EnableWindow(button->GetHandle(), outcome.enabled ? TRUE : FALSE);
    LabelButton(row.controlId, row.labelId);
    button->SetDescriptions(LoadText(row.descriptionId, state.languageOffset).c_str(), outcome.reason.c_str());
}

// The same caption in every state, greyed-blue while disabled.
void CMenuEntries::LabelButton(int controlId, unsigned labelId)
{
    CHoverButton* button = host.EntryButton(controlId);
    if (button == nullptr)
        return;
    const std::string label = LoadText(labelId, state.languageOffset);
    button->SetCaptions(label.c_str(), kCaptionColor, label.c_str(), kCaptionColor, label.c_str(), kCaptionColor,
                        label.c_str(), kDisabledCaptionColor);
}

// The entries named in the row are refreshed whether or not the program started.
void CMenuEntries::RunEntryAction(int controlId)
{
    const CEntryRow* row = FindEntryRow(controlId);
    if (row == nullptr)
        return;
    switch (row->action) {
    case EntryAction::SuiteInstallation:
        InstallSuite();
        return;
    case EntryAction::DiscProgram:
        LaunchItem(DiscProgramCommandLine(*row), row->creationFlags, row->wait, row->timeoutMessage);
        break;
    case EntryAction::RegistrationProgram:
        LaunchItem(QuotedPath(RegistrationFolder() + "\\" + ItemFileName(*row)), row->creationFlags, row->wait,
                   row->timeoutMessage);
        break;
    case EntryAction::ManualInReader:
        OpenManual(*row);
        break;
    case EntryAction::ReadmeInBrowser:
        LaunchItem(std::string(kFileBrowser) + " " + QuotedPath(state.readmePath), row->creationFlags, row->wait,
                   row->timeoutMessage);
        break;
    }
    for (int refreshed : row->refreshesAfter) {
        if (refreshed != 0)
            RefreshEntry(refreshed);
    }
}

// The program's path quoted as one token, so that blanks in the disc root
// cannot split it, and the language switch after it.
std::string CMenuEntries::DiscProgramCommandLine(const CEntryRow& row) const
{
    std::string commandLine = QuotedPath(state.discRoot + row.program);
    if (row.languageArgument)
        commandLine += " " + LanguageArgument(state.languageCode);
    return commandLine;
}

// Asks for the model while none is known; the answer stays for the later
// refreshes, and the Exit of the model dialog opens nothing.
void CMenuEntries::OpenManual(const CEntryRow& row)
{
    if (state.model != kModelVexa10 && state.model != kModelVexa100)
        state.model = host.AskModel();

    unsigned manualId = 0;
    if (state.model == kModelVexa10)
        manualId = row.fileId;
    else if (state.model == kModelVexa100)
        manualId = IDS_MANUAL_VEXA100_FILE;
    else
        return;

    const std::string manual = FormatFixedText(row.folderId, state.discRoot) + "\\" + LoadFixedText(manualId);
    LaunchItem(QuotedPath(state.acrobatFolder + kAcrobatReaderProgram) + " " + QuotedPath(manual),
               row.creationFlags, row.wait, row.timeoutMessage);
}

// The hand-over value is written before the question, so a failed start leaves it too.
void CMenuEntries::InstallSuite()
{
    const CEntryRow& row = *FindEntryRow(IDC_SUITE);
    WriteRegString(kSplashPathKey, kSplashPathValue, state.discRoot + kSplashPathFile);

    const int answer = showMessage(host.MenuWindow(), LoadText(IDS_SUITE_QUESTION, state.languageOffset),
                                   LoadFixedText(IDS_SUITE_QUESTION_CAPTION), MB_YESNO | MB_ICONQUESTION);
    std::string commandLine = QuotedPath(state.discRoot + row.program);
    if (answer == IDYES)
        commandLine += std::string(" ") + kTypicalInstallationSwitch;
    commandLine += " " + LanguageArgument(state.languageCode);

    // The installer may restart the machine, so nothing bounds the wait.
    StartAndWait(commandLine, row.creationFlags, FormatFixedText(row.folderId, state.discRoot), row.wait, INFINITE,
                 row.timeoutMessage);
}

// The menu's own working folder and the installers' time limit.
void CMenuEntries::LaunchItem(const std::string& commandLine, DWORD creationFlags, bool wait, bool timeoutMessage)
{
    StartAndWait(commandLine, creationFlags, std::string(), wait, installerTimeoutMs, timeoutMessage);
}

// The menu is hidden while it waits and shown again whatever ends the wait;
// a program still running then is left alone.
void CMenuEntries::StartAndWait(const std::string& commandLine, DWORD creationFlags,
                                const std::string& workingFolder, bool wait, DWORD timeoutMs, bool timeoutMessage)
{
    CKernelHandle process;
    if (!StartProgram(commandLine, creationFlags, workingFolder, process)) {
        ShowError(FormatText(IDS_CANNOT_FIND_FILE, state.languageOffset, commandLine));
        return;
    }
    if (!wait)
        return;

    const HWND menu = host.MenuWindow();
    if (menu != nullptr)
        ::ShowWindow(menu, SW_HIDE);
    if (WaitForProgram(process.Get(), timeoutMs) != WaitOutcome::Ended && timeoutMessage)
        ShowError(LoadText(IDS_INSTALLER_CANNOT_START, state.languageOffset));
    if (menu != nullptr)
        ::ShowWindow(menu, SW_SHOW);
}

// Every error of the menu has the program's name as caption and the stop sign.
void CMenuEntries::ShowError(const std::string& text)
{
    showMessage(host.MenuWindow(), text, LoadFixedText(IDS_ERROR_CAPTION), MB_OK | MB_ICONHAND);
}
