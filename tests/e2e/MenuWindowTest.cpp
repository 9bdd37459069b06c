// The menu as a user meets it: the window that appears, the one-copy rule,
// the ways to close it, and the Run value it takes its disc from.
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

// The face picture's size, which the template's dialog units come to with
// the dialog font on a screen of normal font size.
constexpr int kFaceWidth = 763;
constexpr int kFaceHeight = 560;
constexpr int kSizeTolerance = 24;
// A second copy that finds the first one ends well within this.
constexpr DWORD kQuickExitMs = 5000;

// A fixture disc holding only the menu, and the menu started from it.
class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No value left by an earlier run may redirect the disc.
        seed.RemoveValue(kRunKey, kRunValue);
        disc.AddMenu();
    }

    // Starts the menu and waits for its window.
    CMenuDriver& StartMenu()
    {
        menus.emplace_back(new CMenuDriver(disc.MenuPath(), disc.LogPath()));
        CMenuDriver& menu = *menus.back();
        EXPECT_NE(nullptr, menu.WaitForWindow()) << "the menu window did not appear";
        return menu;
    }

    CRegistrySeed seed;
    CTestDisc disc;
    std::vector<std::unique_ptr<CMenuDriver>> menus;
};

struct CControlLook {
    const char* className;
    bool visible;
};

TEST_F(MenuWindow, AppearsTitledWithTheEighteenControlsOfItsTemplate)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    char title[64] = {};
    ::GetWindowTextA(menu.Window(), title, sizeof(title));
    EXPECT_STREQ(kMenuWindowTitle, title);
    EXPECT_EQ(kDialogClass, WindowClassName(menu.Window()));
    EXPECT_EQ(0, ::GetWindowLongA(menu.Window(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) << "no frame";
    EXPECT_TRUE(::GetWindowLongA(menu.Window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

    const std::map<int, CControlLook> expected = {
        {IDC_SUITE, {"Button", true}},
        {IDC_HOTFIX, {"Button", true}},
        {IDC_EFFECT_ADDONS, {"Button", true}},
        {IDC_WALLPAPERS, {"Button", true}},
        {IDC_VFW_CODECS, {"Button", true}},
        {IDC_REGISTER, {"Button", true}},
        {IDC_AFTER_EFFECTS_PLUGIN, {"Button", true}},
        {IDC_PHOTOSHOP_PLUGIN, {"Button", true}},
        {IDC_MAX_PLUGIN, {"Button", true}},
        {IDC_LIGHTWAVE_PLUGIN, {"Button", true}},
        {IDC_SPICEMASTER_DEMO, {"Button", true}},
        {IDC_PREMIERE_UPDATER, {"Button", true}},
        {IDC_LANGUAGE, {"Button", true}},
        {IDC_ACROBAT_READER, {"Button", false}},
        {IDC_MANUAL, {"Button", false}},
        {IDC_README, {"Button", false}},
        {IDOK, {"Button", true}},
        {IDC_DESCRIPTION, {"Static", true}},
    };
    int children = 0;
    for (HWND child = ::GetWindow(menu.Window(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(18, children);
    for (const auto& [id, look] : expected) {
        SCOPED_TRACE("control " + std::to_string(id));
        const HWND control = menu.Control(id);
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(0, _stricmp(look.className, WindowClassName(control).c_str())) << WindowClassName(control);
        EXPECT_EQ(look.visible, ::IsWindowVisible(control) != FALSE);
        if (std::string(look.className) == "Button") {
            EXPECT_EQ(BS_OWNERDRAW, ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK);
        }
    }

    RECT window{};
    ::GetWindowRect(menu.Window(), &window);
    EXPECT_NEAR(kFaceWidth, window.right - window.left, kSizeTolerance);
    EXPECT_NEAR(kFaceHeight, window.bottom - window.top, kSizeTolerance);
}

TEST_F(MenuWindow, SecondStartEndsAtOnceAndLeavesTheOpenMenuAlone)
{
    CMenuDriver& first = StartMenu();
    ASSERT_NE(nullptr, first.Window());

    CMenuDriver second(disc.MenuPath(), disc.LogPath());
    EXPECT_TRUE(second.WaitForExit(kQuickExitMs));

    EXPECT_EQ(1u, FindTopLevelWindows(kMenuWindowTitle).size());
    EXPECT_FALSE(first.HasEnded());
    EXPECT_TRUE(::IsWindowVisible(first.Window()));
}

TEST_F(MenuWindow, AnyOtherWindowWithTheTitleCountsAsARunningCopy)
{
    for (const bool visible : {false, true}) {
        SCOPED_TRACE(visible ? "visible window" : "hidden window");
        const COwnedWindow other = CreateTitledWindow(kMenuWindowTitle, visible);
        ASSERT_TRUE(other);

        CMenuDriver menu(disc.MenuPath(), disc.LogPath());
        EXPECT_TRUE(menu.WaitForExit(kQuickExitMs));
        EXPECT_TRUE(FindTopLevelWindows(kMenuWindowTitle, nullptr, menu.ProcessId()).empty());
    }
}

enum class CloseWay { ExitButton, EscapeKey, CloseMessage, CloseCommand };

const char* const kCloseWayNames[] = {"ExitButton", "EscapeKey", "CloseMessage", "CloseCommand"};

// Test names for the closing paths.
std::string CloseWayName(const ::testing::TestParamInfo<CloseWay>& info)
{
    return kCloseWayNames[static_cast<int>(info.param)];
}

// How GoogleTest shows a closing path.
void PrintTo(CloseWay way, std::ostream* out)
{
    *out << kCloseWayNames[static_cast<int>(way)];
}

class MenuClosing : public MenuWindow, public ::testing::WithParamInterface<CloseWay> {};

TEST_P(MenuClosing, EndsTheProgram)
{
    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    switch (GetParam()) {
    case CloseWay::ExitButton:
        menu.Click(IDOK);
        break;
    case CloseWay::EscapeKey:
        menu.PressKey(VK_ESCAPE);
        break;
    case CloseWay::CloseMessage:
        menu.PostClose();
        break;
    case CloseWay::CloseCommand:
        menu.PostSystemClose();
        break;
    }
    EXPECT_TRUE(menu.WaitForExit());
    EXPECT_TRUE(FindTopLevelWindows(kMenuWindowTitle).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryWay, MenuClosing,
                         ::testing::Values(CloseWay::ExitButton, CloseWay::EscapeKey, CloseWay::CloseMessage,
                                           CloseWay::CloseCommand),
                         CloseWayName);

TEST_F(MenuWindow, RunValueWithAFolderIsReadAndDeleted)
{
    seed.SetString(kRunKey, kRunValue, "C:\\No Such Disc\\Setup\\Splash.exe");

    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    std::string left;
    EXPECT_FALSE(ReadStringValue(kRunKey, kRunValue, left)) << "still there: " << left;
}

TEST_F(MenuWindow, RunValueWithoutABackslashStays)
{
    seed.SetString(kRunKey, kRunValue, "Splash.exe");

    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    std::string left;
    ASSERT_TRUE(ReadStringValue(kRunKey, kRunValue, left));
    EXPECT_EQ("Splash.exe", left);
}

// The clean-up tool that runs at start-up shows which disc the menu took:
// the one of the program the Run value names, not its own.
TEST_F(MenuWindow, RunValueNamesTheDiscTheCleanUpToolIsStartedFrom)
{
    disc.AddStub("Nimbo\\NimboCleanup.fix");
    disc.AddStub("Other Disc\\Nimbo\\NimboCleanup.fix");
    seed.SetString(kRunKey, kRunValue, disc.PathOf("Other Disc\\Splash.exe"));

    CMenuDriver& menu = StartMenu();
    ASSERT_NE(nullptr, menu.Window());

    const std::vector<CStubRecord> starts = disc.Starts();
    ASSERT_FALSE(starts.empty()) << "the clean-up tool was not started";
    for (const CStubRecord& start : starts) {
        EXPECT_EQ(disc.PathOf("Other Disc\\Nimbo\\NimboCleanup.fix"), start.program);
        EXPECT_NE(std::string::npos, start.commandLine.find("/Silent")) << start.commandLine;
    }
}

}  // namespace
