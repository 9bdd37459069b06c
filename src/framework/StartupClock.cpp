#include "StartupClock.h"

#if defined(SPLASH_STARTUP_TIMING)

#include <cstdio>

namespace {

constexpr char kRecordFileVariable[] = "SPLASH_STARTUP_TIMING_FILE";
constexpr char kDoneEventVariable[] = "SPLASH_STARTUP_TIMING_EVENT";

// One line of the record: a phase that ends, or a span that begins or ends.
struct CStartupEvent {
    char kind;  // 'P' phase, 'B' span begins, 'E' span ends
    const char* name;
    LONGLONG counter;
};

// Fixed tables: recording must cost next to nothing and allocate nothing.
constexpr int kMostEvents = 2048;
CStartupEvent events[kMostEvents];
int eventCount = 0;
bool finished = false;

struct CWatchedWindow {
    HWND window;
    WNDPROC previous;
};
constexpr int kMostWatched = 64;
CWatchedWindow watched[kMostWatched];
int watchedCount = 0;
HWND watchedDialog = nullptr;
bool shown = false;

void Record(char kind, const char* name) noexcept
{
    if (finished || eventCount == kMostEvents)
        return;
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    events[eventCount++] = CStartupEvent{kind, name, now.QuadPart};
}

// The environment variable `name`, or an empty string.
void ReadVariable(const char* name, char (&value)[MAX_PATH]) noexcept
{
    const DWORD length = ::GetEnvironmentVariableA(name, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        value[0] = '\0';
}

// "frequency F" and then one line per event: kind, counter, name.
void WriteRecord() noexcept
{
    char path[MAX_PATH];
    ReadVariable(kRecordFileVariable, path);
    if (path[0] == '\0')
        return;
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return;
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    std::fprintf(file, "frequency %lld\n", static_cast<long long>(frequency.QuadPart));
    for (int index = 0; index < eventCount; ++index)
        std::fprintf(file, "%c %lld %s\n", events[index].kind, static_cast<long long>(events[index].counter),
                     events[index].name);
    std::fclose(file);
}

void SignalDone() noexcept
{
    char name[MAX_PATH];
    ReadVariable(kDoneEventVariable, name);
    if (name[0] == '\0')
        return;
    if (const HANDLE done = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
        ::SetEvent(done);
        ::CloseHandle(done);
    }
}

WNDPROC PreviousProcedure(HWND window) noexcept
{
    for (int index = 0; index < watchedCount; ++index) {
        if (watched[index].window == window)
            return watched[index].previous;
    }
    return &::DefWindowProcW;
}

// The paint is complete when, after a WM_PAINT of the shown dialog or one
// of its controls, no window of the thread waits to be painted. Nothing
// here throws; the procedures it calls through catch their own.
LRESULT CALLBACK WatchProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (!finished && !shown && window == watchedDialog && message == WM_SHOWWINDOW && wParam != FALSE) {
        shown = true;
        MarkStartupPhase(startup::kWindowShown);
    }
    const bool paint = !finished && message == WM_PAINT;
    const char* span = window == watchedDialog ? "the dialog's own WM_PAINT" : "the controls' WM_PAINT";
    if (paint)
        BeginStartupSpan(span);
    const LRESULT result = ::CallWindowProcW(PreviousProcedure(window), window, message, wParam, lParam);
    if (paint)
        EndStartupSpan(span);
    if (!finished && shown && message == WM_PAINT && ::IsWindowVisible(watchedDialog)
        && HIWORD(::GetQueueStatus(QS_PAINT)) == 0) {
        MarkStartupPhase(startup::kFirstPaint);
        finished = true;
        WriteRecord();
        SignalDone();
    }
    return result;
}

void Watch(HWND window) noexcept
{
    if (watchedCount == kMostWatched)
        return;
    watched[watchedCount].window = window;
    watched[watchedCount].previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchProcedure)));
    ++watchedCount;
}

BOOL CALLBACK WatchChild(HWND child, LPARAM) noexcept
{
    Watch(child);
    return TRUE;
}

}  // namespace

void MarkStartupPhase(const char* phase) noexcept
{
    Record('P', phase);
}

void BeginStartupSpan(const char* span) noexcept
{
    Record('B', span);
}

void EndStartupSpan(const char* span) noexcept
{
    Record('E', span);
}

void WatchFirstPaint(HWND dialog) noexcept
{
    if (dialog == nullptr || watchedDialog != nullptr)
        return;
    watchedDialog = dialog;
    Watch(dialog);
    ::EnumChildWindows(dialog, &WatchChild, 0);
    if (::IsWindowVisible(dialog)) {
        shown = true;
        MarkStartupPhase(startup::kWindowShown);
    }
}

#endif
