#include "Application.h"

#include "Window.h"

namespace {
CApplication* currentApplication = nullptr;
HINSTANCE currentInstance = nullptr;
}  // namespace

CApplication::CApplication() noexcept
{
    currentApplication = this;
}

CApplication::~CApplication()
{
    if (currentApplication == this)
        currentApplication = nullptr;
}

CApplication* CApplication::Current() noexcept
{
    return currentApplication;
}

HINSTANCE CApplication::Instance() noexcept
{
    return currentInstance != nullptr ? currentInstance : ::GetModuleHandleA(nullptr);
}

void CApplication::SetInstance(HINSTANCE instance) noexcept
{
    currentInstance = instance;
}

HWND CApplication::MainWindowHandle() noexcept
{
    if (currentApplication == nullptr || currentApplication->mainWindow == nullptr)
        return nullptr;
    return currentApplication->mainWindow->GetHandle();
}
