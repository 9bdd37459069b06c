// The hover button: the state it draws, its captions and descriptions, its
// picture strips, the pixels of every frame, hover tracking and its tooltip.
#include "controls/HoverButton.h"
#include "controls/LinkedFont.h"
#include "res/Text.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using harness::CPixelCanvas;
using harness::CTestDialog;

// Colours of the text strip (picture 133) and the Exit strip (picture 132).
constexpr COLORREF kDarkFill = RGB(0x14, 0x3D, 0x53);
constexpr COLORREF kLitFill = RGB(0x6F, 0x98, 0xAE);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kExitFill = RGB(0x3C, 0x65, 0x7B);
constexpr COLORREF kExitCrossDisabled = RGB(0x77, 0x94, 0xA3);
constexpr COLORREF kDisabledCaption = RGB(81, 110, 125);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

// The model dialog's three owner-drawn buttons, bound like a dialog of the menu binds them.
class CButtonDialog : public CTestDialog {
public:
    CButtonDialog() : CTestDialog(IDD_MODEL) {}

    CHoverButton textButton;
    CHoverButton otherButton;
    CHoverButton exitButton;

    // Has the dialog's own paint draw the three buttons with its face.
    void DrawButtonsWithFace()
    {
        PaintWithFace(textButton);
        PaintWithFace(otherButton);
        PaintWithFace(exitButton);
    }

protected:
    void BindControls() override
    {
        BindControl(IDC_VEXA10, textButton);
        BindControl(IDC_VEXA100, otherButton);
        BindControl(IDC_MODEL_EXIT, exitButton);
    }
};

TEST(HoverButtonStateTest, DisabledWinsOverPressedOverHoverOverNormal)
{
    struct Case {
        UINT itemState;
        bool hovering;
        CHoverButton::State expected;
    };
    const Case cases[] = {
        {0, false, CHoverButton::kNormal},
        {0, true, CHoverButton::kHover},
        {ODS_SELECTED, false, CHoverButton::kPressed},
        {ODS_SELECTED, true, CHoverButton::kPressed},
        {ODS_DISABLED, false, CHoverButton::kDisabled},
        {ODS_DISABLED, true, CHoverButton::kDisabled},
        {ODS_DISABLED | ODS_SELECTED, true, CHoverButton::kDisabled},
        {ODS_FOCUS, false, CHoverButton::kNormal},
        {ODS_FOCUS | ODS_DEFAULT, true, CHoverButton::kHover},
        {ODS_GRAYED, false, CHoverButton::kNormal},
        {ODS_GRAYED | ODS_FOCUS | ODS_SELECTED, true, CHoverButton::kPressed},
    };
    for (const Case& test : cases)
        EXPECT_EQ(test.expected, CHoverButton::ChooseState(test.itemState, test.hovering))
            << "item state 0x" << std::hex << test.itemState << ", hovering " << test.hovering;
}

// The captions of all four states, for comparing in one go.
std::vector<std::wstring> Captions(const CHoverButton& button)
{
    return {button.GetCaption(CHoverButton::kNormal), button.GetCaption(CHoverButton::kPressed),
            button.GetCaption(CHoverButton::kHover), button.GetCaption(CHoverButton::kDisabled)};
}

std::vector<COLORREF> CaptionColors(const CHoverButton& button)
{
    return {button.GetCaptionColor(CHoverButton::kNormal), button.GetCaptionColor(CHoverButton::kPressed),
            button.GetCaptionColor(CHoverButton::kHover), button.GetCaptionColor(CHoverButton::kDisabled)};
}

TEST(HoverButtonCaptionTest, MissingTextsAndColoursTakeTheNormalOnes)
{
    CHoverButton button;
    EXPECT_EQ((std::vector<std::wstring>(4)), Captions(button));

    button.SetCaptions(L"Install", kWhite);
    EXPECT_EQ((std::vector<std::wstring>(4, L"Install")), Captions(button));
    EXPECT_EQ((std::vector<COLORREF>(4, kWhite)), CaptionColors(button));

    button.SetCaptions(L"Normal", RGB(1, 2, 3), nullptr, RGB(4, 5, 6), L"Hover", kNoColor, L"Disabled",
                       kDisabledCaption);
    EXPECT_EQ((std::vector<std::wstring>{L"Normal", L"Normal", L"Hover", L"Disabled"}), Captions(button));
    EXPECT_EQ((std::vector<COLORREF>{RGB(1, 2, 3), RGB(4, 5, 6), RGB(1, 2, 3), kDisabledCaption}),
              CaptionColors(button));
}

TEST(HoverButtonCaptionTest, WhiteIsAColourNotTheAbsenceOfOne)
{
    CHoverButton button;
    button.SetCaptions(L"Text", RGB(9, 9, 9), L"Pressed", kWhite, nullptr, kNoColor, nullptr, kWhite);
    EXPECT_EQ((std::vector<COLORREF>{RGB(9, 9, 9), kWhite, RGB(9, 9, 9), kWhite}), CaptionColors(button));
    // The menu's own entry colours.
    button.SetCaptions(L"Entry", kWhite, L"Entry", kWhite, L"Entry", kWhite, L"Entry", kDisabledCaption);
    EXPECT_EQ((std::vector<COLORREF>{kWhite, kWhite, kWhite, kDisabledCaption}), CaptionColors(button));
}

TEST(HoverButtonCaptionTest, NullNormalTextChangesNothingButAnEmptyOneDoes)
{
    CHoverButton button;
    button.SetCaptions(L"Keep", kWhite, L"KeepPressed", RGB(1, 1, 1), L"KeepHover", RGB(2, 2, 2), L"KeepDisabled",
                       RGB(3, 3, 3));
    button.SetCaptions(nullptr, RGB(7, 7, 7), L"New", RGB(8, 8, 8), L"New", RGB(8, 8, 8), L"New", RGB(8, 8, 8));
    EXPECT_EQ((std::vector<std::wstring>{L"Keep", L"KeepPressed", L"KeepHover", L"KeepDisabled"}), Captions(button));
    EXPECT_EQ((std::vector<COLORREF>{kWhite, RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3)}), CaptionColors(button));

    button.SetCaptions(L"", kBlack);
    EXPECT_EQ((std::vector<std::wstring>(4)), Captions(button));
    EXPECT_EQ((std::vector<COLORREF>(4, kBlack)), CaptionColors(button));
}

// The dialog with its buttons, created hidden for each test.
class HoverButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    std::string WindowText(const CHoverButton& button) const
    {
        char text[256] = {};
        ::GetWindowTextA(button.GetHandle(), text, sizeof(text));
        return text;
    }

    // Gives `button` a size, in pixels.
    static void Resize(CHoverButton& button, int width, int height)
    {
        ::SetWindowPos(button.GetHandle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The button drawn for `itemState` through the dialog, as the platform
    // asks for an owner-drawn button, into a canvas of the button's size that
    // holds the button's font.
    std::unique_ptr<CPixelCanvas> DrawThroughDialog(CHoverButton& button, UINT itemState)
    {
        RECT bounds{};
        ::GetClientRect(button.GetHandle(), &bounds);
        auto canvas = std::make_unique<CPixelCanvas>(bounds.right, bounds.bottom, kSentinel);
        const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(button.GetHandle(), WM_GETFONT, 0, 0));
        CSelectedObject fontSelection(canvas->Dc(), font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.GetHandle()));
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = itemState;
        item.hwndItem = button.GetHandle();
        item.hDC = canvas->Dc();
        item.rcItem = bounds;
        const LRESULT answer
            = ::SendMessageA(dialog.GetHandle(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        EXPECT_NE(0, answer) << "the button draws itself";
        return canvas;
    }

    // The button painted by the platform's own button into a canvas.
    std::unique_ptr<CPixelCanvas> PrintButton(CHoverButton& button)
    {
        RECT bounds{};
        ::GetClientRect(button.GetHandle(), &bounds);
        auto canvas = std::make_unique<CPixelCanvas>(bounds.right, bounds.bottom, kSentinel);
        ::SendMessageA(button.GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    CButtonDialog dialog;
};

TEST_F(HoverButtonWindowTest, DescriptionFollowsTheEnabledState)
{
    CHoverButton& button = dialog.textButton;
    button.SetDescriptions(L"Click to install.", L"Already installed.");
    EXPECT_EQ(L"Click to install.", button.GetDescription());
    ::EnableWindow(button.GetHandle(), FALSE);
    EXPECT_EQ(L"Already installed.", button.GetDescription());

    button.SetDescriptions(L"Only one text.", nullptr);
    EXPECT_EQ(L"Only one text.", button.GetDescription());
    ::EnableWindow(button.GetHandle(), TRUE);
    EXPECT_EQ(L"Only one text.", button.GetDescription());

    button.SetDescriptions(nullptr, nullptr);
    EXPECT_EQ(L"", button.GetDescription());
}

// The object of a window is found from it only while the two are bound:
// whichever goes first, the other is let go of.
TEST_F(HoverButtonWindowTest, AButtonIsFoundFromItsWindowOnlyWhileBoundToIt)
{
    EXPECT_EQ(&dialog.textButton, dynamic_cast<CHoverButton*>(CWindow::FromHandle(dialog.textButton.GetHandle())));
    EXPECT_EQ(nullptr, CWindow::FromHandle(::GetDesktopWindow()));

    auto makeControl = [this] {
        return ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_OWNERDRAW, 0, 0, 10, 10, dialog.GetHandle(), nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    };
    COwnedWindow outlived(makeControl());
    {
        CHoverButton object;
        ASSERT_TRUE(object.Attach(outlived.Get()));
        EXPECT_EQ(&object, CWindow::FromHandle(outlived.Get()));
    }
    EXPECT_EQ(nullptr, CWindow::FromHandle(outlived.Get()));
    EXPECT_TRUE(::SetWindowTextA(outlived.Get(), "still a button")) << "its own procedure is back";

    CHoverButton survivor;
    const HWND destroyed = makeControl();
    ASSERT_TRUE(survivor.Attach(destroyed));
    ::DestroyWindow(destroyed);
    EXPECT_EQ(nullptr, survivor.GetHandle());
    EXPECT_EQ(nullptr, CWindow::FromHandle(destroyed));
}

TEST_F(HoverButtonWindowTest, WindowTextFollowsTheNormalCaption)
{
    dialog.textButton.SetCaptions(L"Vexa100", kWhite, L"Pressed", kWhite);
    EXPECT_EQ("Vexa100", WindowText(dialog.textButton));
    dialog.textButton.SetCaptions(nullptr, kWhite);
    EXPECT_EQ("Vexa100", WindowText(dialog.textButton));
}

// The system button's own text handling paints the button grey before the
// owner-drawn caption: the accessible name is set past it.
thread_local int textsSent = 0;
thread_local HWND textWatched = nullptr;

LRESULT CALLBACK CountTextsSent(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == textWatched && message->message == WM_SETTEXT)
        ++textsSent;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(HoverButtonWindowTest, TheAccessibleNameIsSetWithoutTheSystemButtonsRepaint)
{
    textsSent = 0;
    textWatched = dialog.textButton.GetHandle();
    const HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &CountTextsSent, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    dialog.textButton.SetCaptions(L"Install", kWhite);
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(0, textsSent);
    EXPECT_EQ("Install", WindowText(dialog.textButton));
}

// A shown button is invalidated by its new caption; one that does not show
// is left alone and is painted whole when it shows, with the new caption.
TEST_F(HoverButtonWindowTest, ACaptionReachesTheScreenWhetherTheButtonShowsOrNot)
{
    const HWND button = dialog.textButton.GetHandle();
    ::ShowWindow(dialog.GetHandle(), SW_SHOWNA);
    ::UpdateWindow(dialog.GetHandle());
    RECT update{};
    ASSERT_FALSE(::GetUpdateRect(button, &update, FALSE));

    dialog.textButton.SetCaptions(L"Shown", kWhite);
    EXPECT_TRUE(::GetUpdateRect(button, &update, FALSE)) << "a shown button waits to be painted";
    ::UpdateWindow(button);

    ::ShowWindow(button, SW_HIDE);
    dialog.textButton.SetCaptions(L"Hidden", kWhite);
    EXPECT_FALSE(::GetUpdateRect(button, &update, FALSE));
    EXPECT_EQ("Hidden", WindowText(dialog.textButton));
    ::ShowWindow(button, SW_SHOWNA);
    RECT client{};
    ::GetClientRect(button, &client);
    ASSERT_TRUE(::GetUpdateRect(button, &update, FALSE)) << "the button is painted when it shows";
    EXPECT_TRUE(::EqualRect(&client, &update));
    ::ShowWindow(dialog.GetHandle(), SW_HIDE);
}

TEST_F(HoverButtonWindowTest, StripsGiveFramesOfAQuarterOfTheirHeight)
{
    EXPECT_TRUE(dialog.textButton.LoadStrip(IDB_TEXT_STRIP));
    EXPECT_EQ(202, dialog.textButton.GetFrameWidth());
    EXPECT_EQ(26, dialog.textButton.GetFrameHeight());
    EXPECT_TRUE(dialog.exitButton.LoadStrip(IDB_EXIT_STRIP));
    EXPECT_EQ(21, dialog.exitButton.GetFrameWidth());
    EXPECT_EQ(21, dialog.exitButton.GetFrameHeight());

    // A picture that is not there: false, no frame, and drawing stays harmless.
    EXPECT_FALSE(dialog.otherButton.LoadStrip(9999));
    EXPECT_EQ(0, dialog.otherButton.GetFrameWidth());
    EXPECT_EQ(0, dialog.otherButton.GetFrameHeight());
    DrawThroughDialog(dialog.otherButton, 0);
}

TEST_F(HoverButtonWindowTest, EveryStateDrawsItsFrameOfTheTextStrip)
{
    CHoverButton& button = dialog.textButton;
    ASSERT_TRUE(button.LoadStrip(IDB_TEXT_STRIP));
    Resize(button, 202, 26);
    struct Case {
        UINT itemState;
        bool hover;
        COLORREF border;
        COLORREF fill;
    };
    const Case cases[] = {{0, false, kBlack, kDarkFill},
                          {ODS_SELECTED, false, kWhite, kLitFill},
                          {0, true, kBlack, kLitFill},
                          {ODS_SELECTED, true, kWhite, kLitFill},
                          {ODS_DISABLED, true, kBlack, kDarkFill},
                          {ODS_FOCUS, false, kBlack, kDarkFill}};
    for (const Case& test : cases) {
        ::SendMessageA(button.GetHandle(), test.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        ASSERT_EQ(test.hover, button.IsHovering());
        const auto canvas = DrawThroughDialog(button, test.itemState);
        const std::string what = "item state " + std::to_string(test.itemState) + (test.hover ? ", hover" : "");
        EXPECT_EQ(test.border, canvas->Pixel(0, 0)) << what;
        EXPECT_EQ(test.border, canvas->Pixel(201, 25)) << what;
        EXPECT_EQ(test.fill, canvas->Pixel(1, 1)) << what;
        EXPECT_EQ(test.fill, canvas->Pixel(5, 13)) << what;
        EXPECT_EQ(0, canvas->Count(kSentinel)) << what << ": the frame covers the button";
    }
}

TEST_F(HoverButtonWindowTest, EveryStateDrawsItsFrameOfTheExitStrip)
{
    CHoverButton& button = dialog.exitButton;
    ASSERT_TRUE(button.LoadStrip(IDB_EXIT_STRIP));
    Resize(button, 21, 21);
    // The cross at the centre is white but for the disabled frame.
    struct Case {
        UINT itemState;
        COLORREF cross;
        COLORREF fill;
    };
    const Case cases[]
        = {{0, kWhite, kExitFill}, {ODS_SELECTED, kWhite, kLitFill}, {ODS_DISABLED, kExitCrossDisabled, kExitFill}};
    for (const Case& test : cases) {
        const auto canvas = DrawThroughDialog(button, test.itemState);
        EXPECT_EQ(test.cross, canvas->Pixel(10, 10)) << "item state " << test.itemState;
        EXPECT_EQ(test.fill, canvas->Pixel(3, 10)) << "item state " << test.itemState;
    }
    ::SendMessageA(button.GetHandle(), WM_MOUSEHOVER, 0, 0);
    const auto hover = DrawThroughDialog(button, 0);
    EXPECT_EQ(kWhite, hover->Pixel(10, 10));
    EXPECT_EQ(kLitFill, hover->Pixel(3, 10));
}

// The buttons that show one picture share one bitmap of it; each still
// draws its own state, and the strip stays for as long as one of them holds it.
TEST_F(HoverButtonWindowTest, ButtonsOfOnePictureShareItsStripAndDrawTheirOwnStates)
{
    ASSERT_TRUE(dialog.textButton.LoadStrip(IDB_TEXT_STRIP));
    const long before = harness::CountGdiObjects();
    ASSERT_TRUE(dialog.otherButton.LoadStrip(IDB_TEXT_STRIP));
    EXPECT_EQ(before, harness::CountGdiObjects()) << "a second button of the picture loads no second bitmap";
    Resize(dialog.textButton, 202, 26);
    Resize(dialog.otherButton, 202, 26);

    ::SendMessageA(dialog.otherButton.GetHandle(), WM_MOUSEHOVER, 0, 0);
    for (int round = 0; round < 2; ++round) {
        const auto pressed = DrawThroughDialog(dialog.textButton, ODS_SELECTED);
        const auto hover = DrawThroughDialog(dialog.otherButton, 0);
        const auto disabled = DrawThroughDialog(dialog.textButton, ODS_DISABLED);
        EXPECT_EQ(kWhite, pressed->Pixel(0, 0));
        EXPECT_EQ(kLitFill, pressed->Pixel(5, 13));
        EXPECT_EQ(kBlack, hover->Pixel(0, 0));
        EXPECT_EQ(kLitFill, hover->Pixel(5, 13));
        EXPECT_EQ(kBlack, disabled->Pixel(0, 0));
        EXPECT_EQ(kDarkFill, disabled->Pixel(5, 13));
    }

    // One button takes another picture; the other keeps drawing the first.
    ASSERT_TRUE(dialog.textButton.LoadStrip(IDB_EXIT_STRIP));
    EXPECT_EQ(21, dialog.textButton.GetFrameWidth());
    const auto normal = DrawThroughDialog(dialog.otherButton, ODS_SELECTED);
    EXPECT_EQ(kWhite, normal->Pixel(0, 0));
    EXPECT_EQ(kLitFill, normal->Pixel(5, 13));
    EXPECT_EQ(26, dialog.otherButton.GetFrameHeight());
}

// A shared strip is held with the context it stays selected in; both go
// with the last button that shows it.
TEST(HoverButtonStripTest, StripAndItsContextGoWithTheLastButtonThatShowsIt)
{
    const long before = harness::CountGdiObjects();
    {
        auto first = std::make_unique<CHoverButton>();
        CHoverButton second;
        ASSERT_TRUE(first->LoadStrip(IDB_EXIT_STRIP));
        ASSERT_TRUE(second.LoadStrip(IDB_EXIT_STRIP));
        EXPECT_EQ(before + 2, harness::CountGdiObjects()) << "one bitmap and one memory context";
        first.reset();
        EXPECT_EQ(before + 2, harness::CountGdiObjects()) << "the other button still shows the strip";
        EXPECT_EQ(21, second.GetFrameWidth());
    }
    EXPECT_EQ(before, harness::CountGdiObjects());
}

TEST_F(HoverButtonWindowTest, FramesAreScaledToTheButtonEachDirectionOnItsOwn)
{
    ASSERT_TRUE(dialog.exitButton.LoadStrip(IDB_EXIT_STRIP));
    Resize(dialog.exitButton, 63, 21);  // three times as wide
    const auto wide = DrawThroughDialog(dialog.exitButton, ODS_DISABLED);
    EXPECT_EQ(kExitCrossDisabled, wide->Pixel(31, 10));
    EXPECT_EQ(kExitFill, wide->Pixel(10, 10));
    EXPECT_EQ(0, wide->Count(kSentinel));

    ASSERT_TRUE(dialog.textButton.LoadStrip(IDB_TEXT_STRIP));
    Resize(dialog.textButton, 404, 13);  // twice as wide, half as high
    const auto stretched = DrawThroughDialog(dialog.textButton, ODS_SELECTED);
    EXPECT_EQ(kWhite, stretched->Pixel(0, 6));
    EXPECT_EQ(kWhite, stretched->Pixel(1, 6));
    EXPECT_EQ(kLitFill, stretched->Pixel(10, 6));
    EXPECT_EQ(kLitFill, stretched->Pixel(390, 6));
    EXPECT_EQ(0, stretched->Count(kSentinel));
}

TEST_F(HoverButtonWindowTest, CaptionIsDrawnInTheColourOfTheState)
{
    CHoverButton& button = dialog.textButton;
    ASSERT_TRUE(button.LoadStrip(IDB_TEXT_STRIP));
    Resize(button, 202, 26);
    const COLORREF red = RGB(255, 0, 0);
    const COLORREF green = RGB(0, 255, 0);
    const COLORREF yellow = RGB(255, 255, 0);
    const COLORREF blue = RGB(0, 0, 255);
    button.SetCaptions(L"MMMM", red, L"MMMM", green, L"MMMM", yellow, L"MMMM", blue);
    const COLORREF colors[] = {red, green, yellow, blue};
    const UINT states[] = {0, ODS_SELECTED, 0, ODS_DISABLED};
    for (int state = 0; state < 4; ++state) {
        ::SendMessageA(button.GetHandle(), state == CHoverButton::kHover ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        const auto canvas = DrawThroughDialog(button, states[state]);
        for (int other = 0; other < 4; ++other) {
            // The caption is centred: none of it near the left and right ends.
            const int inside = canvas->Count(colors[other], 60, 3, 142, 23);
            if (other == state)
                EXPECT_GT(inside, 10) << "state " << state;
            else
                EXPECT_EQ(0, inside) << "state " << state << " shows the colour of state " << other;
        }
        EXPECT_EQ(0, canvas->Count(colors[state], 0, 0, 50, 26)) << "state " << state;
        EXPECT_EQ(0, canvas->Count(colors[state], 152, 0, 202, 26)) << "state " << state;
    }
}

// Windows links no font to the dialogs' raster font: every Japanese
// character comes out as the same box there, and only the linked font draws
// two captions apart. Without a font of its own the button draws as before.
TEST_F(HoverButtonWindowTest, JapaneseCaptionsShowTheirGlyphsInTheLinkedFontOnly)
{
    CHoverButton& button = dialog.textButton;
    ASSERT_TRUE(button.LoadStrip(IDB_TEXT_STRIP));
    Resize(button, 202, 26);
    const COwnedFont linked(
        CreateLinkedFont(reinterpret_cast<HFONT>(::SendMessageW(button.GetHandle(), WM_GETFONT, 0, 0))));
    ASSERT_TRUE(linked);
    const auto inkOf = [&](const wchar_t* caption, HFONT font) {
        button.SetCaptionFont(font);
        button.SetCaptions(caption, kWhite);
        EXPECT_EQ(font, button.GetCaptionFont());
        const auto canvas = DrawThroughDialog(button, 0);
        std::vector<bool> ink;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 202; ++x)
                ink.push_back(canvas->Pixel(x, y) == kWhite);
        return ink;
    };
    const std::vector<bool> latin = inkOf(L"Install", nullptr);
    EXPECT_EQ(inkOf(L"\u7d42\u4e86", nullptr), inkOf(L"\u65e5\u672c", nullptr)) << "the test prefix links a font to it";
    EXPECT_NE(inkOf(L"\u7d42\u4e86", linked.Get()), inkOf(L"\u65e5\u672c", linked.Get()));
    EXPECT_NE(latin, inkOf(L"Install", linked.Get()));
    EXPECT_EQ(latin, inkOf(L"Install", nullptr));
}

TEST_F(HoverButtonWindowTest, AnEmptyCaptionDrawsTheFrameOnly)
{
    CHoverButton& button = dialog.textButton;
    ASSERT_TRUE(button.LoadStrip(IDB_TEXT_STRIP));
    Resize(button, 202, 26);
    button.SetCaptions(L"", kWhite);
    const auto canvas = DrawThroughDialog(button, 0);
    EXPECT_EQ(202 * 26, canvas->Count(kDarkFill) + canvas->Count(kBlack));
}

TEST_F(HoverButtonWindowTest, ThePlatformButtonPaintsThroughTheDialog)
{
    CHoverButton& button = dialog.textButton;
    ASSERT_TRUE(button.LoadStrip(IDB_TEXT_STRIP));
    Resize(button, 202, 26);
    button.SetCaptions(L"Vexa10", kWhite, nullptr, kNoColor, nullptr, kNoColor, nullptr, kDisabledCaption);

    EXPECT_EQ(kDarkFill, PrintButton(button)->Pixel(5, 13));
    ::SendMessageA(button.GetHandle(), WM_MOUSEHOVER, 0, 0);
    EXPECT_EQ(kLitFill, PrintButton(button)->Pixel(5, 13));
    ::SendMessageA(button.GetHandle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(kWhite, PrintButton(button)->Pixel(0, 0)) << "pressed";
    ::SendMessageA(button.GetHandle(), BM_SETSTATE, FALSE, 0);
    ::EnableWindow(button.GetHandle(), FALSE);
    const auto disabled = PrintButton(button);
    EXPECT_EQ(kDarkFill, disabled->Pixel(5, 13));
    EXPECT_GT(disabled->Count(kDisabledCaption), 0) << "the disabled caption colour";
    EXPECT_EQ(0, disabled->Count(kWhite));
    ::EnableWindow(button.GetHandle(), TRUE);
    ::SendMessageA(button.GetHandle(), WM_MOUSELEAVE, 0, 0);
    const auto normal = PrintButton(button);
    EXPECT_EQ(kDarkFill, normal->Pixel(5, 13));
    EXPECT_GT(normal->Count(kWhite), 0) << "the white caption";
}

// The dialog's own paint draws its buttons over the face as each button's
// own paint would, and spares each exactly the part it covered: a button
// without a strip, or the part of a button invalidated on its own that the
// dialog's paint did not cover, is still painted by the button.
TEST_F(HoverButtonWindowTest, ButtonsDrawnWithTheFaceLookAsTheirOwnPaintAndAreSparedOnlyWhatItCovered)
{
    CHoverButton& lit = dialog.textButton;
    CHoverButton& greyed = dialog.otherButton;
    CHoverButton& stripless = dialog.exitButton;
    for (CHoverButton* button : {&lit, &greyed, &stripless})
        button->SetCaptions(L"Vexa10", kWhite, nullptr, kNoColor, nullptr, kNoColor, nullptr, kDisabledCaption);
    ASSERT_TRUE(lit.LoadStrip(IDB_TEXT_STRIP));
    ASSERT_TRUE(greyed.LoadStrip(IDB_TEXT_STRIP));
    ::EnableWindow(greyed.GetHandle(), FALSE);
    ::SendMessageA(lit.GetHandle(), WM_MOUSEHOVER, 0, 0);
    ::SendMessageA(lit.GetHandle(), BM_SETSTATE, TRUE, 0);
    const SIZE client = dialog.GetClientSize();
    COwnedBitmap face = harness::MakeSolidBitmap(client.cx, client.cy, kExitFill);
    ASSERT_TRUE(dialog.AttachBitmap(face.Get()));
    dialog.DrawButtonsWithFace();

    auto onScreen = [](const CHoverButton& button) {
        RECT bounds{};
        ::GetClientRect(button.GetHandle(), &bounds);
        auto canvas = std::make_unique<CPixelCanvas>(bounds.right, bounds.bottom, kSentinel);
        CWindowDc screen(button.GetHandle());
        ::BitBlt(canvas->Dc(), 0, 0, bounds.right, bounds.bottom, screen.Get(), 0, 0, SRCCOPY);
        return canvas;
    };
    auto differingPixels = [](const CPixelCanvas& shown, const CPixelCanvas& expected) {
        int count = 0;
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x)
                count += shown.Pixel(x, y) != expected.Pixel(x, y) ? 1 : 0;
        return count;
    };
    auto invalid = [](const CHoverButton& button) { return ::GetUpdateRect(button.GetHandle(), nullptr, FALSE); };

    ::SetWindowPos(dialog.GetHandle(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::SendMessageA(dialog.GetHandle(), WM_PAINT, 0, 0);
    EXPECT_FALSE(invalid(lit));
    EXPECT_FALSE(invalid(greyed));
    EXPECT_TRUE(invalid(stripless)) << "a button without a strip paints itself";
    ::UpdateWindow(dialog.GetHandle());
    EXPECT_EQ(0, differingPixels(*onScreen(lit), *PrintButton(lit))) << "lit up and pressed";
    EXPECT_EQ(0, differingPixels(*onScreen(greyed), *PrintButton(greyed))) << "greyed";

    // The pointer leaves the lit button, which asks for its whole repaint;
    // the dialog is to paint only the left half of it.
    ::SendMessageA(lit.GetHandle(), BM_SETSTATE, FALSE, 0);
    ::UpdateWindow(dialog.GetHandle());
    ::SendMessageA(lit.GetHandle(), WM_MOUSELEAVE, 0, 0);
    RECT half{};
    ::GetWindowRect(lit.GetHandle(), &half);
    ::MapWindowPoints(nullptr, dialog.GetHandle(), reinterpret_cast<POINT*>(&half), 2);
    half.right = (half.left + half.right) / 2;
    ::InvalidateRect(dialog.GetHandle(), &half, TRUE);
    ::SendMessageA(dialog.GetHandle(), WM_PAINT, 0, 0);
    RECT left{};
    ASSERT_TRUE(invalid(lit)) << "the right half is still the button's own to paint";
    ::GetUpdateRect(lit.GetHandle(), &left, FALSE);
    EXPECT_EQ(half.right - half.left, left.left);
    ::UpdateWindow(dialog.GetHandle());
    EXPECT_EQ(0, differingPixels(*onScreen(lit), *PrintButton(lit))) << "no longer lit";

    // A button hidden by its style bit alone, as the menu hides the buttons
    // that its language dialog covers, is not drawn: the face shows.
    RECT place{};
    ::GetWindowRect(greyed.GetHandle(), &place);
    ::MapWindowPoints(nullptr, dialog.GetHandle(), reinterpret_cast<POINT*>(&place), 2);
    ::SetWindowLongA(greyed.GetHandle(), GWL_STYLE, ::GetWindowLongA(greyed.GetHandle(), GWL_STYLE) & ~WS_VISIBLE);
    ::InvalidateRect(dialog.GetHandle(), &place, TRUE);
    ::SendMessageA(dialog.GetHandle(), WM_PAINT, 0, 0);
    CPixelCanvas shown(place.right - place.left, place.bottom - place.top, kSentinel);
    {
        CWindowDc screen(dialog.GetHandle());
        ::BitBlt(shown.Dc(), 0, 0, shown.Width(), shown.Height(), screen.Get(), place.left, place.top, SRCCOPY);
    }
    EXPECT_EQ(shown.Width() * shown.Height(), shown.Count(kExitFill)) << "hidden";

    // A dialog that clips its children out of its paint leaves them theirs.
    const LONG style = ::GetWindowLongA(dialog.GetHandle(), GWL_STYLE);
    ::SetWindowLongA(dialog.GetHandle(), GWL_STYLE, style | WS_CLIPCHILDREN);
    ::RedrawWindow(dialog.GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ::SendMessageA(dialog.GetHandle(), WM_PAINT, 0, 0);
    EXPECT_TRUE(invalid(lit)) << "clipped out of the dialog's paint";
}

TEST_F(HoverButtonWindowTest, ThePointerRestingOnTheButtonLightsItUp)
{
    CHoverButton& button = dialog.textButton;
    ::SetWindowPos(dialog.GetHandle(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(dialog.GetHandle());
    RECT bounds{};
    ::GetWindowRect(button.GetHandle(), &bounds);
    const POINT centre{(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    ::SetCursorPos(centre.x, centre.y);
    POINT client = centre;
    ::ScreenToClient(button.GetHandle(), &client);
    ::SendMessageA(button.GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));

    auto waitFor = [&button](bool hovering) {
        for (int i = 0; i < 150 && button.IsHovering() != hovering; ++i) {
            harness::PumpMessages();
            ::Sleep(20);
        }
        return button.IsHovering() == hovering;
    };
    EXPECT_TRUE(waitFor(true)) << "no hover notification";
    ::SetCursorPos(bounds.right + 300, bounds.bottom + 300);
    EXPECT_TRUE(waitFor(false)) << "no leave notification";

    // Tracking is asked for again after the leave.
    ::SetCursorPos(centre.x, centre.y);
    ::SendMessageA(button.GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    EXPECT_TRUE(waitFor(true)) << "no hover notification after a leave";
    ::SetCursorPos(bounds.right + 300, bounds.bottom + 300);
    EXPECT_TRUE(waitFor(false));
}

// Records the TTM_ACTIVATE requests that reach a tooltip window.
class CTooltipSpy {
public:
    explicit CTooltipSpy(HWND tooltip) : tooltip(tooltip)
    {
        active = this;
        previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CTooltipSpy::Procedure)));
    }
    ~CTooltipSpy()
    {
        ::SetWindowLongPtrA(tooltip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        active = nullptr;
    }
    CTooltipSpy(const CTooltipSpy&) = delete;
    CTooltipSpy& operator=(const CTooltipSpy&) = delete;

    std::vector<WPARAM> activations;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == TTM_ACTIVATE)
            active->activations.push_back(wParam);
        return ::CallWindowProcA(active->previous, window, message, wParam, lParam);
    }

    static inline CTooltipSpy* active = nullptr;
    HWND tooltip;
    WNDPROC previous = nullptr;
};

class HoverButtonTooltipTest : public HoverButtonWindowTest {
protected:
    LRESULT ToolCount() const { return ::SendMessageA(dialog.exitButton.GetTooltipWindow(), TTM_GETTOOLCOUNT, 0, 0); }

    std::wstring ToolText() const
    {
        wchar_t text[256] = {};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = dialog.exitButton.GetHandle();
        tool.uId = 1;
        tool.lpszText = text;
        ::SendMessageW(dialog.exitButton.GetTooltipWindow(), TTM_GETTEXTW, sizeof(text) / sizeof(text[0]),
                       reinterpret_cast<LPARAM>(&tool));
        return text;
    }

    // Passes one message of the button through its pre-translation hook.
    void PreTranslate()
    {
        MSG message{dialog.exitButton.GetHandle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
        EXPECT_FALSE(dialog.exitButton.PreTranslateMessage(message));
    }
};

// Records the TTM_ACTIVATE requests sent to any window of this thread, from
// before the window exists.
class CActivationRecorder {
public:
    CActivationRecorder()
    {
        active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &CActivationRecorder::Procedure, nullptr, ::GetCurrentThreadId());
    }
    ~CActivationRecorder()
    {
        if (hook != nullptr)
            ::UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    CActivationRecorder(const CActivationRecorder&) = delete;
    CActivationRecorder& operator=(const CActivationRecorder&) = delete;

    std::vector<WPARAM> For(HWND window) const
    {
        std::vector<WPARAM> requests;
        for (const auto& request : sent) {
            if (request.first == window)
                requests.push_back(request.second);
        }
        return requests;
    }

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == TTM_ACTIVATE)
            active->sent.emplace_back(message->hwnd, message->wParam);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline CActivationRecorder* active = nullptr;
    HHOOK hook = nullptr;
    std::vector<std::pair<HWND, WPARAM>> sent;
};

TEST_F(HoverButtonTooltipTest, TheTooltipIsMadeWhenThePointerFirstReachesAButtonWithATip)
{
    PreTranslate();
    EXPECT_EQ(nullptr, dialog.exitButton.GetTooltipWindow()) << "no tip, no tooltip";
    dialog.exitButton.ActivateTooltip(true);
    PreTranslate();
    EXPECT_EQ(nullptr, dialog.exitButton.GetTooltipWindow()) << "activating without a tool makes none";

    dialog.exitButton.SetTooltipText(L"Exit", true);
    dialog.exitButton.ActivateTooltip(false);
    MSG paint{dialog.exitButton.GetHandle(), WM_PAINT, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(dialog.exitButton.PreTranslateMessage(paint));
    EXPECT_EQ(nullptr, dialog.exitButton.GetTooltipWindow()) << "painting needs no tooltip";

    CActivationRecorder activations;
    PreTranslate();
    const HWND tooltip = dialog.exitButton.GetTooltipWindow();
    ASSERT_NE(nullptr, tooltip);
    EXPECT_EQ(1, ToolCount());
    EXPECT_EQ(L"Exit", ToolText());
    EXPECT_EQ((std::vector<WPARAM>{FALSE}), activations.For(tooltip)) << "made in the state last asked for";
    PreTranslate();
    EXPECT_EQ(tooltip, dialog.exitButton.GetTooltipWindow()) << "made once";
}

TEST_F(HoverButtonTooltipTest, SettingTheTextAgainReplacesTheTextOfTheOneTool)
{
    dialog.exitButton.SetTooltipText(L"Exit", true);
    PreTranslate();
    ASSERT_NE(nullptr, dialog.exitButton.GetTooltipWindow());
    CTooltipSpy spy(dialog.exitButton.GetTooltipWindow());
    EXPECT_EQ(1, ToolCount());
    EXPECT_EQ(L"Exit", ToolText());

    dialog.exitButton.SetTooltipText(L"Quitter", false);
    EXPECT_EQ(1, ToolCount());
    EXPECT_EQ(L"Quitter", ToolText());
    dialog.exitButton.SetTooltipText(nullptr, true);
    EXPECT_EQ(L"Quitter", ToolText());
    dialog.exitButton.ActivateTooltip(true);
    EXPECT_EQ((std::vector<WPARAM>{FALSE, TRUE}), spy.activations);

    // The tool covers the button's client area.
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = dialog.exitButton.GetHandle();
    tool.uId = 1;
    ASSERT_TRUE(
        ::SendMessageA(dialog.exitButton.GetTooltipWindow(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    RECT client{};
    ::GetClientRect(dialog.exitButton.GetHandle(), &client);
    EXPECT_TRUE(::EqualRect(&client, &tool.rect));
}

TEST_F(HoverButtonTooltipTest, TextFromTheStringTableUnlessItIsEmpty)
{
    const int french = 1000;
    dialog.exitButton.SetTooltipText(static_cast<UINT>(IDS_EXIT_TOOLTIP + french), true);
    PreTranslate();
    EXPECT_EQ(1, ToolCount());
    EXPECT_EQ(LoadText(IDS_EXIT_TOOLTIP, french), ToolText());
    EXPECT_EQ(L"Quitter", ToolText());

    dialog.exitButton.SetTooltipText(static_cast<UINT>(9), true);  // no such string
    EXPECT_EQ(L"Quitter", ToolText());
    EXPECT_EQ(1, ToolCount());
    dialog.exitButton.SetTooltipText(static_cast<UINT>(IDS_EXIT_TOOLTIP + 5000), true);
    EXPECT_EQ(L"\u7d42\u4e86", ToolText()) << "the Japanese tip, whatever the code page";
}

// The dialog owns the tooltip and destroys it before its buttons: the
// button lets go of the handle then, and never destroys it a second time.
TEST_F(HoverButtonTooltipTest, ATooltipTheDialogDestroysIsLetGoOf)
{
    CButtonDialog other;
    ASSERT_TRUE(other.Create());
    other.exitButton.SetTooltipText(L"Exit", true);
    MSG move{other.exitButton.GetHandle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    other.exitButton.PreTranslateMessage(move);
    const HWND tip = other.exitButton.GetTooltipWindow();
    ASSERT_NE(nullptr, tip);
    ::DestroyWindow(other.GetHandle());
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(nullptr, other.exitButton.GetTooltipWindow());
}

TEST_F(HoverButtonWindowTest, DestroyingTheButtonsReleasesTheirWindowsAndStrips)
{
    // Warm up what the platform keeps once made (classes, caches).
    dialog.exitButton.SetTooltipText(L"Exit", true);
    MSG move{dialog.exitButton.GetHandle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    dialog.exitButton.PreTranslateMessage(move);
    dialog.textButton.LoadStrip(IDB_TEXT_STRIP);
    const harness::CResourceCounts before = harness::CountResources();
    for (int round = 0; round < 20; ++round) {
        CButtonDialog other;
        ASSERT_TRUE(other.Create());
        other.exitButton.SetTooltipText(L"Exit", true);
        other.textButton.SetTooltipText(L"Install", true);
        for (CHoverButton* button : {&other.exitButton, &other.textButton}) {
            MSG move{button->GetHandle(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
            button->PreTranslateMessage(move);
            EXPECT_NE(nullptr, button->GetTooltipWindow());
        }
        other.textButton.LoadStrip(IDB_TEXT_STRIP);
        other.exitButton.LoadStrip(IDB_EXIT_STRIP);
        other.exitButton.LoadStrip(IDB_EXIT_STRIP);
    }
    const harness::CResourceCounts after = harness::CountResources();
    EXPECT_LE(after.userObjects, before.userObjects);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 4);
}

// A copy of this test program with one more picture resource, loaded as the
// program's module for as long as the object lives.
class CPictureModule {
public:
    CPictureModule(WORD resourceId, const std::vector<BYTE>& packedDib)
    {
        char program[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, program, MAX_PATH);
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "TavrinStrip-" + std::to_string(::GetCurrentProcessId()) + ".exe";
        if (!::CopyFileA(program, path.c_str(), FALSE))
            return;
        HANDLE update = ::BeginUpdateResourceA(path.c_str(), FALSE);
        if (update == nullptr)
            return;
        const BOOL added = ::UpdateResourceA(update, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(resourceId),
                                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                             const_cast<BYTE*>(packedDib.data()), static_cast<DWORD>(packedDib.size()));
        if (!::EndUpdateResourceA(update, added ? FALSE : TRUE) || !added)
            return;
        module.Reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        if (module)
            CApplication::SetInstance(module.Get());
    }
    ~CPictureModule()
    {
        CApplication::SetInstance(nullptr);
        module.Reset();
        ::DeleteFileA(path.c_str());
    }
    CPictureModule(const CPictureModule&) = delete;
    CPictureModule& operator=(const CPictureModule&) = delete;

    bool IsLoaded() const { return static_cast<bool>(module); }

private:
    std::string path;
    COwnedLibrary module;
};

// A 24-bit picture of 10 by 42 as a resource: four bands of 10 rows (red,
// green, blue, yellow) over two white rows that no frame reaches.
std::vector<BYTE> MakeOddStrip()
{
    constexpr int kWidth = 10;
    constexpr int kHeight = 42;
    constexpr int kStride = (kWidth * 3 + 3) & ~3;
    std::vector<BYTE> data(sizeof(BITMAPINFOHEADER) + kStride * kHeight);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(data.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = kWidth;
    header->biHeight = kHeight;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    const COLORREF bands[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), kWhite};
    for (int y = 0; y < kHeight; ++y) {
        const COLORREF color = bands[y / 10];
        BYTE* row = data.data() + sizeof(BITMAPINFOHEADER) + (kHeight - 1 - y) * kStride;  // bottom-up
        for (int x = 0; x < kWidth; ++x) {
            row[x * 3] = GetBValue(color);
            row[x * 3 + 1] = GetGValue(color);
            row[x * 3 + 2] = GetRValue(color);
        }
    }
    return data;
}

TEST_F(HoverButtonWindowTest, RowsLeftOverByTheQuarteringAreNeverShown)
{
    constexpr WORD kOddStrip = 4242;
    CPictureModule module(kOddStrip, MakeOddStrip());
    if (!module.IsLoaded())
        GTEST_SKIP() << "cannot add a picture to a copy of the test program";
    CHoverButton& button = dialog.textButton;
    EXPECT_TRUE(button.LoadStrip(kOddStrip));
    EXPECT_EQ(10, button.GetFrameWidth());
    EXPECT_EQ(10, button.GetFrameHeight());
    Resize(button, 10, 10);
    const COLORREF bands[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    const UINT states[] = {0, ODS_SELECTED, 0, ODS_DISABLED};
    for (int state = 0; state < 4; ++state) {
        ::SendMessageA(button.GetHandle(), state == CHoverButton::kHover ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        const auto canvas = DrawThroughDialog(button, states[state]);
        EXPECT_EQ(100, canvas->Count(bands[state])) << "state " << state;
    }
}

}  // namespace
