// The menu and its two small dialogs worked with the keyboard alone, the
// focus cue read from the screen before and after a key, and what a screen
// reader hears in French.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "ScreenProbe.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <oleacc.h>
#include <psapi.h>

#include <memory>

namespace {

constexpr const char* kProductKeys[] = {kSuiteUninstallKey, kCodecsUninstallKey, kWallpapersKey};
constexpr char kSuiteSetup[] = "Nimbo\\setup.exe";
constexpr char kWallpapersSetup[] = "Bonus\\DesktopWallpapers\\setup.exe";
constexpr char kCodecsSetup[] = "Bonus\\VFWSoftwareCodecs\\setup.exe";
constexpr char kQuestionCaption[] = "Nimbo Setup";
constexpr DWORD kFlowTimeoutMs = 15000;
constexpr WORD kShiftTab = 0xFFFF;  // a key of the tables below: Tab with Shift held

bool WaitForFocus(HWND control)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(control, nullptr);
    return PollUntil([&] { return ::GetGUIThreadInfo(thread, &info) && info.hwndFocus == control; }, kHoverTimeoutMs);
}

void Press(HWND window, WORD key)
{
    if (key == kShiftTab)
        ::keybd_event(VK_SHIFT, 0, 0, 0);
    PressKeyIn(window, key == kShiftTab ? VK_TAB : key);
    if (key == kShiftTab)
        ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Whether the screen shows the cue: white just inside the button's border
// on both sides, where every frame of the strips holds its dark or blue fill.
bool WaitForCue(HWND button, bool shown)
{
    return PollUntil(
        [&] {
            RECT place{};
            ::GetWindowRect(button, &place);
            const CScreenShot shot(place);
            const int y = (place.top + place.bottom) / 2;
            const COLORREF white = RGB(255, 255, 255);
            return shown
                == (ColorsNear(shot.Pixel(place.left + 2, y), white, 0x20)
                    && ColorsNear(shot.Pixel(place.right - 3, y), white, 0x20));
        },
        kHoverTimeoutMs);
}

// The full path, in lower case, of the process's library `name`; empty when it has none.
std::string LoadedLibrary(DWORD processId, const std::string& name)
{
    const COwnedKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD size = 0;
    if (!process || !::EnumProcessModules(process.Get(), modules, sizeof(modules), &size))
        return "?";
    for (DWORD i = 0; i < size / sizeof(HMODULE) && i < 512; ++i) {
        char file[MAX_PATH] = {};
        ::GetModuleFileNameExA(process.Get(), modules[i], file, MAX_PATH);
        const std::string path = ::CharLowerA(file);
        if (path.size() > name.size() && path.substr(path.size() - name.size() - 1) == "\\" + name)
            return path;
    }
    return std::string();
}

class Keyboard : public ::testing::Test {
protected:
    // The suite, the wallpapers and the codecs are offered; every other entry is greyed.
    void Start(const std::vector<std::string>& wallpapersActions = {})
    {
        seed.RemoveValue(kRunKey, kRunValue);
        seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
        for (const char* key : kProductKeys)
            seed.RemoveKey(key);
        disc.AddMenu();
        disc.AddStub(kSuiteSetup);
        disc.AddStub(kCodecsSetup);
        disc.AddStub(kWallpapersSetup, wallpapersActions);
        MovePointerTo(POINT{1200, 1000});
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

    CRegistrySeed seed;
    CTestDisc disc;
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
    } steps[] = {{VK_TAB, IDC_WALLPAPERS, IDC_WALLPAPERS, IDS_WALLPAPERS_DESCRIPTION},
                 {VK_TAB, IDC_VFW_CODECS, IDC_VFW_CODECS, IDS_VFW_CODECS_DESCRIPTION},
                 {VK_TAB, IDC_LANGUAGE, IDC_LANGUAGE, IDS_LANGUAGE_DESCRIPTION},
                 {VK_TAB, IDOK, IDOK, IDS_EXIT_DESCRIPTION},
                 {VK_TAB, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION},
                 {kShiftTab, IDOK, IDOK, IDS_EXIT_DESCRIPTION},
                 {kShiftTab, IDC_LANGUAGE, IDC_LANGUAGE, IDS_LANGUAGE_DESCRIPTION},
                 {VK_DOWN, IDOK, IDOK, IDS_EXIT_DESCRIPTION},
                 {VK_RIGHT, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION},
                 {VK_DOWN, IDC_SUITE, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE},
                 {VK_RETURN, IDC_SUITE, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE},
                 {VK_TAB, IDC_WALLPAPERS, IDC_WALLPAPERS, IDS_WALLPAPERS_DESCRIPTION},
                 {VK_UP, IDC_WALLPAPERS, IDC_EFFECT_ADDONS, IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100},
                 {VK_LEFT, IDC_WALLPAPERS, IDC_HOTFIX, IDS_HOTFIX_NEEDS_SUITE},
                 {VK_UP, IDC_SUITE, IDC_SUITE, IDS_SUITE_DESCRIPTION}};
    HWND cued = Control(IDC_SUITE);
    for (const auto& step : steps) {
        SCOPED_TRACE("key " + std::to_string(step.key) + " towards " + std::to_string(step.cue));
        Press(menu->Window(), step.key);
        ASSERT_TRUE(WaitForFocus(Control(step.focus)));
        EXPECT_TRUE(WaitForCue(Control(step.cue), true)) << "no cue where the keyboard is";
        EXPECT_TRUE(cued == Control(step.cue) || WaitForCue(cued, false)) << "the cue stayed behind";
        cued = Control(step.cue);
        EXPECT_TRUE(PollUntil([&] { return Line() == texts.Text(step.text); }, kHoverTimeoutMs))
            << "the line does not follow";
    }
    EXPECT_EQ(0u, disc.Starts().size()) << "a greyed entry pressed";
    EXPECT_TRUE(FindTopLevelWindows(kQuestionCaption, kDialogClass, menu->ProcessId()).empty());

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
    Start({"sleep 800", "regkey " + std::string(kWallpapersKey)});
    const struct {
        std::vector<WORD> moves;
        int focus;
        WORD key;
        const char* started;  // null: the menu ends
    } rows[] = {{{}, IDC_SUITE, VK_RETURN, kSuiteSetup},
                {{VK_TAB}, IDC_WALLPAPERS, VK_SPACE, kWallpapersSetup},
                {{}, IDC_VFW_CODECS, VK_RETURN, kCodecsSetup},
                {{kShiftTab, kShiftTab}, IDOK, VK_RETURN, nullptr}};
    size_t starts = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE("towards " + std::to_string(row.focus));
        for (const WORD move : row.moves)
            Press(menu->Window(), move);
        ASSERT_TRUE(WaitForFocus(Control(row.focus)));
        Press(menu->Window(), row.key);
        if (row.started == nullptr) {
            EXPECT_TRUE(menu->WaitForExit()) << "Enter on Exit left the menu up";
            break;
        }
        if (row.started == kSuiteSetup)
            AnswerMessageBox(WaitForMessageBox(kQuestionCaption, menu->ProcessId()), IDNO);
        const std::vector<CStubRecord> started = disc.WaitForStarts(++starts, kFlowTimeoutMs);
        ASSERT_EQ(starts, started.size());
        EXPECT_EQ(disc.PathOf(row.started), started.back().program);
        ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu->Window()) != FALSE; }, kFlowTimeoutMs));
        ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
    }
    EXPECT_EQ(starts, disc.Starts().size());
}

// Both small dialogs by keys: from the language in use, or from Vexa10, once
// round in screen order with Down, Tab and Right, back with Up, Shift+Tab and
// Left, then the last key: Enter chooses, Escape chooses nothing; in a new
// run Enter at once takes the focused model. Then, with the menu in French,
// what a screen reader hears; the accessibility library comes only with its
// first question.
TEST_F(Keyboard, LanguageAndModelChosenByKeysThenTheScreenReadersFrench)
{
    seed.SetString(kAcrobatReaderAppPathsKey, kAcrobatReaderFolderValue, disc.PathOf("Reader"));
    seed.RemoveValue(kCodecKey, kCodecValue);
    disc.AddStub("Reader\\acrord32.exe");
    disc.AddFile("Docs\\Manual_VexaA.pdf", "%PDF-1.3\n");
    disc.AddFile("Docs\\Manual_VexaB.pdf", "%PDF-1.3\n");
    Start();
    const std::vector<int> languages = {IDC_ENGLISH, IDC_FRENCH, IDC_GERMAN, IDC_ITALIAN, IDC_SPANISH, IDC_JAPANESE};
    const struct {
        std::vector<WORD> opening;  // none: the manual's notification
        std::vector<int> order;
        size_t first;
        size_t back;
        WORD last;
    } rows[] = {{{kShiftTab, kShiftTab, VK_RETURN}, languages, 0, 5, VK_RETURN},
                {{VK_SPACE}, languages, 1, 2, VK_ESCAPE},
                {{}, {IDC_VEXA10, IDC_VEXA100, IDC_MODEL_EXIT}, 0, 2, VK_RETURN}};
    for (const auto& row : rows) {
        SCOPED_TRACE("dialog from " + std::to_string(row.order[row.first]));
        for (const WORD key : row.opening)
            Press(menu->Window(), key);
        if (row.opening.empty())
            menu->PostCommand(IDC_MANUAL);
        const HWND dialog = WaitForDialogWith(row.order[row.first], menu->ProcessId());
        ASSERT_NE(nullptr, dialog);
        const size_t count = row.order.size();
        for (size_t step = 0; step <= count + row.back; ++step) {
            const size_t at = step <= count ? row.first + step : row.first + 2 * count - step;
            EXPECT_TRUE(WaitForFocus(::GetDlgItem(dialog, row.order[at % count]))) << "step " << step;
            const WORD forward[] = {VK_DOWN, VK_TAB, VK_RIGHT}, backward[] = {VK_UP, kShiftTab, VK_LEFT};
            Press(dialog, step == count + row.back ? row.last : step < count ? forward[step % 3] : backward[step % 3]);
        }
        ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }, kWindowTimeoutMs));
        ASSERT_TRUE(WaitUntilReadyForInput(menu->Window()));
        DWORD stored = 0;
        EXPECT_TRUE(ReadDwordValue(kLanguageKey, kLanguageValue, stored) && stored == kFrenchCode) << stored;
    }
    const std::vector<CStubRecord> starts = disc.WaitForStarts(1, kFlowTimeoutMs);
    ASSERT_EQ(1u, starts.size()) << "Enter on Vexa100 opened nothing";
    EXPECT_NE(std::string::npos, starts[0].commandLine.find("Manual_VexaB.pdf"));
    // A new run, whose model is unknown again: Enter at once takes the focused Vexa10.
    Restart();
    menu->PostCommand(IDC_MANUAL);
    const HWND models = WaitForDialogWith(IDC_VEXA10, menu->ProcessId());
    ASSERT_NE(nullptr, models);
    ASSERT_TRUE(WaitForFocus(::GetDlgItem(models, IDC_VEXA10)));
    Press(models, VK_RETURN);
    const std::vector<CStubRecord> opened = disc.WaitForStarts(2, kFlowTimeoutMs);
    ASSERT_EQ(2u, opened.size()) << "Enter at once chose nothing";
    EXPECT_NE(std::string::npos, opened[1].commandLine.find("Manual_VexaA.pdf"));
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu->Window()) != FALSE; }, kFlowTimeoutMs));

    const CProgramTexts texts(disc.MenuPath());
    EXPECT_EQ("", LoadedLibrary(menu->ProcessId(), "oleacc.dll")) << "loaded before a screen reader asked";
    const struct {
        int id;
        unsigned name;
        unsigned description;
        bool greyed;
    } buttons[] = {
        {IDOK, IDS_EXIT_TOOLTIP, IDS_EXIT_DESCRIPTION, false},
        {IDC_WALLPAPERS, IDS_WALLPAPERS_LABEL, IDS_WALLPAPERS_DESCRIPTION, false},
        {IDC_AFTER_EFFECTS_PLUGIN, IDS_AFTER_EFFECTS_PLUGIN_LABEL, IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100, true}};
    ASSERT_EQ(L"Quitter", texts.Text(IDS_EXIT_TOOLTIP + kFrenchOffset));
    for (const auto& button : buttons)
        EXPECT_EQ(texts.Text(button.name + kFrenchOffset), WideWindowText(Control(button.id)));
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    for (const auto& button : buttons) {
        SCOPED_TRACE("control " + std::to_string(button.id));
        IAccessible* accessible = nullptr;
        const HRESULT found = ::AccessibleObjectFromWindow(Control(button.id), OBJID_CLIENT, IID_IAccessible,
                                                           reinterpret_cast<void**>(&accessible));
        if (found == E_NOINTERFACE && sizeof(void*) == 8)
            GTEST_SKIP()
                << "64-bit Wine cannot marshal an IAccessible between processes, not even its own standard one";
        ASSERT_EQ(S_OK, found);
        VARIANT self{{{VT_I4, 0, 0, 0, {CHILDID_SELF}}}};
        BSTR name = nullptr;
        BSTR description = nullptr;
        VARIANT state{};
        EXPECT_EQ(S_OK, accessible->get_accName(self, &name));
        EXPECT_EQ(S_OK, accessible->get_accDescription(self, &description));
        EXPECT_EQ(S_OK, accessible->get_accState(self, &state));
        EXPECT_EQ(texts.Text(button.name + kFrenchOffset), std::wstring(name != nullptr ? name : L""));
        EXPECT_EQ(texts.Text(button.description + kFrenchOffset),
                  std::wstring(description != nullptr ? description : L""));
        EXPECT_EQ(button.greyed, state.vt == VT_I4 && (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0);
        ::SysFreeString(name);
        ::SysFreeString(description);
        accessible->Release();
    }
    ::CoUninitialize();
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(std::string(::CharLowerA(system)) + "\\oleacc.dll", LoadedLibrary(menu->ProcessId(), "oleacc.dll"));
}

}  // namespace
