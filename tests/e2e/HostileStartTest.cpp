// The menu started on a machine whose registry values are hostile, from a
// disc root that is hard to name, over items that are folders, and twice at
// once: each time it shows its window, Exit ends it with exit code 0 (no
// crash), and the values it must not touch are as they were.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "../support/TestPaths.h"
#include "Driver.h"
#include "res/resource.h"

#include "../support/RawRegistry.h"
#include "../support/WideTree.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

using rawregistry::CRawValue;
using rawregistry::Utf16;

namespace {

constexpr char kErrorCaption[] = "Splash.exe";
constexpr size_t kLargeLength = 65536;
constexpr size_t kDeepFolderLength = 60;
// The deep disc root is always this long, wherever the test's temporary
// folder is, so that what the system makes of it does not depend on the
// length of the folder names above it.
constexpr size_t kDeepRootLength = MAX_PATH + 40;
// The first copy's clean-up program sleeps this long, so that a second copy
// started this long after the first starts while the first one is still
// starting; it ends well within the last.
constexpr char kSlowCleanup[] = "sleep 3000";
constexpr DWORD kSecondStartDelayMs = 1000;
constexpr DWORD kQuickExitMs = 5000;
constexpr DWORD kNotEnded = 0xFFFFFFFF;
constexpr UINT kAnswerTimeoutMs = 1000;
constexpr DWORD kFirstClickWaitMs = 5000;

// The six values the menu reads, in the order of every seed's columns.
struct CValueName {
    const char* key;
    const char* name;
};
constexpr CValueName kReadValues[] = {{kRunKey, "Splash"},
                                      {kLanguageKey, kLanguageValue},
                                      {kCodecKey, kCodecValue},
                                      {kSuiteFolderKey, kSuiteFolderValue},
                                      {kAcrobatReaderAppPathsKey, "Path"},
                                      {kPremiereAppPathsKey, "Path"}};
constexpr size_t kValueCount = sizeof(kReadValues) / sizeof(kReadValues[0]);

// What the run does to a value: nothing, delete it (a Run value that named
// the disc), or store a language code over it (one that could not be read).
enum class After { Unchanged, Deleted, Rewritten };

struct CStored {
    bool present;
    CRawValue value;
    After after;
};

struct CSeedCase {
    const char* name;
    std::vector<CStored> values;  // one per kReadValues
    bool suiteInstalled = false;
};

CStored Absent(After after = After::Unchanged)
{
    return {false, {REG_NONE, std::string()}, after};
}

CStored Value(DWORD type, const std::string& data, After after = After::Unchanged)
{
    return {true, {type, data}, after};
}

std::string Text(const std::wstring& text, bool withNul = true)
{
    return Utf16(text, withNul);
}

// "%s" directives, `bytes` characters of them.
std::string Directives(size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += "%s";
    return text;
}

const std::vector<CSeedCase>& SeedCases()
{
    const std::string large(kLargeLength, 'a');
    const std::string oddSized = Text(L"C:\\Kardo").substr(1);
    static const std::vector<CSeedCase> cases = {
        {"WrongTypes",
         {Value(REG_EXPAND_SZ, Text(L"C:\\Other\\setup.exe")), Value(REG_SZ, Text(L"1036"), After::Rewritten),
          Value(REG_SZ, Text(L"5")), Value(REG_DWORD, std::string("\x05\0\0\0", 4)),
          Value(REG_MULTI_SZ, Text(L"C:\\Reader") + std::string(2, '\0')), Value(REG_BINARY, "C:\\Premiere")}},
        {"Empty",
         {Value(REG_SZ, ""), Value(REG_DWORD, "", After::Rewritten), Value(REG_DWORD, ""), Value(REG_SZ, ""),
          Value(REG_SZ, ""), Value(REG_SZ, "")}},
        {"LargeWithoutNul",
         {Value(REG_SZ, Text(widetree::Widen("C:\\" + large + "\\setup.exe"), false), After::Deleted),
          Value(REG_BINARY, large, After::Rewritten), Value(REG_BINARY, large),
          Value(REG_SZ, Text(widetree::Widen(large), false)), Value(REG_SZ, Text(widetree::Widen(large), false)),
          Value(REG_SZ, Text(widetree::Widen(large), false))}},
        {"PrintfDirectives",
         {Value(REG_SZ, Text(L"%s%n%x%n\\%n%s.exe"), After::Deleted), Value(REG_BINARY, "%n%n"),
          Value(REG_BINARY, "%x%n"), Value(REG_SZ, Text(L"%s%n%x%n%s")), Value(REG_SZ, Text(L"%n%n%n%s")),
          Value(REG_SZ, Text(L"%s%s%s%n\\"))}},
        {"BeyondTheCodePage",
         {Value(REG_SZ, Text(L"C:\\Disc \u00e9 \u65e5\u672c \u0416\\setup.exe"), After::Deleted),
          Value(REG_SZ, Text(L"\u65e5")), Value(REG_SZ, Text(L"\u672c")), Value(REG_SZ, Text(L"C:\\\u65e5\u672c\\%s")),
          Value(REG_SZ, Text(L"C:\\\u0427\u0438\u0442\u0430\u0442\u0435\u043b\u044c")),
          Value(REG_SZ, Text(L"C:\\Adobe\\\u30d7\u30ec\u30df\u30a2 \xD800\\"))}},
        {"OddSizes",
         {Value(REG_SZ, Text(L"setup.exe")), Value(REG_DWORD, std::string("\x0C\x04\x00", 3)),
          Value(REG_QWORD, std::string("\x05\0\0\0\0\0\0\0", 8)), Value(REG_SZ, oddSized), Value(REG_SZ, oddSized),
          Value(REG_SZ, oddSized)}},
        {"NothingStored", {Absent(), Absent(After::Rewritten), Absent(), Absent(), Absent(), Absent()}},
        // With the suite installed, each "%s" of its folder repeats the 64 KiB disc root.
        {"AmplifyingDirectives",
         {Value(REG_SZ, Text(widetree::Widen("C:\\" + large + "\\setup.exe")), After::Deleted),
          Absent(After::Rewritten), Absent(), Value(REG_SZ, Text(widetree::Widen(Directives(kLargeLength)))), Absent(),
          Absent()},
         true},
    };
    return cases;
}

// Test names for the seeds.
std::string SeedName(const ::testing::TestParamInfo<CSeedCase>& info)
{
    return info.param.name;
}

// How GoogleTest shows a seed: by its name, not by 64 KiB of bytes.
void PrintTo(const CSeedCase& seedCase, std::ostream* out)
{
    *out << seedCase.name;
}

// The exit code of a process, or kNotEnded.
DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = kNotEnded;
    if (::WaitForSingleObject(process, 0) != WAIT_OBJECT_0 || !::GetExitCodeProcess(process, &code))
        return kNotEnded;
    return code;
}

// Opens a started menu's process for its exit code.
COwnedKernelHandle OpenForExitCode(DWORD processId)
{
    return COwnedKernelHandle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
}

// A window as the diagnostics name it: class, title, and whether it shows
// and takes input.
std::string Describe(HWND window)
{
    if (window == nullptr)
        return "none";
    return WindowClassName(window) + " \"" + WindowText(window) + "\" (shown "
        + std::to_string(::IsWindowVisible(window) != FALSE) + ", enabled "
        + std::to_string(::IsWindowEnabled(window) != FALSE) + ")";
}

// What the menu's thread is doing with the input: which windows are active,
// have the focus and the capture, and whether it is in a move loop or a menu.
std::string InputStateOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info))
        return "no input state";
    std::ostringstream text;
    text << "thread flags 0x" << std::hex << info.flags << std::dec << ", active " << Describe(info.hwndActive)
         << ", focus " << Describe(info.hwndFocus) << ", capture " << Describe(info.hwndCapture) << ", move/size "
         << Describe(info.hwndMoveSize);
    const HWND foreground = ::GetForegroundWindow();
    DWORD foregroundProcess = 0;
    ::GetWindowThreadProcessId(foreground, &foregroundProcess);
    DWORD menuProcess = 0;
    ::GetWindowThreadProcessId(window, &menuProcess);
    text << "; foreground " << Describe(foreground)
         << (foregroundProcess == menuProcess ? " of the menu" : " of another program");
    return text.str();
}

// Whether the menu still shows, answers messages, and lies under its Exit
// button's middle, for a menu that an Exit click did not end; and the state
// of its input.
std::string MenuStateAfterExitClick(const CMenuDriver& menu)
{
    const HWND window = menu.Window();
    if (window == nullptr)
        return "no menu window";
    DWORD_PTR answer = 0;
    const bool answers = ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) != 0;
    const POINT centre = menu.ControlCentre(IDOK);
    const HWND hit = ::WindowFromPoint(centre);
    POINT pointer{};
    ::GetCursorPos(&pointer);
    return "menu window shown: " + std::to_string(::IsWindowVisible(window) != FALSE)
        + "; answers messages: " + std::to_string(answers) + "; menu " + Describe(window) + "; Exit "
        + Describe(menu.Control(IDOK)) + "; under its middle: " + Describe(hit) + "; pointer at "
        + std::to_string(pointer.x) + "," + std::to_string(pointer.y) + ", middle at " + std::to_string(centre.x) + ","
        + std::to_string(centre.y) + "; " + InputStateOf(window);
}

class HostileStart : public ::testing::TestWithParam<CSeedCase> {};

TEST_P(HostileStart, ShowsTheMenuEndsWithCodeZeroAndKeepsTheValuesItMayNotTouch)
{
    const CSeedCase& seedCase = GetParam();
    ASSERT_EQ(kValueCount, seedCase.values.size());
    CRegistrySeed seed;
    for (size_t index = 0; index < kValueCount; ++index) {
        const CValueName& value = kReadValues[index];
        seed.RemoveValue(value.key, value.name);
        if (seedCase.values[index].present) {
            ASSERT_TRUE(rawregistry::WriteRawValue(value.key, value.name, seedCase.values[index].value)) << value.name;
        }
    }
    if (seedCase.suiteInstalled)
        seed.CreateKey(kSuiteUninstallKey);
    CTestDisc disc;
    disc.AddMenu();

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    const COwnedKernelHandle process = OpenForExitCode(menu.ProcessId());
    ASSERT_TRUE(process);
    const HWND window = menu.WaitForWindow();
    EXPECT_NE(nullptr, window) << "no menu window; exit code " << std::hex << ExitCodeOf(process.Get());
    // This test is about the values, not the click: Exit is clicked a
    // second time when the first click leaves the menu up, and what the menu
    // was like then is written out (the tests of closing the menu demand
    // that one click does it).
    std::string afterFirstClick;
    if (window != nullptr) {
        // The state the click meets: after the driver's own wait for a menu
        // ready to take it.
        WaitUntilReadyForInput(menu.Control(IDOK));
        const std::string beforeClick = InputStateOf(window);
        menu.Click(IDOK);
        if (!menu.WaitForExit(kFirstClickWaitMs)) {
            afterFirstClick = MenuStateAfterExitClick(menu) + "; before the click: " + beforeClick;
            std::cout << "The first Exit click left the menu up: " << afterFirstClick << std::endl;
            menu.Click(IDOK);
        }
    }
    EXPECT_TRUE(menu.WaitForExit()) << MenuStateAfterExitClick(menu) << "; after the first click: " << afterFirstClick;
    EXPECT_EQ(0u, ExitCodeOf(process.Get())) << std::hex << ExitCodeOf(process.Get());

    for (size_t index = 0; index < kValueCount; ++index) {
        const CValueName& value = kReadValues[index];
        const CStored& stored = seedCase.values[index];
        SCOPED_TRACE(std::string(value.key) + "\\" + value.name);
        const std::optional<CRawValue> left = rawregistry::ReadRawValue(value.key, value.name);
        switch (stored.after) {
        case After::Unchanged:
            EXPECT_EQ(stored.present ? std::optional<CRawValue>(stored.value) : std::nullopt, left);
            break;
        case After::Deleted:
            EXPECT_FALSE(left.has_value());
            break;
        case After::Rewritten:
            ASSERT_TRUE(left.has_value());
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), left->type);
            EXPECT_EQ(sizeof(DWORD), left->data.size());
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostileStart, ::testing::ValuesIn(SeedCases()), SeedName);

// Starts the menu through the wide functions, for folders that the test
// program's own code page cannot name, and ends it if a test leaves it running.
class CWideMenuRun {
public:
    // False with the platform's error when the program cannot be started.
    bool Start(const std::wstring& program, const std::string& stubLog, DWORD& error)
    {
        ::SetEnvironmentVariableA("SPLASH_STUB_LOG", stubLog.c_str());
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        const std::wstring folder = program.substr(0, program.rfind(L'\\'));
        const BOOL done = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                           folder.c_str(), &startup, &started);
        error = done ? ERROR_SUCCESS : ::GetLastError();
        ::SetEnvironmentVariableA("SPLASH_STUB_LOG", nullptr);
        if (!done)
            return false;
        const COwnedKernelHandle thread(started.hThread);
        process.Reset(started.hProcess);
        processId = started.dwProcessId;
        return true;
    }

    ~CWideMenuRun()
    {
        if (process && ::WaitForSingleObject(process.Get(), 0) != WAIT_OBJECT_0) {
            ::TerminateProcess(process.Get(), 1);
            ::WaitForSingleObject(process.Get(), kExitTimeoutMs);
        }
    }

    // The visible menu window of this run, once it shows.
    HWND WaitForWindow() const
    {
        HWND found = nullptr;
        PollUntil(
            [&] {
                for (HWND window : FindTopLevelWindows(kMenuWindowTitle, nullptr, processId))
                    found = ::IsWindowVisible(window) ? window : found;
                return found != nullptr;
            },
            kWindowTimeoutMs);
        return found;
    }

    void Click(HWND window, int controlId) const { ClickControlOf(window, controlId); }

    DWORD WaitForExitCode() const
    {
        ::WaitForSingleObject(process.Get(), kExitTimeoutMs);
        return ExitCodeOf(process.Get());
    }

private:
    COwnedKernelHandle process;
    DWORD processId = 0;
};

struct CRootCase {
    const char* name;
    bool deep;
    const wchar_t* folder;  // the disc root's own folder name
};

// A Japanese folder name of a hundred characters: 300 bytes in the UTF-8
// code page, but only 100 of the UTF-16 units in which Windows counts paths.
std::wstring JapaneseHundred()
{
    std::wstring name;
    for (int part = 0; part < 10; ++part)
        name += L"\u65e5\u672c\u8a9e\u306e\u30c7\u30a3\u30b9\u30af\u306e\u6839";
    return name;
}
const std::wstring kJapaneseHundred = JapaneseHundred();

// How GoogleTest shows a root: by its name.
void PrintTo(const CRootCase& root, std::ostream* out)
{
    *out << root.name;
}

class HostileRoot : public ::testing::TestWithParam<CRootCase> {};

// The disc root reaches the menu through the UTF-8 code page that its
// manifest asks for, so its items are found and start. A root past MAX_PATH
// is out of reach of the narrow file functions: where the system can start
// the menu from it at all, it reads as an empty disc.
TEST_P(HostileRoot, TheMenuFindsAndStartsItsItems)
{
    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, "Splash");
    CTestDisc disc;
    std::wstring root = widetree::Widen(disc.Folder()) + L"\\" + GetParam().folder;
    if (GetParam().deep) {
        while (root.size() + 1 + kDeepFolderLength < kDeepRootLength)
            root += L"\\" + std::wstring(kDeepFolderLength, L'd');
        if (root.size() + 1 < kDeepRootLength)
            root += L"\\" + std::wstring(kDeepRootLength - root.size() - 1, L'd');
    }
    widetree::CWideTree tree(root);
    ASSERT_TRUE(tree.AddCopy(widetree::Widen(TestProgramFolder() + "\\Splash.exe"), "\\Splash.exe"));
    ASSERT_TRUE(tree.AddCopy(widetree::Widen(TestProgramFolder() + "\\StubProgram.exe"),
                             "\\Bonus\\DesktopWallpapers\\setup.exe"));

    CWideMenuRun menu;
    DWORD error = ERROR_SUCCESS;
    // Whether a program can be started from a folder past MAX_PATH at all is
    // the system's affair (Windows without long paths cannot; Wine 8 fails
    // with one error or another, by the path's length): the menu is only
    // answerable for what it does once it runs there.
    if (!menu.Start(tree.PathOf("\\Splash.exe"), disc.LogPath(), error) && GetParam().deep)
        GTEST_SKIP() << "this system cannot start a program from a folder longer than MAX_PATH (error " << error << ")";
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), error);
    const HWND window = menu.WaitForWindow();
    ASSERT_NE(nullptr, window);
    if (GetParam().deep) {
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, IDC_WALLPAPERS)));
    } else {
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(window, IDC_WALLPAPERS)));
        menu.Click(window, IDC_WALLPAPERS);
        EXPECT_EQ(1u, disc.WaitForStarts(1, kWindowTimeoutMs).size());
        EXPECT_EQ(window, menu.WaitForWindow()) << "the menu comes back when the installer ends";
    }
    menu.Click(window, IDOK);
    EXPECT_EQ(0u, menu.WaitForExitCode());
}

INSTANTIATE_TEST_SUITE_P(Roots, HostileRoot,
                         ::testing::Values(CRootCase{"BeyondTheCodePage", false, L"Disc \u00e9 \u65e5\u672c"},
                                           CRootCase{"PastMaxPath", true, L"Disc \u00e9 \u65e5\u672c"},
                                           CRootCase{"JapaneseHundredCharacters", false, kJapaneseHundred.c_str()}),
                         [](const ::testing::TestParamInfo<CRootCase>& info) { return std::string(info.param.name); });

// A folder named like the item passes the probe; its click shows the
// start-failure message, and the menu goes on.
TEST(HostileItem, AFolderNamedLikeTheInstallerFailsWithTheStartMessage)
{
    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, "Splash");
    CTestDisc disc;
    disc.AddMenu();
    disc.AddFile("Bonus\\DesktopWallpapers\\setup.exe\\inside.txt", "a folder, not a program");

    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    const COwnedKernelHandle process = OpenForExitCode(menu.ProcessId());
    ASSERT_NE(nullptr, menu.WaitForWindow());
    EXPECT_TRUE(::IsWindowEnabled(menu.Control(IDC_WALLPAPERS)));
    menu.Click(IDC_WALLPAPERS);
    const HWND box = WaitForMessageBox(kErrorCaption, menu.ProcessId());
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::string::npos, MessageBoxText(box).find("DesktopWallpapers\\setup.exe")) << MessageBoxText(box);
    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kWindowTimeoutMs));
    menu.Click(IDOK);
    EXPECT_TRUE(menu.WaitForExit());
    EXPECT_EQ(0u, ExitCodeOf(process.Get()));
}

// The first copy claims the menu before anything else: a copy started a
// second after it, while its clean-up step runs and its window has no title
// yet, ends at once and starts no clean-up of its own.
TEST(HostileTwice, ASecondCopyDuringTheFirstCopysStartUpEndsQuietly)
{
    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, "Splash");
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub("Nimbo\\NimboCleanup.fix", {kSlowCleanup});

    const DWORD firstStarted = ::GetTickCount();
    CMenuDriver first(disc.MenuPath(), disc.LogPath());
    const COwnedKernelHandle firstProcess = OpenForExitCode(first.ProcessId());
    ASSERT_EQ(1u, disc.WaitForStarts(1, kWindowTimeoutMs).size()) << "the first copy's clean-up did not start";
    const DWORD sinceFirst = ::GetTickCount() - firstStarted;
    if (sinceFirst < kSecondStartDelayMs)
        ::Sleep(kSecondStartDelayMs - sinceFirst);
    EXPECT_TRUE(FindTopLevelWindows(kMenuWindowTitle).empty());

    CMenuDriver second(disc.MenuPath(), disc.LogPath());
    const COwnedKernelHandle secondProcess = OpenForExitCode(second.ProcessId());
    EXPECT_TRUE(second.WaitForExit(kQuickExitMs));
    EXPECT_EQ(0u, ExitCodeOf(secondProcess.Get()));
    ASSERT_NE(nullptr, first.WaitForWindow());
    EXPECT_EQ(1u, FindTopLevelWindows(kMenuWindowTitle).size());
    // The start-up's own clean-up step and the hotfix entry's refresh.
    EXPECT_EQ(2u, disc.Starts().size());

    first.PostClose();
    EXPECT_TRUE(first.WaitForExit());
    EXPECT_EQ(0u, ExitCodeOf(firstProcess.Get()));
}

}  // namespace
