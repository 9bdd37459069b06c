#include "Dialog.h"

#include "Application.h"
#include "StartupClock.h"

BEGIN_MESSAGE_MAP(CDialog, CWindow)
    OnCommand<IDOK, &CDialog::OnOK>(),
    OnCommand<IDCANCEL, &CDialog::OnCancel>(),
END_MESSAGE_MAP(CDialog, CWindow)

CDialog::CDialog(UINT templateId, HWND parent) noexcept : templateId(templateId), parent(parent) {}

CDialog::~CDialog()
{
    if (window != nullptr)
        ::DestroyWindow(window);
}

INT_PTR CDialog::DoModal()
{
    HWND owner = parent != nullptr ? parent : CApplication::MainWindowHandle();
    if (owner == window)
        owner = nullptr;
    HWND created = ::CreateDialogParamA(CApplication::Instance(), MAKEINTRESOURCEA(templateId), owner,
                                        &CDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (created == nullptr)
        return -1;

    const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    running = true;
    modalResult = -1;
    if (!::IsWindowVisible(created))
        ::ShowWindow(created, SW_SHOWNORMAL);
    RunMessageLoop();

    // Give the owner its input back before the dialog goes, so that the
    // activation returns to it rather than to another program.
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (window != nullptr)
        ::DestroyWindow(window);
    return modalResult;
}

void CDialog::EndDialog(INT_PTR result)
{
    modalResult = result;
    running = false;
    if (window != nullptr)
        ::PostMessageA(window, WM_NULL, 0, 0);
}

bool CDialog::BindControl(int controlId, CWindow& control)
{
    return control.Attach(GetItem(controlId));
}

void CDialog::BindControls() {}

BOOL CDialog::OnInitDialog()
{
    BindControls();
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND handle, UINT message, WPARAM, LPARAM lParam)
{
    // Only the initialisation passes through here; every later message reaches
    // the object through the subclassed window procedure.
    if (message == WM_SETFONT)
        MarkStartupPhase(startup::kDialogWindow);
    if (message != WM_INITDIALOG)
        return FALSE;
    MarkStartupPhase(startup::kTemplateControls);
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Subclass(handle);
    return dialog->OnInitDialog();
}

void CDialog::RunMessageLoop()
{
    MSG message;
    while (running) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateChain(message))
            continue;
        if (window != nullptr && ::IsDialogMessageA(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// Offers the message to the window it is for and to each of its parents.
bool CDialog::PreTranslateChain(MSG& message)
{
    for (HWND target = message.hwnd; target != nullptr; target = ::GetParent(target)) {
        if (CWindow* object = FromHandle(target)) {
            if (object->PreTranslateMessage(message))
                return true;
        }
        if (target == window)
            break;
    }
    return false;
}
