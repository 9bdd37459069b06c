#include "WindowRegion.h"

#include "framework/Handles.h"

#include <algorithm>

namespace {

// ExtCreateRegion is given the rectangles in batches of this many, which
// every version of Windows accepts.
constexpr size_t kRectanglesPerBatch = 4000;

bool IsTransparent(std::uint32_t pixel, COLORREF transparentColor)
{
    // A pixel that cannot be read compares like GetPixel's CLR_INVALID.
    if (pixel == kUnreadablePixel)
        return transparentColor == CLR_INVALID;
    if ((transparentColor & 0xFF000000u) != 0)
        return false;
    const std::uint32_t key = (GetRValue(transparentColor) << 16) | (GetGValue(transparentColor) << 8) |
                              GetBValue(transparentColor);
    return pixel == key;
}

bool InOpaqueRect(const RECT& opaque, int x, int y)
{
    return x >= opaque.left && x < opaque.right && y >= opaque.top && y < opaque.bottom;
}

HRGN RegionFromRectangles(const RECT* rectangles, size_t count)
{
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    RECT bounds{rectangles[0]};
    for (size_t i = 1; i < count; ++i) {
        bounds.left = std::min(bounds.left, rectangles[i].left);
        bounds.top = std::min(bounds.top, rectangles[i].top);
        bounds.right = std::max(bounds.right, rectangles[i].right);
        bounds.bottom = std::max(bounds.bottom, rectangles[i].bottom);
    }
    header->rcBound = bounds;
    std::copy(rectangles, rectangles + count, reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

}  // namespace

CFacePixels ReadFacePixels(HBITMAP face, int clientWidth, int clientHeight)
{
    CFacePixels result;
    result.width = std::max(clientWidth, 0);
    result.height = std::max(clientHeight, 0);
    result.pixels.assign(static_cast<size_t>(result.width) * result.height, kUnreadablePixel);

    BITMAP info{};
    if (face == nullptr || ::GetObjectA(face, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        return result;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> facePixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    CWindowDc screen(nullptr);
    if (::GetDIBits(screen.Get(), face, 0, static_cast<UINT>(info.bmHeight), facePixels.data(), &format,
                    DIB_RGB_COLORS) == 0)
        return result;

    const int rows = std::min(result.height, static_cast<int>(info.bmHeight));
    const int columns = std::min(result.width, static_cast<int>(info.bmWidth));
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* source = facePixels.data() + static_cast<size_t>(y) * info.bmWidth;
        std::uint32_t* target = result.pixels.data() + static_cast<size_t>(y) * result.width;
        for (int x = 0; x < columns; ++x)
            target[x] = source[x] & 0x00FFFFFFu;
    }
    return result;
}

HRGN BuildRegionFromPixels(const CFacePixels& face, COLORREF transparentColor, const RECT& opaqueRect)
{
    std::vector<RECT> runs;
    for (int y = 0; y < face.height; ++y) {
        const std::uint32_t* row = face.pixels.data() + static_cast<size_t>(y) * face.width;
        int runStart = 0;
        for (int x = 0; x < face.width; ++x) {
            if (InOpaqueRect(opaqueRect, x, y) || !IsTransparent(row[x], transparentColor))
                continue;
            if (runStart < x)
                runs.push_back(RECT{runStart, y, x, y + 1});
            runStart = x + 1;
        }
        if (runStart != face.width)
            runs.push_back(RECT{runStart, y, face.width, y + 1});
    }

    HRGN result = ::CreateRectRgn(0, 0, 0, 0);
    for (size_t first = 0; first < runs.size(); first += kRectanglesPerBatch) {
        const size_t count = std::min(kRectanglesPerBatch, runs.size() - first);
        CRegionHandle batch(RegionFromRectangles(runs.data() + first, count));
        if (batch)
            ::CombineRgn(result, result, batch.Get(), RGN_OR);
    }
    return result;
}
