// The common controls library, which the hover button's tooltip needs.
#pragma once

// Loads the library from the system folder by full path, once for the
// process, and registers its window classes; false (no tooltips) when the
// system has none. comctl32.dll is no library that Windows always takes
// from the system folder, so the program does not import it.
bool LoadCommonControls();
