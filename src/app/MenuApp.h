// The application object: one copy of the menu at a time.
#pragma once

#include "framework/Application.h"

class CMenuApp : public CApplication {
public:
    CMenuApp() = default;
    ~CMenuApp() override;

    // Runs the menu unless another copy has claimed it or has a window, or
    // starts the program again with administrator rights when it lacks
    // them; always false.
    bool InitInstance() override;
};
