// The skinned dialog base on real dialog windows: the colours it answers for
// its controls, the painted face, the face loaders and their ownership, and
// moving by the body.
#include "controls/SkinnedDialog.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using harness::CPixelCanvas;
using harness::CTestDialog;

constexpr COLORREF kFaceColor = RGB(20, 61, 83);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

// The language dialog (no frame), created hidden for each test.
class SkinnedDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    CTestDialog dialog{IDD_LANGUAGE};
};

BITMAP BitmapInfo(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    return info;
}

// A window class of its own name, for controls whose class name is all that matters.
void RegisterPlainClass(const char* name)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    ::RegisterClassA(&windowClass);
}

class SkinnedDialogColourTest : public SkinnedDialogTest {
protected:
    void SetUp() override
    {
        SkinnedDialogTest::SetUp();
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&classes);
        RegisterPlainClass("msctls_trackbar32x");
        staticText = AddChild("STATIC");
        trackbar = AddChild(TRACKBAR_CLASSA);
        edit = AddChild("EDIT");
        button = AddChild("BUTTON");
        longerName = AddChild("msctls_trackbar32x");
    }

    HWND AddChild(const char* className)
    {
        HWND child = ::CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog.GetHandle(),
                                       nullptr, ::GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(nullptr, child) << className;
        return child;
    }

    // The dialog's answer to a colour request of `child`, on a context
    // whose background mode starts opaque.
    HBRUSH Ask(UINT message, HWND child, int* backgroundMode = nullptr)
    {
        ::SetBkMode(canvas.Dc(), OPAQUE);
        const auto answer = reinterpret_cast<HBRUSH>(::SendMessageA(
            dialog.GetHandle(), message, reinterpret_cast<WPARAM>(canvas.Dc()), reinterpret_cast<LPARAM>(child)));
        if (backgroundMode != nullptr)
            *backgroundMode = ::GetBkMode(canvas.Dc());
        return answer;
    }

    // The platform dialog's own answer: the same request with the transparent statics off.
    HBRUSH AskDefault(UINT message, HWND child)
    {
        dialog.SetTransparentStatics(false);
        const HBRUSH answer = Ask(message, child);
        dialog.SetTransparentStatics(true);
        return answer;
    }

    CPixelCanvas canvas{8, 8, kSentinel};
    HWND staticText = nullptr;
    HWND trackbar = nullptr;
    HWND edit = nullptr;
    HWND button = nullptr;
    HWND longerName = nullptr;
};

TEST_F(SkinnedDialogColourTest, StaticsGetTheHollowBrushAndATransparentBackground)
{
    const auto hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    ASSERT_EQ(hollow, dialog.GetHollowBrush());
    int mode = 0;
    EXPECT_EQ(hollow, Ask(WM_CTLCOLORSTATIC, staticText, &mode));
    EXPECT_EQ(TRANSPARENT, mode);
    // Only the whole trackbar name is kept out.
    EXPECT_EQ(hollow, Ask(WM_CTLCOLORSTATIC, longerName));

    dialog.SetTransparentStatics(false);
    const HBRUSH plain = Ask(WM_CTLCOLORSTATIC, staticText, &mode);
    EXPECT_NE(hollow, plain);
    EXPECT_NE(nullptr, plain);
    EXPECT_EQ(OPAQUE, mode);
}

TEST_F(SkinnedDialogColourTest, TrackbarsAndOtherKindsGetTheDefaultAnswer)
{
    const auto hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    // A real trackbar, not a window of the same class name.
    ::SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, 77);
    ASSERT_EQ(77, ::SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0));
    const HBRUSH trackbarDefault = AskDefault(WM_CTLCOLORSTATIC, trackbar);
    int mode = 0;
    EXPECT_EQ(trackbarDefault, Ask(WM_CTLCOLORSTATIC, trackbar, &mode));
    EXPECT_NE(hollow, trackbarDefault);

    struct Case {
        UINT message;
        HWND child;
        const char* what;
    };
    const Case cases[] = {{WM_CTLCOLOREDIT, edit, "edit"},
                          {WM_CTLCOLORBTN, button, "button"},
                          {WM_CTLCOLORDLG, dialog.GetHandle(), "dialog"},
                          {WM_CTLCOLORSCROLLBAR, staticText, "scroll bar"},
                          {WM_CTLCOLORLISTBOX, staticText, "list box"}};
    for (const Case& test : cases) {
        const HBRUSH expected = AskDefault(test.message, test.child);
        EXPECT_EQ(expected, Ask(test.message, test.child)) << test.what;
        EXPECT_NE(hollow, Ask(test.message, test.child)) << test.what;
    }
}

TEST_F(SkinnedDialogTest, EraseBackgroundPaintsTheFaceCutToTheClientArea)
{
    const SIZE client = dialog.GetClientSize();
    // A face larger than the client area, whose part beyond it has another colour.
    COwnedBitmap face = harness::MakeSolidBitmap(client.cx + 20, client.cy + 20, RGB(200, 0, 0));
    {
        COwnedMemoryDc dc(::CreateCompatibleDC(nullptr));
        CSelectedObject selection(dc.Get(), face.Get());
        COwnedBrush brush(::CreateSolidBrush(kFaceColor));
        const RECT inside{0, 0, client.cx, client.cy};
        ::FillRect(dc.Get(), &inside, brush.Get());
    }
    ASSERT_TRUE(dialog.AttachBitmap(face.Get()));

    CPixelCanvas canvas(client.cx + 20, client.cy + 20, kSentinel);
    EXPECT_NE(0, ::SendMessageA(dialog.GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0));
    EXPECT_EQ(client.cx * client.cy, canvas.Count(kFaceColor, 0, 0, client.cx, client.cy));
    EXPECT_EQ(0, canvas.Count(RGB(200, 0, 0))) << "nothing beyond the client area";
    EXPECT_EQ(kSentinel, canvas.Pixel(client.cx, client.cy));
}

TEST_F(SkinnedDialogTest, EraseBackgroundWithoutAFaceFallsBackToTheDefault)
{
    const SIZE client = dialog.GetClientSize();
    CPixelCanvas canvas(client.cx, client.cy, kSentinel);
    EXPECT_NE(0, ::SendMessageA(dialog.GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0));
    const COLORREF dialogColor = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(dialogColor, canvas.Pixel(5, 5));
    EXPECT_EQ(dialogColor, canvas.Pixel(client.cx - 1, client.cy - 1));

    // Once the face is dropped, the default comes back.
    COwnedBitmap face = harness::MakeSolidBitmap(client.cx, client.cy, kFaceColor);
    ASSERT_TRUE(dialog.AttachBitmap(face.Get()));
    ::SendMessageA(dialog.GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(kFaceColor, canvas.Pixel(5, 5));
    dialog.ReleaseBitmap();
    ::SendMessageA(dialog.GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Dc()), 0);
    EXPECT_EQ(dialogColor, canvas.Pixel(5, 5));
}

TEST_F(SkinnedDialogTest, ResourceFaceIsTheWholePictureStretchedToTheWindow)
{
    COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(IDB_SMALL_FACE)));
    ASSERT_TRUE(picture);
    const BITMAP pictureInfo = BitmapInfo(picture.Get());
    // Exactly twice the picture's size, so that every picture pixel has a known place.
    ::SetWindowPos(dialog.GetHandle(), nullptr, 0, 0, pictureInfo.bmWidth * 2, pictureInfo.bmHeight * 2,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    EXPECT_TRUE(dialog.OwnsFace());
    const BITMAP faceInfo = BitmapInfo(dialog.GetFaceBitmap());
    EXPECT_EQ(pictureInfo.bmWidth * 2, faceInfo.bmWidth);
    EXPECT_EQ(pictureInfo.bmHeight * 2, faceInfo.bmHeight);

    COwnedMemoryDc pictureDc(::CreateCompatibleDC(nullptr));
    CSelectedObject pictureSelection(pictureDc.Get(), picture.Get());
    COwnedMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    CSelectedObject faceSelection(faceDc.Get(), dialog.GetFaceBitmap());
    int differing = 0;
    for (int y = 0; y < pictureInfo.bmHeight; y += 7)
        for (int x = 0; x < pictureInfo.bmWidth; x += 5)
            differing += ::GetPixel(pictureDc.Get(), x, y) != ::GetPixel(faceDc.Get(), 2 * x, 2 * y) ? 1 : 0;
    EXPECT_EQ(0, differing);

    // Loaded again after a resize, it follows the window.
    ::SetWindowPos(dialog.GetHandle(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    EXPECT_EQ(300, BitmapInfo(dialog.GetFaceBitmap()).bmWidth);
    EXPECT_EQ(200, BitmapInfo(dialog.GetFaceBitmap()).bmHeight);
}

// The face as the platform's own recipe makes it: the picture loaded with
// LoadBitmapA and stretched onto a compatible bitmap with StretchBlt.
COwnedBitmap StretchedByLoadBitmap(UINT resourceId, SIZE size)
{
    COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(resourceId)));
    const BITMAP info = BitmapInfo(picture.Get());
    COwnedMemoryDc pictureDc(::CreateCompatibleDC(nullptr));
    CSelectedObject pictureSelection(pictureDc.Get(), picture.Get());
    COwnedBitmap face(::CreateCompatibleBitmap(pictureDc.Get(), size.cx, size.cy));
    COwnedMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    CSelectedObject faceSelection(faceDc.Get(), face.Get());
    ::StretchBlt(faceDc.Get(), 0, 0, size.cx, size.cy, pictureDc.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return face;
}

std::vector<std::uint32_t> AllPixels(HBITMAP bitmap)
{
    const BITMAP info = BitmapInfo(bitmap);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    CWindowDc screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFFu;
    return pixels;
}

// The face is drawn straight from the program's image at the window's size:
// every pixel as the load-and-stretch recipe gives it, at the picture's own
// size, a pixel larger, twice as large and smaller, and only one bitmap held.
TEST_F(SkinnedDialogTest, ResourceFaceHasThePixelsOfThePictureLoadedAndStretched)
{
    const UINT pictures[] = {IDB_SMALL_FACE, IDB_MAIN_FACE};
    for (const UINT resourceId : pictures) {
        COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(resourceId)));
        ASSERT_TRUE(picture);
        const BITMAP info = BitmapInfo(picture.Get());
        const SIZE sizes[] = {{info.bmWidth, info.bmHeight},
                              {info.bmWidth + 1, info.bmHeight + 1},
                              {info.bmWidth * 2, info.bmHeight * 2},
                              {info.bmWidth * 2 / 3, info.bmHeight / 2}};
        for (const SIZE size : sizes) {
            SCOPED_TRACE("picture " + std::to_string(resourceId) + " at " + std::to_string(size.cx) + " x "
                         + std::to_string(size.cy));
            ::SetWindowPos(dialog.GetHandle(), nullptr, 0, 0, size.cx, size.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            dialog.ReleaseBitmap();
            const long before = harness::CountGdiObjects();
            ASSERT_TRUE(dialog.SetBitmapFromResource(resourceId));
            EXPECT_EQ(before + 1, harness::CountGdiObjects()) << "one bitmap held";
            EXPECT_TRUE(dialog.OwnsFace());
            const COwnedBitmap expected = StretchedByLoadBitmap(resourceId, size);
            EXPECT_TRUE(AllPixels(expected.Get()) == AllPixels(dialog.GetFaceBitmap()));
        }
    }
    const HBITMAP face = dialog.GetFaceBitmap();
    dialog.ReleaseBitmap();
    BITMAP gone{};
    EXPECT_EQ(0, ::GetObjectA(face, sizeof(gone), &gone)) << "the face is deleted with the dialog's hold on it";
}

TEST_F(SkinnedDialogTest, FailedLoadsLeaveNoFaceAndTheRegionAsItWas)
{
    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    dialog.SetShape(true, RGB(20, 61, 83));
    const RECT none{0, 0, 0, 0};
    dialog.ApplyWindowRegion(none);
    COwnedRegion before(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(dialog.GetHandle(), before.Get()));

    EXPECT_FALSE(dialog.SetBitmapFromResource(9999));
    EXPECT_FALSE(dialog.HasFace());
    EXPECT_FALSE(dialog.OwnsFace());
    EXPECT_EQ(nullptr, dialog.GetFaceBitmap());
    COwnedRegion after(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(dialog.GetHandle(), after.Get()));
    EXPECT_TRUE(::EqualRgn(before.Get(), after.Get()));

    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    EXPECT_FALSE(dialog.SetBitmapByName("NoSuchPicture", nullptr));
    EXPECT_FALSE(dialog.HasFace());
    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    EXPECT_FALSE(dialog.SetBitmapByName(nullptr, "C:\\no\\such\\face.bmp"));
    EXPECT_FALSE(dialog.HasFace());
    EXPECT_FALSE(dialog.CopyBitmap(nullptr));
    EXPECT_FALSE(dialog.AttachBitmap(nullptr));
    EXPECT_FALSE(dialog.HasFace());
}

// Writes a 24-bit bitmap file of `width` by `height` in one colour.
void WriteBitmapFile(const std::string& path, int width, int height, COLORREF color)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::vector<char> row(stride, 0);
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(color));
        row[x * 3 + 1] = static_cast<char>(GetGValue(color));
        row[x * 3 + 2] = static_cast<char>(GetRValue(color));
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = 0; y < height; ++y)
        out.write(row.data(), stride);
}

TEST_F(SkinnedDialogTest, NamedAndFileFacesAreUnscaled)
{
    ASSERT_TRUE(dialog.SetBitmapByName("#131", nullptr));
    EXPECT_TRUE(dialog.OwnsFace());
    EXPECT_EQ(763, BitmapInfo(dialog.GetFaceBitmap()).bmWidth);
    EXPECT_EQ(560, BitmapInfo(dialog.GetFaceBitmap()).bmHeight);

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "TavrinFace-" + std::to_string(::GetCurrentProcessId()) + ".bmp";
    WriteBitmapFile(path, 37, 23, kFaceColor);
    const bool loaded = dialog.SetBitmapByName(nullptr, path.c_str());
    ::DeleteFileA(path.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(dialog.OwnsFace());
    EXPECT_EQ(37, BitmapInfo(dialog.GetFaceBitmap()).bmWidth);
    EXPECT_EQ(23, BitmapInfo(dialog.GetFaceBitmap()).bmHeight);
    COwnedMemoryDc dc(::CreateCompatibleDC(nullptr));
    CSelectedObject selection(dc.Get(), dialog.GetFaceBitmap());
    EXPECT_EQ(kFaceColor, ::GetPixel(dc.Get(), 36, 22));
}

TEST_F(SkinnedDialogTest, AnAttachedFaceStaysTheCallers)
{
    COwnedBitmap face = harness::MakeSolidBitmap(40, 30, kFaceColor);
    {
        CTestDialog borrower(IDD_LANGUAGE);
        ASSERT_TRUE(borrower.Create());
        ASSERT_TRUE(borrower.AttachBitmap(face.Get()));
        EXPECT_TRUE(borrower.HasFace());
        EXPECT_FALSE(borrower.OwnsFace());
        EXPECT_EQ(face.Get(), borrower.GetFaceBitmap());
        borrower.ReleaseBitmap();
        EXPECT_EQ(40, BitmapInfo(face.Get()).bmWidth);
        ASSERT_TRUE(borrower.AttachBitmap(face.Get()));
    }
    EXPECT_EQ(40, BitmapInfo(face.Get()).bmWidth) << "the face outlives the dialog";

    // A face given at construction is attached the same way.
    CSkinnedDialog withObject(IDD_LANGUAGE, nullptr, nullptr, 0, 0, face.Get());
    EXPECT_EQ(face.Get(), withObject.GetFaceBitmap());
    CSkinnedDialog withName(IDD_LANGUAGE, nullptr, "#143");
    EXPECT_EQ(202, BitmapInfo(withName.GetFaceBitmap()).bmWidth);
}

TEST_F(SkinnedDialogTest, OwnedFacesAreDeleted)
{
    COwnedBitmap source = harness::MakeSolidBitmap(50, 40, kFaceColor);
    HBITMAP copied = nullptr;
    auto everyLoader = [&]() {
        ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
        ASSERT_TRUE(dialog.CopyBitmap(source.Get()));
        copied = dialog.GetFaceBitmap();
        ASSERT_TRUE(dialog.SetBitmapByName("#143", nullptr));
        ASSERT_TRUE(dialog.AttachBitmap(source.Get()));
        CTestDialog other(IDD_LANGUAGE);
        ASSERT_TRUE(other.Create());
        ASSERT_TRUE(other.SetBitmapFromResource(IDB_SMALL_FACE));
    };
    // One round first, so that what the platform makes once and keeps is made.
    everyLoader();
    dialog.ReleaseBitmap();
    const long before = harness::CountGdiObjects();
    for (int round = 0; round < 25; ++round)
        everyLoader();
    dialog.ReleaseBitmap();
    EXPECT_EQ(0u, ::GetObjectType(copied)) << "the copy is gone";
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(source.Get())) << "the attached face is not";
    EXPECT_LE(harness::CountGdiObjects(), before + 2);
}

// The first message waiting for `window` between `first` and `last`, taken off the queue.
bool TakeMessage(HWND window, UINT message, MSG& taken)
{
    return ::PeekMessageA(&taken, window, message, message, PM_REMOVE) != FALSE;
}

TEST_F(SkinnedDialogTest, ClickOnTheBodyMovesTheWindowOnlyWhenAsked)
{
    MSG taken{};
    while (TakeMessage(dialog.GetHandle(), WM_NCLBUTTONDOWN, taken)) {}
    ::SendMessageA(dialog.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 17));
    EXPECT_FALSE(TakeMessage(dialog.GetHandle(), WM_NCLBUTTONDOWN, taken));

    dialog.SetDragByBody(true);
    ::SendMessageA(dialog.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 17));
    ASSERT_TRUE(TakeMessage(dialog.GetHandle(), WM_NCLBUTTONDOWN, taken));
    EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), taken.wParam);
    EXPECT_EQ(25, LOWORD(taken.lParam));
    EXPECT_EQ(17, HIWORD(taken.lParam));
    EXPECT_FALSE(TakeMessage(dialog.GetHandle(), WM_NCLBUTTONDOWN, taken)) << "posted once";
}

}  // namespace
