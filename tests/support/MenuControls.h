// The controls of the menu that its refresh labels, for the tests and the
// benchmarks that stand a window of buttons in for the menu's.
#pragma once

#include "res/resource.h"

// The fifteen entries, the language and Exit buttons, in template order.
constexpr int kMenuControls[] = {
    IDOK,
    IDC_MANUAL,
    IDC_PREMIERE_UPDATER,
    IDC_SUITE,
    IDC_REGISTER,
    IDC_AFTER_EFFECTS_PLUGIN,
    IDC_MAX_PLUGIN,
    IDC_SPICEMASTER_DEMO,
    IDC_HOTFIX,
    IDC_README,
    IDC_WALLPAPERS,
    IDC_VFW_CODECS,
    IDC_LANGUAGE,
    IDC_ACROBAT_READER,
    IDC_LIGHTWAVE_PLUGIN,
    IDC_EFFECT_ADDONS,
    IDC_PHOTOSHOP_PLUGIN,
};
