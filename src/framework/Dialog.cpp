#include "Dialog.h"

#include "Application.h"
#include "StartupClock.h"

#include <utility>

namespace {

// The dialog whose window this thread is creating: the one object that the
// window's WM_INITDIALOG may bind.
thread_local CDialog* dialogBeingCreated = nullptr;

}  // namespace

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
    CDialog* const outerDialog = std::exchange(dialogBeingCreated, this);
    HWND created = ::CreateDialogParamW(CApplication::Instance(), MAKEINTRESOURCEW(templateId), owner,
        &CDialog::DialogProcedure, reinterpret_cast<LPARAM>(this));
    dialogBeingCreated = outerDialog;
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
    // the object through the subclassed window procedure. The object is the
    // one being created, bound once: a WM_INITDIALOG that comes later, or from
    // another thread or program, carries no object whatever its lParam says.
    if (message == WM_SETFONT)
        MarkStartupPhase(startup::kDialogWindow);
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = dialogBeingCreated;
    if (dialog == nullptr || reinterpret_cast<LPARAM>(dialog) != lParam || dialog->window != nullptr ||
        FromHandle(handle) != nullptr)
        return FALSE;
    dialogBeingCreated = nullptr;
    MarkStartupPhase(startup::kTemplateControls);
    // As in the window procedure, nothing may unwind into the dialog
    // manager: an initialisation that throws counts as one that set no
    // focus, and the dialog runs with what it has.
    try {
        dialog->Subclass(handle);
        return dialog->OnInitDialog();
    } catch (...) {
        ReportEscapedException(message);
    }
    return FALSE;
}

void CDialog::RunMessageLoop()
{
    MSG message;
    while (running) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateChain(message))
            continue;
        if (window != nullptr && ::IsDialogMessageW(window, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Offers the message to the window it is for and to each of its parents.
// A hook that throws swallows nothing: this loop may run inside a handler
// of its owner, whose modal run would otherwise be left half done.
bool CDialog::PreTranslateChain(MSG& message) noexcept
{
    for (HWND target = message.hwnd; target != nullptr; target = ::GetParent(target)) {
        if (CWindow* object = FromHandle(target)) {
            try {
                if (object->PreTranslateMessage(message))
                    return true;
            } catch (...) {
                ReportEscapedException(message.message);
            }
        }
        if (target == window)
            break;
    }
    return false;
}
