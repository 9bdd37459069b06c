#include "MenuEntries.h"

#include "Languages.h"

#include "framework/StartupClock.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/CommandLine.h"
#include "system/FolderProbe.h"
#include "system/Paths.h"
#include "system/ProgramLauncher.h"
#include "system/Registry.h"
#include "system/VersionProbe.h"

namespace {

// The longest path and command line Windows accepts, in characters.
constexpr size_t kLongestPath = 32767;

// The message box of the platform, behind the replaceable `showMessage`.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

// The debugger output, behind the replaceable `writeDebugLine`.
void WriteDebugLine(const std::string& line)
{
    ::OutputDebugStringA(line.c_str());
}

// The file name of the row's item, from the string table or built in.
std::string ItemFileName(const CEntryRow& row)
{
    return row.item.fileId != 0 ? LoadFixedText(row.item.fileId) : std::string(row.item.fileName);
}

// An entry on offer.
CEntryOutcome Available()
{
    CEntryOutcome outcome;
    outcome.enabled = true;
    return outcome;
}

}  // namespace

CMenuEntries::CMenuEntries(CMenuState& state, CMenuHost& host) noexcept :
    cleanupTimeoutMs(kInstallerTimeoutMs), installerTimeoutMs(kInstallerTimeoutMs),
    fileBrowser(WindowsFolder() + kFileBrowser), showMessage(&ShowMessageBox), writeDebugLine(&WriteDebugLine),
    probe(&SystemProbe()), state(state), host(host)
{
}

// Neither a missing clean-up program nor one that outlasts the wait changes
// the answer; each only leaves a line for a debugger.
bool CMenuEntries::CleanUpAndDetectSuite()
{
    if (runCleanUp) {
        CStartupSpan span("clean-up program started and waited for");
        const std::string program = state.discRoot + kCleanupProgram;
        const std::string commandLine = QuotedPath(program) + " " + kCleanupSwitch;
        switch (probe->RunCleanUp(program, commandLine, cleanupTimeoutMs)) {
        case CleanUpRun::Ended:
            break;
        case CleanUpRun::CouldNotStart:
            writeDebugLine(commandLine + " failed");
            break;
        case CleanUpRun::DidNotEnd:
            writeDebugLine("NimboCleanup failed");
            break;
        }
    }
    return probe->KeyExists(kSuiteUninstallKey);
}

// The language and Exit buttons carry one description for both states;
// the Exit button's picture is its caption.
void CMenuEntries::RefreshAllEntries(int languageIndex)
{
    state.languageOffset = languageIndex * kLanguageOffsetStep;
    for (const CEntryRow& row : kEntryTable)
        Refresh(row);

    CEntryView language;
    language.label = Text(IDS_LANGUAGE_LABEL);
    language.description = language.reason = Text(IDS_LANGUAGE_DESCRIPTION);
    host.ShowEntry(IDC_LANGUAGE, language);

    CEntryView exit;
    exit.description = exit.reason = Text(IDS_EXIT_DESCRIPTION);
    host.ShowEntry(IDOK, exit);
    host.ShowTooltip(IDOK, Text(IDS_EXIT_TOOLTIP));
}

void CMenuEntries::RefreshSuiteEntry()
{
    RefreshEntry(IDC_SUITE);
}
void CMenuEntries::RefreshHotfixEntry()
{
    RefreshEntry(IDC_HOTFIX);
}
void CMenuEntries::RefreshPremiereUpdaterEntry()
{
    RefreshEntry(IDC_PREMIERE_UPDATER);
}
void CMenuEntries::RefreshAfterEffectsPluginEntry()
{
    RefreshEntry(IDC_AFTER_EFFECTS_PLUGIN);
}
void CMenuEntries::RefreshMaxPluginEntry()
{
    RefreshEntry(IDC_MAX_PLUGIN);
}
void CMenuEntries::RefreshPhotoshopPluginEntry()
{
    RefreshEntry(IDC_PHOTOSHOP_PLUGIN);
}
void CMenuEntries::RefreshSpiceMasterDemoEntry()
{
    RefreshEntry(IDC_SPICEMASTER_DEMO);
}
void CMenuEntries::RefreshAcrobatReaderEntry()
{
    RefreshEntry(IDC_ACROBAT_READER);
}
void CMenuEntries::RefreshRegisterEntry()
{
    RefreshEntry(IDC_REGISTER);
}
void CMenuEntries::RefreshManualEntry()
{
    RefreshEntry(IDC_MANUAL);
}
void CMenuEntries::RefreshReadmeEntry()
{
    RefreshEntry(IDC_README);
}
void CMenuEntries::RefreshWallpapersEntry()
{
    RefreshEntry(IDC_WALLPAPERS);
}
void CMenuEntries::RefreshVfwCodecsEntry()
{
    RefreshEntry(IDC_VFW_CODECS);
}
void CMenuEntries::RefreshLightWavePluginEntry()
{
    RefreshEntry(IDC_LIGHTWAVE_PLUGIN);
}
void CMenuEntries::RefreshEffectAddOnsEntry()
{
    RefreshEntry(IDC_EFFECT_ADDONS);
}

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

// Suite and hotfix keep no flag: their rows have none. The paths the
// evaluation found are kept for the click.
void CMenuEntries::Refresh(const CEntryRow& row)
{
    const CEntryOutcome outcome = EvaluateRow(row);
    if (row.enabledFlag != nullptr)
        state.*row.enabledFlag = outcome.enabled;
    if (outcome.found.suiteFolder)
        state.suiteFolder = *outcome.found.suiteFolder;
    if (outcome.found.acrobatFolder)
        state.acrobatFolder = *outcome.found.acrobatFolder;
    if (outcome.found.readmePath)
        state.readmePath = *outcome.found.readmePath;
    ShowOutcome(row, outcome);
}

// The row's rule picks the routine; most rows share the common one.
CEntryOutcome CMenuEntries::EvaluateRow(const CEntryRow& row)
{
    switch (row.availability.rule) {
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
CEntryOutcome CMenuEntries::EvaluateCommon(const CEntryRow& row) const
{
    if (row.availability.installedKey != nullptr && probe->KeyExists(row.availability.installedKey))
        return Unavailable(row.availability.installedReasonId);
    if (!PrerequisiteHolds(row))
        return Unavailable(row.availability.prerequisiteReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.availability.notFoundReasonId);
    return Available();
}

// The codecs exclude the suite even where the suite is installed too.
CEntryOutcome CMenuEntries::EvaluateSuite(const CEntryRow& row) const
{
    if (!PrerequisiteHolds(row))
        return Unavailable(row.availability.prerequisiteReasonId);
    if (state.suiteInstalled)
        return Unavailable(row.availability.installedReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.availability.notFoundReasonId);
    return Available();
}

// Tests the suite afresh (the clean-up program runs each time) but leaves
// `suiteInstalled` as the start-up found it.
CEntryOutcome CMenuEntries::EvaluateHotfix(const CEntryRow& row)
{
    if (!CleanUpAndDetectSuite())
        return Unavailable(row.availability.prerequisiteReasonId);
    if (!ItemOnDisc(row))
        return Unavailable(row.availability.notFoundReasonId);
    return Available();
}

// Offered only over Premiere Pro 1.5 exactly; without Premiere registered,
// or with a version it does not know, it stays disabled without a reason.
// A registered folder that is relative, quoted or too long names no program.
CEntryOutcome CMenuEntries::EvaluatePremiereUpdater(const CEntryRow& row) const
{
    std::string folder;
    if (!probe->PremiereFolder(folder))
        return {};
    const std::string program = folder + kPremiereProgram;
    if (!probe->ProgramExists(program))
        return Unavailable(row.availability.prerequisiteReasonId);

    const std::string version = probe->FileVersion(program, kPremiereVersionItem);
    if (version == kPremiereReleaseVersion)
        return ItemOnDisc(row) ? Available() : Unavailable(row.availability.notFoundReasonId);
    if (version == kPremiereUpdatedVersion)
        return Unavailable(row.availability.installedReasonId);
    return {};
}

// Finds the suite's folder in the registry whenever it is stored, even
// while the suite counts as not installed; without it, the one found before.
// A folder that is relative, quoted or too long names no program: the menu
// would otherwise start whatever the current folder or a re-split command
// line offers.
CEntryOutcome CMenuEntries::EvaluateRegister(const CEntryRow& row) const
{
    std::string storedFolder;
    probe->ReadValue(kSuiteFolderKey, kSuiteFolderValue, storedFolder);
    CEntryFindings found;
    if (!storedFolder.empty())
        found.suiteFolder = storedFolder;
    const std::string& suiteFolder = found.suiteFolder ? *found.suiteFolder : state.suiteFolder;

    CEntryOutcome outcome = Unavailable(row.availability.notFoundReasonId);
    if (!PrerequisiteHolds(row))
        outcome = Unavailable(row.availability.prerequisiteReasonId);
    else if (IsPlainAbsolutePath(RegistrationProgram(row, suiteFolder))
             && probe->FolderHolds(ItemFileName(row), RegistrationFolder(suiteFolder)))
        outcome = Available();
    outcome.found = found;
    return outcome;
}

// Either model's manual makes the entry available; the click picks the model's own.
// Acrobat Reader's folder, which the click needs, is kept whenever it can be read.
CEntryOutcome CMenuEntries::EvaluateManual(const CEntryRow& row) const
{
    std::string readerFolder;
    if (!probe->ReadValue(kAcrobatReaderAppPathsKey, kAcrobatReaderFolderValue, readerFolder))
        return Unavailable(row.availability.prerequisiteReasonId);
    const std::string folder = FormatFixedText(row.item.folderId, state.discRoot);
    CEntryOutcome outcome = Unavailable(row.availability.notFoundReasonId);
    if (probe->FolderHolds(ItemFileName(row), folder)
        || probe->FolderHolds(LoadFixedText(IDS_MANUAL_VEXA100_FILE), folder))
        outcome = Available();
    outcome.found.acrobatFolder = readerFolder;
    return outcome;
}

// The language's own page in the readme folder, else the English page in
// the disc root; `readmePath` keeps the last page found.
CEntryOutcome CMenuEntries::EvaluateReadme(const CEntryRow& row) const
{
    const unsigned pageId = ReadmeFileId(state.languageCode);
    const std::string folder
        = pageId == row.item.fileId ? state.discRoot : FormatFixedText(row.item.folderId, state.discRoot);
    const std::string page = LoadFixedText(pageId);
    CEntryOutcome outcome = Available();
    if (probe->FolderHolds(page, folder)) {
        outcome.found.readmePath = folder + "\\" + page;
        return outcome;
    }
    const std::string englishPage = ItemFileName(row);
    if (probe->FolderHolds(englishPage, state.discRoot)) {
        outcome.found.readmePath = state.discRoot + "\\" + englishPage;
        return outcome;
    }
    return Unavailable(row.availability.notFoundReasonId);
}

// The prerequisites that are facts of the state or one registry key. The
// hotfix, the updater and the manual test theirs in their own routines,
// where the test also runs the clean-up, tells versions apart or finds a
// folder, and never ask here.
bool CMenuEntries::PrerequisiteHolds(const CEntryRow& row) const
{
    switch (row.availability.prerequisite) {
    case Prerequisite::None:
        return true;
    case Prerequisite::SuiteAndVexa100:
        return state.suiteInstalled && state.model == kModelVexa100;
    case Prerequisite::SuiteAbsent:
        return !state.suiteInstalled;
    case Prerequisite::CodecsAbsent:
        return !probe->KeyExists(kCodecsUninstallKey);
    case Prerequisite::SuiteInstalled:
        return state.suiteInstalled;
    case Prerequisite::SuiteTestedAfresh:
    case Prerequisite::AcrobatReaderFolder:
    case Prerequisite::PremiereRelease:
        break;
    }
    return false;
}

// The row's file in the row's folder below the disc root.
bool CMenuEntries::ItemOnDisc(const CEntryRow& row) const
{
    return probe->FolderHolds(ItemFileName(row), FormatFixedText(row.item.folderId, state.discRoot));
}

// A disabled entry with its reason in the current language.
CEntryOutcome CMenuEntries::Unavailable(unsigned reasonId) const
{
    CEntryOutcome outcome;
    outcome.reason = Text(reasonId);
    return outcome;
}

// The stored folder is data: a "%s" in it stands for the disc root and
// "%%" for a percent sign, and nothing else in it is ever read as a format.
// A folder that would expand past the longest path or command line Windows
// takes names nothing: it is not expanded (many "%s" over a long disc root
// would otherwise ask for gigabytes).
std::string CMenuEntries::RegistrationFolder(const std::string& suiteFolder) const
{
    size_t placeholders = 0;
    for (size_t at = suiteFolder.find("%s"); at != std::string::npos; at = suiteFolder.find("%s", at + 2))
        ++placeholders;
    if (placeholders > 0
        && (suiteFolder.size() > kLongestPath
            || state.discRoot.size() > (kLongestPath - suiteFolder.size()) / placeholders))
        return std::string();
    return ExpandFormat(suiteFolder, state.discRoot);
}

// The registration program in the suite's folder.
std::string CMenuEntries::RegistrationProgram(const CEntryRow& row, const std::string& suiteFolder) const
{
    return RegistrationFolder(suiteFolder) + "\\" + ItemFileName(row);
}

// The same caption in every state; the description, or the reason while disabled.
void CMenuEntries::ShowOutcome(const CEntryRow& row, const CEntryOutcome& outcome)
{
    CEntryView view;
    view.label = Text(row.labelId);
    view.description = Text(row.descriptionId);
    view.reason = outcome.reason;
    view.enabled = outcome.enabled;
    host.ShowEntry(row.controlId, view);
}

// A text of the menu's language.
std::wstring CMenuEntries::Text(unsigned id) const
{
    return LoadText(id, state.languageOffset);
}

// The entries named in the row are refreshed whether or not the program started.
void CMenuEntries::RunEntryAction(int controlId)
{
    const CEntryRow* row = FindEntryRow(controlId);
    if (row == nullptr)
        return;
    switch (row->launch.action) {
    case EntryAction::SuiteInstallation:
        InstallSuite();
        return;
    case EntryAction::DiscProgram:
        LaunchItem(state.discRoot + row->launch.program, DiscProgramCommandLine(*row), row->launch.CreationFlags(),
                   row->launch.Has(kWaitWhileHidden), row->launch.Has(kReportLongWait));
        break;
    case EntryAction::RegistrationProgram: {
        const std::string program = RegistrationProgram(*row, state.suiteFolder);
        LaunchItem(program, QuotedPath(program), row->launch.CreationFlags(), row->launch.Has(kWaitWhileHidden),
                   row->launch.Has(kReportLongWait));
        break;
    }
    case EntryAction::ManualInReader:
        OpenManual(*row);
        break;
    case EntryAction::ReadmeInBrowser:
        OpenReadme(*row);
        break;
    }
    for (int refreshed : row->launch.refreshesAfter) {
        if (refreshed != 0)
            RefreshEntry(refreshed);
    }
}

// The program's path quoted as one token, so that blanks in the disc root
// cannot split it, and the language switch after it.
std::string CMenuEntries::DiscProgramCommandLine(const CEntryRow& row) const
{
    std::string commandLine = QuotedPath(state.discRoot + row.launch.program);
    if (row.launch.Has(kLanguageArgument))
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
        manualId = row.item.fileId;
    else if (state.model == kModelVexa100)
        manualId = IDS_MANUAL_VEXA100_FILE;
    else
        return;

    // The command line names the reader as its base name; the file started
    // is that name with ".exe", which Windows does not add to a program
    // given by full path.
    const std::string manual = FormatFixedText(row.item.folderId, state.discRoot) + "\\" + LoadFixedText(manualId);
    const std::string reader = state.acrobatFolder + kAcrobatReaderProgram;
    OpenDocument(reader + kProgramExtension, QuotedPath(reader) + " " + QuotedPath(manual), manual, row);
}

// The file browser of the Windows folder, not whichever "explorer" a search
// finds first, with the page as its one quoted argument.
void CMenuEntries::OpenReadme(const CEntryRow& row)
{
    OpenDocument(fileBrowser, Quoted(fileBrowser) + " " + Quoted(state.readmePath), state.readmePath, row);
}

// A document path that a quotation mark or a control character would split
// into other arguments, or that is not absolute, is not handed over: the
// click then fails like a program that cannot be found.
void CMenuEntries::OpenDocument(const std::string& program, const std::string& commandLine, const std::string& document,
                                const CEntryRow& row)
{
    if (!IsPlainAbsolutePath(document)) {
        ShowError(FormatText(IDS_CANNOT_FIND_FILE, state.languageOffset, commandLine));
        return;
    }
    LaunchItem(program, commandLine, row.launch.CreationFlags(), row.launch.Has(kWaitWhileHidden),
               row.launch.Has(kReportLongWait));
}

// The hand-over value is written before the question, so a failed start leaves it too.
void CMenuEntries::InstallSuite()
{
    const CEntryRow& row = *FindEntryRow(IDC_SUITE);
    WriteRegString(kSplashPathKey, kSplashPathValue, state.discRoot + kSplashPathFile);

    const int answer = showMessage(host.MenuWindow(), Text(IDS_SUITE_QUESTION),
                                   LoadFixedCaption(IDS_SUITE_QUESTION_CAPTION), MB_YESNO | MB_ICONQUESTION);
    const std::string program = state.discRoot + row.launch.program;
    std::string commandLine = QuotedPath(program);
    if (answer == IDYES)
        commandLine += std::string(" ") + kTypicalInstallationSwitch;
    commandLine += " " + LanguageArgument(state.languageCode);

    // The installer may restart the machine, so nothing bounds the wait.
    StartAndWait(program, commandLine, row.launch.CreationFlags(), FormatFixedText(row.item.folderId, state.discRoot),
                 row.launch.Has(kWaitWhileHidden), INFINITE, row.launch.Has(kReportLongWait));
}

// The menu's own working folder and the installers' time limit.
void CMenuEntries::LaunchItem(const std::string& program, const std::string& commandLine, DWORD creationFlags,
                              bool wait, bool timeoutMessage)
{
    StartAndWait(program, commandLine, creationFlags, std::string(), wait, installerTimeoutMs, timeoutMessage);
}

// The menu is hidden while it waits and shown again whatever ends the wait;
// a program still running then is left alone.
void CMenuEntries::StartAndWait(const std::string& program, const std::string& commandLine, DWORD creationFlags,
                                const std::string& workingFolder, bool wait, DWORD timeoutMs, bool timeoutMessage)
{
    COwnedKernelHandle process;
    if (!StartProgram(program, commandLine, creationFlags, workingFolder, process)) {
        ShowError(FormatText(IDS_CANNOT_FIND_FILE, state.languageOffset, commandLine));
        return;
    }
    if (!wait)
        return;

    const HWND menu = host.MenuWindow();
    if (menu != nullptr)
        ::ShowWindow(menu, SW_HIDE);
    if (WaitForProgram(process.Get(), timeoutMs) != WaitOutcome::Ended && timeoutMessage)
        ShowError(Text(IDS_INSTALLER_CANNOT_START));
    if (menu != nullptr)
        ::ShowWindow(menu, SW_SHOW);
}

// Every error of the menu has the program's name as caption and the stop sign.
void CMenuEntries::ShowError(const std::wstring& text)
{
    showMessage(host.MenuWindow(), text, LoadFixedCaption(IDS_ERROR_CAPTION), MB_OK | MB_ICONHAND);
}
