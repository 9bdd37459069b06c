// SplashCheck.exe, the disc check, run as its users run it: on a complete and
// an incomplete disc, in several languages, on a machine with products
// installed, and with bad arguments. It must leave the registry alone and
// start nothing, not even the suite's clean-up program.
#include "EntriesTestSupport.h"

#include "../support/WideTree.h"
#include "base/Handles.h"
#include "entries/EntryTable.h"
#include "entries/Languages.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/Registry.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// A text of the menu as the check writes it to a file or pipe: in UTF-8.
std::string Utf8Text(unsigned id, int languageOffset)
{
    return widetree::Encode(LoadText(id, languageOffset), CP_UTF8);
}

using namespace entriestest;

constexpr DWORD kCheckTimeoutMs = 60000;
constexpr DWORD kNoExitCode = 0xFFFFFFFF;

struct CCheckRun {
    DWORD exitCode = kNoExitCode;
    std::string output;  // standard output, with plain line ends
    std::string errors;  // standard error
};

// Everything the pipe delivers until the writer has gone, without CRs.
std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    std::string plain;
    for (char c : text) {
        if (c != '\r')
            plain += c;
    }
    return plain;
}

// Runs the program with the command line's arguments as they stand, its
// output and errors caught in pipes.
CCheckRun RunCheck(const std::string& program, const std::string& arguments)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE outputRead = nullptr, outputWrite = nullptr, errorRead = nullptr, errorWrite = nullptr;
    EXPECT_TRUE(::CreatePipe(&outputRead, &outputWrite, &inheritable, 0));
    EXPECT_TRUE(::CreatePipe(&errorRead, &errorWrite, &inheritable, 0));
    COwnedKernelHandle outputReader(outputRead), outputWriter(outputWrite), errorReader(errorRead),
        errorWriter(errorWrite);
    ::SetHandleInformation(outputRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputWrite;
    startup.hStdError = errorWrite;
    PROCESS_INFORMATION started = {};
    std::string commandLine = "\"" + program + "\"" + arguments;
    CCheckRun run;
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &started)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return run;
    }
    COwnedKernelHandle process(started.hProcess), thread(started.hThread);
    // Our copies of the writing ends must go, or the reads never see the end.
    outputWriter.Reset();
    errorWriter.Reset();
    run.output = ReadAll(outputRead);
    run.errors = ReadAll(errorRead);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.Get(), kCheckTimeoutMs));
    ::GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

std::string BuiltCheck()
{
    return TestProgramFolder() + "\\SplashCheck.exe";
}

// The lines that the check prints below a heading line, up to the next empty line.
std::vector<std::string> LinesBelow(const std::string& output, const std::string& heading)
{
    std::vector<std::string> lines;
    std::istringstream input(output);
    std::string line;
    bool inside = false;
    while (std::getline(input, line)) {
        if (inside && line.empty())
            break;
        if (inside)
            lines.push_back(line);
        inside = inside || line == heading;
    }
    return lines;
}

// The entry's block: its label and state, then the text of its description line.
std::vector<std::string> EntryBlock(const std::string& output, unsigned labelId, int languageOffset)
{
    const std::string label = Utf8Text(labelId, languageOffset);
    std::vector<std::string> block;
    std::istringstream input(output);
    std::string line;
    while (std::getline(input, line)) {
        if (!block.empty() && line.compare(0, 4, "    ") != 0)
            break;
        if (!block.empty() || line.compare(0, label.size() + 1, label + ":") == 0)
            block.push_back(line);
    }
    return block;
}

// Who may do what with a key, as an account without administrator rights
// often finds it: readable but not writable, or not even readable. Delete
// and the key's own security stay allowed, so that the test can clean up.
constexpr char kReadOnly[] = "D:P(A;;KRSDRCWD;;;WD)";
constexpr char kNoRead[] = "D:P(A;;SDRCWD;;;WD)";
constexpr char kFullAccess[] = "D:P(A;;KA;;;WD)";

// Gives a key of HKEY_LOCAL_MACHINE other rights for one scope.
class CKeyRights {
public:
    CKeyRights(const std::string& path, const char* rights) : path(path) { Set(rights); }
    ~CKeyRights() { Set(kFullAccess); }
    CKeyRights(const CKeyRights&) = delete;
    CKeyRights& operator=(const CKeyRights&) = delete;

private:
    void Set(const char* rights) const
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(
            ::ConvertStringSecurityDescriptorToSecurityDescriptorA(rights, SDDL_REVISION_1, &descriptor, nullptr));
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key));
        const COwnedKey owner(key);
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor));
        ::LocalFree(descriptor);
    }

    std::string path;
};

bool LanguageStored()
{
    DWORD code = 0;
    return ReadRegDword(kLanguageKey, kLanguageValue, code);
}

class SplashCheckTest : public ::testing::Test {
protected:
    SplashCheckTest()
    {
        // A first start: no language stored, which the menu would store now and the check must not.
        seed.RemoveValue(kLanguageKey, kLanguageValue);
        seed.RemoveValue(kCodecKey, kCodecValue);
        for (const CDiscFile& file : DiscLayoutFiles()) {
            if (file.path == "\\Nimbo\\NimboCleanup.fix")
                disc.AddProgram(file.path);  // records each start
            else
                disc.AddFile(file.path);
        }
    }

    // Nothing was stored and nothing started, whatever the check found.
    void TearDown() override
    {
        EXPECT_FALSE(LanguageStored());
        EXPECT_TRUE(recorder.Records().empty()) << recorder.Records()[0].commandLine;
    }

    CRegistrySeed seed;
    CTestDisc disc{"SplashCheckDisc"};
    CTestDisc records{"SplashCheckRecords"};
    CRecorder recorder{records.Root()};
};

TEST_F(SplashCheckTest, CompleteDiscFromItsOwnFolderListsEveryEntryInEachLanguage)
{
    const std::string check = disc.Root() + "\\SplashCheck.exe";
    ASSERT_TRUE(::CopyFileA(BuiltCheck().c_str(), check.c_str(), FALSE));

    const struct {
        const char* option;
        int index;
    } languages[] = {{"en", 0}, {"fr", 1}, {"ja", 5}};
    for (const auto& language : languages) {
        SCOPED_TRACE(language.option);
        const int offset = language.index * 1000;
        const CCheckRun run = RunCheck(check, std::string(" --language ") + language.option);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ("", run.errors);
        EXPECT_NE(std::string::npos, run.output.find("Disc root: " + disc.Root() + "\n"));

        size_t previous = 0;
        for (const CEntryRow& row : kEntryTable) {
            const size_t at = run.output.find(Utf8Text(row.labelId, offset) + ": ", previous);
            EXPECT_NE(std::string::npos, at) << row.name << " missing or out of order";
            previous = at == std::string::npos ? previous : at;
        }
        EXPECT_EQ(std::vector<std::string>{"    nothing: the disc is complete"},
                  LinesBelow(run.output, "Missing from the disc:"));

        // Without the suite: the readme is offered with its description, the
        // plug-in refused with both lines of its reason, the hotfix refused
        // although its file is there.
        EXPECT_EQ((std::vector<std::string>{Utf8Text(IDS_README_LABEL, offset) + ": offered",
                                            "    " + Utf8Text(IDS_README_DESCRIPTION, offset)}),
                  EntryBlock(run.output, IDS_README_LABEL, offset));
        const std::vector<std::string> plugin = EntryBlock(run.output, IDS_AFTER_EFFECTS_PLUGIN_LABEL, offset);
        ASSERT_EQ(3u, plugin.size()) << run.output;
        EXPECT_EQ(Utf8Text(IDS_AFTER_EFFECTS_PLUGIN_LABEL, offset) + ": not offered", plugin[0]);
        const std::string reason = Utf8Text(IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100, offset);
        EXPECT_EQ(0u, reason.find(plugin[1].substr(4)));
        EXPECT_EQ(reason.size() - (plugin[2].size() - 4), reason.rfind(plugin[2].substr(4)));
        EXPECT_EQ(std::vector<std::string>({Utf8Text(IDS_HOTFIX_LABEL, offset) + ": not offered",
                                            "    " + Utf8Text(IDS_HOTFIX_NEEDS_SUITE, offset)}),
                  EntryBlock(run.output, IDS_HOTFIX_LABEL, offset));
    }
}

TEST_F(SplashCheckTest, LanguageIsTheStoredOneElseTheSystemsWithoutStoringIt)
{
    const int systemOffset = LanguageForSystem(::GetSystemDefaultLangID()).index * 1000;
    CCheckRun run = RunCheck(BuiltCheck(), " " + disc.Root());
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find(Utf8Text(IDS_SUITE_LABEL, systemOffset) + ": offered"));
    EXPECT_FALSE(LanguageStored());

    CRegistrySeed french;
    french.SetDword(kLanguageKey, kLanguageValue, 1036);
    run = RunCheck(BuiltCheck(), " " + disc.Root());
    EXPECT_NE(std::string::npos, run.output.find(Utf8Text(IDS_SUITE_LABEL, 1000) + ": offered"));
    // French finds its own readme page.
    EXPECT_NE(std::string::npos, run.output.find(Utf8Text(IDS_README_DESCRIPTION, 1000)));
}

TEST_F(SplashCheckTest, IncompleteDiscListsTheMissingFilesAndFails)
{
    const std::vector<std::string> removed
        = {"\\Nimbo\\setup.exe", "\\Docs\\Manual_VexaB.pdf", "\\Readme\\readme.jp.htm"};
    for (const std::string& path : removed)
        disc.Remove(path);
    disc.Remove("\\Bonus");

    std::vector<std::string> missing;
    for (const CDiscFile& file : DiscLayoutFiles()) {
        if (!disc.Contains(file.path))
            missing.push_back("    " + file.path);
    }
    ASSERT_EQ(removed.size() + 4, missing.size());

    // A trailing backslash is dropped, also where quoting turned it into a quote.
    for (const std::string& root : {" " + disc.Root() + "\\", " \"" + disc.Root() + "\\\""}) {
        SCOPED_TRACE(root);
        const CCheckRun run = RunCheck(BuiltCheck(), root);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_NE(std::string::npos, run.output.find("Disc root: " + disc.Root() + "\n"));
        EXPECT_EQ(missing, LinesBelow(run.output, "Missing from the disc:"));
        EXPECT_EQ(std::vector<std::string>(
                      {Utf8Text(IDS_SUITE_LABEL, 0) + ": not offered", "    " + Utf8Text(IDS_SUITE_NOT_FOUND, 0)}),
                  EntryBlock(run.output, IDS_SUITE_LABEL, 0));
    }
}

TEST_F(SplashCheckTest, InstalledProductsAreNotOfferedAndTheHotfixTestsTheKeyAlone)
{
    seed.CreateKey(kSuiteUninstallKey);
    seed.CreateKey(kAfterEffectsPluginKey);
    seed.SetDword(kCodecKey, kCodecValue, 5);

    const CCheckRun run = RunCheck(BuiltCheck(), " " + disc.Root() + " --language en");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("Model: Vexa100\n"));
    EXPECT_EQ(std::vector<std::string>({Utf8Text(IDS_AFTER_EFFECTS_PLUGIN_LABEL, 0) + ": not offered",
                                        "    " + Utf8Text(IDS_AFTER_EFFECTS_PLUGIN_INSTALLED, 0)}),
              EntryBlock(run.output, IDS_AFTER_EFFECTS_PLUGIN_LABEL, 0));
    EXPECT_EQ(std::vector<std::string>(
                  {Utf8Text(IDS_SUITE_LABEL, 0) + ": not offered", "    " + Utf8Text(IDS_SUITE_INSTALLED, 0)}),
              EntryBlock(run.output, IDS_SUITE_LABEL, 0));
    EXPECT_EQ(Utf8Text(IDS_HOTFIX_LABEL, 0) + ": offered", EntryBlock(run.output, IDS_HOTFIX_LABEL, 0).at(0));
    EXPECT_EQ(Utf8Text(IDS_MAX_PLUGIN_LABEL, 0) + ": offered", EntryBlock(run.output, IDS_MAX_PLUGIN_LABEL, 0).at(0));
}

// Run without administrator rights, the check opens keys for reading only,
// and where it may not read one it says so rather than take the product
// for absent; it says too that it runs no clean-up program.
TEST_F(SplashCheckTest, ReadsKeysForReadingOnlyAndSaysWhichItMayNotRead)
{
    seed.CreateKey(kSuiteUninstallKey);
    seed.CreateKey(kAfterEffectsPluginKey);
    const CKeyRights readable(kSuiteUninstallKey, kReadOnly);
    const CKeyRights unreadable(kAfterEffectsPluginKey, kNoRead);
    const std::string denied = "    cannot tell: no right to read HKEY_LOCAL_MACHINE\\";

    CCheckRun run = RunCheck(BuiltCheck(), " " + disc.Root() + " --language en");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find("Tavrin Nimbo installed: yes\n")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Clean-up program \\Nimbo\\NimboCleanup.fix: not run by this check"));
    EXPECT_EQ(denied + kAfterEffectsPluginKey, EntryBlock(run.output, IDS_AFTER_EFFECTS_PLUGIN_LABEL, 0).back());

    const CKeyRights suiteUnreadable(kSuiteUninstallKey, kNoRead);
    run = RunCheck(BuiltCheck(), " " + disc.Root() + " --language en");
    EXPECT_NE(std::string::npos,
              run.output.find("Tavrin Nimbo installed: cannot tell\n" + denied + kSuiteUninstallKey + "\n"))
        << run.output;
}

TEST_F(SplashCheckTest, BadArgumentsAreAUsageError)
{
    for (const std::string& arguments :
         std::vector<std::string>{" --language xx", " --language", " --language en --language fr", " --verbose",
                                  " " + disc.Root() + " " + disc.Root()}) {
        SCOPED_TRACE(arguments);
        const CCheckRun run = RunCheck(BuiltCheck(), arguments);
        EXPECT_EQ(2u, run.exitCode);
        EXPECT_EQ("", run.output);
        EXPECT_EQ(0u, run.errors.find("usage: SplashCheck [disc-root] [--language en|fr|de|it|es|ja]"));
    }
}

}  // namespace
