// The menu started from the disc image's files on a CD-ROM drive letter,
// which make_disc_test.sh maps and names in SPLASH_CDROM_ROOT ("D:").
#include "../support/RegistrySeed.h"
#include "../support/TestDisc.h"
#include "Driver.h"
#include "res/resource.h"
#include "system/RegistryNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// The sample disc on a machine with nothing installed and no model stored.
constexpr int kOffered[]
    = {IDC_SUITE, IDC_SPICEMASTER_DEMO, IDC_ACROBAT_READER, IDC_README, IDC_WALLPAPERS, IDC_VFW_CODECS};
constexpr int kNotOffered[]
    = {IDC_HOTFIX,   IDC_PREMIERE_UPDATER, IDC_AFTER_EFFECTS_PLUGIN, IDC_MAX_PLUGIN,   IDC_PHOTOSHOP_PLUGIN,
       IDC_REGISTER, IDC_MANUAL,           IDC_LIGHTWAVE_PLUGIN,     IDC_EFFECT_ADDONS};

TEST(DiscImage, MenuOnACdRomDriveShowsTheSampleDiscAndTakesTheDriveAsItsRoot)
{
    const char* drive = std::getenv("SPLASH_CDROM_ROOT");
    ASSERT_NE(nullptr, drive) << "SPLASH_CDROM_ROOT names no drive: run make_disc_test.sh";
    const std::string root = drive;
    ASSERT_EQ(static_cast<UINT>(DRIVE_CDROM), ::GetDriveTypeA((root + "\\").c_str())) << root << " is no CD-ROM drive";

    CRegistrySeed seed;
    seed.RemoveValue(kRunKey, kRunValue);
    seed.SetDword(kLanguageKey, kLanguageValue, kEnglishCode);
    // Only its log is used: the programs run from the drive.
    CTestDisc logHolder;
    // Started as autorun starts it, in the drive's root.
    CMenuDriver menu(root + "\\Splash.exe", logHolder.LogPath(), root + "\\");
    ASSERT_NE(nullptr, menu.WaitForWindow()) << "the menu window did not appear";
    for (const int id : kOffered)
        EXPECT_TRUE(::IsWindowEnabled(menu.Control(id))) << "entry " << id << " is not offered";
    for (const int id : kNotOffered)
        EXPECT_FALSE(::IsWindowEnabled(menu.Control(id))) << "entry " << id << " is offered";

    // The clean-up program at start-up and the demo on a click both come from the drive.
    ASSERT_FALSE(logHolder.Starts().empty()) << "the clean-up program did not start";
    EXPECT_EQ(root + "\\Nimbo\\NimboCleanup.fix", logHolder.Starts().front().program);
    const std::string demo = root + "\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe";
    menu.Click(IDC_SPICEMASTER_DEMO);
    EXPECT_TRUE(PollUntil([&] { return logHolder.Starts().back().program == demo; }, kWindowTimeoutMs));

    menu.PostClose();
    EXPECT_TRUE(menu.WaitForExit()) << "the menu did not close";
}

}  // namespace
