// Messages that another program sends to the menu's windows with pointers
// and windows that are not the menu's: the menu, which runs as
// administrator, must not take them for its own objects.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "framework/Window.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// An address where no object of the menu's lies.
constexpr LPARAM kBogusPointer = 0x10;
constexpr char kErrorCaption[] = "Splash.exe";

// Counts a program's access violations as its debugger sees them. Wine, like
// Windows in a window procedure that the system calls back, may swallow
// them: the program goes on, but its state is no longer to be trusted.
class CAccessViolationWatch {
public:
    explicit CAccessViolationWatch(DWORD processId) : watcher([this, processId] { Watch(processId); })
    {
        while (state.load() == kStarting)
            ::Sleep(20);
    }
    ~CAccessViolationWatch()
    {
        state = kStopping;
        watcher.join();
    }

    bool IsAttached() const { return state.load() == kAttached; }
    int Count() const { return violations.load(); }

private:
    enum State { kStarting, kAttached, kFailed, kStopping };

    // The thread that attaches must be the one that reads the events.
    void Watch(DWORD processId)
    {
        if (!::DebugActiveProcess(processId)) {
            state = kFailed;
            return;
        }
        ::DebugSetProcessKillOnExit(FALSE);
        state = kAttached;
        for (DEBUG_EVENT event{}; state.load() != kStopping;) {
            if (!::WaitForDebugEvent(&event, 20))
                continue;
            const bool exception = event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT;
            if (exception && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
                ++violations;
            if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT)
                ::CloseHandle(event.u.CreateProcessInfo.hFile);
            if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT)
                ::CloseHandle(event.u.LoadDll.hFile);
            ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId,
                                 exception ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
        }
        ::DebugActiveProcessStop(processId);
    }

    std::atomic<State> state{kStarting};
    std::atomic<int> violations{0};
    std::thread watcher;
};

// The menu in English, its disc root its own folder.
void SeedEnglishFromItsOwnFolder(CRegistrySeed& seed)
{
    seed.RemoveValue(kRunKey, kRunValue);
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
}

TEST(ForeignMessages, BogusPointersAndWindowsOfAnotherProgramAreRefused)
{
    CRegistrySeed seed;
    SeedEnglishFromItsOwnFolder(seed);
    CTestDisc disc;
    disc.AddMenu();
    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    ASSERT_NE(nullptr, menu.WaitForWindow());

    // A window of this program marked, as the menu once marked its own
    // windows, with a window property naming an object at a bogus address.
    const COwnedWindow foreign = CreateTitledWindow("Not the menu", false);
    ::SetPropA(foreign.Get(), "SplashWindowObject", reinterpret_cast<HANDLE>(kBogusPointer));
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IDC_SUITE;
    item.hwndItem = foreign.Get();
    const struct {
        const char* what;
        HWND to;
        UINT message;
        LPARAM lParam;
    } sent[] = {
        {"a draw request that only the menu hands its buttons", menu.Control(IDC_SUITE), WM_DRAWITEM, kBogusPointer},
        {"a draw request for another program's window", menu.Window(), WM_DRAWITEM, reinterpret_cast<LPARAM>(&item)},
        {"a second initialisation", menu.Window(), WM_INITDIALOG, kBogusPointer},
    };
    {
        const CAccessViolationWatch watch(menu.ProcessId());
        ASSERT_TRUE(watch.IsAttached());
        for (const auto& message : sent) {
            const int before = watch.Count();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(message.to, message.message, IDC_SUITE, message.lParam, SMTO_ABORTIFHUNG, 5000,
                                  &result);
            EXPECT_EQ(before, watch.Count()) << message.what << " was taken for the menu's own";
        }
    }
    menu.Click(IDOK);
    EXPECT_TRUE(menu.WaitForExit());
    EXPECT_EQ(0u, menu.ExitCode());
}

// Another program can click a greyed button, which the platform's button
// reports, or send its command outright: the entry stays unavailable.
TEST(ForeignMessages, AClickSentToAGreyedEntryStartsNothing)
{
    CRegistrySeed seed;
    SeedEnglishFromItsOwnFolder(seed);
    CTestDisc disc;
    disc.AddMenu();
    disc.AddStub("Bonus\\DesktopWallpapers\\setup.exe");
    CMenuDriver menu(disc.MenuPath(), disc.LogPath());
    ASSERT_NE(nullptr, menu.WaitForWindow());
    ASSERT_FALSE(::IsWindowEnabled(menu.Control(IDC_SPICEMASTER_DEMO))) << "the demo is not on this disc";
    ASSERT_TRUE(::IsWindowEnabled(menu.Control(IDC_WALLPAPERS)));

    // Carried out in the order posted: a greyed entry that ran would stop
    // the wallpapers at its start-failure message.
    ::PostMessageA(menu.Control(IDC_SPICEMASTER_DEMO), BM_CLICK, 0, 0);
    menu.PostCommand(IDC_SPICEMASTER_DEMO);
    menu.PostCommand(IDC_WALLPAPERS);
    const std::vector<CStubRecord> starts = disc.WaitForStarts(1, kWindowTimeoutMs);
    ASSERT_EQ(1u, starts.size()) << "a greyed entry took the clicks";
    EXPECT_EQ(disc.PathOf("Bonus\\DesktopWallpapers\\setup.exe"), starts[0].program);
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowVisible(menu.Window()) != FALSE; }, kWindowTimeoutMs));
    EXPECT_EQ(nullptr, WaitForMessageBox(kErrorCaption, menu.ProcessId(), 0));
    menu.Click(IDOK);
    EXPECT_TRUE(menu.WaitForExit());
}

}  // namespace
