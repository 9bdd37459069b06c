#include "MenuApp.h"

#include "MenuDialog.h"
#include "StartUpSystem.h"
#include "framework/ThreeDControls.h"

#include <commctrl.h>

#include <memory>

CMenuApp theApp;

CMenuApp::~CMenuApp() = default;

bool CMenuApp::InitInstance()
{
    auto dialog = std::make_unique<CMenuDialog>();
    const CStartDecision start = DecideStart(CStartUpSystem());
    if (!start.runMenu) {
        SetExitCode(start.exitCode);
        return false;
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CThreeDControls threeDControls;
    threeDControls.Enable(Instance());

    SetMainWindow(dialog.get());
    dialog->DoModal();
    SetMainWindow(nullptr);
    return false;
}
