// The font for texts whose script the dialogs' own font cannot draw.
#pragma once

#include "base/Handles.h"

#include <windows.h>

// Tahoma at the size of `templateFont` (a dialog's font). The templates'
// "MS Sans Serif" is a raster font: Windows links no font to it, so every
// character it lacks shows as a box. Tahoma is on every Windows from XP on,
// and it is one of the fonts that Windows links by default
// (FontLink\SystemLink) to the East Asian fonts, to MS UI Gothic
// (msgothic.ttc) first for Japanese; Windows 10's "Segoe UI" links to
// Tahoma and then to the Japanese fonts in the same way. The Japanese glyphs
// thus come from the system's own Japanese font, and the Latin letters of a
// caption stay close to the templates' look. A null font when none can be
// made: the caller then keeps its own.
COwnedFont CreateLinkedFont(HFONT templateFont);
