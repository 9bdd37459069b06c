// The program's entry point: hands control to the global application object.
#include "Application.h"
#include "StartupClock.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStartupPhase(startup::kUntilWinMain);
    CApplication::SetInstance(instance);
    if (CApplication* application = CApplication::Current())
        application->InitInstance();
    return 0;
}
