#include "Languages.h"

#include "res/resource.h"

namespace {
constexpr WORD kPrimaryLanguageMask = 0x3FF;
}

// French is stored as its full identifier for France (0x40C), not as its
// primary language number.
const CLanguage kLanguages[kLanguageCount] = {
    {0, 9, LANG_ENGLISH, IDC_ENGLISH, IDS_ENGLISH_NAME, false},
    {1, 1036, LANG_FRENCH, IDC_FRENCH, IDS_FRENCH_NAME, false},
    {2, 7, LANG_GERMAN, IDC_GERMAN, IDS_GERMAN_NAME, false},
    {3, 16, LANG_ITALIAN, IDC_ITALIAN, IDS_ITALIAN_NAME, false},
    {4, 10, LANG_SPANISH, IDC_SPANISH, IDS_SPANISH_NAME, false},
    {5, 17, LANG_JAPANESE, IDC_JAPANESE, IDS_JAPANESE_NAME, true},
};

int LanguageIndexOfCode(DWORD code)
{
    for (const CLanguage& language : kLanguages) {
        if (language.code == code)
            return language.index;
    }
    return 0;
}

const CLanguage& LanguageForSystem(LANGID systemLanguage)
{
    const WORD primary = systemLanguage & kPrimaryLanguageMask;
    for (const CLanguage& language : kLanguages) {
        if (language.primaryLanguage == primary)
            return language;
    }
    return kLanguages[0];
}
