// What the tests of the skinned controls share: a skinned dialog made
// modeless with its settings in reach, a 32-bit canvas to draw into and
// probe, faces with holes, and the counts of the process's objects.
#pragma once

#include "base/Handles.h"
#include "controls/SkinnedDialog.h"
#include "framework/Application.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace harness {

// A skinned dialog created modeless (hidden unless its template says
// otherwise), so that a test can drive it message by message.
class CTestDialog : public CSkinnedDialog {
public:
    explicit CTestDialog(UINT templateId) : CSkinnedDialog(templateId, nullptr), templateId(templateId) {}

    // Creates the window from the template; the initialisation binds the controls.
    bool Create()
    {
        return ::CreateDialogParamA(CApplication::Instance(), MAKEINTRESOURCEA(templateId), nullptr,
                                    &CTestDialog::InitProcedure, reinterpret_cast<LPARAM>(this))
            != nullptr;
    }

    void SetShape(bool shaped, COLORREF color)
    {
        shapedRegion = shaped;
        transparentColor = color;
    }
    void SetTransparentStatics(bool transparent) { transparentStatics = transparent; }
    void SetDragByBody(bool drag) { dragByBody = drag; }
    bool OwnsFace() const { return ownsBitmap; }
    bool HasFace() const { return hasBitmap; }
    HBRUSH GetHollowBrush() const { return hollowBrush; }

    SIZE GetWindowSize() const
    {
        RECT bounds{};
        ::GetWindowRect(window, &bounds);
        return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
    }
    SIZE GetClientSize() const
    {
        RECT client{};
        ::GetClientRect(window, &client);
        return SIZE{client.right, client.bottom};
    }

private:
    // Only the initialisation passes through the dialog procedure; the
    // subclassed window procedure takes every later message.
    static INT_PTR CALLBACK InitProcedure(HWND handle, UINT message, WPARAM, LPARAM lParam)
    {
        if (message != WM_INITDIALOG)
            return FALSE;
        auto* dialog = reinterpret_cast<CTestDialog*>(lParam);
        dialog->Subclass(handle);
        return dialog->OnInitDialog();
    }

    UINT templateId;
};

// A top-down 32-bit DIB section selected into a memory context, whose pixels
// a test reads directly.
class CPixelCanvas {
public:
    CPixelCanvas(int width, int height, COLORREF fill) : width(width), height(height), dc(::CreateCompatibleDC(nullptr))
    {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        void* data = nullptr;
        bitmap.Reset(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &data, nullptr, 0));
        bits = static_cast<std::uint32_t*>(data);
        previous = ::SelectObject(dc.Get(), bitmap.Get());
        Fill(fill);
    }
    ~CPixelCanvas()
    {
        if (previous != nullptr)
            ::SelectObject(dc.Get(), previous);
    }
    CPixelCanvas(const CPixelCanvas&) = delete;
    CPixelCanvas& operator=(const CPixelCanvas&) = delete;

    HDC Dc() const { return dc.Get(); }
    HBITMAP Bitmap() const { return bitmap.Get(); }
    int Width() const { return width; }
    int Height() const { return height; }
    bool IsValid() const { return dc && bitmap && bits != nullptr; }

    void Fill(COLORREF color)
    {
        ::GdiFlush();
        for (int i = 0; i < width * height; ++i)
            bits[i] = ToPixel(color);
    }
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const std::uint32_t value = bits[y * width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    // How many pixels of the rectangle [left, right) x [top, bottom) are `color`.
    int Count(COLORREF color, int left = 0, int top = 0, int right = -1, int bottom = -1) const
    {
        right = right < 0 ? width : right;
        bottom = bottom < 0 ? height : bottom;
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += Pixel(x, y) == color ? 1 : 0;
        return count;
    }

    static std::uint32_t ToPixel(COLORREF color)
    {
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }

private:
    int width;
    int height;
    COwnedMemoryDc dc;
    COwnedBitmap bitmap;
    std::uint32_t* bits = nullptr;
    HGDIOBJ previous = nullptr;
};

// A screen-compatible bitmap of `width` by `height` filled with `color`.
inline COwnedBitmap MakeSolidBitmap(int width, int height, COLORREF color)
{
    CWindowDc screen(nullptr);
    COwnedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    COwnedMemoryDc dc(::CreateCompatibleDC(screen.Get()));
    CSelectedObject selection(dc.Get(), bitmap.Get());
    COwnedBrush brush(::CreateSolidBrush(color));
    const RECT all{0, 0, width, height};
    ::FillRect(dc.Get(), &all, brush.Get());
    return bitmap;
}

// Paints shapes of `hole` into `face`: its four corners rounded off, an
// ellipse, a ring of small squares and single-pixel slits, so that the
// region cut from it has many runs per row.
inline void CutShapes(HBITMAP face, COLORREF hole)
{
    BITMAP info{};
    ::GetObjectA(face, sizeof(info), &info);
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    COwnedMemoryDc dc(::CreateCompatibleDC(nullptr));
    CSelectedObject selection(dc.Get(), face);
    COwnedBrush brush(::CreateSolidBrush(hole));
    CSelectedObject brushSelection(dc.Get(), brush.Get());
    CSelectedObject penSelection(dc.Get(), ::GetStockObject(NULL_PEN));

    const int corner = std::max(2, std::min(width, height) / 6);
    const RECT corners[] = {{0, 0, corner, corner},
                            {width - corner, 0, width, corner},
                            {0, height - corner, corner, height},
                            {width - corner, height - corner, width, height}};
    for (const RECT& box : corners)
        ::FillRect(dc.Get(), &box, brush.Get());
    ::Ellipse(dc.Get(), width / 3, height / 3, width / 3 + width / 4, height / 3 + height / 4);
    const int square = std::max(1, std::min(width, height) / 40);
    for (int i = 0; i < 24; ++i) {
        const int x = width / 8 + (i * width * 3 / 4) / 24;
        const int y = (i % 2 == 0) ? height / 5 : height * 4 / 5;
        const RECT box{x, y, x + square, y + square};
        ::FillRect(dc.Get(), &box, brush.Get());
    }
    for (int x = width * 2 / 3; x < width * 2 / 3 + 20 && x < width; x += 2) {
        const RECT slit{x, height / 2, x + 1, height / 2 + std::max(1, height / 10)};
        ::FillRect(dc.Get(), &slit, brush.Get());
    }
}

// Counts of what the process holds; objects whose count the system does not
// report (Wine answers 0) are measured another way.
struct CResourceCounts {
    long gdiObjects = 0;
    long userObjects = 0;
    long handles = 0;
    unsigned long workingSetKb = 0;
};

// GDI objects in use: the system's count, or else the free slots of the GDI
// handle table subtracted from its size, found by filling it with brushes.
inline long CountGdiObjects()
{
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return static_cast<long>(reported);
    constexpr long kTableSize = 65536;
    std::vector<COwnedBrush> brushes;
    brushes.reserve(kTableSize);
    while (static_cast<long>(brushes.size()) < kTableSize) {
        COwnedBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
        if (!brush)
            break;
        brushes.push_back(std::move(brush));
    }
    return kTableSize - static_cast<long>(brushes.size());
}

inline BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<long*>(count);
    ::EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

// USER objects in use: the system's count, or else the windows of this thread.
inline long CountUserObjects()
{
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    if (reported != 0)
        return static_cast<long>(reported);
    long windows = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Kernel handles: the system's count, or else the handle values that the
// system takes as valid.
inline long CountHandles()
{
    DWORD reported = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &reported) && reported != 0)
        return static_cast<long>(reported);
    long valid = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 4 * 16384; value += 4)
        valid += ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    return valid;
}

// The working set through kernel32's own export (no psapi.dll needed), 0 when absent.
inline unsigned long WorkingSetKb()
{
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (query == nullptr || !query(::GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return static_cast<unsigned long>(counters.WorkingSetSize / 1024);
}

inline CResourceCounts CountResources()
{
    CResourceCounts counts;
    counts.gdiObjects = CountGdiObjects();
    counts.userObjects = CountUserObjects();
    counts.handles = CountHandles();
    counts.workingSetKb = WorkingSetKb();
    return counts;
}

inline void PrintResources(const char* label, const CResourceCounts& counts)
{
    std::printf("[ figures  ] %-28s GDI objects %6ld  USER objects %5ld  handles %5ld  working set %7lu KB\n", label,
                counts.gdiObjects, counts.userObjects, counts.handles, counts.workingSetKb);
}

// Handles the messages waiting for this thread.
inline void PumpMessages()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

}  // namespace harness
