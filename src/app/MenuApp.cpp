#include "MenuApp.h"

#include "MenuDialog.h"
#include "StartUpSystem.h"
#include "framework/StartupClock.h"
#include "framework/ThreeDControls.h"

#include <memory>

CMenuApp theApp;

CMenuApp::~CMenuApp() = default;

bool CMenuApp::InitInstance()
{
    auto dialog = std::make_unique<CMenuDialog>();
    MarkStartupPhase("menu object: members, icon, description line's font");
    // Holds this copy's claim on the menu until the menu has closed.
    CStartUpSystem system;
    const CStartDecision start = DecideStart(system);
    if (!start.runMenu) {
        SetExitCode(start.exitCode);
        return false;
    }
    MarkStartupPhase("single-instance check");

    // The common controls are registered when a button first needs its
    // tooltip (CCommonControls), after the menu's first picture.
    CThreeDControls threeDControls;
    threeDControls.Enable(Instance());
    MarkStartupPhase("3-D controls library");

    SetMainWindow(dialog.get());
    dialog->DoModal();
    SetMainWindow(nullptr);
    return false;
}
