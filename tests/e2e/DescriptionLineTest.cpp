// The description line under the real pointer: the text of the button the
// pointer rests on (its description while enabled, its reason while
// disabled), drawn in white on the face, and an empty line over everything
// else, with no trace of the old text left on the screen.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "ScreenProbe.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The face is dark; only drawn text comes this close to white.
constexpr int kNearWhite = 0xF0;
// A place on the screen that no window of the menu covers.
constexpr POINT kAwayFromMenu = {1200, 1000};

class DescriptionLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        seed.RemoveValue(kRunKey, "Splash");
        seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
        seed.RemoveKey(kSuiteUninstallKey);
        seed.RemoveKey(kWallpapersKey);
        seed.RemoveKey(kAfterEffectsPluginKey);
        disc.AddMenu();
        // The wallpapers are offered; the After Effects plug-in waits for the suite.
        disc.AddStub("Bonus\\DesktopWallpapers\\setup.exe");
        MovePointerTo(kAwayFromMenu);
        menu.reset(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        ASSERT_NE(nullptr, menu->WaitForWindow()) << "the menu window did not appear";
    }

    std::wstring LineText() const { return WideWindowText(menu->Control(IDC_DESCRIPTION)); }

    // Polls the line's text; true when it reads `expected` in time.
    bool WaitForLine(const std::wstring& expected) const
    {
        return PollUntil([&] { return LineText() == expected; }, kHoverTimeoutMs);
    }

    // Whether any pixel of the line's area on the screen is near white.
    bool LineShowsWhite() const
    {
        const RECT line = menu->ControlRect(IDC_DESCRIPTION);
        const CScreenShot shot(line);
        for (int y = line.top; y < line.bottom; ++y)
            for (int x = line.left; x < line.right; ++x) {
                const COLORREF seen = shot.Pixel(x, y);
                if (GetRValue(seen) >= kNearWhite && GetGValue(seen) >= kNearWhite && GetBValue(seen) >= kNearWhite)
                    return true;
            }
        return false;
    }

    // A point of the menu's face that lies on no control.
    POINT BareFacePoint() const
    {
        const RECT line = menu->ControlRect(IDC_DESCRIPTION);
        return POINT{line.left + 10, line.top - 20};
    }

    // A point on one of the never-shown buttons at the bottom edge that is
    // still inside the menu's outline; {-1, -1} when none is.
    POINT HiddenButtonPoint() const
    {
        for (const int id : {IDC_README, IDC_ACROBAT_READER, IDC_MANUAL}) {
            const RECT button = menu->ControlRect(id);
            for (int y = button.top; y < button.bottom; ++y)
                for (int x = button.left; x < button.right; x += 4) {
                    POINT client{x, y};
                    ::ScreenToClient(menu->Window(), &client);
                    if (::WindowFromPoint(POINT{x, y}) == menu->Window()
                        && ::ChildWindowFromPoint(menu->Window(), client) == menu->Control(id))
                        return POINT{x, y};
                }
        }
        return POINT{-1, -1};
    }

    CRegistrySeed seed;
    CTestDisc disc;
    std::unique_ptr<CMenuDriver> menu;
};

TEST_F(DescriptionLine, ShowsTheTextOfTheButtonUnderThePointerInWhite)
{
    const CProgramTexts texts(disc.MenuPath());
    ASSERT_TRUE(PollUntil([&] { return ::IsWindowEnabled(menu->Control(IDC_WALLPAPERS)) != FALSE; }, kWindowTimeoutMs));
    ASSERT_FALSE(::IsWindowEnabled(menu->Control(IDC_AFTER_EFFECTS_PLUGIN)));
    EXPECT_EQ(L"", LineText()) << "the line is not empty at the start";
    EXPECT_FALSE(LineShowsWhite());

    menu->PointAt(IDC_WALLPAPERS);
    EXPECT_TRUE(WaitForLine(texts.Text(IDS_WALLPAPERS_DESCRIPTION))) << "enabled entry";
    EXPECT_TRUE(PollUntil([&] { return LineShowsWhite(); }, kHoverTimeoutMs)) << "no white text in the line";

    // Its reason keeps the blank line between its two sentences.
    menu->PointAt(IDC_AFTER_EFFECTS_PLUGIN);
    EXPECT_TRUE(WaitForLine(texts.Text(IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100))) << "disabled entry";
    EXPECT_NE(std::wstring::npos, LineText().find(L"\n\n"));

    menu->PointAt(IDC_LANGUAGE);
    EXPECT_TRUE(WaitForLine(texts.Text(IDS_LANGUAGE_DESCRIPTION))) << "language button";

    menu->PointAt(IDOK);
    EXPECT_TRUE(WaitForLine(texts.Text(IDS_EXIT_DESCRIPTION))) << "Exit button";
    EXPECT_TRUE(LineShowsWhite());

    const POINT face = BareFacePoint();
    POINT faceInClient = face;
    ::ScreenToClient(menu->Window(), &faceInClient);
    ASSERT_EQ(menu->Window(), ::WindowFromPoint(face));
    ASSERT_EQ(menu->Window(), ::ChildWindowFromPoint(menu->Window(), faceInClient)) << "the point is on a control";
    MovePointerTo(face);
    EXPECT_TRUE(WaitForLine(L"")) << "bare face";
    EXPECT_TRUE(PollUntil([&] { return !LineShowsWhite(); }, kHoverTimeoutMs)) << "the old text stays on the face";
}

TEST_F(DescriptionLine, EmptiesOverTheHiddenButtonsAndOverItself)
{
    const POINT hidden = HiddenButtonPoint();
    ASSERT_NE(-1, hidden.x) << "no never-shown button lies inside the menu's outline";

    menu->PointAt(IDC_SUITE);
    ASSERT_TRUE(PollUntil([&] { return !LineText().empty(); }, kHoverTimeoutMs));
    MovePointerTo(hidden);
    EXPECT_TRUE(WaitForLine(L"")) << "never-shown button at " << hidden.x << ", " << hidden.y;

    menu->PointAt(IDC_SUITE);
    ASSERT_TRUE(PollUntil([&] { return !LineText().empty(); }, kHoverTimeoutMs));
    menu->PointAt(IDC_DESCRIPTION);
    EXPECT_TRUE(WaitForLine(L"")) << "the line itself";
    EXPECT_TRUE(PollUntil([&] { return !LineShowsWhite(); }, kHoverTimeoutMs));
}

}  // namespace
