#include "SkinnedDialog.h"

#include "WindowRegion.h"
#include "framework/Application.h"
#include "framework/StartupClock.h"

#include <cstring>
#include <utility>

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
CBitmapHandle MakeFaceFrom(HBITMAP source, SIZE size)
{
    const SIZE sourceSize = BitmapSize(source);
    CMemoryDc sourceDc(::CreateCompatibleDC(nullptr));
    CMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    if (!sourceDc || !faceDc)
        return CBitmapHandle();
    CSelectedObject sourceSelection(sourceDc.Get(), source);
    CBitmapHandle face(::CreateCompatibleBitmap(sourceDc.Get(), size.cx, size.cy));
    if (!face)
        return face;
    CSelectedObject faceSelection(faceDc.Get(), face.Get());
    if (size.cx == sourceSize.cx && size.cy == sourceSize.cy)
        ::BitBlt(faceDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, SRCCOPY);
    else
        ::StretchBlt(faceDc.Get(), 0, 0, size.cx, size.cy, sourceDc.Get(), 0, 0, sourceSize.cx, sourceSize.cy,
                     SRCCOPY);
    return face;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSkinnedDialog, CDialog)
    OnMessage<WM_ERASEBKGND, &CSkinnedDialog::OnEraseBackground>(),
    OnMessage<WM_LBUTTONDOWN, &CSkinnedDialog::OnLeftButtonDown>(),
    OnMessage<WM_CTLCOLORMSGBOX, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLOREDIT, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORLISTBOX, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORBTN, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORDLG, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORSCROLLBAR, &CSkinnedDialog::OnControlColor>(),
    OnMessage<WM_CTLCOLORSTATIC, &CSkinnedDialog::OnControlColor>(),
END_MESSAGE_MAP(CSkinnedDialog, CDialog)

CSkinnedDialog::CSkinnedDialog(UINT templateId, HWND parent, const char* bitmapName, UINT bitmapResourceId, int,
                               HBITMAP bitmapObject)
    : CDialog(templateId, parent), hollowBrush(static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)))
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
    if (ownsBitmap && faceBitmap != nullptr)
        ::DeleteObject(faceBitmap);
    ownsBitmap = false;
    hasBitmap = false;
    faceBitmap = nullptr;
}

bool CSkinnedDialog::TakeOwnedFace(CBitmapHandle face)
{
    if (!face)
        return false;
    faceBitmap = face.Release();
    ownsBitmap = true;
    hasBitmap = true;
    ApplyWindowRegion(RECT{0, 0, 0, 0});
    return true;
}

bool CSkinnedDialog::SetBitmapFromResource(UINT resourceId)
{
    ReleaseBitmap();
    BeginStartupSpan("face picture loaded");
    CBitmapHandle picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(resourceId)));
    EndStartupSpan("face picture loaded");
    if (!picture || window == nullptr)
        return false;
    // A window of the picture's own size shows the picture as it is: a
    // stretched copy would hold the same pixels twice for a moment, and
    // cost a copy of them.
    const SIZE size = WindowSize(window);
    const SIZE pictureSize = BitmapSize(picture.Get());
    if (size.cx == pictureSize.cx && size.cy == pictureSize.cy)
        return TakeOwnedFace(std::move(picture));
    BeginStartupSpan("face fitted to the window");
    CBitmapHandle face = MakeFaceFrom(picture.Get(), size);
    EndStartupSpan("face fitted to the window");
    return TakeOwnedFace(std::move(face));
}

bool CSkinnedDialog::SetBitmapByName(const char* name, const char* fileName)
{
    ReleaseBitmap();
    if (name != nullptr) {
        CBitmapHandle picture(::LoadBitmapA(CApplication::Instance(), name));
        if (!picture)
            return false;
        faceBitmap = picture.Release();
        ownsBitmap = true;
        hasBitmap = true;
        ApplyWindowRegion(RECT{0, 0, 0, 0});
        return true;
    }
    if (fileName == nullptr)
        return false;
    CBitmapHandle loaded(static_cast<HBITMAP>(
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
    CRegionHandle region(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    if (shapedRegion && hasBitmap) {
        RECT client{};
        ::GetClientRect(window, &client);
        CRegionHandle clientRegion(::CreateRectRgn(0, 0, client.right, client.bottom));
        ::CombineRgn(region.Get(), region.Get(), clientRegion.Get(), RGN_XOR);
        CStartupSpan span("window region built");
        CRegionHandle opaqueRuns(
            BuildFaceRegion(faceBitmap, client.right, client.bottom, transparentColor, opaqueRect));
        ::CombineRgn(region.Get(), region.Get(), opaqueRuns.Get(), RGN_OR);
    }
    // A hidden window that has this very region already keeps it: giving it
    // again would cost a round to the display with nothing to redraw.
    if (!::IsWindowVisible(window)) {
        CRegionHandle current(::CreateRectRgn(0, 0, 0, 0));
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
    CMemoryDc faceDc(::CreateCompatibleDC(target));
    CSelectedObject selection(faceDc.Get(), faceBitmap);
    ::BitBlt(target, 0, 0, client.right, client.bottom, faceDc.Get(), 0, 0, SRCCOPY);
    return TRUE;
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
