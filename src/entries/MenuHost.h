// What the entries need from the window that shows them.
#pragma once

#include <windows.h>

class CHoverButton;

class CMenuHost {
public:
    virtual ~CMenuHost() = default;
    // The button of control `controlId`, or null when there is none (a
    // headless check of the disc).
    virtual CHoverButton* EntryButton(int controlId) = 0;
    // The menu window: owner of message boxes, hidden while installers run.
    virtual HWND MenuWindow() = 0;
    // Asks the user for the hardware model; 0 Vexa10, 1 Vexa100, 3 none.
    virtual int AskModel() = 0;
    // Called while the suite's clean-up program runs, before the menu waits
    // for it: work that the start-up needs later and that shows nothing may
    // be done here rather than on top of the wait. Nothing by default.
    virtual void WhileCleanUpRuns() {}
};
