// The program's entry point: hands control to the global application object.
#include "Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CApplication::SetInstance(instance);
    CApplication* application = CApplication::Current();
    if (application == nullptr)
        return 0;
    application->InitInstance();
    return application->ExitCode();
}
