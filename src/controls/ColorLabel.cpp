#include "ColorLabel.h"

#include "framework/StartupClock.h"

#include <vector>

// clang-format off
BEGIN_MESSAGE_MAP(CColorLabel, CWindow)
    OnReflected<WM_CTLCOLORSTATIC, &CColorLabel::OnControlColor>(),
    OnReflected<WM_CTLCOLORDLG, &CColorLabel::OnControlColor>(),
    OnReflected<WM_CTLCOLORBTN, &CColorLabel::OnControlColor>(),
END_MESSAGE_MAP(CColorLabel, CWindow)
// clang-format on

CColorLabel::CColorLabel() :
    textColor(::GetSysColor(COLOR_WINDOWTEXT)), backBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)))
{
    CStartupSpan span("description line's font made");
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    font.Reset(::CreateFontIndirectA(&logFont));
}

CColorLabel::~CColorLabel() = default;

CColorLabel& CColorLabel::SetText(const std::wstring& text)
{
    ::SetWindowTextW(window, text.c_str());
    return *this;
}

CColorLabel& CColorLabel::SetTextColor(COLORREF color)
{
    textColor = color;
    // RedrawWindow without a window would repaint the whole desktop.
    if (window != nullptr)
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return *this;
}

std::wstring CColorLabel::GetText() const
{
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

LRESULT CColorLabel::OnControlColor(WPARAM wParam, LPARAM)
{
    if (GetCurrentMessageId() == WM_CTLCOLORSTATIC) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SelectObject(dc, font.Get());
        ::SetTextColor(dc, textColor);
        ::SetBkMode(dc, TRANSPARENT);
    }
    return reinterpret_cast<LRESULT>(backBrush.Get());
}
