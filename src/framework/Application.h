// The one application object: constructed as a global, started from WinMain
// through its instance initialisation.
#pragma once

#include <windows.h>

class CWindow;

class CApplication {
public:
    CApplication() noexcept;
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Runs the program; false tells WinMain to end without a message loop.
    virtual bool InitInstance() = 0;

    static CApplication* Current() noexcept;
    static HINSTANCE Instance() noexcept;
    static void SetInstance(HINSTANCE instance) noexcept;

    // What the process ends with: 0 unless the program says otherwise.
    int ExitCode() const noexcept { return exitCode; }
    void SetExitCode(int code) noexcept { exitCode = code; }

    // The window that dialogs without a parent take as their owner.
    static HWND MainWindowHandle() noexcept;
    void SetMainWindow(CWindow* main) noexcept { mainWindow = main; }

private:
    CWindow* mainWindow = nullptr;
    int exitCode = 0;
};
