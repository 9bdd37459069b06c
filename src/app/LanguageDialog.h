// The small dialog above the language button that offers the six languages,
// each named in its own language.
#pragma once

#include "controls/HoverButton.h"
#include "controls/SkinnedDialog.h"

class CLanguageDialog : public CSkinnedDialog {
public:
    CLanguageDialog();
    ~CLanguageDialog() override;

    int selectedIndex = 0;
    DWORD selectedCode = 0;
    RECT anchorRect{};  // screen rectangle of the menu's language button
    int currentIndex = 0;  // the language in use, which has the focus at the start

    // True once a language button was pressed; leaving the dialog any other
    // way chooses nothing.
    bool HasChoice() const noexcept { return chosen; }

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()

private:
    template <int Index>
    void OnLanguageButton();
    void Choose(int index);
    // The font of the names whose script the dialog's font lacks, made on first need.
    HFONT LinkedFont();

    // Kept past the buttons that draw with it.
    COwnedFont linkedFont;
    CHoverButton spanishButton;
    CHoverButton japaneseButton;
    CHoverButton italianButton;
    CHoverButton frenchButton;
    CHoverButton englishButton;
    CHoverButton germanButton;
    bool chosen = false;
};
