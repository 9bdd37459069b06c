// The colour label: its answer to the reflected colour request, alone and
// under a skinned dialog, its repainting, and the description line's look
// over a face.
#include "controls/ColorLabel.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using harness::CPixelCanvas;
using harness::CTestDialog;

constexpr COLORREF kFaceColor = RGB(20, 61, 83);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

// The language dialog with a description line bound to a label, counting
// the static colour requests that reach it.
class CLabelDialog : public CTestDialog {
public:
    CLabelDialog() : CTestDialog(IDD_LANGUAGE) {}

    CColorLabel label;
    int colorRequests = 0;

    DECLARE_MESSAGE_MAP()

protected:
    void BindControls() override
    {
        // Only the description line: the language buttons would paint over it.
        for (int id : {IDC_ENGLISH, IDC_FRENCH, IDC_GERMAN, IDC_ITALIAN, IDC_JAPANESE, IDC_SPANISH})
            ::DestroyWindow(GetItem(id));
        ::CreateWindowExA(WS_EX_TRANSPARENT, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 150, 30, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DESCRIPTION)), ::GetModuleHandleA(nullptr),
                          nullptr);
        BindControl(IDC_DESCRIPTION, label);
    }

private:
    LRESULT OnStaticColor(WPARAM wParam, LPARAM lParam)
    {
        ++colorRequests;
        return OnControlColor(wParam, lParam);
    }
};

// clang-format off
BEGIN_MESSAGE_MAP(CLabelDialog, CTestDialog)
    OnMessage<WM_CTLCOLORSTATIC, &CLabelDialog::OnStaticColor>(),
END_MESSAGE_MAP(CLabelDialog, CTestDialog)
// clang-format on

class ColorLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create());
        ASSERT_NE(nullptr, dialog.label.GetHandle());
    }

    // The dialog's answer to the label's colour request on the canvas, which
    // starts opaque, black on white, in the system font.
    HBRUSH AskForLabelColours()
    {
        ::SetBkMode(canvas.Dc(), OPAQUE);
        ::SetTextColor(canvas.Dc(), RGB(0, 0, 0));
        ::SelectObject(canvas.Dc(), ::GetStockObject(SYSTEM_FONT));
        return reinterpret_cast<HBRUSH>(::SendMessageA(dialog.GetHandle(), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(canvas.Dc()),
                                                       reinterpret_cast<LPARAM>(dialog.label.GetHandle())));
    }

    // Whether the canvas now holds the label's font: a copy of the default GUI font.
    bool CanvasHoldsLabelFont() const
    {
        const HGDIOBJ font = ::GetCurrentObject(canvas.Dc(), OBJ_FONT);
        LOGFONTA held{};
        LOGFONTA expected{};
        ::GetObjectA(font, sizeof(held), &held);
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(expected), &expected);
        return font != ::GetStockObject(SYSTEM_FONT) && font != ::GetStockObject(DEFAULT_GUI_FONT)
            && held.lfHeight == expected.lfHeight && std::strcmp(held.lfFaceName, expected.lfFaceName) == 0;
    }

    CLabelDialog dialog;
    CPixelCanvas canvas{8, 8, kSentinel};
};

TEST_F(ColorLabelTest, AnswersWithItsFontColourTransparentModeAndBackBrush)
{
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), dialog.label.GetTextColor());
    dialog.SetTransparentStatics(false);
    dialog.label.SetTextColor(RGB(10, 20, 30));

    const HBRUSH answer = AskForLabelColours();
    EXPECT_EQ(RGB(10, 20, 30), ::GetTextColor(canvas.Dc()));
    EXPECT_EQ(TRANSPARENT, ::GetBkMode(canvas.Dc()));
    EXPECT_TRUE(CanvasHoldsLabelFont());

    // The back brush: a solid brush of the button face colour, the label's own.
    ASSERT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(answer));
    LOGBRUSH brush{};
    ::GetObjectA(answer, sizeof(brush), &brush);
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), brush.lbStyle);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), brush.lbColor);
    EXPECT_EQ(answer, AskForLabelColours()) << "the same brush every time";

    dialog.label.SetTextColor(kWhite);
    AskForLabelColours();
    EXPECT_EQ(kWhite, ::GetTextColor(canvas.Dc()));
}

TEST_F(ColorLabelTest, UnderTransparentStaticsTheHollowBrushReplacesTheBackBrush)
{
    dialog.label.SetTextColor(RGB(200, 100, 50));
    EXPECT_EQ(::GetStockObject(NULL_BRUSH), AskForLabelColours());
    // The label has still set up the context before the dialog replaced its brush.
    EXPECT_EQ(RGB(200, 100, 50), ::GetTextColor(canvas.Dc()));
    EXPECT_EQ(TRANSPARENT, ::GetBkMode(canvas.Dc()));
    EXPECT_TRUE(CanvasHoldsLabelFont());
}

TEST_F(ColorLabelTest, NewColourRepaintsAtOnceAndTheSameTextIsSetAgain)
{
    ::ShowWindow(dialog.GetHandle(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(dialog.GetHandle());
    const int before = dialog.colorRequests;
    dialog.label.SetTextColor(kWhite);
    EXPECT_GT(dialog.colorRequests, before) << "painted before SetTextColor returned";

    dialog.label.SetText(L"Click to install.");
    ::UpdateWindow(dialog.label.GetHandle());
    EXPECT_EQ(L"Click to install.", dialog.label.GetText());
    const int afterFirst = dialog.colorRequests;
    dialog.label.SetText(L"Click to install.");
    ::UpdateWindow(dialog.label.GetHandle());
    EXPECT_GT(dialog.colorRequests, afterFirst) << "the same text is set and painted again";
}

// The dialog, shown with a plain face, printed into a canvas as the screen would show it.
class ColorLabelPaintTest : public ColorLabelTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        ColorLabelTest::SetUp();
        const SIZE client = dialog.GetClientSize();
        face = harness::MakeSolidBitmap(client.cx, client.cy, kFaceColor);
        ASSERT_TRUE(dialog.AttachBitmap(face.Get()));
        ::ShowWindow(dialog.GetHandle(), SW_SHOWNOACTIVATE);
        dialog.label.SetTextColor(kWhite).SetText(L"MMMM MMMM");
    }

    // The dialog's face, then the label painted over it at its place, as
    // the screen shows them.
    std::unique_ptr<CPixelCanvas> Print()
    {
        const SIZE client = dialog.GetClientSize();
        auto printed = std::make_unique<CPixelCanvas>(client.cx, client.cy, kSentinel);
        ::SendMessageA(dialog.GetHandle(), WM_PRINT, reinterpret_cast<WPARAM>(printed->Dc()),
                       PRF_CLIENT | PRF_ERASEBKGND);
        POINT previous{};
        ::SetViewportOrgEx(printed->Dc(), 10, 10, &previous);
        ::SendMessageA(dialog.label.GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed->Dc()), PRF_CLIENT);
        ::SetViewportOrgEx(printed->Dc(), previous.x, previous.y, nullptr);
        return printed;
    }

    // What the screen shows of the dialog's client area.
    std::unique_ptr<CPixelCanvas> Screen()
    {
        ::UpdateWindow(dialog.GetHandle());
        const SIZE client = dialog.GetClientSize();
        auto shown = std::make_unique<CPixelCanvas>(client.cx, client.cy, kSentinel);
        CWindowDc source(dialog.GetHandle());
        ::BitBlt(shown->Dc(), 0, 0, client.cx, client.cy, source.Get(), 0, 0, SRCCOPY);
        return shown;
    }

    COwnedBitmap face;
};

TEST_P(ColorLabelPaintTest, DescriptionLineIsWhiteTextStraightOnTheFace)
{
    const auto printed = GetParam() ? Screen() : Print();
    // The label covers (10, 10)-(160, 40) of the client area.
    const int text = printed->Count(kWhite, 10, 10, 160, 40);
    EXPECT_GT(text, 20);
    EXPECT_EQ(0, printed->Count(::GetSysColor(COLOR_BTNFACE), 10, 10, 160, 40)) << "no background fill";
    EXPECT_GT(printed->Count(kFaceColor, 10, 10, 160, 40), 150 * 30 / 2) << "the face shows through";
    EXPECT_EQ(0, printed->Count(kWhite, 0, 45, printed->Width(), printed->Height()));
}

TEST_P(ColorLabelPaintTest, WithoutTransparentStaticsTheBackBrushFillsTheLine)
{
    dialog.SetTransparentStatics(false);
    ::InvalidateRect(dialog.GetHandle(), nullptr, TRUE);
    const auto printed = GetParam() ? Screen() : Print();
    EXPECT_GT(printed->Count(::GetSysColor(COLOR_BTNFACE), 10, 10, 160, 40), 150 * 30 / 2);
    EXPECT_GT(printed->Count(kWhite, 10, 10, 160, 40), 20);
}

INSTANTIATE_TEST_SUITE_P(Ways, ColorLabelPaintTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("OnScreen") : std::string("Printed");
                         });

}  // namespace
