// The dialog base: a window built from a template, run modally by a message
// loop of its own so that every window on the way gets its pre-translation
// hook before the dialog keyboard handling.
#pragma once

#include "Window.h"

#include <initializer_list>

class CDialog : public CWindow {
public:
    CDialog(UINT templateId, HWND parent) noexcept;
    ~CDialog() override;

    // Creates the dialog, disables its owner and runs the loop until
    // EndDialog; -1 when the dialog cannot be created.
    INT_PTR DoModal();

    // Ends the modal run with `result` once the current message is handled.
    void EndDialog(INT_PTR result);

    // Binds a control of the template to its member object.
    bool BindControl(int controlId, CWindow& control);

    HWND GetItem(int controlId) const noexcept { return ::GetDlgItem(window, controlId); }

    // Whether the dialog shows its keyboard cues (the focused button's cue):
    // not until Tab or an arrow key is pressed in it, unless the window it
    // opened from showed them already. The platform's own UI state says the
    // same where it keeps one.
    bool ShowsKeyboardCues() const noexcept { return keyboardCuesShown; }
    // The control where the keyboard is: the one that shows the focus cue.
    // The focus, unless the dialog lets the keyboard rest elsewhere.
    virtual HWND KeyboardSpot() const { return ::GetFocus(); }

    // Makes the controls one group of tab stops that Tab and the arrow keys
    // visit in the order given.
    void SetTabOrder(std::initializer_list<int> controlIds);

protected:
    // Binds the template's controls to their members; called first by OnInitDialog.
    virtual void BindControls();
    // The dialog initialisation; true lets the system set the focus.
    virtual BOOL OnInitDialog();
    // The operations behind IDOK and IDCANCEL: both end the dialog.
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    void RunMessageLoop();
    void HideKeyboardCuesUntilUsed();
    void ShowKeyboardCuesOnNavigation(const MSG& message);
    bool PreTranslateChain(MSG& message) noexcept;

    UINT templateId;
    HWND parent;
    bool running = false;
    bool keyboardCuesShown = false;
    INT_PTR modalResult = -1;
};
