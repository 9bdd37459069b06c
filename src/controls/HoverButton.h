// The menu's push button: it paints itself from a strip of four frames
// (normal, pressed, hover, disabled), lights up while the pointer rests on
// it, draws a one-line caption per state and carries two descriptions and
// an optional tooltip, whose window is made only when the pointer first
// reaches a button that has a tip.
#pragma once

#include "base/Handles.h"
#include "framework/Window.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

// Given for a caption colour: take the normal caption's colour.
constexpr COLORREF kNoColor = 0xFFFFFFFFu;

// A picture strip with a memory device context of its own that holds it
// selected for its whole life, shared by every button that shows it: a
// button draws straight from it and selects nothing while it paints.
struct CStrip {
    COwnedBitmap bitmap;
    COwnedMemoryDc dc;
};

class CHoverButton : public CWindow {
public:
    enum State { kNormal = 0, kPressed = 1, kHover = 2, kDisabled = 3 };

    CHoverButton();
    ~CHoverButton() override;

    // Takes the picture strip `resourceId`; its frames are a quarter of its
    // height. Every button that shows the same picture shares one bitmap.
    bool LoadStrip(UINT resourceId);
    // Sets the caption and colour of each state; a null text or kNoColor
    // takes the normal one; a null normal text changes nothing.
    void SetCaptions(const wchar_t* normalText, COLORREF normalColor, const wchar_t* pressedText = nullptr,
                     COLORREF pressedColor = kNoColor, const wchar_t* hoverText = nullptr,
                     COLORREF hoverColor = kNoColor, const wchar_t* disabledText = nullptr,
                     COLORREF disabledColor = kNoColor);
    // Draws the captions in `font` (owned by the caller, who keeps it while
    // the button shows); null: in the button's own font, the dialog's.
    void SetCaptionFont(HFONT font);
    // Sets the texts shown while the button is enabled and disabled (null: the enabled one).
    void SetDescriptions(const wchar_t* enabledText, const wchar_t* disabledText);
    // The description that belongs to the button's current state.
    std::wstring GetDescription() const;
    // Sets the text of the tooltip's one tool and activates or deactivates
    // it; the tooltip window itself waits for its first need.
    void SetTooltipText(const wchar_t* text, bool activate);
    void SetTooltipText(UINT stringId, bool activate);
    // Activates or deactivates a tooltip that has its tool; else does nothing.
    void ActivateTooltip(bool activate);
    // Called whenever the button takes the keyboard focus.
    void SetFocusListener(std::function<void(CHoverButton&)> listener) { focusListener = std::move(listener); }
    // Whether the dialog manager made the button its default, which Enter presses.
    bool IsDefault() const noexcept { return isDefault; }
    // Whether the window's keyboard cues show: the keyboard has been used.
    bool ShowsKeyboardCues() const;
    // Whether the button shows the focus cue: the keyboard is in use and
    // rests on it.
    bool ShowsFocusCue() const;
    std::wstring AccessibleDescription() const override { return GetDescription(); }

    bool PreTranslateMessage(MSG& message) override;

    // Draws the button as its own paint would, into its parent's device
    // context `parentDc` at `place`, the button's rectangle in the parent's
    // client area. False, drawing nothing, for a button without a strip: only
    // its own paint fills it then.
    bool DrawIntoParent(HDC parentDc, const RECT& place);

    // The state whose frame, caption and colour a paint with `itemState` shows.
    static State ChooseState(UINT itemState, bool hovering) noexcept;

    const std::wstring& GetCaption(State state) const noexcept { return captionText[state]; }
    HFONT GetCaptionFont() const noexcept { return captionFont; }
    COLORREF GetCaptionColor(State state) const noexcept { return captionColor[state]; }
    bool IsHovering() const noexcept { return hovering; }
    int GetFrameWidth() const noexcept { return frameWidth; }
    int GetFrameHeight() const noexcept { return frameHeight; }
    // The tooltip window, null until the pointer first reached the button with a tip set.
    HWND GetTooltipWindow() const noexcept { return tooltip.GetHandle(); }

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    // The frame and caption of `state` over the whole button, into `target`,
    // with the focus cue when `focusCue`.
    void Draw(HDC target, State state, bool focusCue);
    LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    // False where the button's dialog hides its keyboard cues.
    bool DialogShowsCues() const;
    void MakeTooltip();
    void UpdateTooltip();

    // The tooltip window, watched through the framework: the dialog that owns
    // it may destroy it before this button, and its handle then goes with it.
    CMadeWindow tooltip;
    bool hasTooltipTool = false;
    std::wstring tooltipText;
    bool tooltipActive = false;
    bool hovering = false;
    int frameWidth = 0;
    int frameHeight = 0;
    std::shared_ptr<const CStrip> strip;
    bool tracking = false;
    std::array<std::wstring, 4> captionText;
    std::array<COLORREF, 4> captionColor{0, 0, 0, 0};
    HFONT captionFont = nullptr;
    std::array<std::wstring, 2> description;
    bool isDefault = false;
    std::function<void(CHoverButton&)> focusListener;
};
