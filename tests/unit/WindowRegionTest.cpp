// The fast region builder against the pixel-by-pixel reference on many
// random pictures of every bitmap kind, and the skinned dialog's window
// region read back from a real window.
#include "controls/WindowRegion.h"
#include "controls/SkinnedDialog.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"
#include "../support/ReferenceRegion.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using harness::CTestDialog;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

enum class BitmapKind { Compatible, Dib32, Dib24, Dib16, Dib8, Monochrome };

const char* KindName(BitmapKind kind)
{
    switch (kind) {
    case BitmapKind::Compatible:
        return "screen-compatible";
    case BitmapKind::Dib32:
        return "32-bit DIB";
    case BitmapKind::Dib24:
        return "24-bit DIB";
    case BitmapKind::Dib16:
        return "16-bit DIB";
    case BitmapKind::Dib8:
        return "8-bit DIB";
    case BitmapKind::Monochrome:
        return "monochrome";
    }
    return "?";
}

COwnedBitmap MakeDibSection(int width, int height, WORD bitCount, const std::vector<COLORREF>& colorTable)
{
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* format = reinterpret_cast<BITMAPINFO*>(storage.data());
    format->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format->bmiHeader.biWidth = width;
    format->bmiHeader.biHeight = -height;
    format->bmiHeader.biPlanes = 1;
    format->bmiHeader.biBitCount = bitCount;
    format->bmiHeader.biCompression = BI_RGB;
    if (bitCount <= 8) {
        format->bmiHeader.biClrUsed = static_cast<DWORD>(colorTable.size());
        for (size_t i = 0; i < colorTable.size(); ++i)
            format->bmiColors[i]
                = RGBQUAD{GetBValue(colorTable[i]), GetGValue(colorTable[i]), GetRValue(colorTable[i]), 0};
    }
    void* bits = nullptr;
    return COwnedBitmap(::CreateDIBSection(nullptr, format, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// A picture as colours, top row first, with the colours it may use.
struct CPicture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
};

// Makes a bitmap of `kind` showing `picture`; every colour of the picture
// must be exact in that kind (see the palettes below).
COwnedBitmap MakeBitmap(BitmapKind kind, const CPicture& picture, const std::vector<COLORREF>& palette)
{
    COwnedBitmap bitmap;
    switch (kind) {
    case BitmapKind::Compatible: {
        CWindowDc screen(nullptr);
        bitmap.Reset(::CreateCompatibleBitmap(screen.Get(), picture.width, picture.height));
        break;
    }
    case BitmapKind::Dib32:
        bitmap = MakeDibSection(picture.width, picture.height, 32, palette);
        break;
    case BitmapKind::Dib24:
        bitmap = MakeDibSection(picture.width, picture.height, 24, palette);
        break;
    case BitmapKind::Dib16:
        bitmap = MakeDibSection(picture.width, picture.height, 16, palette);
        break;
    case BitmapKind::Dib8:
        bitmap = MakeDibSection(picture.width, picture.height, 8, palette);
        break;
    case BitmapKind::Monochrome:
        bitmap.Reset(::CreateBitmap(picture.width, picture.height, 1, 1, nullptr));
        break;
    }
    if (!bitmap)
        return bitmap;
    COwnedMemoryDc dc(::CreateCompatibleDC(nullptr));
    CSelectedObject selection(dc.Get(), bitmap.Get());
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            ::SetPixelV(dc.Get(), x, y, picture.pixels[static_cast<size_t>(y) * picture.width + x]);
    return bitmap;
}

// One random case: a picture, the size of the client area that shows it,
// the colour cut out and the rectangle taken as opaque.
struct CRegionCase {
    unsigned seed = 0;
    BitmapKind kind = BitmapKind::Dib32;
    CPicture picture;
    std::vector<COLORREF> palette;
    SIZE client{};
    COLORREF transparentColor = kMagenta;
    RECT opaqueRect{};

    std::string Describe() const
    {
        std::ostringstream text;
        text << "seed " << seed << ", " << KindName(kind) << " face " << picture.width << "x" << picture.height
             << ", client " << client.cx << "x" << client.cy << ", transparent 0x" << std::hex << transparentColor
             << std::dec << ", opaqueRect (" << opaqueRect.left << "," << opaqueRect.top << ")-(" << opaqueRect.right
             << "," << opaqueRect.bottom << ")";
        return text.str();
    }
};

// A colour whose channels a 16-bit (5-5-5) bitmap stores exactly.
COLORREF FiveBitColor(std::mt19937& random)
{
    auto channel = [&random]() {
        const int value = static_cast<int>(random() % 32);
        return static_cast<BYTE>((value << 3) | (value >> 2));
    };
    const BYTE red = channel();
    const BYTE green = channel();
    const BYTE blue = channel();
    return RGB(red, green, blue);
}

CRegionCase MakeRandomCase(unsigned seed, BitmapKind kind)
{
    std::mt19937 random(seed);
    auto below = [&random](int limit) { return static_cast<int>(random() % static_cast<unsigned>(limit)); };
    CRegionCase test;
    test.seed = seed;
    test.kind = kind;

    // The key colour and its near neighbours, which must not be cut.
    const COLORREF keys[] = {kMagenta, RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 255, 0)};
    COLORREF key = below(5) == 0 ? FiveBitColor(random) : keys[below(4)];
    if (kind == BitmapKind::Monochrome) {
        key = below(2) == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255);
        test.palette = {key, key ^ 0xFFFFFFu};
    } else {
        const COLORREF nearStep = kind == BitmapKind::Dib16 ? 0x08 : 0x01;
        test.palette = {key,          key ^ nearStep,     key ^ (nearStep << 8), key ^ (nearStep << 16),
                        RGB(0, 0, 0), RGB(255, 255, 255), FiveBitColor(random),  FiveBitColor(random)};
        for (COLORREF& color : test.palette)
            color &= 0x00FFFFFFu;
    }
    const int others = static_cast<int>(test.palette.size()) - 1;

    CPicture& picture = test.picture;
    picture.width = 1 + below(below(4) == 0 ? 120 : 40);
    picture.height = 1 + below(40);
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, key);
    auto other = [&]() {
        COLORREF color = test.palette[1 + below(others)];
        return color == key ? test.palette[1] : color;
    };
    for (int y = 0; y < picture.height; ++y) {
        COLORREF* row = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        const int density = below(10);
        switch (below(7)) {
        case 0:  // all transparent
            break;
        case 1:  // no transparent pixel
            for (int x = 0; x < picture.width; ++x)
                row[x] = other();
            break;
        case 2:  // single-pixel gaps
            for (int x = 0; x < picture.width; ++x)
                row[x] = x % 2 == 1 ? key : other();
            break;
        case 3:  // transparent only at both edges
            for (int x = 1; x + 1 < picture.width; ++x)
                row[x] = other();
            break;
        case 4:  // the row above again
            if (y > 0)
                std::copy(row - picture.width, row, row);
            break;
        default:  // random runs
            for (int x = 0; x < picture.width; ++x)
                row[x] = below(10) < density ? other() : key;
            break;
        }
    }

    // The client area: as large as the face, smaller, or larger.
    test.client = SIZE{picture.width, picture.height};
    const int clientShape = below(8);
    if (clientShape == 0)
        test.client = SIZE{1 + below(picture.width), 1 + below(picture.height)};
    else if (clientShape <= 2)
        test.client = SIZE{picture.width + below(6), picture.height + below(6)};

    // The colour cut out: mostly the key, sometimes one the bitmap never reads.
    switch (below(10)) {
    case 0:
        test.transparentColor = CLR_INVALID;
        break;
    case 1:
        test.transparentColor = key | 0x02000000u;
        break;
    case 2:
        test.transparentColor = test.palette[1];
        break;
    default:
        test.transparentColor = key;
        break;
    }

    const int w = test.client.cx;
    const int h = test.client.cy;
    switch (below(8)) {
    case 0:
        test.opaqueRect = RECT{0, 0, w, h};
        break;
    case 1:
        test.opaqueRect = RECT{-3 - below(5), -2, 1 + below(w), h + below(4)};
        break;
    case 2:
        test.opaqueRect = RECT{below(w), below(h), w + 1 + below(5), h + 1 + below(5)};
        break;
    case 3:
        test.opaqueRect = RECT{0, h - 1, w, h};
        break;
    case 4:
        test.opaqueRect = RECT{w - 1, 0, w, h};
        break;
    case 5:
        test.opaqueRect = RECT{below(w) + 2, below(h) + 2, below(w), below(h)};
        break;  // inverted
    case 6: {
        const int left = below(w);
        const int top = below(h);
        test.opaqueRect = RECT{left, top, left + 1 + below(w), top + 1 + below(h)};
        break;
    }
    default:
        test.opaqueRect = RECT{0, 0, 0, 0};
        break;
    }
    return test;
}

// Whether two regions cover the same points: EqualRgn, and PtInRegion over a
// grid one pixel wider than `area` on each side.
::testing::AssertionResult SameRegion(HRGN expected, HRGN actual, SIZE area)
{
    if (expected == nullptr || actual == nullptr)
        return ::testing::AssertionFailure() << "a region is missing";
    int differing = 0;
    POINT first{};
    for (int y = -2; y < area.cy + 2; ++y)
        for (int x = -2; x < area.cx + 2; ++x)
            if ((::PtInRegion(expected, x, y) != FALSE) != (::PtInRegion(actual, x, y) != FALSE)) {
                if (differing++ == 0)
                    first = POINT{x, y};
            }
    const bool equal = ::EqualRgn(expected, actual) != FALSE;
    if (equal && differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "EqualRgn " << (equal ? "true" : "false") << ", " << differing
                                         << " differing points, the first at (" << first.x << "," << first.y
                                         << "): expected " << (::PtInRegion(expected, first.x, first.y) ? "in" : "out");
}

// The fast builder's region for `face` shown in a client area of `client`.
COwnedRegion BuildFast(HBITMAP face, SIZE client, COLORREF transparentColor, const RECT& opaqueRect)
{
    return COwnedRegion(
        BuildRegionFromPixels(ReadFacePixels(face, client.cx, client.cy), transparentColor, opaqueRect));
}

TEST(WindowRegionTest, MatchesTheReferenceOnRandomPicturesOfEveryBitmapKind)
{
    const BitmapKind kinds[] = {BitmapKind::Compatible, BitmapKind::Dib32, BitmapKind::Dib24,
                                BitmapKind::Dib16,      BitmapKind::Dib8,  BitmapKind::Monochrome};
    int cases = 0;
    int nonTrivial = 0;
    for (BitmapKind kind : kinds) {
        for (unsigned seed = 1; seed <= 120; ++seed) {
            const CRegionCase test = MakeRandomCase(seed * 7919u + static_cast<unsigned>(kind), kind);
            COwnedBitmap face = MakeBitmap(kind, test.picture, test.palette);
            ASSERT_TRUE(face) << test.Describe();
            COwnedRegion expected = reference::BuildReferenceRegion(face.Get(), test.client, test.client,
                                                                    test.transparentColor, test.opaqueRect);
            COwnedRegion actual = BuildFast(face.Get(), test.client, test.transparentColor, test.opaqueRect);
            ASSERT_TRUE(SameRegion(expected.Get(), actual.Get(), test.client)) << test.Describe();
            // What the dialog calls: true-colour faces copied band by band, only
            // beside the opaque rectangle where it covers whole bands.
            COwnedRegion direct(
                BuildFaceRegion(face.Get(), test.client.cx, test.client.cy, test.transparentColor, test.opaqueRect));
            ASSERT_TRUE(SameRegion(expected.Get(), direct.Get(), test.client))
                << "BuildFaceRegion, " << test.Describe();
            RECT box{};
            if (::GetRgnBox(expected.Get(), &box) == COMPLEXREGION)
                ++nonTrivial;
            ++cases;
        }
    }
    // The pictures must really cut holes, or the comparison proves little.
    EXPECT_GT(nonTrivial, cases / 2);
}

// A picture of 8 by 5 whose rows are: all key; no key; key at both ends
// (two at the left); one single-pixel gap; key at every odd column.
class KnownRowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const COLORREF o = RGB(20, 61, 83);
        const COLORREF k = kMagenta;
        picture.width = 8;
        picture.height = 5;
        picture.pixels = {k, k, k, k, k, k, k, k,  //
                          o, o, o, o, o, o, o, o,  //
                          k, k, o, o, o, o, o, k,  //
                          o, o, o, k, o, o, o, o,  //
                          o, k, o, k, o, k, o, k};
        face = MakeBitmap(BitmapKind::Dib32, picture, {k, o});
        ASSERT_TRUE(face);
    }

    static COwnedRegion Union(const std::vector<RECT>& rectangles)
    {
        COwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
        for (const RECT& box : rectangles) {
            COwnedRegion part(::CreateRectRgnIndirect(&box));
            ::CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
        }
        return region;
    }

    CPicture picture;
    COwnedBitmap face;
};

TEST_F(KnownRowsTest, EachRowGivesOneRectanglePerOpaqueRun)
{
    const SIZE client{8, 5};
    COwnedRegion expected = Union({{0, 1, 8, 2},
                                   {2, 2, 7, 3},
                                   {0, 3, 3, 4},
                                   {4, 3, 8, 4},
                                   {0, 4, 1, 5},
                                   {2, 4, 3, 5},
                                   {4, 4, 5, 5},
                                   {6, 4, 7, 5}});
    const RECT none{0, 0, 0, 0};
    EXPECT_TRUE(SameRegion(expected.Get(), BuildFast(face.Get(), client, kMagenta, none).Get(), client));
    EXPECT_TRUE(SameRegion(expected.Get(),
                           reference::BuildReferenceRegion(face.Get(), client, client, kMagenta, none).Get(), client));
}

TEST_F(KnownRowsTest, PixelsInsideTheOpaqueRectangleNeverEndARun)
{
    const SIZE client{8, 5};
    // Columns 2 to 4 of the two bottom rows are taken as opaque unread.
    const RECT opaque{2, 3, 5, 5};
    COwnedRegion expected = Union({{0, 1, 8, 2}, {2, 2, 7, 3}, {0, 3, 8, 4}, {0, 4, 1, 5}, {2, 4, 5, 5}, {6, 4, 7, 5}});
    EXPECT_TRUE(SameRegion(expected.Get(), BuildFast(face.Get(), client, kMagenta, opaque).Get(), client));
}

TEST_F(KnownRowsTest, AClientLargerThanTheFaceIsOpaqueBeyondIt)
{
    // Beyond the face nothing can be read: opaque for any colour but CLR_INVALID.
    const SIZE client{10, 6};
    const RECT none{0, 0, 0, 0};
    COwnedRegion actual = BuildFast(face.Get(), client, kMagenta, none);
    EXPECT_TRUE(::PtInRegion(actual.Get(), 8, 0));
    EXPECT_TRUE(::PtInRegion(actual.Get(), 9, 5));
    EXPECT_TRUE(::PtInRegion(actual.Get(), 0, 5));
    EXPECT_FALSE(::PtInRegion(actual.Get(), 7, 0));

    COwnedRegion invalidCut = BuildFast(face.Get(), client, CLR_INVALID, none);
    COwnedRegion faceOnly(::CreateRectRgn(0, 0, 8, 5));
    EXPECT_TRUE(SameRegion(faceOnly.Get(), invalidCut.Get(), client));
}

TEST(ReadFacePixelsTest, ReadsTheFaceInClientCoordinates)
{
    CPicture picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels = {RGB(1, 2, 3),       RGB(255, 0, 255), RGB(0, 0, 0),  //
                      RGB(255, 255, 255), RGB(10, 20, 30),  RGB(0, 255, 0)};
    COwnedBitmap face = MakeBitmap(BitmapKind::Dib24, picture, {});
    ASSERT_TRUE(face);

    const CFacePixels larger = ReadFacePixels(face.Get(), 4, 3);
    ASSERT_EQ(4, larger.width);
    ASSERT_EQ(3, larger.height);
    ASSERT_EQ(12u, larger.pixels.size());
    EXPECT_EQ(0x010203u, larger.pixels[0]);
    EXPECT_EQ(0xFF00FFu, larger.pixels[1]);
    EXPECT_EQ(0x000000u, larger.pixels[2]);
    EXPECT_EQ(kUnreadablePixel, larger.pixels[3]);
    EXPECT_EQ(0xFFFFFFu, larger.pixels[4]);
    EXPECT_EQ(0x0A141Eu, larger.pixels[5]);
    EXPECT_EQ(kUnreadablePixel, larger.pixels[8]);

    const CFacePixels smaller = ReadFacePixels(face.Get(), 2, 1);
    EXPECT_EQ((std::vector<std::uint32_t>{0x010203u, 0xFF00FFu}), smaller.pixels);

    const CFacePixels none = ReadFacePixels(nullptr, 2, 2);
    EXPECT_EQ((std::vector<std::uint32_t>(4, kUnreadablePixel)), none.pixels);
    EXPECT_TRUE(ReadFacePixels(face.Get(), 0, 5).pixels.empty());
}

// The dialog's own region, read back from the window.
COwnedRegion WindowRegionOf(HWND window)
{
    COwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(window, region.Get()) == ERROR)
        region.Reset();
    return region;
}

// A face of `size` with magenta shapes cut into a dark body.
COwnedBitmap MakeHoledFace(SIZE size)
{
    COwnedBitmap face = harness::MakeSolidBitmap(size.cx, size.cy, RGB(20, 61, 83));
    harness::CutShapes(face.Get(), kMagenta);
    return face;
}

// Shaped regions on the framed model dialog (its window is larger than its
// client area) and on the frameless language dialog.
class SkinnedWindowRegionTest : public ::testing::TestWithParam<UINT> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create());
        windowSize = dialog.GetWindowSize();
        clientSize = dialog.GetClientSize();
        ASSERT_GT(clientSize.cx, 20);
        ASSERT_GT(clientSize.cy, 20);
    }

    COwnedRegion Reference(HBITMAP face, const RECT& opaque) const
    {
        return reference::BuildReferenceRegion(face, windowSize, clientSize, kMagenta, opaque);
    }

    CTestDialog dialog{GetParam()};
    SIZE windowSize{};
    SIZE clientSize{};
};

TEST_P(SkinnedWindowRegionTest, PlainFormIsTheWindowRectangle)
{
    COwnedBitmap face = MakeHoledFace(clientSize);
    ASSERT_TRUE(dialog.AttachBitmap(face.Get()));
    COwnedRegion expected(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    EXPECT_TRUE(SameRegion(expected.Get(), WindowRegionOf(dialog.GetHandle()).Get(), windowSize));
}

TEST_P(SkinnedWindowRegionTest, ShapedFormCutsTheTransparentColourOut)
{
    COwnedBitmap face = MakeHoledFace(clientSize);
    ASSERT_TRUE(dialog.AttachBitmap(face.Get()));
    dialog.SetShape(true, kMagenta);

    const RECT none{0, 0, 0, 0};
    dialog.ApplyWindowRegion(none);
    COwnedRegion shaped = WindowRegionOf(dialog.GetHandle());
    EXPECT_TRUE(SameRegion(Reference(face.Get(), none).Get(), shaped.Get(), windowSize));
    EXPECT_FALSE(::PtInRegion(shaped.Get(), 0, 0)) << "the top left corner is cut off";

    // The left half taken as opaque keeps its holes.
    const RECT leftHalf{0, 0, clientSize.cx / 2, clientSize.cy};
    dialog.ApplyWindowRegion(leftHalf);
    COwnedRegion halfShaped = WindowRegionOf(dialog.GetHandle());
    EXPECT_TRUE(SameRegion(Reference(face.Get(), leftHalf).Get(), halfShaped.Get(), windowSize));
    EXPECT_TRUE(::PtInRegion(halfShaped.Get(), 0, 0));

    // Back to the plain form.
    dialog.SetShape(false, kMagenta);
    dialog.ApplyWindowRegion(none);
    COwnedRegion plain(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    EXPECT_TRUE(SameRegion(plain.Get(), WindowRegionOf(dialog.GetHandle()).Get(), windowSize));
}

TEST_P(SkinnedWindowRegionTest, EveryLoaderRebuildsTheShapeWithTheFlagsInForce)
{
    dialog.SetShape(true, kMagenta);
    const RECT none{0, 0, 0, 0};

    // A copied face smaller than the client area: the rest reads as opaque.
    COwnedBitmap small = MakeHoledFace(SIZE{clientSize.cx * 2 / 3, clientSize.cy * 2 / 3});
    ASSERT_TRUE(dialog.CopyBitmap(small.Get()));
    EXPECT_TRUE(SameRegion(Reference(small.Get(), none).Get(), WindowRegionOf(dialog.GetHandle()).Get(), windowSize));
    EXPECT_TRUE(::PtInRegion(WindowRegionOf(dialog.GetHandle()).Get(), clientSize.cx - 1, clientSize.cy - 1));

    // The stretched resource picture has no magenta: only the frame part and the face.
    ASSERT_TRUE(dialog.SetBitmapFromResource(IDB_SMALL_FACE));
    EXPECT_TRUE(SameRegion(Reference(dialog.GetFaceBitmap(), none).Get(), WindowRegionOf(dialog.GetHandle()).Get(),
                           windowSize));
}

TEST_P(SkinnedWindowRegionTest, ShapedFormWithoutAFaceIsTheWindowRectangle)
{
    dialog.SetShape(true, kMagenta);
    dialog.ApplyWindowRegion(RECT{0, 0, 0, 0});
    COwnedRegion plain(::CreateRectRgn(0, 0, windowSize.cx, windowSize.cy));
    EXPECT_TRUE(SameRegion(plain.Get(), WindowRegionOf(dialog.GetHandle()).Get(), windowSize));
}

INSTANTIATE_TEST_SUITE_P(Dialogs, SkinnedWindowRegionTest, ::testing::Values(IDD_MODEL, IDD_LANGUAGE),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return info.param == IDD_MODEL ? std::string("Framed") : std::string("Frameless");
                         });

}  // namespace
