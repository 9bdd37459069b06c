// A static text that answers its own colour request: its text colour, its
// font and a transparent background.
#pragma once

#include "base/Handles.h"
#include "framework/Window.h"

#include <string>

class CColorLabel : public CWindow {
public:
    CColorLabel();
    ~CColorLabel() override;

    CColorLabel& SetText(const std::wstring& text);
    // Sets the text colour and repaints the label at once.
    CColorLabel& SetTextColor(COLORREF color);
    std::wstring GetText() const;
    COLORREF GetTextColor() const noexcept { return textColor; }

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnControlColor(WPARAM wParam, LPARAM lParam);

    COLORREF textColor;
    COwnedBrush backBrush;
    LOGFONTA logFont{};
    COwnedFont font;
};
