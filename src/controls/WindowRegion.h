// Building a window region from a picture: every pixel of the transparent
// colour is cut out, row by row, in runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The face's pixels as 0x00RRGGBB values (the COLORREF order swapped), top
// row first; pixels outside the face read as kUnreadablePixel.
struct CFacePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

constexpr std::uint32_t kUnreadablePixel = 0xFFFFFFFFu;

// Reads the whole face at once (one GetDIBits), extended or cut to the
// client size `clientWidth` by `clientHeight`.
CFacePixels ReadFacePixels(HBITMAP face, int clientWidth, int clientHeight);

// The region made of one rectangle of height 1 per maximal run of pixels that
// are not `transparentColor` in each row; pixels inside `opaqueRect` never
// end a run. The caller owns the region.
HRGN BuildRegionFromPixels(const CFacePixels& face, COLORREF transparentColor, const RECT& opaqueRect);

// The same region for `face` shown in a client area of `clientWidth` by
// `clientHeight`; the face is not read at all where `opaqueRect` covers the
// whole client area (the main dialog's case). The caller owns the region.
HRGN BuildFaceRegion(HBITMAP face, int clientWidth, int clientHeight, COLORREF transparentColor,
                     const RECT& opaqueRect);
