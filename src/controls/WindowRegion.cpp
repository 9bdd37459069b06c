#include "WindowRegion.h"

#include "base/Handles.h"

#include <algorithm>
#include <memory>
#include <utility>

#if defined(_M_IX86) || defined(_M_X64) || defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define SPLASH_SSE2_SEARCH 1
// A 32-bit build may not assume SSE2 (MinGW's does not): the search is
// compiled for it on its own and used where the processor has it.
#if defined(__GNUC__) && !defined(__x86_64__)
#define SPLASH_SSE2_FUNCTION __attribute__((target("sse2")))
#else
#define SPLASH_SSE2_FUNCTION
#endif
#endif

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFFu;

// The rectangles are handed to ExtCreateRegion in pieces of at most this
// many, whose regions are then joined pairwise: a system that adds the
// rectangles of one call to its region one at a time (Wine does) would
// otherwise spend time in the square of their number.
constexpr size_t kRectanglesPerPiece = 16;

// The face is read this many rows at a time.
constexpr int kRowsPerBand = 32;

// The first x in [from, to) whose colour (the pixel without its high byte)
// is `color`, or `to`.
int FindColorPlain(const std::uint32_t* row, int from, int to, std::uint32_t color)
{
    for (int x = from; x < to; ++x) {
        if ((row[x] & kColorBits) == color)
            return x;
    }
    return to;
}

// The first x in [from, to) whose colour is not `color`, or `to`.
int FindOtherColor(const std::uint32_t* row, int from, int to, std::uint32_t color)
{
    for (int x = from; x < to; ++x) {
        if ((row[x] & kColorBits) != color)
            return x;
    }
    return to;
}

#if defined(SPLASH_SSE2_SEARCH)
SPLASH_SSE2_FUNCTION int FindColorSse2(const std::uint32_t* row, int from, int to, std::uint32_t color)
{
    const __m128i bits = _mm_set1_epi32(static_cast<int>(kColorBits));
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(color));
    // Sixteen pixels a turn: the search keeps pace with the reading.
    int x = from;
    for (; x + 16 <= to; x += 16) {
        const auto* block = reinterpret_cast<const __m128i*>(row + x);
        const __m128i first = _mm_cmpeq_epi32(_mm_and_si128(_mm_loadu_si128(block), bits), wanted);
        const __m128i second = _mm_cmpeq_epi32(_mm_and_si128(_mm_loadu_si128(block + 1), bits), wanted);
        const __m128i third = _mm_cmpeq_epi32(_mm_and_si128(_mm_loadu_si128(block + 2), bits), wanted);
        const __m128i fourth = _mm_cmpeq_epi32(_mm_and_si128(_mm_loadu_si128(block + 3), bits), wanted);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(first, second), _mm_or_si128(third, fourth))) != 0)
            break;
    }
    return FindColorPlain(row, x, to, color);
}

bool HasSse2()
{
    static const bool present = ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != FALSE;
    return present;
}
#endif

int FindColor(const std::uint32_t* row, int from, int to, std::uint32_t color)
{
#if defined(SPLASH_SSE2_SEARCH)
    if (HasSse2())
        return FindColorSse2(row, from, to, color);
#endif
    return FindColorPlain(row, from, to, color);
}

HRGN RegionFromRectangles(const RECT* rectangles, size_t count)
{
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(count);
    header->nRgnSize = static_cast<DWORD>(data.size() - sizeof(RGNDATAHEADER));
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

// The union of all the rectangles: pieces joined pairwise, neighbours first,
// so that every rectangle takes part in a logarithmic number of joins.
HRGN JoinRectangles(const std::vector<RECT>& rectangles)
{
    std::vector<COwnedRegion> pieces;
    for (size_t first = 0; first < rectangles.size(); first += kRectanglesPerPiece) {
        const size_t count = std::min(kRectanglesPerPiece, rectangles.size() - first);
        COwnedRegion piece(RegionFromRectangles(rectangles.data() + first, count));
        if (piece)
            pieces.push_back(std::move(piece));
    }
    while (pieces.size() > 1) {
        std::vector<COwnedRegion> joined;
        for (size_t index = 0; index + 1 < pieces.size(); index += 2) {
            ::CombineRgn(pieces[index].Get(), pieces[index].Get(), pieces[index + 1].Get(), RGN_OR);
            joined.push_back(std::move(pieces[index]));
        }
        if (pieces.size() % 2 != 0)
            joined.push_back(std::move(pieces.back()));
        pieces = std::move(joined);
    }
    return pieces.empty() ? ::CreateRectRgn(0, 0, 0, 0) : pieces.front().Release();
}

// Collects the opaque runs row by row, top to bottom. A row with the same
// runs as the row above makes their rectangles taller instead of adding new
// ones, which is the form the system keeps a region in anyway.
class CRunCollector {
public:
    CRunCollector(int width, COLORREF transparentColor, const RECT& opaqueRect) : width(width), opaque(opaqueRect)
    {
        // CLR_INVALID is what an unreadable pixel compares equal to (GetPixel's
        // answer); any other colour with a high byte matches nothing.
        if (transparentColor == CLR_INVALID) {
            cutsUnreadable = true;
        } else if ((transparentColor & 0xFF000000u) == 0) {
            cutsRead = true;
            color = (GetRValue(transparentColor) << 16) | (GetGValue(transparentColor) << 8)
                | GetBValue(transparentColor);
        }
        opaqueFrom = std::max(static_cast<int>(opaque.left), 0);
        opaqueTo = std::min(static_cast<int>(opaque.right), width);
    }

    // Row `y`, whose first `readable` pixels were read (their high bytes
    // aside) and whose others cannot be read.
    void AddRow(int y, const std::uint32_t* row, int readable)
    {
        runs.clear();
        runStart = 0;
        if (y >= opaque.top && y < opaque.bottom && opaqueFrom < opaqueTo) {
            AddSegment(row, readable, 0, opaqueFrom);
            AddSegment(row, readable, opaqueTo, width);
        } else {
            AddSegment(row, readable, 0, width);
        }
        if (runStart != width)
            runs.emplace_back(runStart, width);

        if (y > 0 && !runs.empty() && runs == runsAbove) {
            for (size_t index = bandStart; index < rectangles.size(); ++index)
                rectangles[index].bottom = y + 1;
            return;
        }
        bandStart = rectangles.size();
        for (const auto& run : runs)
            rectangles.push_back(RECT{run.first, y, run.second, y + 1});
        runsAbove.swap(runs);
    }

    HRGN Finish() const { return JoinRectangles(rectangles); }

private:
    // The transparent pixels of [from, to) end the run under way.
    void AddSegment(const std::uint32_t* row, int readable, int from, int to)
    {
        const int readTo = std::min(to, readable);
        if (cutsRead) {
            for (int x = FindColor(row, from, readTo, color); x < readTo; x = FindColor(row, x, readTo, color)) {
                const int end = FindOtherColor(row, x + 1, readTo, color);
                Cut(x, end);
                x = end;
            }
        }
        if (cutsUnreadable && std::max(from, readable) < to)
            Cut(std::max(from, readable), to);
    }

    // The transparent pixels [from, to) end the run under way; the next one
    // can start after them.
    void Cut(int from, int to)
    {
        if (runStart < from)
            runs.emplace_back(runStart, from);
        runStart = to;
    }

    int width;
    RECT opaque;
    int opaqueFrom = 0;
    int opaqueTo = 0;
    bool cutsRead = false;
    bool cutsUnreadable = false;
    std::uint32_t color = 0;
    int runStart = 0;
    std::vector<std::pair<int, int>> runs;
    std::vector<std::pair<int, int>> runsAbove;
    size_t bandStart = 0;
    std::vector<RECT> rectangles;
};

// Reads the face band by band into one small buffer, each band scanned
// while it is still in the cache: the same GetDIBits conversion as a read of
// the whole face, without a buffer the size of the face. Bands that lie
// wholly within opaque rows as wide as the client area are not read.
bool CollectFace(HBITMAP face, const BITMAP& info, int clientWidth, int clientHeight, const RECT& opaque,
                 CRunCollector& collector)
{
    const int rowsRead = std::min(clientHeight, static_cast<int>(info.bmHeight));
    const int readable = std::min(clientWidth, static_cast<int>(info.bmWidth));
    const bool opaqueAcross = opaque.left <= 0 && opaque.right >= clientWidth;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = info.bmHeight;  // bottom row first: scan numbers count from it
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    // Left uninitialised: every row is read before it is scanned.
    const std::unique_ptr<std::uint32_t[]> band(new std::uint32_t[static_cast<size_t>(info.bmWidth) * kRowsPerBand]);
    // Any context serves a read in true colour; a memory one costs less to
    // get than the screen's.
    COwnedMemoryDc context(::CreateCompatibleDC(nullptr));
    for (int top = 0; top < rowsRead; top += kRowsPerBand) {
        const int rows = std::min(kRowsPerBand, rowsRead - top);
        if (opaqueAcross && top >= opaque.top && top + rows <= opaque.bottom) {
            for (int row = 0; row < rows; ++row)
                collector.AddRow(top + row, nullptr, 0);
            continue;
        }
        const UINT firstScan = static_cast<UINT>(info.bmHeight - top - rows);
        if (::GetDIBits(context.Get(), face, firstScan, static_cast<UINT>(rows), band.get(), &format, DIB_RGB_COLORS)
            != rows)
            return false;
        for (int row = 0; row < rows; ++row)
            collector.AddRow(top + row, band.get() + static_cast<size_t>(rows - 1 - row) * info.bmWidth, readable);
    }
    for (int y = rowsRead; y < clientHeight; ++y)
        collector.AddRow(y, nullptr, 0);
    return true;
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
    if (::GetDIBits(screen.Get(), face, 0, static_cast<UINT>(info.bmHeight), facePixels.data(), &format, DIB_RGB_COLORS)
        == 0)
        return result;

    const int rows = std::min(result.height, static_cast<int>(info.bmHeight));
    const int columns = std::min(result.width, static_cast<int>(info.bmWidth));
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* source = facePixels.data() + static_cast<size_t>(y) * info.bmWidth;
        std::uint32_t* target = result.pixels.data() + static_cast<size_t>(y) * result.width;
        for (int x = 0; x < columns; ++x)
            target[x] = source[x] & kColorBits;
    }
    return result;
}

HRGN BuildRegionFromPixels(const CFacePixels& face, COLORREF transparentColor, const RECT& opaqueRect)
{
    CRunCollector collector(face.width, transparentColor, opaqueRect);
    for (int y = 0; y < face.height; ++y) {
        // The pixels that could not be read end each row.
        const std::uint32_t* row = face.pixels.data() + static_cast<size_t>(y) * face.width;
        int readable = face.width;
        while (readable > 0 && row[readable - 1] == kUnreadablePixel)
            --readable;
        collector.AddRow(y, row, readable);
    }
    return collector.Finish();
}

HRGN BuildFaceRegion(HBITMAP face, int clientWidth, int clientHeight, COLORREF transparentColor, const RECT& opaqueRect)
{
    const int width = std::max(clientWidth, 0);
    const int height = std::max(clientHeight, 0);
    RECT opaque{};
    const RECT client{0, 0, width, height};
    ::IntersectRect(&opaque, &opaqueRect, &client);
    // Every row is then one run the width of the client area, unread.
    if (::EqualRect(&opaque, &client) && width > 0 && height > 0)
        return ::CreateRectRgn(0, 0, width, height);

    BITMAP info{};
    if (face != nullptr && ::GetObjectA(face, sizeof(info), &info) != 0 && info.bmWidth > 0 && info.bmHeight > 0) {
        CRunCollector collector(width, transparentColor, opaque);
        if (CollectFace(face, info, width, height, opaque, collector))
            return collector.Finish();
    }
    // A face that cannot be read band by band is read as a whole, which
    // leaves every pixel it cannot read unreadable.
    return BuildRegionFromPixels(ReadFacePixels(face, clientWidth, clientHeight), transparentColor, opaqueRect);
}
