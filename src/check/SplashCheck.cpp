// SplashCheck: tells the people who master the disc what the menu would offer
// on this machine, entry by entry, and which files of the disc layout the
// disc lacks. It judges by the menu's own entry table and rules, but writes
// nothing to the registry and starts no program. It runs without
// administrator rights (its own manifest asks for none) and reads the
// registry with read access only; where it may not read a key it says so.
//
//   SplashCheck [disc-root] [--language en|fr|de|it|es|ja]
//
// Exit code: 0 the disc is complete, 1 files are missing, 2 a usage error.
#include "entries/EntryTable.h"
#include "entries/Languages.h"
#include "entries/MenuEntries.h"
#include "entries/MenuHost.h"
#include "entries/MenuState.h"
#include "entries/StartUp.h"
#include "res/Text.h"
#include "system/FolderProbe.h"
#include "system/Paths.h"
#include "system/Registry.h"
#include "system/SystemLibrary.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitComplete = 0;
constexpr int kExitMissing = 1;
constexpr int kExitUsage = 2;

// The option's short language names, in the order of the language table.
constexpr const char* kLanguageNames[kLanguageCount] = {"en", "fr", "de", "it", "es", "ja"};

constexpr char kUsage[] = "usage: SplashCheck [disc-root] [--language en|fr|de|it|es|ja]\n";

struct CCheckOptions {
    std::string discRoot;  // empty: the folder of this program
    int languageIndex = -1;  // -1: the machine's language
};

// The root as the menu keeps it, without its trailing backslash; a quote
// there is what the command line's parsing leaves of "D:\", since no path
// holds one.
std::string WithoutTrailingSeparator(std::string root)
{
    if (!root.empty() && root.back() == '"')
        root.pop_back();
    if (!root.empty() && (root.back() == '\\' || root.back() == '/'))
        root.pop_back();
    return root;
}

// The index of a short language name, or -1 for an unknown one.
int LanguageIndexOfName(const std::string& name)
{
    for (int index = 0; index < kLanguageCount; ++index) {
        if (name == kLanguageNames[index])
            return index;
    }
    return -1;
}

// False on anything but one disc root and one known language option.
bool ParseArguments(int argc, char** argv, CCheckOptions& options)
{
    bool haveRoot = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--language") {
            if (i + 1 >= argc || options.languageIndex >= 0)
                return false;
            options.languageIndex = LanguageIndexOfName(argv[++i]);
            if (options.languageIndex < 0)
                return false;
        } else if (argument.empty() || argument[0] == '-' || haveRoot) {
            return false;
        } else {
            options.discRoot = argument;
            haveRoot = true;
        }
    }
    return true;
}

// The requested language, else the stored one, else the one a first start
// would pick, but without storing it: the check leaves the machine as it
// found it.
int CheckLanguage(int requestedIndex, DWORD& languageCode)
{
    if (requestedIndex < 0)
        return SettleLanguage(languageCode, FirstLanguage::DoNotStore);
    languageCode = kLanguages[requestedIndex].code;
    return requestedIndex;
}

// Writes the text as it stands (it may hold a percent sign): to a console
// as UTF-16, which shows every language whatever the console's code page
// (which stays as the user set it), elsewhere as UTF-8 bytes.
void Print(const std::wstring& wide)
{
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (output != nullptr && output != INVALID_HANDLE_VALUE && ::GetConsoleMode(output, &mode)) {
        ::WriteConsoleW(output, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const int length
        = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return;
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], length, nullptr, nullptr);
    ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// A path or another text of the process code page.
void Print(const std::string& text)
{
    Print(WidenSystemText(text));
}

// The keys that the last look at the registry could not read for lack of
// rights, each on a line of its own: what was said just before rests on a
// guess there, and the menu, run as administrator, may see otherwise.
void PrintDeniedKeys(const std::vector<std::string>& keys)
{
    for (const std::string& key : keys)
        Print("    cannot tell: no right to read HKEY_LOCAL_MACHINE\\" + key + "\n");
}

// The text's lines, each indented; the empty lines that set a reason's
// second sentence apart are left out.
void PrintIndented(const std::wstring& text)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        if (!line.empty())
            Print(L"    " + line + L"\n");
        start = end + 1;
    }
}

// The model's name; a stored code the menu does not know shows as its number.
std::string ModelName(int model)
{
    switch (model) {
    case kModelVexa10:
        return "Vexa10";
    case kModelVexa100:
        return "Vexa100";
    case kModelNone:
        return "none";
    }
    return std::to_string(model);
}

// Each entry as the menu would show it: label, offered or not, and the text
// of its description line.
void PrintEntries(CMenuEntries& entries, const CMenuState& state)
{
    for (const CEntryRow& row : kEntryTable) {
        const CEntryOutcome outcome = entries.Evaluate(row.controlId);
        Print(LoadText(row.labelId, state.languageOffset) + (outcome.enabled ? L": offered\n" : L": not offered\n"));
        const std::wstring text = outcome.enabled ? LoadText(row.descriptionId, state.languageOffset) : outcome.reason;
        if (text.empty())
            Print("    (no text shown)\n");
        else
            PrintIndented(text);
        PrintDeniedKeys(TakeDeniedRegistryKeys());
    }
}

// The suite's state as the check takes it, and why: the menu first runs the
// suite's clean-up program, which the check never starts.
void PrintSuiteState(const CMenuState& state, const std::vector<std::string>& deniedKeys)
{
    const bool unreadable = std::find(deniedKeys.begin(), deniedKeys.end(), kSuiteUninstallKey) != deniedKeys.end();
    const char* installed = unreadable ? "cannot tell" : state.suiteInstalled ? "yes" : "no";
    Print(std::string("Tavrin Nimbo installed: ") + installed + "\n");
    PrintDeniedKeys(deniedKeys);
    Print(std::string("Clean-up program ") + kCleanupProgram
          + ": not run by this check (the menu runs it first); the suite counts as installed when its uninstall "
            "key exists\n");
}

// The files of the disc layout that the disc lacks, probed as the menu
// probes them; true when none is missing.
bool PrintMissingFiles(const std::string& discRoot)
{
    Print("Missing from the disc:\n");
    bool complete = true;
    for (const CDiscFile& file : DiscLayoutFiles()) {
        const size_t lastBackslash = file.path.rfind('\\');
        const std::string folder = discRoot + file.path.substr(0, lastBackslash);
        if (!FolderContains(file.path.substr(lastBackslash + 1), folder)) {
            Print("    " + file.path + "\n");
            complete = false;
        }
    }
    if (complete)
        Print("    nothing: the disc is complete\n");
    return complete;
}

}  // namespace

int main(int argc, char** argv)
{
    RestrictLibrarySearch();
    SetRegistryAccess(RegistryAccess::ReadOnly);
    CCheckOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    CMenuState state;
    state.discRoot = options.discRoot.empty() ? FolderOfPath(ProgramFilePath()) : options.discRoot;
    state.discRoot = WithoutTrailingSeparator(state.discRoot);
    state.suiteInstalled = RegKeyExists(kSuiteUninstallKey);
    const std::vector<std::string> suiteDenied = TakeDeniedRegistryKeys();
    const int languageIndex = CheckLanguage(options.languageIndex, state.languageCode);
    state.languageOffset = languageIndex * kLanguageOffsetStep;
    const std::vector<std::string> languageDenied = TakeDeniedRegistryKeys();
    state.model = ReadModel();

    CHeadlessMenuHost host;
    CMenuEntries entries(state, host);
    entries.runCleanUp = false;

    Print("Disc root: " + state.discRoot + "\n");
    Print(L"Language: " + LoadFixedCaption(kLanguages[languageIndex].nameId) + L"\n");
    PrintDeniedKeys(languageDenied);
    Print("Model: " + ModelName(state.model) + "\n");
    PrintDeniedKeys(TakeDeniedRegistryKeys());
    PrintSuiteState(state, suiteDenied);
    Print("\n");
    PrintEntries(entries, state);
    Print("\n");
    const bool complete = PrintMissingFiles(state.discRoot);
    return complete ? kExitComplete : kExitMissing;
}
