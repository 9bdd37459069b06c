// The menu and its two small dialogs worked with the keyboard alone: Tab,
// Shift+Tab and the arrow keys in the order of the screen, Enter and Space
// on the focused button, the focus cue read from the screen before and after
// a key, the description line following the focus, the focus kept when its
// button greys, and what a screen reader hears, in French.
#include "Driver.h"
#include "FixtureDisc.h"
#include "RegistrySeed.h"
#include "ScreenProbe.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kLanguageKey[] = "SOFTWARE\\Tavrin\\Kardo";
constexpr char kLanguageValue[] = "Language";
constexpr DWORD kEnglishCode = 9;
constexpr DWORD kFrenchCode = 1036;
constexpr int kFrenchOffset = 1000;
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kSuiteId[] = "{444E2E17-6784-4BF0-926A-996E29E73729}";
constexpr char kCodecsId[] = "{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}";
constexpr char kWallpapersId[] = "{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}";
constexpr char kAfterEffectsPluginId[] = "{CB89C001-6354-46C0-AD14-ABCCB79DADA6}";
constexpr char kSuiteSetup[] = "Nimbo\\setup.exe";
constexpr char kWallpapersSetup[] = "Bonus\\DesktopWallpapers\\setup.exe";
constexpr char kCodecsSetup[] = "Bonus\\VFWSoftwareCodecs\\setup.exe";
constexpr char kQuestionCaption[] = "Nimbo Setup";
constexpr DWORD kSetupRunMs = 800;
constexpr DWORD kFlowTimeoutMs = 15000;
constexpr DWORD kPaintTimeoutMs = 2000;
constexpr POINT kAwayFromMenu = { 1200, 1000 };
// The buttons this disc offers, in the order of the screen: the left column,
// the right one, the language button, Exit.
constexpr int kOfferedInTabOrder[] = { IDC_SUITE, IDC_WALLPAPERS, IDC_VFW_CODECS, IDC_LANGUAGE, IDOK };
// The cue is white; no frame of the strips comes near it.
constexpr int kNearWhite = 0xE0;

// The window that has the keyboard focus in the thread of `window`.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool WaitForFocus(HWND control)
{
    return PollUntil([&] { return FocusOf(control) == control; }, kHoverTimeoutMs);
}

// Presses Shift+Tab in the window.
void PressShiftTab(HWND window)
{
    BringToFront(window);
    INPUT keys[4] {};
    const WORD order[4] = { VK_SHIFT, VK_TAB, VK_TAB, VK_SHIFT };
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    ::Sleep(50);
}

// Whether the button shows the focus cue: white just inside its border on
// its left and right, where the frames hold only their fill.
bool ShowsCue(HWND button)
{
    RECT place {};
    ::GetWindowRect(button, &place);
    const int middle = (place.top + place.bottom) / 2;
    const CScreenShot shot(place);
    for (const int x : { place.left + 2, place.right - 3 })
        if (Brightness(shot.Pixel(x, middle)) < kNearWhite || GetBValue(shot.Pixel(x, middle)) < kNearWhite)
            return false;
    return true;
}

bool WaitForCue(HWND button, bool shown)
{
    return PollUntil([&] { return ShowsCue(button) == shown; }, kPaintTimeoutMs);
}

// Whether the process has loaded a library of this name, and from where.
bool LoadedLibrary(DWORD processId, const std::string& name, std::string& path)
{
    const COwnedKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD needed = 0;
    if (!process || !::EnumProcessModules(process.Get(), modules, sizeof(modules), &needed))
        return false;
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        char file[MAX_PATH] = {};
        ::GetModuleFileNameExA(process.Get(), modules[i], file, MAX_PATH);
        std::string lower(file);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (lower.size() > name.size() && lower.compare(lower.size() - name.size(), name.size(), name) == 0
            && lower[lower.size() - name.size() - 1] == '\\') {
            path = lower;
            return true;
        }
    }
    return false;
}

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kRunKey, "Splash");
        seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
        for (const char* id : { kSuiteId, kCodecsId, kWallpapersId, kAfterEffectsPluginId })
            seed.RemoveKey(std::string(kUninstallKey) + id);
        disc.AddMenu();
        disc.AddProgram(kSuiteSetup);
        disc.AddProgram(kCodecsSetup);
        disc.AddProgram(kWallpapersSetup, wallpapersActions);
        MovePointerTo(kAwayFromMenu);
    }

    CMenuDriver& StartMenu()
    {
        menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        EXPECT_NE(nullptr, menu->WaitForWindow()) << "the menu window did not appear";
        EXPECT_TRUE(
            PollUntil([&] { return ::IsWindowEnabled(menu->Control(IDC_WALLPAPERS)) != FALSE; }, kWindowTimeoutMs));
        EXPECT_TRUE(WaitUntilReadyForInput(menu->Window()));
        return *menu;
    }

    std::wstring LineText() const { return WideWindowText(menu->Control(IDC_DESCRIPTION)); }

    size_t StartsOf(const std::string& relative) const
    {
        const std::vector<CStubRecord> starts = disc.Starts();
        return static_cast<size_t>(std::count_if(starts.begin(), starts.end(),
            [&](const CStubRecord& start) { return start.program == disc.PathOf(relative); }));
    }

    CRegistrySeed seed;
    CFixtureDisc disc;
    std::unique_ptr<CMenuDriver> menu;
    // What the wallpapers' setup does: nothing, unless a test says otherwise first.
    std::vector<std::string> wallpapersActions;
};

// The wallpapers' setup runs a moment and registers the wallpapers.
class KeyboardWithInstaller : public Keyboard {
protected:
    void SetUp() override
    {
        wallpapersActions
            = { "sleep " + std::to_string(kSetupRunMs), "regkey " + std::string(kUninstallKey) + kWallpapersId };
        Keyboard::SetUp();
    }
};

TEST_F(Keyboard, TabAndTheArrowsVisitTheOfferedButtonsInScreenOrderWithTheCueAndTheDescription)
{
    CMenuDriver& menu = StartMenu();
    const CProgramTexts texts(disc.MenuPath());
    const std::vector<int> order(std::begin(kOfferedInTabOrder), std::end(kOfferedInTabOrder));

    // As the mouse user sees it: the focus on the default, no cue, an empty line.
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_SUITE)));
    ::Sleep(300);
    EXPECT_FALSE(ShowsCue(menu.Control(IDC_SUITE))) << "a cue before any key";
    EXPECT_EQ(L"", LineText());

    struct CStep {
        WORD key;
        bool shift;
        int reached;
    };
    const CStep steps[] = { { VK_TAB, false, IDC_WALLPAPERS }, { VK_TAB, false, IDC_VFW_CODECS },
        { VK_TAB, false, IDC_LANGUAGE }, { VK_TAB, false, IDOK }, { VK_TAB, false, IDC_SUITE }, { VK_TAB, true, IDOK },
        { VK_TAB, true, IDC_LANGUAGE }, { VK_DOWN, false, IDOK }, { VK_RIGHT, false, IDC_SUITE },
        { VK_UP, false, IDOK }, { VK_LEFT, false, IDC_LANGUAGE } };
    const std::pair<int, unsigned> descriptions[] = { { IDC_SUITE, IDS_SUITE_DESCRIPTION },
        { IDC_WALLPAPERS, IDS_WALLPAPERS_DESCRIPTION }, { IDC_VFW_CODECS, IDS_VFW_CODECS_DESCRIPTION },
        { IDC_LANGUAGE, IDS_LANGUAGE_DESCRIPTION }, { IDOK, IDS_EXIT_DESCRIPTION } };
    int previous = IDC_SUITE;
    for (const CStep& step : steps) {
        SCOPED_TRACE("key " + std::to_string(step.key) + (step.shift ? " with Shift" : "") + " towards "
            + std::to_string(step.reached));
        if (step.shift)
            PressShiftTab(menu.Window());
        else
            menu.PressKey(step.key);
        const HWND reached = menu.Control(step.reached);
        ASSERT_TRUE(WaitForFocus(reached)) << "the focus is on control " << ::GetDlgCtrlID(FocusOf(menu.Window()));
        EXPECT_TRUE(WaitForCue(reached, true)) << "no cue on the focused button";
        EXPECT_TRUE(WaitForCue(menu.Control(previous), false)) << "the cue stayed on " << previous;
        for (const auto& [id, text] : descriptions) {
            if (id == step.reached) {
                EXPECT_TRUE(PollUntil([&] { return LineText() == texts.Text(text); }, kHoverTimeoutMs))
                    << "the line does not follow the focus";
            }
        }
        previous = step.reached;
    }

    // The arrows also visit a greyed entry to tell why it is greyed: the cue
    // and the line go to it, the focus stays, Enter presses nothing, and Tab
    // goes on from it.
    menu.PressKey(VK_TAB);
    menu.PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_SUITE)));
    menu.PressKey(VK_DOWN);
    EXPECT_TRUE(WaitForCue(menu.Control(IDC_HOTFIX), true)) << "no cue on the visited greyed entry";
    EXPECT_TRUE(WaitForCue(menu.Control(IDC_SUITE), false));
    EXPECT_TRUE(PollUntil([&] { return LineText() != texts.Text(IDS_SUITE_DESCRIPTION); }, kHoverTimeoutMs));
    const std::wstring reason = LineText();
    EXPECT_FALSE(reason.empty());
    menu.PressKey(VK_RETURN);
    ::Sleep(300);
    EXPECT_TRUE(FindTopLevelWindows(kQuestionCaption, kDialogClass, menu.ProcessId()).empty()) << "Enter pressed";
    EXPECT_EQ(menu.Control(IDC_SUITE), FocusOf(menu.Window()));
    menu.PressKey(VK_TAB);
    EXPECT_TRUE(WaitForFocus(menu.Control(IDC_WALLPAPERS)));
    EXPECT_TRUE(WaitForCue(menu.Control(IDC_HOTFIX), false));
    EXPECT_TRUE(PollUntil([&] { return LineText() == texts.Text(IDS_WALLPAPERS_DESCRIPTION); }, kHoverTimeoutMs));

    // The pointer wins as soon as it moves, and tells the same reason.
    menu.PointAt(IDC_HOTFIX);
    EXPECT_TRUE(PollUntil([&] { return LineText() == reason; }, kHoverTimeoutMs));
    menu.PointAt(IDC_AFTER_EFFECTS_PLUGIN);
    EXPECT_TRUE(PollUntil(
        [&] { return LineText() == texts.Text(IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100); }, kHoverTimeoutMs));
}

TEST_F(Keyboard, EnterAndSpacePressTheFocusedButtonAndEnterBeforeAnyMovePressesTheDefault)
{
    struct CRow {
        const char* name;
        int tabs; // negative: Shift+Tab
        WORD key;
        const char* started; // the program the key starts, or null
    };
    const CRow rows[] = { { "Enter at the start: the suite's question", 0, VK_RETURN, nullptr },
        { "Enter on the wallpapers", 1, VK_RETURN, kWallpapersSetup },
        { "Space on the codecs", 2, VK_SPACE, kCodecsSetup }, { "Enter on Exit", -1, VK_RETURN, nullptr } };
    for (const CRow& row : rows) {
        SCOPED_TRACE(row.name);
        const size_t suiteStarts = StartsOf(kSuiteSetup);
        CMenuDriver& menu = StartMenu();
        ASSERT_TRUE(WaitForFocus(menu.Control(IDC_SUITE)));
        for (int i = 0; i < row.tabs; ++i)
            menu.PressKey(VK_TAB);
        if (row.tabs < 0)
            PressShiftTab(menu.Window());
        menu.PressKey(row.key);
        if (row.started != nullptr) {
            EXPECT_TRUE(PollUntil([&] { return StartsOf(row.started) == 1; }, kFlowTimeoutMs)) << row.started;
            EXPECT_TRUE(FindTopLevelWindows(kQuestionCaption, kDialogClass, menu.ProcessId()).empty())
                << "the suite's question came up";
            EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kFlowTimeoutMs));
        } else if (row.tabs == 0) {
            const HWND question = WaitForMessageBox(kQuestionCaption, menu.ProcessId());
            ASSERT_NE(nullptr, question) << "Enter did not press the suite, the default";
            AnswerMessageBox(question, IDNO);
            EXPECT_TRUE(PollUntil([&] { return StartsOf(kSuiteSetup) == suiteStarts + 1; }, kFlowTimeoutMs));
            continue;
        } else {
            EXPECT_TRUE(menu.WaitForExit()) << "Enter on Exit left the menu up";
            EXPECT_EQ(0u, menu.ExitCode());
        }
        EXPECT_EQ(suiteStarts, StartsOf(kSuiteSetup)) << "the suite's installer started";
    }
}

TEST_F(KeyboardWithInstaller, FocusGoesOnWhenAnInstallerGreysTheFocusedButton)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_SUITE)));
    menu.PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_WALLPAPERS)));
    menu.PressKey(VK_SPACE);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowEnabled(menu.Control(IDC_WALLPAPERS)); }, kFlowTimeoutMs));
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kFlowTimeoutMs));

    // The next button takes the focus, with its cue, and Tab goes on from there.
    const HWND codecs = menu.Control(IDC_VFW_CODECS);
    EXPECT_TRUE(WaitForFocus(codecs)) << "the focus is on " << FocusOf(menu.Window());
    EXPECT_TRUE(WaitForCue(codecs, true));
    ASSERT_TRUE(WaitUntilReadyForInput(menu.Window()));
    menu.PressKey(VK_TAB);
    EXPECT_TRUE(WaitForFocus(menu.Control(IDC_LANGUAGE)));
    menu.PressKey(VK_RETURN);
    EXPECT_NE(nullptr, WaitForDialogWith(IDC_ENGLISH, menu.ProcessId())) << "Enter did not reach the language button";
}

TEST_F(Keyboard, LanguageChosenByKeysInScreenOrderAndEscapeKeepsIt)
{
    CMenuDriver& menu = StartMenu();
    PressShiftTab(menu.Window());
    PressShiftTab(menu.Window());
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_LANGUAGE)));
    menu.PressKey(VK_RETURN);
    HWND dialog = WaitForDialogWith(IDC_ENGLISH, menu.ProcessId());
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, IDC_ENGLISH))) << "the dialog does not open on the language in use";
    EXPECT_TRUE(WaitForCue(::GetDlgItem(dialog, IDC_ENGLISH), true)) << "the keyboard's cue did not carry over";

    struct CStep {
        WORD key;
        int reached;
    };
    const CStep steps[] = { { VK_DOWN, IDC_FRENCH }, { VK_DOWN, IDC_GERMAN }, { VK_TAB, IDC_ITALIAN },
        { VK_DOWN, IDC_SPANISH }, { VK_DOWN, IDC_JAPANESE }, { VK_DOWN, IDC_ENGLISH }, { VK_UP, IDC_JAPANESE },
        { VK_UP, IDC_SPANISH }, { VK_UP, IDC_ITALIAN }, { VK_UP, IDC_GERMAN }, { VK_UP, IDC_FRENCH } };
    for (const CStep& step : steps) {
        PressKeyIn(dialog, step.key);
        EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, step.reached))) << "towards " << step.reached;
    }
    PressKeyIn(dialog, VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));
    DWORD stored = 0;
    EXPECT_TRUE(PollUntil(
        [&] { return ReadDwordValue(kLanguageKey, kLanguageValue, stored) && stored == kFrenchCode; }, kFlowTimeoutMs));

    // Opened again in French it starts on French; Escape chooses nothing.
    ASSERT_TRUE(WaitForFocus(menu.Control(IDC_LANGUAGE)));
    menu.PressKey(VK_SPACE);
    dialog = WaitForDialogWith(IDC_ENGLISH, menu.ProcessId());
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, IDC_FRENCH)));
    PressKeyIn(dialog, VK_DOWN);
    PressKeyIn(dialog, VK_ESCAPE);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));
    EXPECT_TRUE(ReadDwordValue(kLanguageKey, kLanguageValue, stored));
    EXPECT_EQ(kFrenchCode, stored);
}

TEST_F(Keyboard, ModelChosenByKeys)
{
    seed.SetString(
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AcroRd32.exe", "Path", disc.PathOf("Reader"));
    seed.RemoveValue("Software\\Tavrin", "Codec");
    disc.AddProgram("Reader\\acrord32.exe");
    disc.AddFile("Docs\\Manual_VexaA.pdf", "%PDF-1.3\n");
    disc.AddFile("Docs\\Manual_VexaB.pdf", "%PDF-1.3\n");
    CMenuDriver& menu = StartMenu();
    menu.PostCommand(IDC_MANUAL);
    const HWND dialog = WaitForDialogWith(IDC_VEXA100, menu.ProcessId());
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, IDC_VEXA10)));

    const std::pair<WORD, int> steps[] = { { VK_TAB, IDC_VEXA100 }, { VK_TAB, IDC_MODEL_EXIT }, { VK_DOWN, IDC_VEXA10 },
        { VK_UP, IDC_MODEL_EXIT }, { VK_UP, IDC_VEXA100 } };
    for (const auto& [key, reached] : steps) {
        PressKeyIn(dialog, key);
        EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, reached))) << "towards " << reached;
    }
    PressKeyIn(dialog, VK_RETURN);
    const std::vector<CStubRecord> starts = disc.WaitForStarts(1, kFlowTimeoutMs);
    ASSERT_EQ(1u, starts.size()) << "Enter on Vexa100 opened nothing";
    EXPECT_NE(std::string::npos, starts[0].commandLine.find("Manual_VexaB.pdf"));
}

// Names in the menu's language, the greyed state and the descriptions, as a
// screen reader asks for them; the accessibility library comes only then.
TEST_F(Keyboard, ScreenReadersHearFrenchNamesStatesAndDescriptions)
{
    seed.SetDword(kLanguageKey, kLanguageValue, kFrenchCode);
    CMenuDriver& menu = StartMenu();
    const CProgramTexts texts(disc.MenuPath());
    std::string loadedFrom;
    EXPECT_FALSE(LoadedLibrary(menu.ProcessId(), "oleacc.dll", loadedFrom)) << "loaded at start from " << loadedFrom;

    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    struct CRow {
        int id;
        std::wstring name;
        unsigned description;
        bool greyed;
    };
    const CRow rows[] = { { IDOK, texts.Text(IDS_EXIT_TOOLTIP + kFrenchOffset), IDS_EXIT_DESCRIPTION, false },
        { IDC_WALLPAPERS, texts.Text(IDS_WALLPAPERS_LABEL + kFrenchOffset), IDS_WALLPAPERS_DESCRIPTION, false },
        { IDC_AFTER_EFFECTS_PLUGIN, texts.Text(IDS_AFTER_EFFECTS_PLUGIN_LABEL + kFrenchOffset),
            IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100, true } };
    EXPECT_EQ(L"Quitter", rows[0].name);
    for (const CRow& row : rows) {
        SCOPED_TRACE("control " + std::to_string(row.id));
        IAccessible* accessible = nullptr;
        ASSERT_TRUE(SUCCEEDED(::AccessibleObjectFromWindow(
            menu.Control(row.id), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible))));
        VARIANT self {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        BSTR description = nullptr;
        VARIANT state {};
        EXPECT_EQ(S_OK, accessible->get_accName(self, &name));
        EXPECT_EQ(S_OK, accessible->get_accDescription(self, &description));
        EXPECT_EQ(S_OK, accessible->get_accState(self, &state));
        EXPECT_EQ(row.name, name != nullptr ? std::wstring(name) : L"");
        EXPECT_EQ(
            texts.Text(row.description + kFrenchOffset), description != nullptr ? std::wstring(description) : L"");
        EXPECT_EQ(row.greyed, state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0);
        ::SysFreeString(name);
        ::SysFreeString(description);
        accessible->Release();
    }
    ::CoUninitialize();

    EXPECT_TRUE(LoadedLibrary(menu.ProcessId(), "oleacc.dll", loadedFrom));
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    std::string expected = std::string(system) + "\\oleacc.dll";
    std::transform(expected.begin(), expected.end(), expected.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(expected, loadedFrom);
}

} // namespace
