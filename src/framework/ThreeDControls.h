// The optional three-dimensional controls library, loaded when present.
#pragma once

#include "base/Handles.h"

class CThreeDControls {
public:
    CThreeDControls() = default;
    ~CThreeDControls();
    CThreeDControls(const CThreeDControls&) = delete;
    CThreeDControls& operator=(const CThreeDControls&) = delete;

    // Registers the program with the library and lets it subclass the
    // program's dialogs; false (plain look) when the library is missing.
    bool Enable(HINSTANCE instance);

private:
    COwnedLibrary library;
    HINSTANCE registeredInstance = nullptr;
};
