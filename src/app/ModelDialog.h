// The small dialog that asks which hardware model is installed, so that the
// manual of that model can be opened.
#pragma once

#include "controls/HoverButton.h"
#include "controls/SkinnedDialog.h"
#include "entries/MenuState.h"

class CModelDialog : public CSkinnedDialog {
public:
    CModelDialog();
    ~CModelDialog() override;

    // The answer: kModelVexa10, kModelVexa100 or kModelNone for Exit.
    int selection = kModelVexa10;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    // Escape and the close request choose nothing, like Exit; Enter presses
    // the focused button, or chooses nothing where none has the focus.
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    void OnVexa10();
    void OnVexa100();
    void OnExit();
    void Answer(int model);

    CHoverButton exitButton;
    CHoverButton vexa10Button;
    CHoverButton vexa100Button;
};
