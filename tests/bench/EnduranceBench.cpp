// Endurance: the menu's repeated work must leave memory, GDI and USER
// objects and handles flat. In this process, the entries and 17 real hover
// buttons under a hidden window go through thousands of language switches,
// hovers with repaints and relabels and hundreds of launch-and-refresh
// cycles; then the real Splash.exe takes thousands of pointer moves and
// hundreds of language dialogs, measured from outside.
#include "EnduranceBench.h"

#include "app/HoverButtonHost.h"
#include "base/Handles.h"
#include "controls/HoverButton.h"
#include "entries/EntryTable.h"
#include "entries/MenuEntries.h"
#include "entries/MenuState.h"
#include "framework/Window.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include "../support/ControlsHarness.h"
#include "../support/RawRegistry.h"
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"

#include <windows.h>

#include "../support/MenuControls.h"
#include "Driver.h"
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include <string>
#include <vector>

namespace {

constexpr char kMenuTitle[] = "Tavrin Vexa";
constexpr char kTavrinKey[] = "SOFTWARE\\Tavrin";
constexpr int kLanguages = 6;
// In-process rounds; each is six language switches, a hover, repaint and
// relabel of every button, and one launch of the wallpapers installer.
constexpr int kRounds = 400;
constexpr int kWarmUpRounds = 5;
constexpr DWORD kInstallerWaitMs = 5000;
// The real menu: pointer moves, with a rest long enough for a hover now and then.
constexpr int kPointerMoves = 3000;
constexpr int kRestEvery = 150;
constexpr DWORD kRestMs = 700;
constexpr int kLanguageDialogs = 300;
constexpr DWORD kWindowLimitMs = 30000;
constexpr DWORD kDialogLimitMs = 5000;
constexpr DWORD kEndLimitMs = 10000;
constexpr int kClickSpread = 10;

// Growth between the middle and the end that still counts as flat: what the
// platform makes once and keeps (caches), and the working set's noise.
constexpr long kGdiSlack = 8;
constexpr long kUserSlack = 2;
constexpr long kHandleSlack = 4;
constexpr long kMemorySlackKb = 512;

// The controls that the menu shows, which a pointer can rest on.
constexpr int kVisibleControls[] = {
    IDC_SUITE,
    IDC_HOTFIX,
    IDC_EFFECT_ADDONS,
    IDC_WALLPAPERS,
    IDC_VFW_CODECS,
    IDC_REGISTER,
    IDC_AFTER_EFFECTS_PLUGIN,
    IDC_PHOTOSHOP_PLUGIN,
    IDC_MAX_PLUGIN,
    IDC_LIGHTWAVE_PLUGIN,
    IDC_SPICEMASTER_DEMO,
    IDC_PREMIERE_UPDATER,
    IDC_LANGUAGE,
    IDOK,
};
// clang-format on

// What a process holds; -1 where the system reports nothing.
struct CFigures {
    long workingSetKb = -1;
    long privateKb = -1;
    long gdiObjects = -1;
    long userObjects = -1;
    long handles = -1;
};

// Committed private memory, region by region: what the system's private
// bytes count, for systems that leave that count at 0 (Wine).
long PrivateCommittedKb(HANDLE process)
{
    long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr; ::VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region);
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += static_cast<long long>(region.RegionSize);
        if (region.RegionSize == 0)
            break;
    }
    return static_cast<long>(total / 1024);
}

// Working set and private bytes through kernel32's own export.
void ReadMemory(HANDLE process, CFigures& figures)
{
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (query == nullptr || !query(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return;
    figures.workingSetKb = static_cast<long>(counters.WorkingSetSize / 1024);
    figures.privateKb
        = counters.PrivateUsage != 0 ? static_cast<long>(counters.PrivateUsage / 1024) : PrivateCommittedKb(process);
}

// This process: the harness's counts, which fall back to counting the GDI
// table's free slots, this thread's windows and the valid handle values.
CFigures OwnFigures()
{
    CFigures figures;
    ReadMemory(::GetCurrentProcess(), figures);
    figures.gdiObjects = harness::CountGdiObjects();
    figures.userObjects = harness::CountUserObjects();
    figures.handles = harness::CountHandles();
    return figures;
}

struct CWindowCount {
    DWORD processId;
    long windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM parameter)
{
    ++reinterpret_cast<CWindowCount*>(parameter)->windows;
    return TRUE;
}

BOOL CALLBACK CountProcessWindow(HWND window, LPARAM parameter)
{
    auto* count = reinterpret_cast<CWindowCount*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == count->processId) {
        ++count->windows;
        ::EnumChildWindows(window, &CountChild, parameter);
    }
    return TRUE;
}

// Another process, seen from outside: the system's GDI, USER and handle
// counts where it reports them; USER objects otherwise as the process's
// windows; GDI objects and handles otherwise not at all.
CFigures OutsideFigures(HANDLE process, DWORD processId)
{
    CFigures figures;
    ReadMemory(process, figures);
    if (const DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS))
        figures.gdiObjects = static_cast<long>(gdi);
    if (const DWORD user = ::GetGuiResources(process, GR_USEROBJECTS)) {
        figures.userObjects = static_cast<long>(user);
    } else {
        CWindowCount count{processId, 0};
        ::EnumWindows(&CountProcessWindow, reinterpret_cast<LPARAM>(&count));
        figures.userObjects = count.windows;
    }
    DWORD handles = 0;
    if (::GetProcessHandleCount(process, &handles) && handles != 0)
        figures.handles = static_cast<long>(handles);
    return figures;
}

std::string Cell(long value)
{
    return value < 0 ? std::string("n/a") : std::to_string(value);
}

void PrintFigures(const char* title, const std::vector<std::pair<std::string, CFigures>>& rows)
{
    std::printf("\n%s\n", title);
    std::printf("%-44s %14s %14s %11s %12s %8s\n", "when", "working set KB", "private KB", "GDI objects",
                "USER objects", "handles");
    for (const auto& [when, figures] : rows)
        std::printf("%-44s %14s %14s %11s %12s %8s\n", when.c_str(), Cell(figures.workingSetKb).c_str(),
                    Cell(figures.privateKb).c_str(), Cell(figures.gdiObjects).c_str(),
                    Cell(figures.userObjects).c_str(), Cell(figures.handles).c_str());
}

// "flat" when a counter grew by no more than its slack between two
// samples taken after the warm-up, when first-use costs are paid; the
// working set only shows which pages were touched and is not judged.
void PrintVerdict(const char* span, const CFigures& before, const CFigures& after)
{
    const auto verdict = [](long first, long last, long slack) {
        if (first < 0 || last < 0)
            return std::string("not reported");
        const long growth = last - first;
        return (growth <= slack ? "flat (" : "GROWS (") + std::string(growth >= 0 ? "+" : "") + std::to_string(growth)
            + ")";
    };
    std::printf("%s: private bytes %s KB, GDI objects %s, USER objects %s, handles %s\n", span,
                verdict(before.privateKb, after.privateKb, kMemorySlackKb).c_str(),
                verdict(before.gdiObjects, after.gdiObjects, kGdiSlack).c_str(),
                verdict(before.userObjects, after.userObjects, kUserSlack).c_str(),
                verdict(before.handles, after.handles, kHandleSlack).c_str());
    std::fflush(stdout);
}

// A disc in a fresh temporary folder: every file of the layout, the
// clean-up program and the wallpapers installer copies of a program that
// ends at once, and the menu itself.
void LayDisc(const CTestDisc& disc)
{
    for (const CDiscFile& file : DiscLayoutFiles())
        disc.AddFile(file.path);
    disc.AddProgram(kCleanupProgram, "FixtureProgram.exe");
    disc.AddProgram("\\Bonus\\DesktopWallpapers\\setup.exe", "FixtureProgram.exe");
    disc.AddMenu();
}

// The menu as the entries see it: a hidden window, bound like the dialog so
// that it hands WM_DRAWITEM to its buttons, with a real owner-drawn button
// bound to a hover button for each of the menu's 17 controls.
class CBenchHost : public CHoverButtonHost {
public:
    CBenchHost()
    {
        constexpr int kButtonWidth = 200;
        constexpr int kButtonHeight = 24;
        constexpr int kOffScreen = -4000;
        menu.Reset(::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Endurance bench menu", WS_POPUP, kOffScreen,
                                     kOffScreen, kButtonWidth, kButtonHeight * 17, nullptr, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr));
        parent.Attach(menu.Get());
        int top = 0;
        for (int controlId : kMenuControls) {
            const HWND control = ::CreateWindowExA(
                0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, top, kButtonWidth, kButtonHeight, menu.Get(),
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), ::GetModuleHandleA(nullptr), nullptr);
            auto button = std::make_unique<CHoverButton>();
            button->Attach(control);
            button->LoadStrip(controlId == IDOK ? IDB_EXIT_STRIP : IDB_TEXT_STRIP);
            buttons[controlId] = std::move(button);
            top += kButtonHeight;
        }
    }

    CHoverButton* EntryButton(int controlId) override
    {
        const auto found = buttons.find(controlId);
        return found != buttons.end() ? found->second.get() : nullptr;
    }
    HWND MenuWindow() override { return menu.Get(); }
    int AskModel() override { return kModelNone; }

    // The pointer enters, rests, paints the hovered face, leaves, and the normal face is painted.
    void HoverAndRepaint(HDC canvas)
    {
        for (int controlId : kMenuControls) {
            const HWND button = buttons[controlId]->GetHandle();
            ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            ::SendMessageA(button, WM_MOUSEHOVER, 0, MAKELPARAM(3, 3));
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_BUTTON;
            item.CtlID = static_cast<UINT>(controlId);
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = button;
            item.hDC = canvas;
            ::GetClientRect(button, &item.rcItem);
            ::SendMessageA(menu.Get(), WM_DRAWITEM, static_cast<WPARAM>(controlId), reinterpret_cast<LPARAM>(&item));
            ::SendMessageA(button, WM_MOUSELEAVE, 0, 0);
            item.itemState = ::IsWindowEnabled(button) ? 0 : ODS_DISABLED;
            ::SendMessageA(menu.Get(), WM_DRAWITEM, static_cast<WPARAM>(controlId), reinterpret_cast<LPARAM>(&item));
        }
    }

    // New captions, descriptions and tooltips on every button, as a refresh gives them.
    void Relabel(int round)
    {
        const std::wstring text = L"Endurance " + std::to_wstring(round);
        for (auto& [controlId, button] : buttons) {
            button->SetCaptions(text.c_str(), RGB(255, 255, 255), text.c_str(), RGB(255, 255, 255), text.c_str(),
                                RGB(255, 255, 255), text.c_str(), RGB(81, 110, 125));
            button->SetDescriptions(text.c_str(), round % 2 == 0 ? nullptr : L"Unavailable.");
            button->SetTooltipText(text.c_str(), round % 3 != 0);
            static_cast<void>(button->GetDescription());
        }
    }

private:
    COwnedWindow menu;
    CWindow parent;
    std::map<int, std::unique_ptr<CHoverButton>> buttons;
};

// Wall time of the calls of one kind, in total.
class CStopwatch {
public:
    void Time(const std::function<void()>& work)
    {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        ticks += end.QuadPart - start.QuadPart;
        ++calls;
    }
    double MsEach() const
    {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return calls == 0 ? 0.0 : 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart) / calls;
    }
    long Calls() const { return calls; }

private:
    long long ticks = 0;
    long calls = 0;
};

void BenchInProcess(const std::string& discRoot)
{
    CBenchHost host;
    CMenuState state;
    state.discRoot = discRoot;
    state.languageCode = 9;
    state.suiteInstalled = true;
    state.model = kModelVexa100;
    CMenuEntries entries(state, host);
    entries.installerTimeoutMs = kInstallerWaitMs;
    long failures = 0;
    entries.showMessage = [&failures](HWND, const std::wstring&, const std::wstring&, UINT) {
        ++failures;
        return IDOK;
    };
    entries.writeDebugLine = [&failures](const std::string&) { ++failures; };
    harness::CPixelCanvas canvas(200, 24, RGB(0, 0, 0));

    CStopwatch switches;
    CStopwatch hovers;
    CStopwatch relabels;
    CStopwatch launches;
    const auto round = [&](int number) {
        for (int language = 0; language < kLanguages; ++language)
            switches.Time([&] { entries.RefreshAllEntries(language); });
        hovers.Time([&] { host.HoverAndRepaint(canvas.Dc()); });
        relabels.Time([&] { host.Relabel(number); });
        launches.Time([&] { entries.RunEntryAction(IDC_WALLPAPERS); });
        harness::PumpMessages();
    };

    for (int number = 0; number < kWarmUpRounds; ++number)
        round(number);
    std::vector<std::pair<std::string, CFigures>> rows;
    rows.emplace_back("start (after " + std::to_string(kWarmUpRounds) + " warm-up rounds)", OwnFigures());
    for (int number = 0; number < kRounds; ++number) {
        round(number);
        if (number + 1 == kRounds / 2)
            rows.emplace_back("middle (" + std::to_string(number + 1) + " rounds)", OwnFigures());
    }
    rows.emplace_back("end (" + std::to_string(kRounds) + " rounds)", OwnFigures());

    PrintFigures("Endurance in this process: entries with 17 bound hover buttons under a hidden window", rows);
    std::printf("%ld language switches (RefreshAllEntries, each running the clean-up program) %.1f ms each\n",
                switches.Calls(), switches.MsEach());
    std::printf("%ld hovers of all 17 buttons (move, hover, 2 repaints, leave) %.2f ms per button\n", hovers.Calls(),
                hovers.MsEach() / 17);
    std::printf("%ld relabels of all 17 buttons %.3f ms per button\n", relabels.Calls(), relabels.MsEach() / 17);
    std::printf("%ld launch-and-refresh cycles of the wallpapers entry %.1f ms each\n", launches.Calls(),
                launches.MsEach());
    std::printf("messages and debugger lines (failed starts or waits): %ld\n", failures);
    PrintVerdict("middle to end", rows[1].second, rows[2].second);
}

void BenchRealMenu(const std::string& program, const std::string& discRoot)
{
    CMenuDriver driver(program, discRoot + "\\stub-log.txt", discRoot);
    const HWND menu = driver.WaitForWindow(kWindowLimitMs);
    if (menu == nullptr) {
        std::printf("the menu window did not appear\n");
        return;
    }
    const COwnedKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, driver.ProcessId()));
    const DWORD processId = driver.ProcessId();

    std::vector<POINT> targets;
    for (int controlId : kVisibleControls)
        targets.push_back(driver.ControlCentre(controlId));
    const HWND description = ::GetDlgItem(menu, IDC_DESCRIPTION);

    std::vector<std::pair<std::string, CFigures>> rows;
    ::Sleep(kRestMs);
    rows.emplace_back("start (window shown)", OutsideFigures(process.Get(), processId));

    // Moves across the buttons; each rest lets the pointer hover and the description line follow it.
    int described = 0;
    for (int move = 0; move < kPointerMoves; ++move) {
        const POINT& target = targets[static_cast<size_t>(move) % targets.size()];
        ::SetCursorPos(target.x + move % 7 - 3, target.y + move % 5 - 2);
        ::Sleep(1);
        if ((move + 1) % kRestEvery == 0) {
            ::Sleep(kRestMs);
            char text[256] = {};
            DWORD_PTR copied = 0;
            ::SendMessageTimeoutA(description, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                                  kDialogLimitMs, &copied);
            described += text[0] != '\0' ? 1 : 0;
        }
    }
    rows.emplace_back("after " + std::to_string(kPointerMoves) + " pointer moves",
                      OutsideFigures(process.Get(), processId));

    // The language dialog opened by a click on its button and left with Escape.
    int opened = 0;
    int escaped = 0;
    for (int cycle = 0; cycle < kLanguageDialogs; ++cycle) {
        BringToFront(menu);
        // Two clicks close in time and place make a double click, which an
        // owner-drawn button reports as such and not as a click: alternate sides.
        POINT target = driver.ControlCentre(IDC_LANGUAGE);
        target.x += cycle % 2 == 0 ? -kClickSpread : kClickSpread;
        ClickAt(target);
        const HWND dialog = WaitForDialogWith(IDC_ENGLISH, processId, kDialogLimitMs);
        if (dialog == nullptr)
            continue;
        ++opened;
        PressKeyIn(dialog, VK_ESCAPE);
        const auto closed = [&] { return FindDialogWith(IDC_ENGLISH, processId) == nullptr; };
        if (PollUntil(closed, kDialogLimitMs)) {
            ++escaped;
        } else {
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            PollUntil(closed, kDialogLimitMs);
        }
        if (cycle + 1 == kLanguageDialogs / 2)
            rows.emplace_back("after " + std::to_string(cycle + 1) + " language dialogs",
                              OutsideFigures(process.Get(), processId));
    }
    rows.emplace_back("after " + std::to_string(kLanguageDialogs) + " language dialogs",
                      OutsideFigures(process.Get(), processId));

    driver.PostClose();
    if (!driver.WaitForExit(kEndLimitMs))
        std::printf("the menu did not end after WM_CLOSE; stopped\n");
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.Get(), &exitCode);

    PrintFigures("Endurance of the real Splash.exe, measured from outside", rows);
    std::printf("description line filled at %d of %d rests (a button disabled without a reason, such as the "
                "Premiere updater here, leaves it empty); language dialog opened %d of %d times, left with Escape %d "
                "times; exit code %lu\n",
                described, kPointerMoves / kRestEvery, opened, kLanguageDialogs, escaped,
                static_cast<unsigned long>(exitCode));
    std::printf("USER objects are the windows of the process where the system reports none; GDI objects and handles "
                "of another process are not reported under Wine (GetGuiResources and GetProcessHandleCount answer "
                "0), so the in-process table stands for them.\n");
    PrintVerdict("pointer moves (start to after the moves)", rows[0].second, rows[1].second);
    PrintVerdict("language dialogs (half-way to the end)", rows[2].second, rows[3].second);
}

}  // namespace

CProcessMemory ReadMemoryOf(HANDLE process)
{
    CFigures figures;
    ReadMemory(process, figures);
    return CProcessMemory{figures.workingSetKb, figures.privateKb};
}

void RunEnduranceSection()
{
    const CTestDisc disc("TavrinEndurance");
    LayDisc(disc);
    const std::string& root = disc.Root();
    BenchInProcess(root);

    if (::FindWindowA(nullptr, kMenuTitle) != nullptr) {
        std::printf("\na window titled \"%s\" is open already: the real menu would end at once; skipped\n", kMenuTitle);
        return;
    }
    if (rawregistry::ReadRawValue(kRunKey, kRunValue)) {
        std::printf("\nthe Run value \"%s\" would take the real menu to another disc; skipped\n", kRunValue);
        return;
    }
    // At a first start the menu stores a language, which goes again with
    // the keys it needed.
    CRegistrySeed keptLanguage;
    keptLanguage.WatchKey(kTavrinKey);
    keptLanguage.WatchValue(kLanguageKey, kLanguageValue);
    BenchRealMenu(root + "\\Splash.exe", root);
}
