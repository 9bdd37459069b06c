// The window region built the straightforward way: one GetPixel per pixel of
// the face and one CombineRgn per opaque run. The fast builder is checked
// against it and timed against it.
#pragma once

#include "base/Handles.h"

#include <windows.h>

namespace reference {

// Adds the one-row run [left, right) of row `y` to `region`.
inline void AddRun(HRGN region, int left, int right, int y)
{
    COwnedRegion run(::CreateRectRgn(left, y, right, y + 1));
    ::CombineRgn(region, region, run.Get(), RGN_OR);
}

// The region of a window of `windowSize` whose client area of `clientSize`
// shows `face` at its origin: the window rectangle XOR the client rectangle,
// plus one rectangle per maximal run of pixels that do not read as
// `transparentColor`; pixels inside `opaqueRect` (PtInRect rule) are not read.
inline COwnedRegion BuildReferenceRegion(HBITMAP face, SIZE windowSize, SIZE clientSize, COLORREF transparentColor,
                                         const RECT& opaqueRect)
{
    COwnedRegion region(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    COwnedRegion client(::CreateRectRgn(0, 0, clientSize.cx, clientSize.cy));
    ::CombineRgn(region.Get(), region.Get(), client.Get(), RGN_XOR);

    COwnedMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    CSelectedObject selection(faceDc.Get(), face);
    for (int y = 0; y < clientSize.cy; ++y) {
        int runStart = 0;
        for (int x = 0; x < clientSize.cx; ++x) {
            if (::PtInRect(&opaqueRect, POINT{x, y}))
                continue;
            if (::GetPixel(faceDc.Get(), x, y) != transparentColor)
                continue;
            if (runStart < x)
                AddRun(region.Get(), runStart, x, y);
            runStart = x + 1;
        }
        if (runStart != clientSize.cx)
            AddRun(region.Get(), runStart, clientSize.cx, y);
    }
    return region;
}

}  // namespace reference
