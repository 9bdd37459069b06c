// Marks on the way from the start of the process to the first complete paint
// of its dialog, read by the benchmark's timed builds with the performance
// counter. Only a build with SPLASH_STARTUP_TIMING records anything (the
// benchmark's SplashTimed.exe and BareMenuTimed.exe); in every other build,
// the shipped program's included, each function here is empty and inline
// and the compiler leaves no timing code behind.
//
// A timed program writes what it recorded, once its dialog is first painted
// completely, to the file that SPLASH_STARTUP_TIMING_FILE names, and then
// sets the event that SPLASH_STARTUP_TIMING_EVENT names.
#pragma once

#include <windows.h>

namespace startup {

// The phases that the menu and its bare floor share, named alike so that
// the benchmark can set them side by side.
constexpr char kUntilWinMain[] = "process start until WinMain (loader, DLLs, C++ run-time)";
constexpr char kDialogWindow[] = "dialog window with its template font";
constexpr char kTemplateControls[] = "the 18 controls of template 1002";
constexpr char kWindowShown[] = "rest of the dialog's creation, window shown";
constexpr char kFirstPaint[] = "first paint: face, buttons, captions, description line";

}  // namespace startup

#if defined(SPLASH_STARTUP_TIMING)

// Ends the phase `phase` (a string that lives as long as the program) now.
void MarkStartupPhase(const char* phase) noexcept;
// A piece of work inside the current phase; spans of one name add up.
void BeginStartupSpan(const char* span) noexcept;
void EndStartupSpan(const char* span) noexcept;
// Watches `dialog` and its controls until they are first painted completely,
// marks kWindowShown and kFirstPaint, then writes the record and signals.
void WatchFirstPaint(HWND dialog) noexcept;

#else

inline void MarkStartupPhase(const char*) noexcept {}
inline void BeginStartupSpan(const char*) noexcept {}
inline void EndStartupSpan(const char*) noexcept {}
inline void WatchFirstPaint(HWND) noexcept {}

#endif

// A span for the length of a scope.
class CStartupSpan {
public:
    explicit CStartupSpan(const char* span) noexcept : span(span) { BeginStartupSpan(span); }
    ~CStartupSpan() { EndStartupSpan(span); }
    CStartupSpan(const CStartupSpan&) = delete;
    CStartupSpan& operator=(const CStartupSpan&) = delete;

private:
    const char* span;
};
