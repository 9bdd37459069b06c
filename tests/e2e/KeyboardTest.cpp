// The menu and its two small dialogs worked with the keyboard alone: the
// focus in the order of the screen, Enter and Space on the focused button,
// the cue read from the screen before and after a key, the description line
// following the keyboard, the focus kept when its button greys, and what a
// screen reader hears, in French.
#include "Driver.h"
#include "FixtureDisc.h"
#include "RegistrySeed.h"
#include "ScreenProbe.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>
#include <psapi.h>

#include <algorithm>
#include <memory>

namespace {

constexpr char kLanguageKey[] = "SOFTWARE\\Tavrin\\Kardo";
constexpr DWORD kFrenchCode = 1036;
constexpr int kFrenchOffset = 1000;
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kWallpapersId[] = "{BC63809E-2917-4E6E-AF3A-8D1EE3CDD516}";
constexpr const char* kProductIds[]
    = { "{444E2E17-6784-4BF0-926A-996E29E73729}", "{6a8189b9-edf5-4b5b-97d0-6dd18fc78470}", kWallpapersId };
constexpr char kSuiteSetup[] = "Nimbo\\setup.exe";
constexpr char kWallpapersSetup[] = "Bonus\\DesktopWallpapers\\setup.exe";
constexpr char kCodecsSetup[] = "Bonus\\VFWSoftwareCodecs\\setup.exe";
constexpr char kQuestionCaption[] = "Nimbo Setup";
constexpr DWORD kFlowTimeoutMs = 15000;
constexpr int kNearWhite = 0xE0; // the cue; no frame of the strips comes near it
constexpr WORD kShiftTab = 0xFFFF; // a key of the tables below: Tab with Shift held

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

void Press(HWND window, WORD key)
{
    if (key != kShiftTab)
        return PressKeyIn(window, key);
    BringToFront(window);
    INPUT keys[4] {};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = i == 0 || i == 3 ? VK_SHIFT : VK_TAB;
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, keys, sizeof(INPUT));
}

// Whether the screen shows the cue on the button: white just inside its
// border on both sides, where every frame holds its fill.
bool WaitForCue(HWND button, bool shown)
{
    return PollUntil(
        [&] {
            RECT place {};
            ::GetWindowRect(button, &place);
            const CScreenShot shot(place);
            const int middle = (place.top + place.bottom) / 2;
            const bool white = ColorsNear(shot.Pixel(place.left + 2, middle), RGB(255, 255, 255), 0xFF - kNearWhite)
                && ColorsNear(shot.Pixel(place.right - 3, middle), RGB(255, 255, 255), 0xFF - kNearWhite);
            return white == shown;
        },
        kHoverTimeoutMs);
}

// The full path, in lower case, of a library the process has loaded; empty when none.
std::string LoadedLibrary(DWORD processId, const std::string& name)
{
    const COwnedKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD needed = 0;
    if (!process || !::EnumProcessModules(process.Get(), modules, sizeof(modules), &needed))
        return "?";
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        char file[MAX_PATH] = {};
        ::GetModuleFileNameExA(process.Get(), modules[i], file, MAX_PATH);
        std::string path = CharLowerA(file);
        if (path.size() > name.size() && path.substr(path.size() - name.size() - 1) == "\\" + name)
            return path;
    }
    return std::string();
}

class Keyboard : public ::testing::Test {
protected:
    // The suite, the wallpapers and the codecs are offered; every other entry is greyed.
    void Start(const std::vector<std::string>& wallpapersActions = {}, DWORD languageCode = 9)
    {
        seed.RemoveValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Splash");
        seed.SetDword(kLanguageKey, "Language", languageCode);
        for (const char* id : kProductIds)
            seed.RemoveKey(std::string(kUninstallKey) + id);
        disc.AddMenu();
        disc.AddProgram(kSuiteSetup);
        disc.AddProgram(kCodecsSetup);
        disc.AddProgram(kWallpapersSetup, wallpapersActions);
        MovePointerTo(POINT { 1200, 1000 });
        Restart();
    }

    void Restart()
    {
        menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        ASSERT_NE(nullptr, menu->WaitForWindow());
        ASSERT_TRUE(PollUntil([&] { return ::IsWindowEnabled(Control(IDC_WALLPAPERS)) != FALSE; }, kWindowTimeoutMs));
        ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
        ASSERT_TRUE(WaitForFocus(Control(IDC_SUITE)));
    }

    HWND Control(int id) const { return menu->Control(id); }
    std::wstring Line() const { return WideWindowText(Control(IDC_DESCRIPTION)); }
    size_t StartsOf(const std::string& relative) const
    {
        const std::vector<CStubRecord> starts = disc.Starts();
        return std::count_if(
            starts.begin(), starts.end(), [&](const CStubRecord& s) { return s.program == disc.PathOf(relative); });
    }

    CRegistrySeed seed;
    CFixtureDisc disc;
    std::unique_ptr<CMenuDriver> menu;
};

TEST_F(Keyboard, KeysMoveTheFocusInScreenOrderWithTheCueAndTheDescription)
{
    Start();
    const CProgramTexts texts(disc.MenuPath());
    EXPECT_TRUE(WaitForCue(Control(IDC_SUITE), false)) << "a cue before any key";
    EXPECT_EQ(L"", Line());

    // Where each key leaves the focus and the cue, and what the line says:
    // the arrows also visit greyed entries, which show their reason while
    // the focus stays, and Enter presses nothing there.
    const struct {
        WORD key;
        int focus;
        int cue;
        unsigned text;
    } steps[] = { { VK_TAB, IDC_WALLPAPERS, IDC_WALLPAPERS, IDS_WALLPAPERS_DESCRIPTION },
        { VK_TAB, IDC_VFW_CODECS, IDC_VFW_CODECS, IDS_VFW_CODECS_DESCRIPTION },
        { VK_TAB, IDC_LANGUAGE, IDC_LANGUAGE, IDS_LANGUAGE_DESCRIPTION }, { VK_TAB, IDOK, IDOK, IDS_EXIT_DESCRIPTION },
        { VK_TAB, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION }, { kShiftTab, IDOK, IDOK, IDS_EXIT_DESCRIPTION },
        { kShiftTab, IDC_LANGUAGE, IDC_LANGUAGE, IDS_LANGUAGE_DESCRIPTION },
        { VK_DOWN, IDOK, IDOK, IDS_EXIT_DESCRIPTION }, { VK_RIGHT, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION },
        { VK_DOWN, IDC_SUITE, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE },
        { VK_RETURN, IDC_SUITE, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE },
        { VK_TAB, IDC_WALLPAPERS, IDC_WALLPAPERS, IDS_WALLPAPERS_DESCRIPTION },
        { VK_UP, IDC_WALLPAPERS, IDC_EFFECT_ADDONS, IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100 },
        { VK_LEFT, IDC_WALLPAPERS, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE },
        { VK_UP, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION } };
    HWND cued = Control(IDC_SUITE);
    for (const auto& step : steps) {
        SCOPED_TRACE("key " + std::to_string(step.key) + " towards " + std::to_string(step.cue));
        Press(menu->Window(), step.key);
        ASSERT_TRUE(WaitForFocus(Control(step.focus))) << "the focus is on " << ::GetDlgCtrlID(FocusOf(menu->Window()));
        EXPECT_TRUE(WaitForCue(Control(step.cue), true)) << "no cue where the keyboard is";
        EXPECT_TRUE(cued == Control(step.cue) || WaitForCue(cued, false)) << "the cue stayed behind";
        cued = Control(step.cue);
        EXPECT_TRUE(PollUntil([&] { return Line() == texts.Text(step.text); }, kHoverTimeoutMs))
            << "the line does not follow";
    }
    EXPECT_TRUE(FindTopLevelWindows(kQuestionCaption, kDialogClass, menu->ProcessId()).empty())
        << "a greyed entry pressed";

    // The pointer wins as soon as it moves.
    menu->PointAt(IDC_AFTER_EFFECTS_PLUGIN);
    EXPECT_TRUE(
        PollUntil([&] { return Line() == texts.Text(IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100); }, kHoverTimeoutMs));
}

// One run by keys alone: Enter first presses the default, then Enter and
// Space press the focused button; the focus goes on from the button that its
// installer greyed, and Enter on Exit ends the menu.
TEST_F(Keyboard, EnterAndSpacePressTheFocusedButtonAndTheFocusOutlivesItsGreying)
{
    Start({ "sleep 800", "regkey " + std::string(kUninstallKey) + kWallpapersId });
    const struct {
        std::vector<WORD> moves;
        int focus;
        WORD key;
        const char* started; // null: the menu ends
    } rows[] = { { {}, IDC_SUITE, VK_RETURN, kSuiteSetup }, { { VK_TAB }, IDC_WALLPAPERS, VK_SPACE, kWallpapersSetup },
        { {}, IDC_VFW_CODECS, VK_RETURN, kCodecsSetup }, { { kShiftTab, kShiftTab }, IDOK, VK_RETURN, nullptr } };
    for (const auto& row : rows) {
        SCOPED_TRACE("towards " + std::to_string(row.focus));
        for (const WORD move : row.moves)
            Press(menu->Window(), move);
        ASSERT_TRUE(WaitForFocus(Control(row.focus))) << "the focus is on " << FocusOf(menu->Window());
        Press(menu->Window(), row.key);
        if (row.started == nullptr)
            EXPECT_TRUE(menu->WaitForExit()) << "Enter on Exit left the menu up";
        else if (row.started == kSuiteSetup)
            AnswerMessageBox(WaitForMessageBox(kQuestionCaption, menu->ProcessId()), IDNO);
        if (row.started != nullptr) {
            EXPECT_TRUE(PollUntil([&] { return StartsOf(row.started) == 1; }, kFlowTimeoutMs)) << row.started;
            ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu->Window()) != FALSE; }, kFlowTimeoutMs));
            ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
        }
    }
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_WALLPAPERS)));
    EXPECT_EQ(1u, StartsOf(kSuiteSetup)) << "a key but the first Enter pressed the suite";
}

// Both small dialogs by keys: from the language in use, or from Vexa10, once
// round in screen order with Down, Tab and Right, back with Up, Shift+Tab and
// Left, then the last key: Enter chooses, Escape chooses nothing.
TEST_F(Keyboard, LanguageAndModelChosenByKeys)
{
    seed.SetString(
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\AcroRd32.exe", "Path", disc.PathOf("Reader"));
    seed.RemoveValue("Software\\Tavrin", "Codec");
    disc.AddProgram("Reader\\acrord32.exe");
    disc.AddFile("Docs\\Manual_VexaA.pdf", "%PDF-1.3\n");
    disc.AddFile("Docs\\Manual_VexaB.pdf", "%PDF-1.3\n");
    Start();
    const std::vector<int> languages = { IDC_ENGLISH, IDC_FRENCH, IDC_GERMAN, IDC_ITALIAN, IDC_SPANISH, IDC_JAPANESE };
    const struct {
        std::vector<int> order;
        size_t first;
        size_t back;
        WORD last;
    } rows[] = { { languages, 0, 5, VK_RETURN }, { languages, 1, 2, VK_ESCAPE },
        { { IDC_VEXA10, IDC_VEXA100, IDC_MODEL_EXIT }, 0, 2, VK_RETURN } };
    for (const auto& row : rows) {
        const int first = row.order[row.first];
        SCOPED_TRACE("dialog from " + std::to_string(first));
        if (first == IDC_VEXA10) {
            menu->PostCommand(IDC_MANUAL);
        } else if (FocusOf(menu->Window()) != Control(IDC_LANGUAGE)) {
            for (const WORD key : { kShiftTab, kShiftTab, static_cast<WORD>(VK_RETURN) })
                Press(menu->Window(), key);
        } else {
            Press(menu->Window(), VK_SPACE);
        }
        const HWND dialog = WaitForDialogWith(first, menu->ProcessId());
        ASSERT_NE(nullptr, dialog);
        const size_t count = row.order.size();
        for (size_t step = 0; step <= count + row.back; ++step) {
            const size_t at = step <= count ? row.first + step : row.first + 2 * count - step;
            EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, row.order[at % count]))) << "step " << step;
            const WORD forward[] = { VK_DOWN, VK_TAB, VK_RIGHT }, backward[] = { VK_UP, kShiftTab, VK_LEFT };
            Press(dialog, step == count + row.back ? row.last : step < count ? forward[step % 3] : backward[step % 3]);
        }
        ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));
        ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu->Window()) != FALSE; }, kFlowTimeoutMs));
        ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
        DWORD stored = 0;
        EXPECT_TRUE(ReadDwordValue(kLanguageKey, "Language", stored) && stored == kFrenchCode) << stored;
    }
    // In a new run, whose model is unknown again, Enter at once takes the focused Vexa10.
    Restart();
    menu->PostCommand(IDC_MANUAL);
    const HWND dialog = WaitForDialogWith(IDC_VEXA10, menu->ProcessId());
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(WaitForFocus(::GetDlgItem(dialog, IDC_VEXA10)));
    Press(dialog, VK_RETURN);
    const std::vector<CStubRecord> starts = disc.WaitForStarts(2, kFlowTimeoutMs);
    ASSERT_EQ(2u, starts.size()) << "Enter in the model dialog opened nothing";
    EXPECT_NE(std::string::npos, starts[0].commandLine.find("Manual_VexaB.pdf"));
    EXPECT_NE(std::string::npos, starts[1].commandLine.find("Manual_VexaA.pdf"));
}

// Names in the menu's language, the greyed state and the descriptions, as a
// screen reader asks for them; the accessibility library comes only then.
TEST_F(Keyboard, ScreenReadersHearFrenchNamesStatesAndDescriptions)
{
    Start({}, kFrenchCode);
    const CProgramTexts texts(disc.MenuPath());
    EXPECT_EQ("", LoadedLibrary(menu->ProcessId(), "oleacc.dll")) << "loaded at the start";

    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const struct {
        int id;
        unsigned name;
        unsigned description;
        bool greyed;
    } rows[] = { { IDOK, IDS_EXIT_TOOLTIP, IDS_EXIT_DESCRIPTION, false },
        { IDC_WALLPAPERS, IDS_WALLPAPERS_LABEL, IDS_WALLPAPERS_DESCRIPTION, false },
        { IDC_AFTER_EFFECTS_PLUGIN, IDS_AFTER_EFFECTS_PLUGIN_LABEL, IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100,
            true } };
    ASSERT_EQ(L"Quitter", texts.Text(IDS_EXIT_TOOLTIP + kFrenchOffset));
    for (const auto& row : rows)
        EXPECT_EQ(texts.Text(row.name + kFrenchOffset), WideWindowText(Control(row.id))) << "window text " << row.id;
    for (const auto& row : rows) {
        SCOPED_TRACE("control " + std::to_string(row.id));
        IAccessible* accessible = nullptr;
        const HRESULT found = ::AccessibleObjectFromWindow(
            Control(row.id), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible));
        if (found == E_NOINTERFACE && sizeof(void*) == 8)
            GTEST_SKIP()
                << "64-bit Wine cannot marshal an IAccessible between processes, not even its own standard one";
        ASSERT_EQ(S_OK, found);
        VARIANT self { { { VT_I4, 0, 0, 0, { CHILDID_SELF } } } };
        BSTR name = nullptr;
        BSTR description = nullptr;
        VARIANT state {};
        EXPECT_EQ(S_OK, accessible->get_accName(self, &name));
        EXPECT_EQ(S_OK, accessible->get_accDescription(self, &description));
        EXPECT_EQ(S_OK, accessible->get_accState(self, &state));
        EXPECT_EQ(texts.Text(row.name + kFrenchOffset), std::wstring(name != nullptr ? name : L""));
        EXPECT_EQ(
            texts.Text(row.description + kFrenchOffset), std::wstring(description != nullptr ? description : L""));
        EXPECT_EQ(row.greyed, state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0);
        ::SysFreeString(name);
        ::SysFreeString(description);
        accessible->Release();
    }
    ::CoUninitialize();

    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(std::string(CharLowerA(system)) + "\\oleacc.dll", LoadedLibrary(menu->ProcessId(), "oleacc.dll"));
}

} // namespace
