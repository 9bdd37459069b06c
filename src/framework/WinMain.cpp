// The program's entry point: hands control to the global application object.
#include "Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CApplication::SetInstance(instance);
    if (CApplication* application = CApplication::Current())
        application->InitInstance();
    return 0;
}
