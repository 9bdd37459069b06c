#include "SkinnedDialog.h"

#include "HoverButton.h"
#include "WindowRegion.h"
#include "framework/Application.h"
#include "framework/StartupClock.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

const char kTrackbarClass[] = "msctls_trackbar32";

SIZE WindowSize(HWND window)
{
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

// A copy of `source` at `size`, stretched when the sizes differ, in the
// source's own colour format; null when it cannot be made.
COwnedBitmap MakeFaceFrom(HBITMAP source, SIZE size)
{
    const SIZE sourceSize = BitmapSize(source);
    COwnedMemoryDc sourceDc(::CreateCompatibleDC(nullptr));
    COwnedMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    if (!sourceDc || !faceDc)
        return COwnedBitmap();
    CSelectedObject sourceSelection(sourceDc.Get(), source);
    COwnedBitmap face(::CreateCompatibleBitmap(sourceDc.Get(), size.cx, size.cy));
    if (!face)
        return face;
    CSelectedObject faceSelection(faceDc.Get(), face.Get());
    if (size.cx == sourceSize.cx && size.cy == sourceSize.cy)
        ::BitBlt(faceDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, SRCCOPY);
    else
        ::StretchBlt(faceDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, sourceSize.cx, sourceSize.cy, SRCCOPY);
    return face;
}

// A bitmap resource as the program's image holds it: a header, perhaps a
// colour table, and the pixels.
struct CPackedPicture {
    const BITMAPINFO* info = nullptr;
    const void* pixels = nullptr;
    SIZE size{};
};

// The bitmap resource `resourceId` of `module`, checked to lie within its
// resource; no picture for a missing or malformed one, or for a form other
// than the usual bottom-up one with an uncompressed header (which the caller
// leaves to LoadBitmapA).
CPackedPicture FindPackedPicture(HINSTANCE module, UINT resourceId)
{
    CPackedPicture picture;
    const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), RT_BITMAP);
    const HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const size_t available = found != nullptr ? ::SizeofResource(module, found) : 0;
    if (data == nullptr || available < sizeof(BITMAPINFOHEADER))
        return picture;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    const bool plain = header->biCompression == BI_RGB || header->biCompression == BI_BITFIELDS;
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biSize > available || header->biPlanes != 1
        || header->biWidth <= 0 || header->biHeight <= 0 || !plain || header->biBitCount == 0 || header->biBitCount > 32
        || (header->biBitCount <= 8 && header->biClrUsed > 256u))
        return picture;
    size_t colors = header->biClrUsed != 0 ? header->biClrUsed : 0;
    if (colors == 0 && header->biBitCount <= 8)
        colors = size_t{1} << header->biBitCount;
    if (header->biCompression == BI_BITFIELDS && header->biSize == sizeof(BITMAPINFOHEADER))
        colors += 3;  // the three colour masks
    const size_t width = static_cast<size_t>(header->biWidth);
    const size_t height = static_cast<size_t>(header->biHeight);
    const size_t stride = (width * header->biBitCount + 31) / 32 * 4;
    if (colors > available / sizeof(RGBQUAD))
        return picture;
    const size_t offset = header->biSize + colors * sizeof(RGBQUAD);
    if (offset > available || height > (available - offset) / stride)
        return picture;
    picture.info = reinterpret_cast<const BITMAPINFO*>(data);
    picture.pixels = data + offset;
    picture.size = SIZE{header->biWidth, static_cast<LONG>(height)};
    return picture;
}

// The picture enlarged by hand into a 32-bit bitmap of the screen's format.
// Each face pixel takes the picture pixel under its centre, which is what
// the platform's stretch gives an enlargement in the default stretch mode;
// done here it costs a copy, where the platform's general stretch and colour
// conversion cost several times that. Only for an uncompressed 24-bit picture
// drawn at least at its own size on a 32-bit screen: null otherwise, and the
// platform draws the face.
COwnedBitmap EnlargeTrueColourPicture(const CPackedPicture& picture, SIZE size, HDC screen)
{
    const BITMAPINFOHEADER& header = picture.info->bmiHeader;
    if (header.biCompression != BI_RGB || header.biBitCount != 24 || size.cx < picture.size.cx
        || size.cy < picture.size.cy || ::GetDeviceCaps(screen, BITSPIXEL) != 32
        || ::GetDeviceCaps(screen, PLANES) != 1)
        return COwnedBitmap();
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    COwnedBitmap face(::CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!face || bits == nullptr)
        return COwnedBitmap();

    const std::uint64_t width = static_cast<std::uint64_t>(size.cx);
    const std::uint64_t height = static_cast<std::uint64_t>(size.cy);
    const std::uint64_t sourceWidth = static_cast<std::uint64_t>(picture.size.cx);
    const std::uint64_t sourceHeight = static_cast<std::uint64_t>(picture.size.cy);
    const size_t sourceStride = (static_cast<size_t>(sourceWidth) * 3 + 3) / 4 * 4;
    std::vector<size_t> sourceOffset(static_cast<size_t>(width));
    for (std::uint64_t x = 0; x < width; ++x)
        sourceOffset[static_cast<size_t>(x)] = static_cast<size_t>((2 * x + 1) * sourceWidth / (2 * width)) * 3;

    const auto* source = static_cast<const BYTE*>(picture.pixels);
    auto* target = static_cast<std::uint32_t*>(bits);
    std::uint64_t previousRow = sourceHeight;
    for (std::uint64_t y = 0; y < height; ++y) {
        std::uint32_t* row = target + y * width;
        // The picture is stored bottom-up: its rows are chosen counting from
        // the bottom, as the platform does.
        const std::uint64_t sourceRow = (2 * (height - 1 - y) + 1) * sourceHeight / (2 * height);
        if (sourceRow == previousRow) {
            std::memcpy(row, row - width, static_cast<size_t>(width) * sizeof(*row));
            continue;
        }
        previousRow = sourceRow;
        const BYTE* line = source + static_cast<size_t>(sourceRow) * sourceStride;
        for (size_t x = 0; x < sourceOffset.size(); ++x) {
            const BYTE* pixel = line + sourceOffset[x];
            row[x] = static_cast<std::uint32_t>(pixel[0]) | static_cast<std::uint32_t>(pixel[1]) << 8
                | static_cast<std::uint32_t>(pixel[2]) << 16;
        }
    }
    return face;
}

// The picture drawn straight from the program's image at `size`, stretched
// where the sizes differ, into a bitmap of the screen's colour format (the
// format LoadBitmapA gives it): no unstretched copy is made on the way.
COwnedBitmap DrawPictureAtSize(const CPackedPicture& picture, SIZE size)
{
    CWindowDc screen(nullptr);
    if (COwnedBitmap enlarged = EnlargeTrueColourPicture(picture, size, screen.Get()))
        return enlarged;
    COwnedBitmap face(::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    COwnedMemoryDc faceDc(::CreateCompatibleDC(screen.Get()));
    if (!face || !faceDc)
        return COwnedBitmap();
    CSelectedObject selection(faceDc.Get(), face.Get());
    if (::StretchDIBits(faceDc.Get(), 0, 0, size.cx, size.cy, 0, 0, picture.size.cx, picture.size.cy, picture.pixels,
                        picture.info, DIB_RGB_COLORS, SRCCOPY)
        == 0)
        return COwnedBitmap();
    return face;
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CSkinnedDialog, CDialog)
    OnMessage<WM_ERASEBKGND, &CSkinnedDialog::OnEraseBackground>(),
    OnMessage<WM_PAINT, &CSkinnedDialog::OnPaint>(),
    OnMessage<WM_LBUTTONDOWN, &CSkinnedDialog::OnLeftButtonDown>(),
    OnMessage<WM_CTLCOLORMSGBOX, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLOREDIT, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORLISTBOX, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORBTN, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORDLG, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORSCROLLBAR, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORSTATIC, &CSkinnedDialog::OnControlColor>(),
END_MESSAGE_MAP(CSkinnedDialog, CDialog)
// clang-format on

CSkinnedDialog::CSkinnedDialog(UINT templateId, HWND parent, const char* bitmapName, UINT bitmapResourceId, int,
                               HBITMAP bitmapObject) :
    CDialog(templateId, parent),
    hollowBrush(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)))
{
    // Faces that are stretched or shaped need the window: before it exists
    // only the unscaled sources can be taken.
    if (bitmapName != nullptr)
        SetBitmapByName(bitmapName, nullptr);
    else if (bitmapResourceId != 0)
        SetBitmapFromResource(bitmapResourceId);
    else if (bitmapObject != nullptr)
        AttachBitmap(bitmapObject);
}

CSkinnedDialog::~CSkinnedDialog()
{
    ReleaseBitmap();
}

void CSkinnedDialog::ReleaseBitmap()
{
    ownedFace.Reset();
    ownsBitmap = false;
    hasBitmap = false;
    faceBitmap = nullptr;
}

bool CSkinnedDialog::TakeOwnedFace(COwnedBitmap face)
{
    if (!face)
        return false;
    ownedFace = std::move(face);
    faceBitmap = ownedFace.Get();
    ownsBitmap = true;
    hasBitmap = true;
    ApplyWindowRegion(RECT{0, 0, 0, 0});
    return true;
}

bool CSkinnedDialog::SetBitmapFromResource(UINT resourceId)
{
    ReleaseBitmap();
    // The face is drawn at the window's size straight from the picture in
    // the program's image: never held twice, not even for a moment.
    const CPackedPicture packed = FindPackedPicture(CApplication::Instance(), resourceId);
    if (packed.info != nullptr) {
        if (window == nullptr)
            return false;
        CStartupSpan span("face drawn from the picture at the window's size");
        return TakeOwnedFace(DrawPictureAtSize(packed, WindowSize(window)));
    }
    COwnedBitmap picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(resourceId)));
    if (!picture || window == nullptr)
        return false;
    return TakeOwnedFace(MakeFaceFrom(picture.Get(), WindowSize(window)));
}

bool CSkinnedDialog::SetBitmapByName(const char* name, const char* fileName)
{
    ReleaseBitmap();
    if (name != nullptr) {
        return TakeOwnedFace(COwnedBitmap(::LoadBitmapA(CApplication::Instance(), name)));
    }
    if (fileName == nullptr)
        return false;
    COwnedBitmap loaded(static_cast<HBITMAP>(
        ::LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!loaded)
        return false;
    CopyBitmap(loaded.Get());
    return true;
}

bool CSkinnedDialog::CopyBitmap(HBITMAP bitmap)
{
    ReleaseBitmap();
    if (bitmap == nullptr)
        return false;
    return TakeOwnedFace(MakeFaceFrom(bitmap, BitmapSize(bitmap)));
}

bool CSkinnedDialog::AttachBitmap(HBITMAP bitmap)
{
    ReleaseBitmap();
    if (bitmap == nullptr)
        return false;
    faceBitmap = bitmap;
    hasBitmap = true;
    ApplyWindowRegion(RECT{0, 0, 0, 0});
    return true;
}

void CSkinnedDialog::ApplyWindowRegion(RECT opaqueRect)
{
    if (window == nullptr)
        return;
    const SIZE windowSize = WindowSize(window);
    COwnedRegion region(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    if (shapedRegion && hasBitmap) {
        RECT client{};
        ::GetClientRect(window, &client);
        COwnedRegion clientRegion(::CreateRectRgn(0, 0, client.right, client.bottom));
        ::CombineRgn(region.Get(), region.Get(), clientRegion.Get(), RGN_XOR);
        CStartupSpan span("window region built");
        COwnedRegion opaqueRuns(BuildFaceRegion(faceBitmap, client.right, client.bottom, transparentColor, opaqueRect));
        ::CombineRgn(region.Get(), region.Get(), opaqueRuns.Get(), RGN_OR);
    }
    // A hidden window that has this very region already keeps it: giving it
    // again would cost a round to the display with nothing to redraw.
    if (!::IsWindowVisible(window)) {
        COwnedRegion current(::CreateRectRgn(0, 0, 0, 0));
        if (::GetWindowRgn(window, current.Get()) != ERROR && ::EqualRgn(current.Get(), region.Get()))
            return;
    }
    // Once given to the window, the region belongs to it.
    CStartupSpan span("window region given to the window");
    if (::SetWindowRgn(window, region.Get(), TRUE) != 0)
        region.Release();
}

LRESULT CSkinnedDialog::OnEraseBackground(WPARAM wParam, LPARAM)
{
    if (!hasBitmap)
        return Default();
    CStartupSpan span("face painted");
    const HDC target = reinterpret_cast<HDC>(wParam);
    RECT client{};
    ::GetClientRect(window, &client);
    COwnedMemoryDc faceDc(::CreateCompatibleDC(target));
    CSelectedObject selection(faceDc.Get(), faceBitmap);
    ::BitBlt(target, 0, 0, client.right, client.bottom, faceDc.Get(), 0, 0, SRCCOPY);
    return TRUE;
}

void CSkinnedDialog::PaintWithFace(const CHoverButton& button)
{
    if (button.GetHandle() != nullptr)
        buttonsWithFace.push_back(button.GetHandle());
}

// The face is painted as the paint begins, when the background is erased.
// The buttons that go with it are drawn over it in the same paint, and each
// is then spared the part of its own paint that this one covered; a button
// invalidated on its own (lit up, pressed, greyed) still paints itself.
LRESULT CSkinnedDialog::OnPaint(WPARAM wParam, LPARAM)
{
    // A dialog that clips its children out of its own paint cannot draw them.
    if (wParam != 0 || buttonsWithFace.empty() || (::GetWindowLongA(window, GWL_STYLE) & WS_CLIPCHILDREN) != 0)
        return Default();
    COwnedRegion update(::CreateRectRgn(0, 0, 0, 0));
    if (!update || ::GetUpdateRgn(window, update.Get(), FALSE) == ERROR)
        return Default();
    struct CDrawnButton {
        HWND button;
        RECT place;
    };
    std::vector<CDrawnButton> drawn;
    {
        CPaintDc paint(window);
        if (paint.Get() == nullptr)
            return 0;
        CStartupSpan span("buttons drawn with the face");
        for (const HWND handle : buttonsWithFace) {
            auto* const button = dynamic_cast<CHoverButton*>(CWindow::FromHandle(handle));
            if (button == nullptr || !::IsWindowVisible(handle))
                continue;
            RECT place{};
            ::GetWindowRect(handle, &place);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
            if (::RectInRegion(update.Get(), &place) && button->DrawIntoParent(paint.Get(), place))
                drawn.push_back({handle, place});
        }
    }
    for (const CDrawnButton& item : drawn) {
        COwnedRegion covered(::CreateRectRgnIndirect(&item.place));
        if (!covered || ::CombineRgn(covered.Get(), covered.Get(), update.Get(), RGN_AND) == ERROR)
            continue;
        ::OffsetRgn(covered.Get(), -item.place.left, -item.place.top);
        ::ValidateRgn(item.button, covered.Get());
    }
    return 0;
}

LRESULT CSkinnedDialog::OnLeftButtonDown(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    if (dragByBody)
        ::PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(LOWORD(lParam), HIWORD(lParam)));
    return result;
}

LRESULT CSkinnedDialog::OnControlColor(WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = Default();
    if (!transparentStatics || GetCurrentMessageId() != WM_CTLCOLORSTATIC)
        return answer;
    char className[256] = {};
    ::GetClassNameA(reinterpret_cast<HWND>(lParam), className, sizeof(className));
    if (std::strcmp(className, kTrackbarClass) == 0)
        return answer;
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(hollowBrush);
}
