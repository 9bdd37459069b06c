// A window whose menu buttons are hover buttons: it shows what the entries
// tell it on the button of each control.
#pragma once

#include "controls/HoverButton.h"
#include "entries/MenuHost.h"

// White captions, greyed blue while disabled.
constexpr COLORREF kCaptionColor = RGB(255, 255, 255);
constexpr COLORREF kDisabledCaptionColor = RGB(81, 110, 125);

class CHoverButtonHost : public CMenuHost {
public:
    // The button of control `controlId`, or null where there is none.
    virtual CHoverButton* EntryButton(int controlId) = 0;

    // Enables or greys the button, gives it the view's caption in every
    // state and its descriptions. A button without a window takes the texts
    // all the same.
    void ShowEntry(int controlId, const CEntryView& view) override;
    void ShowTooltip(int controlId, const std::wstring& text) override;
};
