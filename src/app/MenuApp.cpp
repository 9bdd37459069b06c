#include "MenuApp.h"

#include "MenuDialog.h"
#include "StartUpSystem.h"
#include "controls/CommonControls.h"
#include "framework/ThreeDControls.h"

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

    LoadCommonControls();
    CThreeDControls threeDControls;
    threeDControls.Enable(Instance());

    SetMainWindow(dialog.get());
    dialog->DoModal();
    SetMainWindow(nullptr);
    return false;
}
