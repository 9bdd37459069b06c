// The menu's readers and entries against hostile input: every registry value
// the menu reads stored in every wrong type, size and text; disc roots that
// are hard to name; items replaced by folders; folders that cannot be listed;
// a clean-up program that never ends. Each case must end in the state the
// rules give, without a crash, a hang past its bound or a read past a buffer,
// and must leave the values it read as they were.
#include "EntriesTestSupport.h"

#include "app/MenuDialog.h"
#include "entries/EntryTable.h"
#include "entries/Languages.h"
#include "entries/MenuEntries.h"
#include "entries/StartUp.h"
#include "res/Text.h"
#include "res/resource.h"

#include "../support/RawRegistry.h"
#include "../support/WideTree.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace entriestest;
using namespace rawregistry;

namespace {

constexpr char kPrevious[] = "C:\\Previous";
constexpr DWORD kShortWaitMs = 300;
constexpr DWORD kInstallerWaitMs = 10000;
// A clean-up program that sleeps this long never ends as far as the menu can tell.
constexpr DWORD kNeverEndsMs = 600000;
// What two waits of kShortWaitMs must stay under, with room for a slow machine.
constexpr DWORD kHangBoundMs = 10000;
constexpr DWORD kProcessEndMs = 5000;
constexpr size_t kLargeLength = 65536;
constexpr size_t kOverMaxPathLength = 300;
constexpr size_t kDeepFolderLength = 60;
constexpr unsigned kNoReason = 0;

std::string Bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

// One stored form of a value, and what the narrow readers must make of it.
struct CForm {
    std::string name;
    DWORD type;
    std::string data;
    std::optional<std::string> text;  // what ReadRegString gives; none: it reads as missing
    std::optional<DWORD> number;  // what ReadRegDword gives; none: it reads as missing
};

std::vector<CForm> HostileForms()
{
    const std::string path = "C:\\Hostile\\x.exe";
    const std::string large = "C:\\" + std::string(kLargeLength, 'a') + "\\x.exe";
    const std::string overMaxPath = "C:\\" + std::string(kOverMaxPathLength, 'b') + "\\x.exe";
    const std::string directives = "%s%n%x\\%n%s.exe";
    const std::wstring foreign = L"C:\\Disc \u00e9 \u65e5\u672c \u0416\\x.exe";
    const std::wstring surrogate = L"C:\\half \xD800 character\\x.exe";
    return {
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, Utf16(widetree::Widen(path)), {}, {}},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Utf16(widetree::Widen(path)) + Bytes({0, 0}), {}, {}},
        {"REG_BINARY text", REG_BINARY, path, {}, {}},
        {"REG_DWORD", REG_DWORD, Bytes({0x0C, 0x04, 0, 0}), {}, 1036},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 5}), {}, 0x05000000},
        {"REG_QWORD", REG_QWORD, Bytes({5, 0, 0, 0, 0, 0, 0, 0}), {}, {}},
        {"REG_NONE of no bytes", REG_NONE, "", {}, 0},
        {"REG_SZ of no bytes", REG_SZ, "", "", 0},
        {"REG_SZ of its NUL alone", REG_SZ, Utf16(L""), "", 0},
        {"REG_SZ without its NUL", REG_SZ, Utf16(widetree::Widen(path), false), path, {}},
        {"REG_SZ of 64 KiB", REG_SZ, Utf16(widetree::Widen(large)), large, {}},
        {"REG_SZ of 64 KiB without its NUL", REG_SZ, Utf16(widetree::Widen(large), false), large, {}},
        {"REG_SZ just past MAX_PATH", REG_SZ, Utf16(widetree::Widen(overMaxPath)), overMaxPath, {}},
        {"REG_SZ with printf directives", REG_SZ, Utf16(widetree::Widen(directives)), directives, {}},
        {"REG_SZ beyond ASCII and Latin 1", REG_SZ, Utf16(foreign), widetree::Narrow(foreign), {}},
        {"REG_SZ with a lone surrogate", REG_SZ, Utf16(surrogate), widetree::Narrow(surrogate), {}},
        {"REG_DWORD of 1 byte", REG_DWORD, Bytes({5}), {}, 5},
        {"REG_DWORD of 2 bytes", REG_DWORD, Bytes({0x0C, 0x04}), {}, 1036},
        {"REG_DWORD of 3 bytes", REG_DWORD, Bytes({0x11, 0, 0}), {}, 17},
        {"REG_DWORD of 8 bytes", REG_DWORD, Bytes({9, 0, 0, 0, 0, 0, 0, 0}), {}, {}},
        {"REG_BINARY of printf directives", REG_BINARY, "%n%n", {}, 0x6E256E25},
        {"REG_DWORD at the sign bit", REG_DWORD, Bytes({0, 0, 0, 0x80}), {}, 0x80000000},
    };
}

CRawValue StoredForm(const CForm& form)
{
    return {form.type, form.data};
}

// Stores the form's bytes unconverted; the seed gives the value back afterwards.
void Store(CRegistrySeed& seed, const std::string& key, const std::string& name, const CForm& form)
{
    seed.RemoveValue(key, name);
    ASSERT_TRUE(WriteRawValue(key, name, StoredForm(form))) << "the registry changed the stored bytes";
}

// The index of a stored code as the language table gives it; unknown codes are English.
int IndexOfCode(DWORD code)
{
    for (const CLanguage& language : kLanguages) {
        if (language.code == code)
            return language.index;
    }
    return 0;
}

// One message box the menu asked for.
struct CShownMessage {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

// An entry's state as a refresh leaves it, comparable across discs.
using CEntryState = std::pair<bool, std::wstring>;

class HostileInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kSuiteFolderKey, kSuiteFolderValue);
        seed.RemoveValue(kSplashPathKey, kSplashPathValue);
        state.discRoot = disc.Root();
        state.languageCode = 9;
        entries.cleanupTimeoutMs = kShortWaitMs;
        entries.installerTimeoutMs = kInstallerWaitMs;
        entries.writeDebugLine = [this](const std::string& line) { debugLines.push_back(line); };
        entries.showMessage = [this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
            messages.push_back({text, caption, type});
            return (type & MB_YESNO) != 0 ? IDNO : IDOK;
        };
    }

    void FillDisc()
    {
        for (const std::string& file : FullLayout())
            disc.AddFile(file);
    }

    // The button shows the state, and the reason (kNoReason: none) while disabled.
    void ExpectEntry(int controlId, bool enabled, unsigned reasonId)
    {
        CHoverButton* button = host.EntryButton(controlId);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(enabled, ::IsWindowEnabled(button->GetHandle()) != FALSE) << "control " << controlId;
        if (!enabled) {
            EXPECT_EQ(reasonId == kNoReason ? std::wstring() : LoadText(reasonId, state.languageOffset),
                      button->GetDescription())
                << "control " << controlId;
        }
    }

    // A click that cannot start its program shows one error naming the program, and nothing else.
    void ExpectClickFails(int controlId, const std::string& named)
    {
        messages.clear();
        entries.RunEntryAction(controlId);
        ASSERT_FALSE(messages.empty()) << "control " << controlId;
        const CShownMessage& error = messages.back();
        EXPECT_EQ(LoadFixedCaption(IDS_ERROR_CAPTION), error.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), error.type);
        EXPECT_NE(std::wstring::npos, error.text.find(WidenSystemText(named))) << error.text.substr(0, 300);
        EXPECT_LE(messages.size(), 2u) << "at most the suite's question comes first";
    }

    // Every entry's state on the disc at `root`, without running the clean-up.
    std::vector<CEntryState> EvaluateAll(const std::string& root)
    {
        state.discRoot = root;
        std::vector<CEntryState> states;
        for (const CEntryRow& row : kEntryTable) {
            const CEntryOutcome outcome = entries.Evaluate(row.controlId);
            states.emplace_back(outcome.enabled, outcome.reason);
        }
        return states;
    }

    CRegistrySeed seed;
    CTestDisc disc;
    CTestHost host;
    CMenuState state;
    CMenuEntries entries{state, host};
    std::vector<std::string> debugLines;
    std::vector<CShownMessage> messages;
};

// The Run value, the language and the model: read by the start-up.
TEST_F(HostileInputTest, StartUpValuesInEveryHostileForm)
{
    FillDisc();
    entries.runCleanUp = false;
    for (const CForm& form : HostileForms()) {
        SCOPED_TRACE(form.name);
        {
            CRegistrySeed stored;
            Store(stored, kRunKey, "Splash", form);
            const std::string::size_type slash = form.text ? form.text->rfind('\\') : std::string::npos;
            const bool used = slash != std::string::npos && slash > 0;
            EXPECT_EQ(used ? form.text->substr(0, slash) : std::string("E:\\Menu"),
                      FindDiscRoot("E:\\Menu\\Splash.exe"));
            const std::optional<CRawValue> left = ReadRawValue(kRunKey, "Splash");
            EXPECT_EQ(used ? std::nullopt : std::optional<CRawValue>(StoredForm(form)), left)
                << "a used value goes, any other stays";
        }

        DWORD code = 0;
        int index = -1;
        {
            CRegistrySeed stored;
            Store(stored, kLanguageKey, kLanguageValue, form);
            index = ReadLanguage(code);
            EXPECT_EQ(form.number.value_or(0), code);
            EXPECT_EQ(IndexOfCode(code), index);
            EXPECT_EQ(StoredForm(form), ReadRawValue(kLanguageKey, kLanguageValue));
        }

        int model = -1;
        {
            CRegistrySeed stored;
            Store(stored, kCodecKey, kCodecValue, form);
            model = ReadModel();
            if (!form.number) {
                EXPECT_EQ(kModelNone, model);
            } else {
                EXPECT_EQ(*form.number == 4, model == kModelVexa10) << model;
                EXPECT_EQ(*form.number == 5, model == kModelVexa100) << model;
            }
            EXPECT_EQ(StoredForm(form), ReadRawValue(kCodecKey, kCodecValue));
        }

        // The menu then speaks the language it found and offers the plug-ins to a Vexa100 only.
        state.languageCode = code;
        state.model = model;
        state.suiteInstalled = true;
        entries.RefreshAllEntries(index);
        EXPECT_EQ(LoadText(IDS_LANGUAGE_LABEL, index * kLanguageOffsetStep),
                  host.EntryButton(IDC_LANGUAGE)->GetCaption(CHoverButton::kNormal));
        ExpectEntry(IDC_AFTER_EFFECTS_PLUGIN, model == kModelVexa100, IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100);
    }
    EXPECT_TRUE(messages.empty());
}

// The suite's folder and the two App Paths folders: read by the entries.
TEST_F(HostileInputTest, EntryValuesInEveryHostileForm)
{
    FillDisc();
    for (const CForm& form : HostileForms()) {
        SCOPED_TRACE(form.name);
        {
            CRegistrySeed stored;
            Store(stored, kSuiteFolderKey, kSuiteFolderValue, form);
            state.suiteInstalled = true;
            state.suiteFolder = kPrevious;
            entries.RefreshRegisterEntry();
            EXPECT_EQ(form.text && !form.text->empty() ? *form.text : std::string(kPrevious), state.suiteFolder);
            ExpectEntry(IDC_REGISTER, false, IDS_REGISTER_NOT_FOUND);
            ExpectClickFails(IDC_REGISTER, "\\TvRegister.exe");
            if (form.text && form.text->find("%n") != std::string::npos) {
                EXPECT_NE(std::wstring::npos, messages.back().text.find(L"%n")) << "data must not act as a format";
            }
            EXPECT_EQ(StoredForm(form), ReadRawValue(kSuiteFolderKey, kSuiteFolderValue));
        }
        {
            CRegistrySeed stored;
            Store(stored, kAcrobatReaderAppPathsKey, "Path", form);
            state.acrobatFolder = kPrevious;
            state.model = kModelVexa10;
            entries.RefreshManualEntry();
            EXPECT_EQ(form.text.value_or(kPrevious), state.acrobatFolder);
            ExpectEntry(IDC_MANUAL, form.text.has_value(), IDS_MANUAL_NEEDS_READER);
            if (form.text)
                ExpectClickFails(IDC_MANUAL, "\\acrord32");
            EXPECT_EQ(StoredForm(form), ReadRawValue(kAcrobatReaderAppPathsKey, "Path"));
        }
        {
            CRegistrySeed stored;
            Store(stored, kPremiereAppPathsKey, "Path", form);
            entries.RefreshPremiereUpdaterEntry();
            ExpectEntry(IDC_PREMIERE_UPDATER, false, form.text ? IDS_PREMIERE_UPDATER_NEEDS_PREMIERE : kNoReason);
            EXPECT_EQ(StoredForm(form), ReadRawValue(kPremiereAppPathsKey, "Path"));
        }
    }
}

// A stored folder of nothing but "%s" repeats the disc root once per
// directive: over a disc root taken from a long Run value that must not
// grow without bound (32768 directives times 64 KiB would be 2 GiB).
TEST_F(HostileInputTest, AFolderOfDirectivesOverALongDiscRootStaysBounded)
{
    std::string directives;
    while (directives.size() < kLargeLength)
        directives += "%s";
    seed.SetString(kSuiteFolderKey, kSuiteFolderValue, directives);
    state.discRoot = "C:\\" + std::string(kLargeLength, 'r');
    state.suiteInstalled = true;

    EXPECT_NO_THROW(entries.RefreshRegisterEntry());
    EXPECT_EQ(directives, state.suiteFolder);
    ExpectEntry(IDC_REGISTER, false, IDS_REGISTER_NOT_FOUND);
    EXPECT_NO_THROW(ExpectClickFails(IDC_REGISTER, "TvRegister.exe"));
}

// Blanks and letters outside ASCII are the disc's own business; a root past
// MAX_PATH is out of reach of the narrow file functions and reads as an
// empty disc, whose clicks fail with the start-failure message.
TEST_F(HostileInputTest, DiscRootsWithBlanksForeignLettersOrPastMaxPath)
{
    ASSERT_EQ(static_cast<UINT>(CP_UTF8), ::GetACP()) << "the manifest asks for the UTF-8 code page";
    FillDisc();
    seed.SetString(kAcrobatReaderAppPathsKey, "Path", "C:\\Reader");
    entries.runCleanUp = false;
    CTestDisc empty("TavrinEmptyDisc");
    CRecorder recorder(empty.Root());

    const std::wstring unique = std::to_wstring(::GetCurrentProcessId());
    std::wstring deep = widetree::TempFolder() + L"TavrinDeep-" + unique;
    while (deep.size() < MAX_PATH)
        deep += L"\\" + std::wstring(kDeepFolderLength, L'd');
    const struct {
        const char* name;
        std::wstring path;
        bool reachable;
    } roots[] = {
        {"blanks", widetree::TempFolder() + L"Tavrin  Disc with blanks " + unique, true},
        {"letters outside ASCII", widetree::TempFolder() + L"Disc \u00e9 \u65e5\u672c " + unique, true},
        {"longer than MAX_PATH", deep, false},
    };
    for (const auto& root : roots) {
        SCOPED_TRACE(root.name);
        widetree::CWideTree tree(root.path);
        for (const std::string& file : FullLayout())
            ASSERT_TRUE(tree.AddFile(file)) << file;
        ASSERT_TRUE(tree.AddCopy(widetree::Widen(TestProgramFolder() + "\\FixtureRecorder.exe"),
                                 "\\Bonus\\DesktopWallpapers\\setup.exe"));
        const std::string narrowRoot = widetree::Narrow(root.path);
        ASSERT_FALSE(narrowRoot.empty());

        for (const bool suite : {false, true}) {
            state.suiteInstalled = suite;
            state.model = suite ? kModelVexa100 : kModelNone;
            const std::vector<CEntryState> expected = EvaluateAll(root.reachable ? disc.Root() : empty.Root());
            EXPECT_EQ(expected, EvaluateAll(narrowRoot)) << (suite ? "suite installed" : "no suite");
        }

        state.suiteInstalled = false;
        state.discRoot = narrowRoot;
        if (root.reachable) {
            messages.clear();
            entries.RunEntryAction(IDC_WALLPAPERS);
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(1u, recorder.WaitForRecords(1).size());
        } else {
            ExpectClickFails(IDC_WALLPAPERS, "\\Bonus\\DesktopWallpapers\\setup.exe");
            EXPECT_TRUE(recorder.Records().empty());
        }
        recorder.Clear();
    }
}

// A folder named like an item makes the probe say present (it lists names
// only), and the click then fails cleanly with the start-failure message.
TEST_F(HostileInputTest, ItemsReplacedByFoldersCountAsPresentAndFailWhenClicked)
{
    seed.CreateKey(kSuiteUninstallKey);
    state.suiteInstalled = true;
    state.model = kModelVexa100;
    CTestDisc folders("TavrinFolderDisc");
    std::vector<const CEntryRow*> starting;
    for (const CEntryRow& row : kEntryTable) {
        if (row.launch.action == EntryAction::DiscProgram || row.launch.action == EntryAction::SuiteInstallation) {
            starting.push_back(&row);
            folders.AddFile(std::string(row.launch.program) + "\\inside.txt");
        }
    }
    folders.AddFile(std::string(kCleanupProgram) + "\\inside.txt");
    for (const std::string& file : FullLayout()) {
        disc.AddFile(file);
        if (!folders.Contains(file))
            folders.AddFile(file);
    }

    EXPECT_EQ(EvaluateAll(disc.Root()), EvaluateAll(folders.Root()));
    EXPECT_FALSE(debugLines.empty());
    for (const std::string& line : debugLines)
        EXPECT_NE(std::string::npos, line.find("NimboCleanup.fix /Silent failed")) << line;

    state.discRoot = folders.Root();
    for (const CEntryRow* row : starting) {
        SCOPED_TRACE(row->name);
        ExpectClickFails(row->controlId, row->launch.program);
    }
}

// The menu waits for the clean-up program no longer than its bound, at
// start-up and at every hotfix refresh, and leaves it running.
TEST_F(HostileInputTest, ACleanUpThatNeverEndsHoldsTheMenuOnlyForItsWait)
{
    disc.AddProgram(kCleanupProgram);
    disc.AddFile("\\Tavrin HotFix2\\Vexa_HotFix2.exe");
    seed.CreateKey(kSuiteUninstallKey);
    CRecorder recorder(disc.Root());
    recorder.SleepEach(kNeverEndsMs);

    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(entries.CleanUpAndDetectSuite());
    entries.RefreshAllEntries(0);
    EXPECT_LT(::GetTickCount() - start, kHangBoundMs);
    EXPECT_EQ(std::vector<std::string>(2, "NimboCleanup failed"), debugLines);
    ExpectEntry(IDC_HOTFIX, true, kNoReason);

    const std::vector<CRecord> records = recorder.WaitForRecords(2);
    ASSERT_EQ(2u, records.size());
    for (const CRecord& record : records) {
        COwnedKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, record.processId));
        ASSERT_TRUE(process);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(process.Get(), 0))
            << "the menu never stops the programs it starts";
        ::TerminateProcess(process.Get(), 0);
        ::WaitForSingleObject(process.Get(), kProcessEndMs);
    }
}

}  // namespace
