// The program's entry point: hands control to the global application object.
#include "framework/Application.h"
#include "framework/StartupClock.h"
#include "system/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStartupPhase(startup::kUntilWinMain);
    // Before anything can load a library: the program runs as administrator,
    // and its own folder and the current folder may be writable by anyone.
    RestrictLibrarySearch();
    CApplication::SetInstance(instance);
    CApplication* application = CApplication::Current();
    if (application == nullptr)
        return 0;
    application->InitInstance();
    return application->ExitCode();
}
