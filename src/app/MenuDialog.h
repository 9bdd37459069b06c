// The menu's one window: a borderless, picture-faced dialog with a button per
// entry, the language and Exit buttons and the description line. Its
// initialisation is the menu's start-up sequence.
#pragma once

#include "HoverButtonHost.h"
#include "controls/ColorLabel.h"
#include "controls/HoverButton.h"
#include "controls/SkinnedDialog.h"
#include "entries/MenuEntries.h"
#include "entries/MenuState.h"
#include "system/RegistryNames.h"

#include <array>
#include <string>

// The title that also tells a second copy that the menu is running.
constexpr char kMenuTitle[] = "Tavrin Vexa";

class CMenuDialog : public CSkinnedDialog, private CHoverButtonHost {
public:
    CMenuDialog();
    ~CMenuDialog() override;

    const CMenuState& GetState() const noexcept { return state; }

    // Shows the description of the visible hover button under the pointer,
    // or empties the description line over anything else.
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    // Paints the face again under one control, at once.
    void RepaintControlArea(int controlId);
    // Opens the language dialog and relabels the menu on a new choice.
    void OnLanguage();
    // Shows or hides the eleven entry buttons that the language dialog covers.
    void ShowEntryButtons(bool show);

    bool PreTranslateMessage(MSG& message) override;
    // The focused button, or the greyed one the arrow keys rest on.
    HWND KeyboardSpot() const override;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    // Shows the focused button's description once the keyboard moves the focus.
    void OnButtonFocus(const CHoverButton& button);
    // Shows `text` in the description line unless it shows it already.
    void ShowDescription(const std::wstring& text);
    // Moves the keyboard to the next shown button (the previous one), greyed
    // ones included: those it only visits, to show why they are greyed.
    void MoveByArrow(bool backwards);
    // Tab from a visited greyed button: on to the next button that takes the focus.
    void TabFromVisit(bool backwards);
    void Visit(CHoverButton* button);
    // The shown button after `from` in the order of the screen, wrapping.
    CHoverButton* NextShownButton(HWND from, bool backwards);
    void OnEntryClicked(int controlId);
    // Posts the command again when it comes in while a started program is
    // waited for; true when it did.
    bool PostponedUntilWaitEnds(int controlId);
    void ShapeWindow();
    void RedrawNow();
    // Relabels every entry in the language and gives the captions its font.
    void ShowLanguage(int languageIndex);

    CHoverButton* EntryButton(int controlId) override;
    HWND MenuWindow() override;
    int AskModel() override;

    // The captions' font for a script the dialog's font lacks, made on first
    // need and kept past the buttons that draw with it.
    COwnedFont linkedFont;
    // One per row of the entry table, in its order.
    std::array<CHoverButton, kEntryCount> entryButtons;
    CHoverButton languageButton;
    CHoverButton exitButton;
    // The greyed button the keyboard rests on, or null: the focus stays where
    // it was meanwhile, and Enter and Space press nothing.
    CHoverButton* visited = nullptr;
    CColorLabel descriptionLabel;
    HICON icon;
    CMenuState state;
    CMenuEntries entries;
};
