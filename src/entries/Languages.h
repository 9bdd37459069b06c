// The six languages of the menu: index, stored code, the system language
// that selects it at the first start, and its button and name.
#pragma once

#include <windows.h>

struct CLanguage {
    int index;  // 0 to 5; the string offset is index * 1000
    DWORD code;  // stored as "Language" and handed to installers
    WORD primaryLanguage;  // the system's primary language that picks it at the first start
    int buttonId;  // its button in the language dialog
    unsigned nameId;  // its own name, read at this fixed identifier
    bool linkedFont;  // its script is beyond the templates' raster font: drawn in a linked one
};

constexpr int kLanguageCount = 6;
constexpr int kLanguageOffsetStep = 1000;

extern const CLanguage kLanguages[kLanguageCount];

// The index of a stored code; every unknown code, 0 included, reads as English.
int LanguageIndexOfCode(DWORD code);

// The language chosen at the first start on a system whose default language
// identifier is `systemLanguage`: only its primary language counts.
const CLanguage& LanguageForSystem(LANGID systemLanguage);
