#include "Dialog.h"

#include "Application.h"
#include "StartupClock.h"

#include <utility>

namespace {

// The dialog whose window this thread is creating: the one object that the
// window's WM_INITDIALOG may bind.
thread_local CDialog* dialogBeingCreated = nullptr;

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWindow)
    OnCommand<IDOK, &CDialog::OnOK>(),
    OnCommand<IDCANCEL, &CDialog::OnCancel>(),
END_MESSAGE_MAP(CDialog, CWindow)
// clang-format on

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
    if (dialog == nullptr || reinterpret_cast<LPARAM>(dialog) != lParam || dialog->window != nullptr
        || FromHandle(handle) != nullptr)
        return FALSE;
    dialogBeingCreated = nullptr;
    MarkStartupPhase(startup::kTemplateControls);
    // As in the window procedure, nothing may unwind into the dialog
    // manager: an initialisation that throws counts as one that set no
    // focus, and the dialog runs with what it has.
    BOOL focusBySystem = FALSE;
    try {
        dialog->Subclass(handle);
        focusBySystem = dialog->OnInitDialog();
    } catch (...) {
        ReportEscapedException(message);
    }
    dialog->HideKeyboardCuesUntilUsed();
    return focusBySystem;
}

// A dialog shows no focus cue until the keyboard is used, as Windows' own
// dialogs do after a start by the mouse, unless the window it opens from
// shows its cues already.
void CDialog::HideKeyboardCuesUntilUsed()
{
    const auto* owner = dynamic_cast<const CDialog*>(FromHandle(::GetWindow(window, GW_OWNER)));
    keyboardCuesShown = owner != nullptr && owner->ShowsKeyboardCues();
    ::SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(keyboardCuesShown ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
}

// Tab and the arrow keys show the cues before they move the focus, so that
// the button they reach shows its cue at once; the focused one shows it too
// where the keys move nothing.
void CDialog::ShowKeyboardCuesOnNavigation(const MSG& message)
{
    if (keyboardCuesShown || message.message != WM_KEYDOWN
        || (message.hwnd != window && !::IsChild(window, message.hwnd)))
        return;
    switch (message.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        keyboardCuesShown = true;
        ::SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        if (const HWND spot = KeyboardSpot(); spot != nullptr && ::IsChild(window, spot))
            ::InvalidateRect(spot, nullptr, FALSE);
        break;
    default:
        break;
    }
}

void CDialog::SetTabOrder(std::initializer_list<int> controlIds)
{
    HWND previous = HWND_TOP;
    for (const int controlId : controlIds) {
        const HWND control = GetItem(controlId);
        if (control == nullptr)
            continue;
        LONG style = ::GetWindowLongA(control, GWL_STYLE) | WS_TABSTOP;
        style = previous == HWND_TOP ? (style | WS_GROUP) : (style & ~WS_GROUP);
        ::SetWindowLongA(control, GWL_STYLE, style);
        ::SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        previous = control;
    }
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
        ShowKeyboardCuesOnNavigation(message);
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
