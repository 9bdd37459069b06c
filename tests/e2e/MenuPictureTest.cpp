// The menu's look on the screen, probed at known places: the frames of the
// buttons in their states, the face behind the description line and the
// window's outline. Colours are compared with a small tolerance, since the
// pictures are stretched to the window's size.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "ScreenProbe.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

constexpr COLORREF kTextFill = RGB(0x14, 0x3D, 0x53);
constexpr COLORREF kLitFill = RGB(0x6F, 0x98, 0xAE);
constexpr COLORREF kExitFill = RGB(0x3C, 0x65, 0x7B);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr int kFillTolerance = 8;
// Where the face is compared with the picture it is stretched from.
constexpr int kFaceTolerance = 16;
// The description line writes white text on the face: it must stay dark.
constexpr int kDarkFace = 0x50;
constexpr int kExitFrameSize = 21;
constexpr DWORD kPaintTimeoutMs = 3000;
// Blank pixels every caption leaves on each side of its button; how many
// more pixels a centred caption may leave on one side than on the other:
// its first and last letters carry blank columns in their advance.
constexpr int kCaptionMargin = 4;
constexpr int kCentringTolerance = 2;
// The shown entry buttons and the language button.
constexpr int kCaptionedButtons[]
    = {IDC_SUITE,      IDC_HOTFIX,           IDC_EFFECT_ADDONS,        IDC_WALLPAPERS,
       IDC_VFW_CODECS, IDC_REGISTER,         IDC_AFTER_EFFECTS_PLUGIN, IDC_PHOTOSHOP_PLUGIN,
       IDC_MAX_PLUGIN, IDC_LIGHTWAVE_PLUGIN, IDC_SPICEMASTER_DEMO,     IDC_PREMIERE_UPDATER,
       IDC_LANGUAGE};
// A place on the screen that no window of the menu covers.
constexpr POINT kAwayFromMenu = {1200, 1000};

// The main face picture read from the program file itself.
class CFacePicture {
public:
    explicit CFacePicture(const std::string& programPath)
    {
        const COwnedLibrary module(::LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        const HRSRC resource
            = module ? ::FindResourceA(module.Get(), MAKEINTRESOURCEA(IDB_MAIN_FACE), MAKEINTRESOURCEA(2)) : nullptr;
        const HGLOBAL loaded = resource ? ::LoadResource(module.Get(), resource) : nullptr;
        const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(::LockResource(loaded)) : nullptr;
        if (header == nullptr || header->biBitCount != 24 || header->biHeight <= 0)
            throw std::runtime_error("no 24-bit main face in " + programPath);
        width = header->biWidth;
        height = header->biHeight;
        const int stride = (width * 3 + 3) & ~3;
        const auto* bits = reinterpret_cast<const BYTE*>(header) + header->biSize;
        pixels.assign(bits, bits + static_cast<size_t>(stride) * height);
    }

    int Width() const noexcept { return width; }
    int Height() const noexcept { return height; }

    // The picture's colour at a point given from the top left.
    COLORREF Pixel(int x, int y) const
    {
        const int stride = (width * 3 + 3) & ~3;
        const BYTE* at = &pixels[static_cast<size_t>(height - 1 - y) * stride + x * 3];
        return RGB(at[2], at[1], at[0]);
    }

private:
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;
};

struct CTooltipSearch {
    DWORD processId;
    bool shown;
};

BOOL CALLBACK FindShownTooltip(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<CTooltipSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) && WindowClassName(window) == "tooltips_class32")
        search->shown = true;
    return TRUE;
}

// Whether a tooltip window of the process shows.
bool ShowsTooltip(DWORD processId)
{
    CTooltipSearch search{processId, false};
    ::EnumWindows(&FindShownTooltip, reinterpret_cast<LPARAM>(&search));
    return search.shown;
}

class MenuPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kRunKey, kRunValue);
        disc.AddMenu();
        MovePointerTo(kAwayFromMenu);
    }

    CMenuDriver& StartMenu()
    {
        menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        EXPECT_NE(nullptr, menu->WaitForWindow()) << "the menu window did not appear";
        return *menu;
    }

    // Polls the screen until the point shows a colour near `expected`; the
    // last colour seen.
    static COLORREF WaitForColor(POINT point, COLORREF expected, int tolerance = kFillTolerance)
    {
        COLORREF seen = CLR_INVALID;
        PollUntil(
            [&] {
                seen = ScreenPixel(point.x, point.y);
                return ColorsNear(seen, expected, tolerance);
            },
            kHoverTimeoutMs);
        return seen;
    }

    // A point inside a text button's border, clear of its centred caption.
    static POINT InsideTextFrame(const RECT& button) { return POINT{button.left + 3, button.top + 3}; }

    // The blank columns left and right of the caption on a text button as
    // the screen shows it: every column inside the one-pixel border that
    // holds a pixel other than the frame's fill is ink. False while the
    // button shows no frame or no caption.
    static bool CaptionMargins(const RECT& button, int& left, int& right)
    {
        const CScreenShot shot(button);
        const POINT fillPoint = InsideTextFrame(button);
        const COLORREF fill = shot.Pixel(fillPoint.x, fillPoint.y);
        if (!ColorsNear(fill, kTextFill, kFillTolerance))
            return false;
        int first = -1;
        int last = -1;
        for (int x = button.left + 1; x < button.right - 1; ++x) {
            for (int y = button.top + 1; y < button.bottom - 1; ++y) {
                if (!ColorsNear(shot.Pixel(x, y), fill, kFillTolerance)) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        left = first - button.left;
        right = button.right - 1 - last;
        return first >= 0;
    }

    // A point of the Exit button's fill beside its cross (4, 10 of 21 x 21).
    static POINT ExitFillPoint(const RECT& button)
    {
        return POINT{button.left + 4 * (button.right - button.left) / kExitFrameSize,
                     button.top + 10 * (button.bottom - button.top) / kExitFrameSize};
    }

    CRegistrySeed seed;
    CTestDisc disc;
    std::unique_ptr<CMenuDriver> menu;
};

TEST_F(MenuPicture, TextButtonsShowTheNormalFrameAndLightUpUnderThePointer)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    for (const int id : {IDC_SUITE, IDC_PREMIERE_UPDATER, IDC_LANGUAGE}) {
        SCOPED_TRACE("control " + std::to_string(id));
        const RECT button = menu.ControlRect(id);
        EXPECT_TRUE(ColorsNear(kTextFill, WaitForColor(InsideTextFrame(button), kTextFill), kFillTolerance))
            << ColorText(ScreenPixel(InsideTextFrame(button).x, InsideTextFrame(button).y));
        const COLORREF border = ScreenPixel(button.left, (button.top + button.bottom) / 2);
        EXPECT_LT(Brightness(border), 0x30) << "border " << ColorText(border);
    }

    // The language button is enabled whatever the disc holds.
    const RECT language = menu.ControlRect(IDC_LANGUAGE);
    menu.PointAt(IDC_LANGUAGE);
    const COLORREF lit = WaitForColor(InsideTextFrame(language), kLitFill);
    EXPECT_TRUE(ColorsNear(kLitFill, lit, kFillTolerance)) << "hover frame shows " << ColorText(lit);

    MovePointerTo(kAwayFromMenu);
    const COLORREF left = WaitForColor(InsideTextFrame(language), kTextFill);
    EXPECT_TRUE(ColorsNear(kTextFill, left, kFillTolerance)) << "after leaving: " << ColorText(left);
}

TEST_F(MenuPicture, ExitButtonShowsItsCrossFrameAndLightsUpUnderThePointer)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    const RECT exit = menu.ControlRect(IDOK);
    const POINT fill = ExitFillPoint(exit);
    const POINT centre = menu.ControlCentre(IDOK);
    const COLORREF normal = WaitForColor(fill, kExitFill);
    EXPECT_TRUE(ColorsNear(kExitFill, normal, kFillTolerance)) << ColorText(normal);
    const COLORREF cross = ScreenPixel(centre.x, centre.y);
    EXPECT_TRUE(ColorsNear(kWhite, cross, kFillTolerance)) << "cross " << ColorText(cross);

    menu.PointAt(IDOK);
    const COLORREF lit = WaitForColor(fill, kLitFill);
    EXPECT_TRUE(ColorsNear(kLitFill, lit, kFillTolerance)) << "hover frame shows " << ColorText(lit);
}

// The German captions are the longest: each stands in the middle of its
// button with room on both sides, whole, as the screen shows it.
TEST_F(MenuPicture, CaptionsStandCentredOnTheirButtonsWithRoomOnBothSides)
{
    seed.SetDword(kLanguageKey, kLanguageValue, kGermanCode);
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    for (const int id : kCaptionedButtons) {
        SCOPED_TRACE("control " + std::to_string(id));
        const RECT button = menu.ControlRect(id);
        int left = -1;
        int right = -1;
        // A shot may catch the button half painted: wait for the picture to settle.
        const bool shown = PollUntil(
            [&] {
                return CaptionMargins(button, left, right) && std::min(left, right) >= kCaptionMargin
                    && std::abs(left - right) <= kCentringTolerance;
            },
            kPaintTimeoutMs);
        EXPECT_TRUE(shown || left >= 0) << "no caption on the screen";
        EXPECT_GE(left, kCaptionMargin);
        EXPECT_GE(right, kCaptionMargin);
        EXPECT_LE(std::abs(left - right), kCentringTolerance) << "left " << left << ", right " << right;
    }
}

// The tooltip is made only when the pointer first reaches the button, from
// the common controls that the menu loads then: it must still show.
TEST_F(MenuPicture, ExitButtonShowsItsTooltipWhileThePointerRestsOnIt)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());
    const DWORD processId = menu.ProcessId();
    auto tooltipShown = [processId] { return ShowsTooltip(processId); };
    EXPECT_FALSE(tooltipShown());
    const POINT centre = menu.ControlCentre(IDOK);
    // A few small moves, as a hand makes: the first one makes the tooltip.
    for (int step = 0; step < 3; ++step) {
        MovePointerTo(POINT{centre.x - 2 + 2 * step, centre.y});
        ::Sleep(50);
    }
    EXPECT_TRUE(PollUntil(tooltipShown, 3 * kHoverTimeoutMs)) << "no tooltip over the Exit button";
}

TEST_F(MenuPicture, DescriptionLineLetsTheDarkFaceShowThrough)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());
    const CFacePicture face(disc.MenuPath());

    RECT client{};
    ::GetClientRect(menu.Window(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(menu.Window(), &origin);
    const RECT line = menu.ControlRect(IDC_DESCRIPTION);
    const int width = line.right - line.left;
    const int height = line.bottom - line.top;
    const COLORREF dialogGrey = ::GetSysColor(COLOR_BTNFACE);

    // Let the first paint finish before the shot.
    const POINT middle{line.left + width / 2, line.top + height / 2};
    WaitForColor(middle,
                 face.Pixel((middle.x - origin.x) * face.Width() / client.right,
                            (middle.y - origin.y) * face.Height() / client.bottom),
                 kFaceTolerance);
    const CScreenShot shot(line);
    for (int row = 1; row <= 3; ++row) {
        for (int column = 1; column <= 4; ++column) {
            const int x = line.left + column * width / 5;
            const int y = line.top + row * height / 4;
            const COLORREF seen = shot.Pixel(x, y);
            const COLORREF painted = face.Pixel((x - origin.x) * face.Width() / client.right,
                                                (y - origin.y) * face.Height() / client.bottom);
            SCOPED_TRACE("at " + std::to_string(x) + ", " + std::to_string(y));
            EXPECT_LT(Brightness(seen), kDarkFace) << ColorText(seen);
            EXPECT_FALSE(ColorsNear(seen, dialogGrey, kFillTolerance)) << "the static paints a grey ground";
            EXPECT_TRUE(ColorsNear(painted, seen, kFaceTolerance))
                << "screen " << ColorText(seen) << ", face " << ColorText(painted);
        }
    }
}

TEST_F(MenuPicture, WindowOutlineIsTheFaceWithTheScreenRightOutsideIt)
{
    const CScreenShot before(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());
    const CFacePicture face(disc.MenuPath());

    RECT window{};
    ::GetWindowRect(menu.Window(), &window);
    RECT client{};
    ::GetClientRect(menu.Window(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(menu.Window(), &origin);
    // What the window really covers is its region, where it has one.
    RECT visible = window;
    const COwnedRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(menu.Window(), region.Get()) != ERROR) {
        RECT box{};
        ::GetRgnBox(region.Get(), &box);
        ::OffsetRect(&box, window.left, window.top);
        ::IntersectRect(&visible, &visible, &box);
    }
    const auto faceAt = [&](int x, int y) {
        return face.Pixel((x - origin.x) * face.Width() / client.right, (y - origin.y) * face.Height() / client.bottom);
    };
    const int midX = (visible.left + visible.right) / 2;
    const int midY = (visible.top + visible.bottom) / 2;

    // Inside, along every edge: the face, not a frame.
    WaitForColor(POINT{visible.right - 1, midY}, faceAt(visible.right - 1, midY), kFaceTolerance);
    const CScreenShot after(before.Area());
    const POINT inside[] = {{visible.left, midY},
                            {visible.right - 1, midY},
                            {midX, visible.top},
                            {midX, visible.bottom - 1},
                            {visible.right - 1, visible.bottom - 1}};
    for (const POINT& point : inside) {
        SCOPED_TRACE("inside at " + std::to_string(point.x) + ", " + std::to_string(point.y));
        EXPECT_TRUE(ColorsNear(faceAt(point.x, point.y), after.Pixel(point.x, point.y), kFaceTolerance))
            << "screen " << ColorText(after.Pixel(point.x, point.y)) << ", face "
            << ColorText(faceAt(point.x, point.y));
    }
    // Right outside: the screen as it was before the menu came.
    std::vector<POINT> outside = {{visible.right, midY}, {midX, visible.bottom}, {visible.right, visible.bottom}};
    if (visible.left > 0)
        outside.push_back({visible.left - 1, midY});
    if (visible.top > 0)
        outside.push_back({midX, visible.top - 1});
    for (const POINT& point : outside) {
        SCOPED_TRACE("outside at " + std::to_string(point.x) + ", " + std::to_string(point.y));
        EXPECT_EQ(ColorText(before.Pixel(point.x, point.y)), ColorText(after.Pixel(point.x, point.y)));
    }
}

}  // namespace
