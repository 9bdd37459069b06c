// Benchmarks of the menu's costly steps, printed as tables. Each section is
// one function that fills a table; a section is added by writing its
// function and listing it in kSections.
//   splash_bench.exe             runs every section
//   splash_bench.exe NAME ...    runs the named sections
#include "BenchTable.h"
#include "EnduranceBench.h"
#include "StartupBreakdown.h"
#include "app/HoverButtonHost.h"
#include "base/Handles.h"
#include "controls/HoverButton.h"
#include "controls/WindowRegion.h"
#include "entries/EntryTable.h"
#include "entries/MenuEntries.h"
#include "entries/MenuState.h"
#include "framework/Application.h"
#include "res/Text.h"
#include "res/resource.h"
#include "system/FolderProbe.h"
#include "system/RegistryNames.h"

#include "../support/ControlsHarness.h"
#include "../support/MenuControls.h"
#include "../support/ReferenceRegion.h"
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "../support/TestPaths.h"

#include <windows.h>

#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace {

using bench::CStartupBreakdown;
using bench::CStartupRun;
using bench::CTable;
using bench::ElapsedMs;
using bench::Format;
using bench::Median;
using bench::Ratio;
using bench::ReadStartupRecord;

// The median wall time of `runs` calls of `work`, in milliseconds, after one
// call that is not counted (first-use costs).
double MedianMs(int runs, const std::function<void()>& work)
{
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    work();
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart)
                        / static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The main face picture stretched to `width` by `height`, as the dialog makes its face.
COwnedBitmap StretchedMainFace(int width, int height)
{
    COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(IDB_MAIN_FACE)));
    if (!picture)
        return COwnedBitmap();
    BITMAP info{};
    ::GetObjectA(picture.Get(), sizeof(info), &info);
    COwnedMemoryDc pictureDc(::CreateCompatibleDC(nullptr));
    CSelectedObject pictureSelection(pictureDc.Get(), picture.Get());
    COwnedBitmap face(::CreateCompatibleBitmap(pictureDc.Get(), width, height));
    COwnedMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    CSelectedObject faceSelection(faceDc.Get(), face.Get());
    ::StretchBlt(faceDc.Get(), 0, 0, width, height, pictureDc.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return face;
}

long RectangleCount(HRGN region)
{
    const DWORD size = ::GetRegionData(region, 0, nullptr);
    return size <= sizeof(RGNDATAHEADER) ? 0 : static_cast<long>((size - sizeof(RGNDATAHEADER)) / sizeof(RECT));
}

// The one GetDIBits read of the whole face at 32 bits, into a buffer made
// beforehand: what any builder that looks at every pixel must spend.
void ReadFaceOnce(HBITMAP face, SIZE size, std::vector<std::uint32_t>& pixels)
{
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = size.cx;
    format.bmiHeader.biHeight = -size.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    CWindowDc screen(nullptr);
    ::GetDIBits(screen.Get(), face, 0, static_cast<UINT>(size.cy), pixels.data(), &format, DIB_RGB_COLORS);
}

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// The size of the main dialog's window, which the menu stretches its face to.
SIZE MenuWindowSize()
{
    const HWND dialog
        = ::CreateDialogParamA(CApplication::Instance(), MAKEINTRESOURCEA(IDD_MENU), nullptr, &NoDialogProcedure, 0);
    RECT bounds{};
    ::GetWindowRect(dialog, &bounds);
    ::DestroyWindow(dialog);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

std::string Verdict(bool met)
{
    return met ? "met" : "NOT met";
}

// The wall time of one call of `work`, in milliseconds.
double TimeMs(const std::function<void()>& work)
{
    LARGE_INTEGER start{};
    LARGE_INTEGER end{};
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return ElapsedMs(start, end);
}

// The shaped window region of the main face built by the menu's builder,
// against the one read of the face alone (the least a builder can cost), the
// two timed in turn, and against the reference way (GetPixel per pixel,
// CombineRgn per run). The target holds for the menu's own picture; the
// shapes cut into it show what hundreds of rectangles cost the system's
// region calls; the last row is the menu's own call, whose opaque rectangle
// spares the reading.
void BenchWindowRegion()
{
    constexpr COLORREF kMagenta = RGB(255, 0, 255);
    constexpr int kReferenceRuns = 3;
    constexpr int kFastRuns = 31;
    constexpr double kTargetRatio = 2.0;
    const RECT none{0, 0, 0, 0};
    const RECT menuOpaque{0, 0, 763, 560};
    struct CRegionCase {
        SIZE size;
        bool holed;
        const RECT* opaque;
    };
    const SIZE menuSize = MenuWindowSize();
    const CRegionCase cases[] = {{{763, 560}, false, &none},
                                 {{763, 560}, true, &none},
                                 {{1526, 1120}, false, &none},
                                 {{1526, 1120}, true, &none},
                                 {menuSize, false, &menuOpaque}};

    CTable table({"face", "size", "rectangles", "one read ms", "builder ms", "x read", "target", "verdict",
                  "reference ms", "reference / builder", "same region"});
    for (const CRegionCase& test : cases) {
        const SIZE size = test.size;
        COwnedBitmap face = StretchedMainFace(size.cx, size.cy);
        if (!face) {
            std::printf("picture %d cannot be loaded\n", IDB_MAIN_FACE);
            return;
        }
        if (test.holed)
            harness::CutShapes(face.Get(), kMagenta);
        std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
        COwnedRegion actual;
        const auto read = [&] { ReadFaceOnce(face.Get(), size, pixels); };
        const auto build = [&] { actual.Reset(BuildFaceRegion(face.Get(), size.cx, size.cy, kMagenta, *test.opaque)); };
        read();
        build();
        std::vector<double> reads;
        std::vector<double> builds;
        for (int run = 0; run < kFastRuns; ++run) {
            reads.push_back(TimeMs(read));
            builds.push_back(TimeMs(build));
        }
        const double readMs = Median(reads);
        const double fastMs = Median(builds);
        COwnedRegion expected;
        const double referenceMs = MedianMs(kReferenceRuns, [&] {
            expected = reference::BuildReferenceRegion(face.Get(), size, size, kMagenta, *test.opaque);
        });
        const bool same = ::EqualRgn(expected.Get(), actual.Get()) != FALSE;
        const bool menuCall = test.opaque != &none;
        const bool targeted = !menuCall && !test.holed;
        table.AddRow({menuCall         ? "picture 131 as the menu shows it, 763 x 560 opaque"
                          : test.holed ? "picture 131 with magenta shapes"
                                       : "picture 131",
                      std::to_string(size.cx) + " x " + std::to_string(size.cy),
                      std::to_string(RectangleCount(actual.Get())), Format("%.2f", readMs), Format("%.2f", fastMs),
                      Ratio(fastMs, readMs), targeted ? Format("<= %.0f x", kTargetRatio) : "-",
                      targeted ? Verdict(fastMs <= kTargetRatio * readMs) : "-", Format("%.1f", referenceMs),
                      Format("%.0f", fastMs > 0 ? referenceMs / fastMs : 0.0), same ? "yes" : "NO"});
    }
    table.Print("Window region of the main face (medians of alternating runs; x read = builder / one GetDIBits read "
                "of the whole face)");
}

// ---------------------------------------------------------------------------
// What the start-up, refresh and size sections share.

constexpr char kMenuTitle[] = "Tavrin Vexa";
constexpr DWORD kEnglishCode = 9;

// The programs the bench starts or reads, all built beside it.
constexpr char kMenuProgram[] = "Splash.exe";
constexpr char kFloorProgram[] = "BareMenu.exe";
// The clean-up program's stand-ins, both ending at once: the windows-subsystem
// one, and the console one, which under Wine brings a console host that
// outlives it by 30 to 70 ms when started without a window.
constexpr char kInstantProgram[] = "FixtureWindowless.exe";
constexpr char kInstantConsoleProgram[] = "FixtureProgram.exe";
constexpr char kPremiereReleaseProgram[] = "FixtureVersionUnicode.exe";  // its FileVersion is "1, 5, 0, 0"

// The wall times of `runs` rounds in which every work runs once, in turn, so
// that a slow spell of the machine falls on all of them alike; one untimed
// round goes first (first-use costs).
std::vector<std::vector<double>> InterleavedTimesMs(int runs, const std::vector<std::function<void()>>& works)
{
    for (const auto& work : works)
        work();
    std::vector<std::vector<double>> times(works.size());
    for (int run = 0; run < runs; ++run) {
        for (size_t index = 0; index < works.size(); ++index) {
            LARGE_INTEGER start{};
            LARGE_INTEGER end{};
            ::QueryPerformanceCounter(&start);
            works[index]();
            ::QueryPerformanceCounter(&end);
            times[index].push_back(ElapsedMs(start, end));
        }
    }
    return times;
}

// Every file the menu looks for on a full disc, empty, with the clean-up
// program a copy of a fixture that ends at once (it ignores "/Silent").
void LayFullDisc(const CTestDisc& disc, const char* cleanupStandIn = kInstantProgram)
{
    for (const CDiscFile& file : DiscLayoutFiles())
        disc.AddFile(file.path);
    disc.AddProgram(kCleanupProgram, cleanupStandIn);
}

// ---------------------------------------------------------------------------
// Start-up: from the creation of the process to the visible menu window (the
// shipped programs, seen from outside) and to the first complete paint (the
// timed builds, by their own clock), with the breakdown of where the time
// goes and the memory held once the start-up is over.

constexpr int kStartRuns = 15;
constexpr DWORD kStartPollMs = 1;
constexpr DWORD kWindowLimitMs = 30000;
constexpr DWORD kEndLimitMs = 10000;
constexpr DWORD kIdleLimitMs = 2000;
// What a measured program leaves running once it has ended (under Wine, the
// console host of a console program started without a window) must not fall
// on the next measurement: each one first waits, untimed, until none of it
// is left, then this long.
constexpr DWORD kSettleMs = 250;
constexpr DWORD kLeftoverLimitMs = 5000;
constexpr DWORD kLeftoverPollMs = 5;
const char* const kLeftoverPrograms[] = {"conhost.exe", "NimboCleanup.fix"};
constexpr char kTimedMenuProgram[] = "SplashTimed.exe";
constexpr char kTimedFloorProgram[] = "BareMenuTimed.exe";
// The floor that runs the clean-up program twice before its window shows.
constexpr char kCleanupFloorProgram[] = "BareMenuCleanup.exe";
constexpr char kTimedCleanupFloorProgram[] = "BareMenuCleanupTimed.exe";
constexpr char kRecordFileVariable[] = "SPLASH_STARTUP_TIMING_FILE";
constexpr char kDoneEventVariable[] = "SPLASH_STARTUP_TIMING_EVENT";
// The menu on a disc without the clean-up program, against the floor.
constexpr double kBareDiscTarget = 1.15;
// The menu with a clean-up program that ends at once, against the floor that
// runs it twice itself, as the start-up must.
constexpr double kCleanupTarget = 1.10;
constexpr int kRequiredCleanupRuns = 2;
// About the time between the two clean-up runs of the start-up.
constexpr DWORD kCleanupGapMs = 8;
// The memory may exceed the floor's by this many faces.
constexpr int kFaceCopiesAllowed = 2;

struct CStart {
    bool shown = false;
    double ms = 0.0;
};

// One untimed round and then `runs` rounds in which every work runs once,
// each round starting one work later than the round before.
void RotatedRounds(int runs, const std::vector<std::function<void()>>& works)
{
    for (int round = 0; round <= runs; ++round) {
        for (size_t index = 0; index < works.size(); ++index)
            works[(index + static_cast<size_t>(round)) % works.size()]();
    }
}

// Whether a process of one of the leftover programs still runs.
bool LeftoversRun()
{
    COwnedKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) {
        snapshot.Release();
        return false;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more; more = ::Process32Next(snapshot.Get(), &entry)) {
        for (const char* program : kLeftoverPrograms) {
            if (_stricmp(entry.szExeFile, program) == 0)
                return true;
        }
    }
    return false;
}

// Waits, untimed, until the machine is as the measurements found it.
void Settle()
{
    for (DWORD waited = 0; LeftoversRun() && waited < kLeftoverLimitMs; waited += kLeftoverPollMs)
        ::Sleep(kLeftoverPollMs);
    ::Sleep(kSettleMs);
}

// A program started from the disc root, which it is made to end when the
// measurement is over.
class CStartedProgram {
public:
    CStartedProgram(const std::string& program, const std::string& discRoot)
    {
        std::string commandLine = "\"" + program + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        ::QueryPerformanceCounter(&startCounter);
        if (!::CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, discRoot.c_str(),
                              &startup, &started))
            return;
        process.Reset(started.hProcess);
        ::CloseHandle(started.hThread);
        processId = started.dwProcessId;
    }

    // Closes the menu's window and waits for the process to end, so that the
    // next start finds no running copy; false when it had to be stopped.
    ~CStartedProgram()
    {
        if (!process)
            return;
        if (const HWND menu = MenuWindow())
            ::PostMessageA(menu, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process.Get(), kEndLimitMs) != WAIT_OBJECT_0) {
            std::printf("a start did not end after WM_CLOSE; stopped\n");
            ::TerminateProcess(process.Get(), 1);
            ::WaitForSingleObject(process.Get(), kEndLimitMs);
        }
    }
    CStartedProgram(const CStartedProgram&) = delete;
    CStartedProgram& operator=(const CStartedProgram&) = delete;

    bool Started() const { return static_cast<bool>(process); }
    HANDLE Process() const { return process.Get(); }
    const LARGE_INTEGER& StartCounter() const { return startCounter; }

    // The visible window titled like the menu that belongs to the program.
    HWND MenuWindow() const
    {
        const HWND found = ::FindWindowA(nullptr, kMenuTitle);
        DWORD owner = 0;
        if (found != nullptr && ::GetWindowThreadProcessId(found, &owner) != 0 && owner == processId
            && ::IsWindowVisible(found))
            return found;
        return nullptr;
    }

private:
    COwnedKernelHandle process;
    DWORD processId = 0;
    LARGE_INTEGER startCounter{};
};

// Starts the program from the disc root and times it until its visible menu
// window shows, then closes it.
CStart TimeStartToMenu(const std::string& program, const std::string& discRoot)
{
    CStart result;
    if (::FindWindowA(nullptr, kMenuTitle) != nullptr)
        return result;  // the menu would take it for a running copy and end

    CStartedProgram started(program, discRoot);
    if (!started.Started())
        return result;
    HWND menu = nullptr;
    const DWORD pollStart = ::GetTickCount();
    while (menu == nullptr && ::GetTickCount() - pollStart < kWindowLimitMs) {
        menu = started.MenuWindow();
        if (menu == nullptr && ::WaitForSingleObject(started.Process(), kStartPollMs) == WAIT_OBJECT_0)
            break;
    }
    LARGE_INTEGER shown{};
    ::QueryPerformanceCounter(&shown);
    if (menu != nullptr) {
        result.shown = true;
        result.ms = ElapsedMs(started.StartCounter(), shown);
    }
    return result;
}

// What a timed start recorded up to its first complete paint, and the
// memory its process held once it was idle after that paint.
struct CTimedStart {
    bool painted = false;
    CStartupRun run;
    CProcessMemory memory;
};

// Starts a timed build, which writes its record and sets an event after its
// first complete paint; the bench only waits, so it takes no time from it.
CTimedStart TimeStartToFirstPaint(const std::string& program, const std::string& discRoot,
                                  const std::string& recordFolder)
{
    static int starts = 0;
    CTimedStart result;
    if (::FindWindowA(nullptr, kMenuTitle) != nullptr)
        return result;
    const std::string eventName
        = "SplashBenchFirstPaint-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++starts);
    COwnedKernelHandle painted(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    const std::string recordPath = recordFolder + "\\start-" + std::to_string(starts) + ".txt";
    if (!painted)
        return result;
    ::SetEnvironmentVariableA(kRecordFileVariable, recordPath.c_str());
    ::SetEnvironmentVariableA(kDoneEventVariable, eventName.c_str());
    {
        CStartedProgram started(program, discRoot);
        ::SetEnvironmentVariableA(kRecordFileVariable, nullptr);
        ::SetEnvironmentVariableA(kDoneEventVariable, nullptr);
        if (!started.Started())
            return result;
        const HANDLE waits[] = {painted.Get(), started.Process()};
        if (::WaitForMultipleObjects(2, waits, FALSE, kWindowLimitMs) != WAIT_OBJECT_0)
            return result;
        result.painted = ReadStartupRecord(recordPath, started.StartCounter().QuadPart, result.run);
        ::WaitForInputIdle(started.Process(), kIdleLimitMs);
        result.memory = ReadMemoryOf(started.Process());
    }
    std::error_code ignored;
    std::filesystem::remove(recordPath, ignored);
    return result;
}

std::string FolderOfProgram(const std::string& program)
{
    return program.substr(0, program.find_last_of('\\'));
}

// The bytes of the main face as the window holds it: its pixels at 32 bits.
size_t FaceBytes()
{
    COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(IDB_MAIN_FACE)));
    BITMAP info{};
    if (!picture || ::GetObjectA(picture.Get(), sizeof(info), &info) == 0)
        return 0;
    return static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight) * 4;
}

// The timed starts of one program: their records and their memory.
struct CTimedStarts {
    explicit CTimedStarts(size_t column) : column(column) {}
    size_t column;
    int calls = 0;
    std::vector<double> workingSetKb;
    std::vector<double> privateKb;
};

// The menu against its floor, started alternately from one full disc and
// from the same disc without the clean-up program, with the clean-up step
// alone in the same rounds: the shipped programs to their visible window,
// the timed builds to their first complete paint with the breakdown.
void BenchStartup()
{
    const std::string title = "Start-up to the visible menu window, shipped programs (medians of alternating runs; "
                              "window polled every "
        + std::to_string(kStartPollMs)
        + " ms; each start once what the last one "
          "left running has ended, and "
        + std::to_string(kSettleMs) + " ms more)";
    if (::FindWindowA(nullptr, kMenuTitle) != nullptr) {
        std::printf("\n%s\na window titled \"%s\" is open already: close it first\n", title.c_str(), kMenuTitle);
        return;
    }
    CTestDisc disc("SplashBenchStartDisc");
    CTestDisc bareDisc("SplashBenchStartBareDisc");
    CTestDisc consoleDisc("SplashBenchStartConsoleDisc");
    CTestDisc records("SplashBenchStartRecords");
    LayFullDisc(disc);
    disc.AddProgram("\\Splash.exe", kMenuProgram);
    disc.AddProgram("\\BareMenu.exe", kFloorProgram);
    disc.AddProgram("\\BareMenuCleanup.exe", kCleanupFloorProgram);
    LayFullDisc(bareDisc);
    bareDisc.AddProgram("\\Splash.exe", kMenuProgram);
    LayFullDisc(consoleDisc, kInstantConsoleProgram);
    consoleDisc.AddProgram("\\Splash.exe", kMenuProgram);
    bool timed = true;
    try {
        disc.AddProgram("\\SplashTimed.exe", kTimedMenuProgram);
        disc.AddProgram("\\BareMenuTimed.exe", kTimedFloorProgram);
        disc.AddProgram("\\BareMenuCleanupTimed.exe", kTimedCleanupFloorProgram);
        bareDisc.AddProgram("\\SplashTimed.exe", kTimedMenuProgram);
        consoleDisc.AddProgram("\\SplashTimed.exe", kTimedMenuProgram);
    } catch (const std::exception&) {
        timed = false;
        std::printf(
            "the timed builds are missing (build SplashTimed, BareMenuTimed and BareMenuCleanupTimed): no breakdown\n");
    }
    bareDisc.Remove(kCleanupProgram);
    CRegistrySeed seed;
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
    // A pointer that rests where the menu appears would have it track the
    // pointer (and load the common controls) during the measurement.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);

    CMenuState cleanupState;
    cleanupState.discRoot = disc.Root();
    CMenuState consoleCleanupState;
    consoleCleanupState.discRoot = consoleDisc.Root();
    CHeadlessMenuHost host;
    CMenuEntries cleanup(cleanupState, host);
    CMenuEntries consoleCleanup(consoleCleanupState, host);

    // The first, untimed round is not kept.
    int failures = 0;
    struct CCleanups {
        int calls = 0;
        std::vector<double> ms;
    } shippedCleanups, timedCleanups, timedPairs, shippedConsoleCleanups, timedConsoleCleanups, timedConsolePairs;
    // One run alone, or the two runs as the start-up makes them: under Wine
    // what the first one leaves running (the console host of a console
    // program started without a window) is still at work when the second one
    // starts.
    auto timeCleanupRuns = [&](CCleanups& cleanups, CMenuEntries& entries, int runs) {
        Settle();
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        ::QueryPerformanceCounter(&start);
        for (int run = 0; run < runs; ++run) {
            if (run > 0)
                ::Sleep(kCleanupGapMs);
            entries.CleanUpAndDetectSuite();
        }
        ::QueryPerformanceCounter(&end);
        if (cleanups.calls++ > 0)
            cleanups.ms.push_back(ElapsedMs(start, end));
    };
    auto timeCleanup = [&](CCleanups& cleanups, CMenuEntries& entries) { timeCleanupRuns(cleanups, entries, 1); };
    auto timeCleanupPair
        = [&](CCleanups& pairs, CMenuEntries& entries) { timeCleanupRuns(pairs, entries, kRequiredCleanupRuns); };
    struct CStarts {
        int calls = 0;
        std::vector<double> shown;
    } menuStarts, floorStarts, bareStarts, consoleStarts, cleanupFloorStarts;
    auto timeStart = [&](const std::string& program, CStarts& starts) {
        Settle();
        const CStart start = TimeStartToMenu(program, FolderOfProgram(program));
        if (!start.shown)
            ++failures;
        else if (starts.calls > 0)
            starts.shown.push_back(start.ms);
        ++starts.calls;
    };
    CStartupBreakdown breakdown(
        {"menu", "menu, no clean-up program", "floor", "menu, console clean-up stand-in", "floor, clean-up run twice"});
    CTimedStarts timedMenu(0), timedBare(1), timedFloor(2), timedConsole(3), timedCleanupFloor(4);
    auto timeFirstPaint = [&](const std::string& program, CTimedStarts& starts) {
        Settle();
        const CTimedStart start = TimeStartToFirstPaint(program, FolderOfProgram(program), records.Root());
        if (!start.painted)
            ++failures;
        else if (starts.calls > 0) {
            breakdown.Add(starts.column, start.run);
            starts.workingSetKb.push_back(static_cast<double>(start.memory.workingSetKb));
            starts.privateKb.push_back(static_cast<double>(start.memory.privateKb));
        }
        ++starts.calls;
    };
    const std::string menuPath = disc.Root() + "\\Splash.exe";
    const std::string floorPath = disc.Root() + "\\BareMenu.exe";
    const std::string bareMenuPath = bareDisc.Root() + "\\Splash.exe";
    const std::string timedMenuPath = disc.Root() + "\\SplashTimed.exe";
    const std::string timedFloorPath = disc.Root() + "\\BareMenuTimed.exe";
    const std::string cleanupFloorPath = disc.Root() + "\\BareMenuCleanup.exe";
    const std::string timedCleanupFloorPath = disc.Root() + "\\BareMenuCleanupTimed.exe";
    const std::string timedBarePath = bareDisc.Root() + "\\SplashTimed.exe";
    const std::string consoleMenuPath = consoleDisc.Root() + "\\Splash.exe";
    const std::string timedConsolePath = consoleDisc.Root() + "\\SplashTimed.exe";
    // The timed builds and the shipped programs each in their own rounds,
    // every round beginning one work further on, so that no kind of start
    // always follows the same other kind.
    if (timed)
        RotatedRounds(
            kStartRuns,
            {[&] { timeFirstPaint(timedMenuPath, timedMenu); }, [&] { timeFirstPaint(timedFloorPath, timedFloor); },
             [&] { timeFirstPaint(timedCleanupFloorPath, timedCleanupFloor); },
             [&] { timeCleanup(timedCleanups, cleanup); }, [&] { timeCleanupPair(timedPairs, cleanup); },
             [&] { timeFirstPaint(timedBarePath, timedBare); }, [&] { timeFirstPaint(timedConsolePath, timedConsole); },
             [&] { timeCleanup(timedConsoleCleanups, consoleCleanup); },
             [&] { timeCleanupPair(timedConsolePairs, consoleCleanup); }});
    RotatedRounds(kStartRuns,
                  {[&] { timeStart(menuPath, menuStarts); }, [&] { timeStart(floorPath, floorStarts); },
                   [&] { timeStart(cleanupFloorPath, cleanupFloorStarts); },
                   [&] { timeCleanup(shippedCleanups, cleanup); }, [&] { timeStart(bareMenuPath, bareStarts); },
                   [&] { timeStart(consoleMenuPath, consoleStarts); },
                   [&] { timeCleanup(shippedConsoleCleanups, consoleCleanup); }});
    if (failures != 0)
        std::printf("%d start(s) showed no window or no first paint within %lu ms\n", failures,
                    static_cast<unsigned long>(kWindowLimitMs));

    const double floorMs = Median(floorStarts.shown);
    const double timedCleanupMs = Median(timedCleanups.ms);
    auto row = [&](const char* what, const std::vector<double>& values) {
        if (values.empty())
            return std::vector<std::string>{what, "0", "-", "-", "-", "-"};
        return std::vector<std::string>{what,
                                        std::to_string(values.size()),
                                        Format("%.1f", Median(values)),
                                        Format("%.1f", *std::min_element(values.begin(), values.end())),
                                        Format("%.1f", *std::max_element(values.begin(), values.end())),
                                        Ratio(Median(values), floorMs)};
    };
    CTable table({"program", "runs", "median ms", "fastest ms", "slowest ms", "x floor"});
    table.AddRow(row("Splash.exe, the menu", menuStarts.shown));
    table.AddRow(row("BareMenu.exe, template 1002 and no logic (floor)", floorStarts.shown));
    table.AddRow(row("BareMenuCleanup.exe, the floor that runs the clean-up program twice", cleanupFloorStarts.shown));
    table.AddRow(row("clean-up step alone (NimboCleanup.fix /Silent, start to end)", shippedCleanups.ms));
    table.AddRow(row("Splash.exe on the disc without the clean-up program", bareStarts.shown));
    table.AddRow(row("Splash.exe, console clean-up stand-in", consoleStarts.shown));
    table.AddRow(row("clean-up step alone, console stand-in", shippedConsoleCleanups.ms));
    table.Print(title.c_str());
    if (!timed)
        return;

    breakdown.Print(("Where the start-up goes: timed builds from the creation of the process to the first complete "
                     "paint (medians of "
                     + std::to_string(breakdown.RunCount(0))
                     + " alternating runs; share of "
                       "the median whole)")
                        .c_str());

    const double menuPaintMs = breakdown.MedianTotalMs(0);
    const double barePaintMs = breakdown.MedianTotalMs(1);
    const double floorPaintMs = breakdown.MedianTotalMs(2);
    const double consolePaintMs = breakdown.MedianTotalMs(3);
    const double cleanupFloorPaintMs = breakdown.MedianTotalMs(4);
    const double timedConsoleCleanupMs = Median(timedConsoleCleanups.ms);
    const double leastWithCleanupMs = floorPaintMs + kRequiredCleanupRuns * timedCleanupMs;
    const double faceKb = static_cast<double>(FaceBytes()) / 1024;
    CTable targets({"what", "measured", "against", "ratio", "target", "verdict", "round by round"});
    // The ratio of the medians decides; the median of the ratios of each
    // round's own starts, which a slow spell of the machine touches less,
    // shows how firm it is.
    auto ratioRow = [&](const std::string& what, double measured, const std::string& against, double base,
                        double target, const std::vector<double>& roundRatios = {}) {
        const double ratio = base > 0 ? measured / base : 0.0;
        targets.AddRow({what, Format("%.1f ms", measured), against + Format(": %.1f ms", base), Format("%.2f x", ratio),
                        target > 0 ? Format("<= %.2f x", target) : "-",
                        target > 0 ? Verdict(base > 0 && ratio <= target) : "-",
                        roundRatios.empty() ? "-" : Format("%.2f x", Median(roundRatios))});
    };
    // Each start of the timed rounds against the floor's (and the clean-up's) of the same round.
    const std::vector<double> menuTotals = breakdown.TotalsMs(0);
    const std::vector<double> bareTotals = breakdown.TotalsMs(1);
    const std::vector<double> floorTotals = breakdown.TotalsMs(2);
    const std::vector<double> consoleTotals = breakdown.TotalsMs(3);
    const std::vector<double> cleanupFloorTotals = breakdown.TotalsMs(4);
    std::vector<double> bareRounds;
    std::vector<double> cleanupRounds;
    std::vector<double> oldCleanupRounds;
    std::vector<double> pairRounds;
    std::vector<double> consoleRounds;
    std::vector<double> consolePairRounds;
    const size_t rounds = std::min({menuTotals.size(), bareTotals.size(), floorTotals.size(), consoleTotals.size(),
                                    cleanupFloorTotals.size(), timedCleanups.ms.size(), timedPairs.ms.size(),
                                    timedConsoleCleanups.ms.size(), timedConsolePairs.ms.size()});
    for (size_t round = 0; round < rounds; ++round) {
        bareRounds.push_back(bareTotals[round] / floorTotals[round]);
        cleanupRounds.push_back(menuTotals[round] / cleanupFloorTotals[round]);
        oldCleanupRounds.push_back(menuTotals[round]
                                   / (floorTotals[round] + kRequiredCleanupRuns * timedCleanups.ms[round]));
        pairRounds.push_back(menuTotals[round] / (floorTotals[round] + timedPairs.ms[round]));
        consoleRounds.push_back(consoleTotals[round]
                                / (floorTotals[round] + kRequiredCleanupRuns * timedConsoleCleanups.ms[round]));
        consolePairRounds.push_back(consoleTotals[round] / (floorTotals[round] + timedConsolePairs.ms[round]));
    }
    std::vector<double> shownRounds;
    std::vector<double> shownBareRounds;
    std::vector<double> shownConsoleRounds;
    const size_t shownCount = std::min({menuStarts.shown.size(), floorStarts.shown.size(), bareStarts.shown.size(),
                                        cleanupFloorStarts.shown.size(), shippedCleanups.ms.size(),
                                        consoleStarts.shown.size(), shippedConsoleCleanups.ms.size()});
    for (size_t round = 0; round < shownCount; ++round) {
        shownRounds.push_back(menuStarts.shown[round] / cleanupFloorStarts.shown[round]);
        shownBareRounds.push_back(bareStarts.shown[round] / floorStarts.shown[round]);
        shownConsoleRounds.push_back(
            consoleStarts.shown[round]
            / (floorStarts.shown[round] + kRequiredCleanupRuns * shippedConsoleCleanups.ms[round]));
    }
    ratioRow("menu, disc without the clean-up program (first paint)", barePaintMs, "floor", floorPaintMs,
             kBareDiscTarget, bareRounds);
    ratioRow("menu, windowless clean-up program that ends at once (first paint)", menuPaintMs,
             "floor that runs it twice", cleanupFloorPaintMs, kCleanupTarget, cleanupRounds);
    // The measure of earlier runs: two runs timed by the bench, while idle,
    // added to the plain floor. Wine schedules a program that an idle
    // program starts better than one that a busy one starts, so it asks for
    // less than the floor above pays.
    ratioRow("the same, old measure: against floor + 2 x clean-up alone", menuPaintMs,
             "floor + 2 x clean-up alone (" + Format("%.1f", timedCleanupMs) + ")", leastWithCleanupMs, 0.0,
             oldCleanupRounds);
    ratioRow("the same, against both clean-up runs made as the start-up makes them", menuPaintMs,
             "floor + " + Format("%.0f", kCleanupGapMs) + " ms apart (" + Format("%.1f", Median(timedPairs.ms)) + ")",
             floorPaintMs + Median(timedPairs.ms), 0.0, pairRounds);
    ratioRow("the same, shipped programs to the visible window", Median(menuStarts.shown), "floor that runs it twice",
             Median(cleanupFloorStarts.shown), kCleanupTarget, shownRounds);
    ratioRow("menu without clean-up program, shipped, visible window", Median(bareStarts.shown), "floor", floorMs,
             kBareDiscTarget, shownBareRounds);
    // The console stand-in, for comparison: Wine's console host of each run
    // shares the two cores with what follows it.
    ratioRow("menu, console clean-up stand-in that ends at once (first paint)", consolePaintMs,
             "floor + 2 x its clean-up alone (" + Format("%.1f", timedConsoleCleanupMs) + ")",
             floorPaintMs + kRequiredCleanupRuns * timedConsoleCleanupMs, 0.0, consoleRounds);
    ratioRow("the same, against both its runs made as the start-up makes them", consolePaintMs,
             "floor + " + Format("%.0f", kCleanupGapMs) + " ms apart (" + Format("%.1f", Median(timedConsolePairs.ms))
                 + ")",
             floorPaintMs + Median(timedConsolePairs.ms), 0.0, consolePairRounds);
    ratioRow("the same, shipped programs to the visible window", Median(consoleStarts.shown),
             "floor + 2 x its clean-up alone (" + Format("%.1f", Median(shippedConsoleCleanups.ms)) + ")",
             floorMs + kRequiredCleanupRuns * Median(shippedConsoleCleanups.ms), 0.0, shownConsoleRounds);
    auto memoryRow = [&](const std::string& what, const std::vector<double>& menu, const std::vector<double>& floor) {
        const double limit = Median(floor) + kFaceCopiesAllowed * faceKb;
        targets.AddRow({what, Format("%.0f KB", Median(menu)),
                        "floor " + Format("%.0f KB", Median(floor)) + " + 2 x face " + Format("%.0f KB", faceKb),
                        Format("+%.0f KB", Median(menu) - Median(floor)), Format("<= %.0f KB", limit),
                        Verdict(Median(menu) <= limit), "-"});
    };
    memoryRow("working set after start-up, menu", timedMenu.workingSetKb, timedFloor.workingSetKb);
    memoryRow("private bytes after start-up, menu", timedMenu.privateKb, timedFloor.privateKb);
    targets.Print("Start-up targets (first paint by the timed builds' own clock; memory once idle after the first "
                  "paint; clean-up step alone measured in the same rounds)");
}

// ---------------------------------------------------------------------------
// Refresh of all entries: its time and the folder listings it makes.

constexpr int kRefreshRuns = 21;

// The menu window of the bench: a hidden top-level window with a real
// owner-drawn button, bound to a hover button, per control of the menu.
class CHiddenMenuHost : public CHoverButtonHost {
public:
    CHiddenMenuHost()
    {
        menu.Reset(::CreateWindowExA(0, "STATIC", "Splash bench menu", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr));
        int top = 0;
        for (int controlId : kMenuControls) {
            const HWND control = ::CreateWindowExA(
                0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, top, 200, 20, menu.Get(),
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), ::GetModuleHandleA(nullptr), nullptr);
            auto button = std::make_unique<CHoverButton>();
            if (control != nullptr && button->Attach(control))
                buttons[controlId] = std::move(button);
            top += 20;
        }
    }

    bool Complete() const { return menu && buttons.size() == std::size(kMenuControls); }

    CHoverButton* EntryButton(int controlId) override
    {
        const auto found = buttons.find(controlId);
        return found != buttons.end() ? found->second.get() : nullptr;
    }
    HWND MenuWindow() override { return menu.Get(); }
    int AskModel() override { return kModelNone; }

private:
    // The buttons go before the window that holds their controls.
    COwnedWindow menu;
    std::map<int, std::unique_ptr<CHoverButton>> buttons;
};

// What the machine holds, read back from the registry after the seeding,
// plus what the bench put on the disk for Premiere.
struct CMachineFacts {
    bool codecsInstalled = false;
    bool suiteKey = false;
    bool afterEffectsPlugin = false;
    bool maxPlugin = false;
    bool photoshopPlugin = false;
    bool lightWavePlugin = false;
    bool wallpapers = false;
    bool acrobatKey = false;
    bool acrobatFolder = false;
    bool suiteFolderStored = false;
    bool premiereRelease = false;
};

CMachineFacts ReadMachineFacts(bool premiereReleasePlaced)
{
    CMachineFacts facts;
    const auto stored = [](const char* key, const char* name) {
        std::string text;
        return ReadStringValue(key, name, text) && !text.empty();
    };
    facts.codecsInstalled = KeyExists(kCodecsUninstallKey);
    facts.suiteKey = KeyExists(kSuiteUninstallKey);
    facts.afterEffectsPlugin = KeyExists(kAfterEffectsPluginKey);
    facts.maxPlugin = KeyExists(kMaxPluginKey);
    facts.photoshopPlugin = KeyExists(kPhotoshopPluginKey);
    facts.lightWavePlugin = KeyExists(kLightWavePluginKey);
    facts.wallpapers = KeyExists(kWallpapersKey);
    facts.acrobatKey = KeyExists(kAcrobatReaderAppPathsKey);
    facts.acrobatFolder = stored(kAcrobatReaderAppPathsKey, kAcrobatReaderFolderValue);
    facts.suiteFolderStored = stored(kSuiteFolderKey, kSuiteFolderValue);
    facts.premiereRelease = premiereReleasePlaced && stored(kPremiereAppPathsKey, kPremiereFolderValue);
    return facts;
}

// The fewest folder listings the menu's rules allow for one entry on a full
// disc: one per folder that the entry must look into, none where an earlier
// test (installed, prerequisite) already decides.
int LeastListings(EntryKey key, const CMenuState& state, const CMachineFacts& facts)
{
    const bool pluginsOffered = state.suiteInstalled && state.model == kModelVexa100;
    switch (key) {
    case EntryKey::Suite:
        return !facts.codecsInstalled && !state.suiteInstalled ? 1 : 0;
    case EntryKey::Hotfix:
        return facts.suiteKey ? 1 : 0;  // the key as the clean-up leaves it, not the start-up flag
    case EntryKey::PremiereUpdater:
        return facts.premiereRelease ? 1 : 0;
    case EntryKey::AfterEffectsPlugin:
        return !facts.afterEffectsPlugin && pluginsOffered ? 1 : 0;
    case EntryKey::MaxPlugin:
        return !facts.maxPlugin && pluginsOffered ? 1 : 0;
    case EntryKey::PhotoshopPlugin:
        return !facts.photoshopPlugin && pluginsOffered ? 1 : 0;
    case EntryKey::SpiceMasterDemo:
        return 1;
    case EntryKey::AcrobatReader:
        return facts.acrobatKey ? 0 : 1;
    case EntryKey::Register:
        return state.suiteInstalled && facts.suiteFolderStored ? 1 : 0;
    case EntryKey::Manual:
        return facts.acrobatFolder ? 1 : 0;  // both manuals lie in one folder
    case EntryKey::Readme:
        return 1;  // the language's own page is on a full disc
    case EntryKey::Wallpapers:
        return facts.wallpapers ? 0 : 1;
    case EntryKey::VfwCodecs:
        return !facts.codecsInstalled && !state.suiteInstalled ? 1 : 0;
    case EntryKey::LightWavePlugin:
        return !facts.lightWavePlugin && pluginsOffered ? 1 : 0;
    case EntryKey::EffectAddOns:
        return pluginsOffered ? 1 : 0;
    }
    return 0;
}

// The listings of one refresh, entry by entry, with the least the rules allow.
struct CEntryListings {
    std::vector<size_t> listings;
    std::vector<int> least;
};

// Measures the refresh of all entries in one machine state, with a headless
// host and with real hover buttons, on the full disc and on the same disc
// without the clean-up program (whose start then fails at once), with the
// clean-up step alone in the same rounds; and counts the listings of one
// refresh, entry by entry.
CEntryListings MeasureRefresh(const char* name, const CMenuState& state, const std::string& bareDiscRoot,
                              const CMachineFacts& facts, CTable& table)
{
    CHeadlessMenuHost headless;
    CHiddenMenuHost windowed;
    if (!windowed.Complete())
        std::printf("the hidden menu window could not be made\n");

    // Each measured refresh keeps its own state, as each menu would.
    std::vector<CMenuState> states(5, state);
    states[2].discRoot = bareDiscRoot;
    states[3].discRoot = bareDiscRoot;
    CMenuEntries headlessEntries(states[0], headless);
    CMenuEntries windowedEntries(states[1], windowed);
    CMenuEntries headlessBare(states[2], headless);
    CMenuEntries windowedBare(states[3], windowed);
    CMenuEntries cleanup(states[4], headless);
    headlessBare.writeDebugLine = windowedBare.writeDebugLine = [](const std::string&) {};

    const auto times
        = InterleavedTimesMs(kRefreshRuns,
                             {[&] { headlessEntries.RefreshAllEntries(0); },
                              [&] { windowedEntries.RefreshAllEntries(0); }, [&] { headlessBare.RefreshAllEntries(0); },
                              [&] { windowedBare.RefreshAllEntries(0); }, [&] { cleanup.CleanUpAndDetectSuite(); }});
    const double cleanupMs = Median(times[4]);

    CEntryListings perEntry;
    int least = 0;
    for (const CEntryRow& row : kEntryTable) {
        const size_t before = FolderListingCount();
        headlessEntries.RefreshEntry(row.controlId);
        perEntry.listings.push_back(FolderListingCount() - before);
        perEntry.least.push_back(LeastListings(row.key, state, facts));
        least += perEntry.least.back();
    }

    const char* hosts[] = {"headless", "hidden window, hover buttons"};
    CMenuEntries* measured[] = {&headlessEntries, &windowedEntries};
    for (int host = 0; host < 2; ++host) {
        const size_t before = FolderListingCount();
        measured[host]->RefreshAllEntries(0);
        const size_t listings = FolderListingCount() - before;
        const double refreshMs = Median(times[host]);
        const double bareMs = Median(times[host + 2]);
        table.AddRow({name, hosts[host], Format("%.2f", refreshMs), Format("%.2f", bareMs), Format("%.2f", cleanupMs),
                      refreshMs > 0 ? Format("%.0f %%", 100.0 * (refreshMs - bareMs) / refreshMs) : "-",
                      std::to_string(listings), std::to_string(least)});
    }
    return perEntry;
}

// The refresh on a full disc in two machine states: nothing installed and no
// model, where most entries stop before the disc; and the suite installed on
// a Vexa100 with Acrobat Reader and Premiere Pro 1.5 registered, where every
// entry but the installed ones looks at the disc.
void BenchRefresh()
{
    CTestDisc disc("SplashBenchRefreshDisc");
    CTestDisc bareDisc("SplashBenchRefreshBareDisc");
    CTestDisc machine("SplashBenchMachine");
    LayFullDisc(disc);
    LayFullDisc(bareDisc);
    bareDisc.Remove(kCleanupProgram);
    machine.AddFile("\\Nimbo\\" + LoadFixedText(IDS_REGISTER_FILE));
    machine.AddProgram("\\Premiere\\Adobe Premiere Pro.exe", kPremiereReleaseProgram);
    machine.AddFile("\\Reader\\AcroRd32.exe");

    CMenuState state;
    state.discRoot = disc.Root();
    state.languageCode = kEnglishCode;

    CTable table({"machine state", "host", "median ms", "no clean-up program ms", "clean-up alone ms", "clean-up share",
                  "listings", "least listings"});
    CEntryListings perEntry[2];
    state.suiteInstalled = false;
    state.model = kModelNone;
    perEntry[0]
        = MeasureRefresh("1: nothing installed, model 3", state, bareDisc.Root(), ReadMachineFacts(false), table);
    {
        CRegistrySeed seed;
        seed.CreateKey(kSuiteUninstallKey);
        seed.SetString(kSuiteFolderKey, kSuiteFolderValue, machine.Root() + "\\Nimbo");
        seed.SetString(kAcrobatReaderAppPathsKey, kAcrobatReaderFolderValue, machine.Root() + "\\Reader");
        seed.SetString(kPremiereAppPathsKey, kPremiereFolderValue, machine.Root() + "\\Premiere");
        state.suiteInstalled = true;
        state.model = kModelVexa100;
        perEntry[1] = MeasureRefresh("2: suite installed, model 1, Reader and Premiere 1.5 registered", state,
                                     bareDisc.Root(), ReadMachineFacts(true), table);
    }
    table.Print("Refresh of all entries on a full disc (medians of alternating runs; the clean-up program ends at "
                "once; share = (median - no clean-up program) / median; least = one listing per folder the rules "
                "make the menu look into)");

    CTable entries({"entry", "listings (state 1)", "least (state 1)", "listings (state 2)", "least (state 2)"});
    size_t sums[4] = {};
    for (size_t index = 0; index < kEntryTable.size(); ++index) {
        std::vector<std::string> cells = {kEntryTable[index].name};
        for (int which = 0; which < 2; ++which) {
            cells.push_back(std::to_string(perEntry[which].listings[index]));
            cells.push_back(std::to_string(perEntry[which].least[index]));
            sums[2 * which] += perEntry[which].listings[index];
            sums[2 * which + 1] += static_cast<size_t>(perEntry[which].least[index]);
        }
        entries.AddRow(cells);
    }
    entries.AddRow(
        {"all", std::to_string(sums[0]), std::to_string(sums[1]), std::to_string(sums[2]), std::to_string(sums[3])});
    entries.Print("Folder listings per entry refresh, in refresh order");
}

// ---------------------------------------------------------------------------
// Size: the program file and what it imports.

struct CImportedDll {
    std::string name;
    size_t functions = 0;
};

struct CProgramImage {
    bool read = false;
    std::string problem;
    uintmax_t fileBytes = 0;
    DWORD codeBytes = 0;  // raw size of the code sections
    DWORD resourceBytes = 0;  // size of the resource directory
    std::vector<CImportedDll> imports;
};

// A PE file read whole, with reads that never go past its end.
class CPeFile {
public:
    explicit CPeFile(std::vector<unsigned char> bytes) : bytes(std::move(bytes)) {}

    template <typename T>
    bool Read(size_t offset, T& value) const
    {
        if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
            return false;
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
        return true;
    }

    // A zero-terminated name at the offset, at most `limit` characters.
    bool ReadName(size_t offset, size_t limit, std::string& name) const
    {
        name.clear();
        for (size_t at = offset; at < bytes.size() && name.size() < limit; ++at) {
            if (bytes[at] == 0)
                return true;
            name.push_back(static_cast<char>(bytes[at]));
        }
        return false;
    }

    // The file offset of a relative virtual address, through the section
    // that holds it; false for an address in no section's file data.
    bool OffsetOf(DWORD rva, const std::vector<IMAGE_SECTION_HEADER>& sections, size_t& offset) const
    {
        for (const IMAGE_SECTION_HEADER& section : sections) {
            const DWORD extent = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < extent) {
                const DWORD within = rva - section.VirtualAddress;
                if (within >= section.SizeOfRawData)
                    return false;
                offset = static_cast<size_t>(section.PointerToRawData) + within;
                return offset < bytes.size();
            }
        }
        return false;
    }

    size_t Size() const noexcept { return bytes.size(); }

private:
    std::vector<unsigned char> bytes;
};

// Reads the size, the code and resource shares and the import table of a
// 32-bit program; `problem` says what stopped the reading.
CProgramImage ReadProgramImage(const std::string& path)
{
    constexpr size_t kNameLimit = 260;
    constexpr size_t kDescriptorLimit = 512;
    constexpr size_t kThunkLimit = 65536;

    CProgramImage image;
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        image.problem = "cannot open " + path;
        return image;
    }
    const CPeFile file(std::vector<unsigned char>(std::istreambuf_iterator<char>(input), {}));
    image.fileBytes = file.Size();

    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    IMAGE_OPTIONAL_HEADER32 optional{};
    if (!file.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0
        || !file.Read(static_cast<size_t>(dos.e_lfanew), signature) || signature != IMAGE_NT_SIGNATURE
        || !file.Read(static_cast<size_t>(dos.e_lfanew) + sizeof(signature), header)
        || header.SizeOfOptionalHeader < sizeof(IMAGE_OPTIONAL_HEADER32)
        || !file.Read(static_cast<size_t>(dos.e_lfanew) + sizeof(signature) + sizeof(header), optional)
        || optional.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        image.problem = "not a 32-bit PE program";
        return image;
    }

    std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
    const size_t sectionTable
        = static_cast<size_t>(dos.e_lfanew) + sizeof(signature) + sizeof(header) + header.SizeOfOptionalHeader;
    for (size_t index = 0; index < sections.size(); ++index) {
        if (!file.Read(sectionTable + index * sizeof(IMAGE_SECTION_HEADER), sections[index])) {
            image.problem = "section table cut short";
            return image;
        }
        if (sections[index].Characteristics & IMAGE_SCN_CNT_CODE)
            image.codeBytes += sections[index].SizeOfRawData;
    }
    if (optional.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_RESOURCE)
        image.resourceBytes = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].Size;

    if (optional.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT
        || optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress == 0) {
        image.read = true;  // imports nothing
        return image;
    }
    size_t descriptorOffset = 0;
    if (!file.OffsetOf(optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, sections,
                       descriptorOffset)) {
        image.problem = "import table outside the file";
        return image;
    }
    for (size_t index = 0; index < kDescriptorLimit; ++index) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        if (!file.Read(descriptorOffset + index * sizeof(descriptor), descriptor)) {
            image.problem = "import table cut short";
            return image;
        }
        if (descriptor.Name == 0 && descriptor.FirstThunk == 0) {
            image.read = true;
            return image;
        }
        CImportedDll dll;
        size_t nameOffset = 0;
        if (!file.OffsetOf(descriptor.Name, sections, nameOffset) || !file.ReadName(nameOffset, kNameLimit, dll.name)) {
            image.problem = "unreadable DLL name";
            return image;
        }
        const DWORD thunks = descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        size_t thunkOffset = 0;
        if (!file.OffsetOf(thunks, sections, thunkOffset)) {
            image.problem = "unreadable thunks of " + dll.name;
            return image;
        }
        for (DWORD thunk = 0; dll.functions < kThunkLimit; ++dll.functions) {
            if (!file.Read(thunkOffset + dll.functions * sizeof(thunk), thunk)) {
                image.problem = "thunks of " + dll.name + " cut short";
                return image;
            }
            if (thunk == 0)
                break;
        }
        image.imports.push_back(dll);
    }
    image.problem = "import table without an end";
    return image;
}

// DLL names differ in case between import tables; ASCII is enough for them.
std::string UpperCase(std::string text)
{
    for (char& character : text) {
        if (character >= 'a' && character <= 'z')
            character = static_cast<char>(character - 'a' + 'A');
    }
    return text;
}

// Splash.exe as built beside the bench, against the bare template program
// with the same resources.
void BenchSize()
{
    const char* programs[] = {kMenuProgram, kFloorProgram};
    CProgramImage images[2];
    for (int index = 0; index < 2; ++index) {
        images[index] = ReadProgramImage(TestProgramFolder() + "\\" + programs[index]);
        if (!images[index].read)
            std::printf("%s: %s\n", programs[index], images[index].problem.c_str());
    }

    auto functionCount = [](const CProgramImage& image) {
        size_t count = 0;
        for (const CImportedDll& dll : image.imports)
            count += dll.functions;
        return count;
    };
    CTable sizes(
        {"program", "file bytes", "KiB", "code bytes", "resource bytes", "DLLs", "imported functions", "x floor"});
    for (int index = 0; index < 2; ++index) {
        const CProgramImage& image = images[index];
        sizes.AddRow({index == 0 ? "Splash.exe, the menu" : "BareMenu.exe, same resources, no logic (floor)",
                      std::to_string(image.fileBytes), Format("%.1f", static_cast<double>(image.fileBytes) / 1024),
                      std::to_string(image.codeBytes), std::to_string(image.resourceBytes),
                      std::to_string(image.imports.size()), std::to_string(functionCount(image)),
                      Ratio(static_cast<double>(image.fileBytes), static_cast<double>(images[1].fileBytes))});
    }
    sizes.Print(("Program size (Release, stripped, static; " + TestProgramFolder() + ")").c_str());

    // One row per DLL of either program, in the menu's import order first.
    std::vector<std::string> names;
    std::map<std::string, size_t> counts[2];
    for (int index = 0; index < 2; ++index) {
        for (const CImportedDll& dll : images[index].imports) {
            const std::string key = UpperCase(dll.name);
            if (std::find(names.begin(), names.end(), key) == names.end())
                names.push_back(key);
            counts[index][key] += dll.functions;
        }
    }
    CTable imports({"DLL", "Splash.exe functions", "BareMenu.exe functions"});
    for (const std::string& name : names) {
        std::vector<std::string> cells = {name};
        for (const auto& count : counts) {
            const auto found = count.find(name);
            cells.push_back(found != count.end() ? std::to_string(found->second) : "-");
        }
        imports.AddRow(cells);
    }
    imports.AddRow({"all", std::to_string(functionCount(images[0])), std::to_string(functionCount(images[1]))});
    imports.Print("Imported DLLs and functions per DLL (read from the import tables)");
}

struct CSection {
    const char* name;
    void (*run)();
};

const CSection kSections[] = {
    {"startup", &BenchStartup},          {"refresh", &BenchRefresh},     {"size", &BenchSize},
    {"endurance", &RunEnduranceSection}, {"region", &BenchWindowRegion},
};

}  // namespace

int main(int argc, char** argv)
{
    int ran = 0;
    for (const CSection& section : kSections) {
        bool wanted = argc <= 1;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], section.name) == 0;
        if (!wanted)
            continue;
        try {
            section.run();
        } catch (const std::exception& failure) {
            std::printf("\nthe section %s stopped: %s\n", section.name, failure.what());
        }
        ++ran;
    }
    if (ran == 0) {
        std::printf("no such section; the sections are:");
        for (const CSection& section : kSections)
            std::printf(" %s", section.name);
        std::printf("\n");
        return 1;
    }
    return 0;
}
