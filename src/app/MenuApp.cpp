#include "MenuApp.h"

#include "MenuDialog.h"
#include "controls/CommonControls.h"
#include "framework/ThreeDControls.h"

#include <memory>

CMenuApp theApp;

CMenuApp::~CMenuApp() = default;

bool CMenuApp::InitInstance()
{
    auto dialog = std::make_unique<CMenuDialog>();
    // A window with the menu's title, of whatever program, counts as a running copy.
    if (::FindWindowA(nullptr, kMenuTitle) != nullptr)
        return false;

    LoadCommonControls();
    CThreeDControls threeDControls;
    threeDControls.Enable(Instance());

    SetMainWindow(dialog.get());
    dialog->DoModal();
    SetMainWindow(nullptr);
    return false;
}
