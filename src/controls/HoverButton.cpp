#include "HoverButton.h"

#include "framework/Accessibility.h"
#include "framework/Application.h"
#include "framework/CommonControls.h"
#include "framework/Dialog.h"
#include "framework/StartupClock.h"
#include "res/Text.h"

#include <commctrl.h>

#include <map>
#include <utility>

namespace {

constexpr DWORD kHoverTimeMs = 1;
constexpr UINT_PTR kToolId = 1;
// The focus cue: a white outline inside the frame's border, which stands out
// at least 3:1 from every fill of the strips; two pixels wide on buttons
// tall enough to keep it clear of their caption.
constexpr COLORREF kFocusCueColor = RGB(255, 255, 255);
constexpr int kFocusCueInset = 2;
constexpr int kThickFocusCueMinHeight = 24;

// The tooltip's record of the single tool of `button`.
TOOLINFOW ToolFor(HWND button, const wchar_t* text)
{
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = button;
    tool.uId = kToolId;
    tool.lpszText = const_cast<wchar_t*>(text);
    ::GetClientRect(button, &tool.rect);
    return tool;
}

// The strip `resourceId` of `module`, loaded once for all the buttons that
// show it and selected once into its own memory device context; both go
// with the last of the buttons. A strip that did not load has no context.
std::shared_ptr<const CStrip> SharedStrip(HINSTANCE module, UINT resourceId)
{
    static std::map<std::pair<HINSTANCE, UINT>, std::weak_ptr<const CStrip>> strips;
    std::weak_ptr<const CStrip>& kept = strips[{module, resourceId}];
    if (std::shared_ptr<const CStrip> strip = kept.lock())
        return strip;
    auto strip = std::make_shared<CStrip>();
    strip->bitmap.Reset(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    if (strip->bitmap) {
        strip->dc.Reset(::CreateCompatibleDC(nullptr));
        // The context is deleted before the bitmap (members go in reverse
        // order), which leaves the bitmap free to be deleted.
        if (strip->dc && ::SelectObject(strip->dc.Get(), strip->bitmap.Get()) == nullptr)
            strip->dc.Reset();
    }
    // Only a strip that can be drawn is kept: the next button tries again.
    if (strip->dc)
        kept = strip;
    return strip;
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CHoverButton, CWindow)
    OnReflected<WM_DRAWITEM, &CHoverButton::OnDrawItem>(),
    OnMessage<WM_MOUSEMOVE, &CHoverButton::OnMouseMove>(),
    OnMessage<WM_MOUSEHOVER, &CHoverButton::OnMouseHover>(),
    OnMessage<WM_MOUSELEAVE, &CHoverButton::OnMouseLeave>(),
    OnMessage<WM_DESTROY, &CHoverButton::OnDestroy>(),
    OnMessage<WM_GETDLGCODE, &CHoverButton::OnGetDialogCode>(),
    OnMessage<BM_SETSTYLE, &CHoverButton::OnSetStyle>(),
    OnMessage<WM_SETFOCUS, &CHoverButton::OnSetFocus>(),
    OnMessage<WM_UPDATEUISTATE, &CHoverButton::OnUpdateUiState>(),
    OnMessage<WM_GETOBJECT, &CHoverButton::OnGetObject>(),
END_MESSAGE_MAP(CHoverButton, CWindow)
// clang-format on

CHoverButton::CHoverButton() = default;

// A button object that goes while its window stays takes its tooltip along
// (the tooltip's own owner destroys it).
CHoverButton::~CHoverButton() = default;

bool CHoverButton::LoadStrip(UINT resourceId)
{
    CStartupSpan span("strips loaded");
    strip = SharedStrip(CApplication::Instance(), resourceId);
    BITMAP info{};
    if (strip->dc && ::GetObjectA(strip->bitmap.Get(), sizeof(info), &info) != 0) {
        frameWidth = info.bmWidth;
        frameHeight = info.bmHeight / 4;
    } else {
        frameWidth = 0;
        frameHeight = 0;
    }
    return frameWidth > 0 && frameHeight > 0;
}

void CHoverButton::SetCaptions(const wchar_t* normalText, COLORREF normalColor, const wchar_t* pressedText,
                               COLORREF pressedColor, const wchar_t* hoverText, COLORREF hoverColor,
                               const wchar_t* disabledText, COLORREF disabledColor)
{
    if (normalText == nullptr)
        return;
    CStartupSpan span("captions set");
    const wchar_t* texts[4] = {normalText, pressedText, hoverText, disabledText};
    const COLORREF colors[4] = {normalColor, pressedColor, hoverColor, disabledColor};
    for (int state = 0; state < 4; ++state) {
        captionText[state] = texts[state] != nullptr ? texts[state] : normalText;
        captionColor[state] = state == 0 || colors[state] != kNoColor ? colors[state] : normalColor;
    }
    // The window text is what accessibility tools read out: keep it the
    // caption. Set past the system button's own handling, which would first
    // paint the button grey; the owner-drawn caption is then painted anew.
    // A button that does not show (the menu's own window is hidden all
    // through the start-up) is painted whole when it shows: invalidating it
    // would only cost the window server a round trip.
    if (window != nullptr) {
        ::DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(captionText[kNormal].c_str()));
        if (::IsWindowVisible(window))
            ::InvalidateRect(window, nullptr, FALSE);
    }
}

void CHoverButton::SetCaptionFont(HFONT font)
{
    if (font == captionFont)
        return;
    captionFont = font;
    if (window != nullptr && ::IsWindowVisible(window))
        ::InvalidateRect(window, nullptr, FALSE);
}

void CHoverButton::SetDescriptions(const wchar_t* enabledText, const wchar_t* disabledText)
{
    description[0] = enabledText != nullptr ? enabledText : L"";
    description[1] = disabledText != nullptr ? disabledText : description[0];
}

std::wstring CHoverButton::GetDescription() const
{
    return ::IsWindowEnabled(window) ? description[0] : description[1];
}

CHoverButton::State CHoverButton::ChooseState(UINT itemState, bool hovering) noexcept
{
    if (itemState & ODS_DISABLED)
        return kDisabled;
    if (itemState & ODS_SELECTED)
        return kPressed;
    return hovering ? kHover : kNormal;
}

LRESULT CHoverButton::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    Draw(item->hDC, ChooseState(item->itemState, hovering), ShowsFocusCue());
    return TRUE;
}

bool CHoverButton::DrawIntoParent(HDC parentDc, const RECT& place)
{
    if (window == nullptr || !strip || !strip->dc)
        return false;
    // What the platform's button hands its owner-draw code: the state, its
    // font selected, and the drawing kept to the button.
    UINT itemState = ::IsWindowEnabled(window) ? 0 : ODS_DISABLED;
    if (::SendMessageA(window, BM_GETSTATE, 0, 0) & BST_PUSHED)
        itemState |= ODS_SELECTED;
    const int saved = ::SaveDC(parentDc);
    if (saved == 0)
        return false;
    ::IntersectClipRect(parentDc, place.left, place.top, place.right, place.bottom);
    ::OffsetViewportOrgEx(parentDc, place.left, place.top, nullptr);
    if (const auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)))
        ::SelectObject(parentDc, font);
    Draw(parentDc, ChooseState(itemState, hovering), ShowsFocusCue());
    ::RestoreDC(parentDc, saved);
    return true;
}

void CHoverButton::Draw(HDC target, State state, bool focusCue)
{
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    ::OffsetRect(&bounds, -bounds.left, -bounds.top);

    ::SetBkMode(target, TRANSPARENT);
    BeginStartupSpan("button frames drawn");
    if (strip && strip->dc)
        ::StretchBlt(target, 0, 0, bounds.right, bounds.bottom, strip->dc.Get(), 0, state * frameHeight, frameWidth,
                     frameHeight, SRCCOPY);
    EndStartupSpan("button frames drawn");
    CStartupSpan span("button captions drawn");
    ::SetTextColor(target, captionColor[state]);
    // Without a font of its own the caption takes the one the target holds:
    // the button's, which is the dialog's.
    const HGDIOBJ previousFont = captionFont != nullptr ? ::SelectObject(target, captionFont) : nullptr;
    const std::wstring& caption = captionText[state];
    ::DrawTextW(target, caption.c_str(), static_cast<int>(caption.size()), &bounds,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previousFont != nullptr)
        ::SelectObject(target, previousFont);
    if (!focusCue)
        return;
    const auto cueBrush = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    static_assert(kFocusCueColor == RGB(255, 255, 255), "the stock brush is white");
    const int thickness = bounds.bottom >= kThickFocusCueMinHeight ? 2 : 1;
    RECT cue = bounds;
    ::InflateRect(&cue, -kFocusCueInset, -kFocusCueInset);
    for (int line = 0; line < thickness; ++line) {
        ::FrameRect(target, &cue, cueBrush);
        ::InflateRect(&cue, -1, -1);
    }
}

// The dialog's own account of the keyboard's use decides, where the
// platform keeps no UI state; where it keeps one, it must agree. A dialog
// whose cues are hidden is asked nothing more: every paint of a mouse user's
// menu asks this.
bool CHoverButton::ShowsKeyboardCues() const
{
    return window != nullptr && DialogShowsCues()
        && (::SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

bool CHoverButton::ShowsFocusCue() const
{
    if (window == nullptr || !DialogShowsCues())
        return false;
    const auto* dialog = dynamic_cast<const CDialog*>(CWindow::FromHandle(::GetParent(window)));
    const HWND spot = dialog != nullptr ? dialog->KeyboardSpot() : ::GetFocus();
    return spot == window && (::SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

bool CHoverButton::DialogShowsCues() const
{
    const auto* dialog = dynamic_cast<const CDialog*>(CWindow::FromHandle(::GetParent(window)));
    return dialog == nullptr || dialog->ShowsKeyboardCues();
}

// Answers as a push button does, so that the dialog manager moves the
// default along with the focus and Enter presses the focused button.
LRESULT CHoverButton::OnGetDialogCode(WPARAM, LPARAM)
{
    return DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

// The dialog manager marks the default by the button's type; taken over, it
// would end the owner drawing. The default look is not drawn, so the style
// stays as it is and only the mark is kept.
LRESULT CHoverButton::OnSetStyle(WPARAM wParam, LPARAM)
{
    isDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return 0;
}

LRESULT CHoverButton::OnSetFocus(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    if (focusListener)
        focusListener(*this);
    return result;
}

// The cue comes and goes with the window's keyboard cues.
LRESULT CHoverButton::OnUpdateUiState(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    if (ShowsFocusCue() || ::GetFocus() == window)
        ::InvalidateRect(window, nullptr, FALSE);
    return result;
}

LRESULT CHoverButton::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = 0;
    if (AnswerAccessibleObject(window, wParam, lParam, answer))
        return answer;
    return Default();
}

LRESULT CHoverButton::OnMouseMove(WPARAM, LPARAM)
{
    if (!tracking) {
        TRACKMOUSEEVENT request{};
        request.cbSize = sizeof(request);
        request.dwFlags = TME_HOVER | TME_LEAVE;
        request.hwndTrack = window;
        request.dwHoverTime = kHoverTimeMs;
        tracking = CCommonControls::TrackMouseEvent(request) != FALSE;
    }
    return Default();
}

// A hover change repaints without erasing: the strip's frame covers the
// whole button, and an erase would first fill it with the system's button
// colour, a flicker wherever the desktop draws without composition.
LRESULT CHoverButton::OnMouseHover(WPARAM, LPARAM)
{
    hovering = true;
    ::InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT CHoverButton::OnMouseLeave(WPARAM, LPARAM)
{
    tracking = false;
    hovering = false;
    ::InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT CHoverButton::OnDestroy(WPARAM, LPARAM)
{
    // The dialog that owns the tooltip destroys it before its controls; a
    // tooltip still here (the button goes alone) goes with the button.
    tooltip.Destroy();
    return Default();
}

// A tooltip window is a top-level window: making one for every button
// while the menu starts would cost more than the rest of its first paint.
// Only a button with a tip needs one, and only once the pointer is on it.
void CHoverButton::MakeTooltip()
{
    if (tooltip.GetHandle() != nullptr || !hasTooltipTool || window == nullptr)
        return;
    CStartupSpan span("tooltips made");
    CCommonControls::RegisterClasses(ICC_WIN95_CLASSES);
    const HWND made = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, window, nullptr, CApplication::Instance(), nullptr);
    if (made != nullptr)
        tooltip.Attach(made);
    UpdateTooltip();
}

// Gives the tooltip window its one tool with the current text and activation.
void CHoverButton::UpdateTooltip()
{
    if (tooltip.GetHandle() == nullptr)
        return;
    TOOLINFOW tool = ToolFor(window, tooltipText.c_str());
    if (::SendMessageW(tooltip.GetHandle(), TTM_GETTOOLCOUNT, 0, 0) == 0)
        ::SendMessageW(tooltip.GetHandle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip.GetHandle(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageA(tooltip.GetHandle(), TTM_ACTIVATE, tooltipActive ? TRUE : FALSE, 0);
}

// The pointer's messages are what a tooltip reacts to: the first one that
// reaches the button makes its tooltip, which then sees it too.
bool CHoverButton::PreTranslateMessage(MSG& message)
{
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)
        MakeTooltip();
    if (tooltip.GetHandle() != nullptr)
        ::SendMessageA(tooltip.GetHandle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
    return CWindow::PreTranslateMessage(message);
}

void CHoverButton::SetTooltipText(const wchar_t* text, bool activate)
{
    if (text == nullptr)
        return;
    CStartupSpan span("tooltip texts set");
    hasTooltipTool = true;
    tooltipText = text;
    tooltipActive = activate;
    // A button that shows no caption is named by its tip: screen readers
    // read the window text out.
    if (window != nullptr && captionText[kNormal].empty())
        ::DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tooltipText.c_str()));
    UpdateTooltip();
}

void CHoverButton::SetTooltipText(UINT stringId, bool activate)
{
    const std::wstring text = LoadFixedCaption(stringId);
    if (!text.empty())
        SetTooltipText(text.c_str(), activate);
}

void CHoverButton::ActivateTooltip(bool activate)
{
    if (!hasTooltipTool)
        return;
    tooltipActive = activate;
    if (tooltip.GetHandle() != nullptr)
        ::SendMessageA(tooltip.GetHandle(), TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}
