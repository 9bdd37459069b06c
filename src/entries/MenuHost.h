// What the entries need from the window that shows them.
#pragma once

#include "MenuState.h"

#include <windows.h>

#include <optional>
#include <string>

// What one button of the menu shows, in UTF-16 as the string table holds it.
struct CEntryView {
    std::optional<std::wstring> label;  // the caption in every state; none: the button keeps its own
    std::wstring description;  // shown while the button is enabled
    std::wstring reason;  // shown while it is greyed
    bool enabled = true;
};

class CMenuHost {
public:
    virtual ~CMenuHost() = default;
    // Shows `view` on the button of control `controlId`. A host without
    // that button (a headless check of the disc) lets it go.
    virtual void ShowEntry(int controlId, const CEntryView& view) = 0;
    // Gives the button of control `controlId` a tooltip that says `text`.
    virtual void ShowTooltip(int controlId, const std::wstring& text) = 0;
    // The menu window: owner of message boxes, hidden while installers run.
    virtual HWND MenuWindow() = 0;
    // Asks the user for the hardware model; 0 Vexa10, 1 Vexa100, 3 none.
    virtual int AskModel() = 0;
};

// The menu seen without a window (a check of the disc): no buttons, no
// owner, no questions; the model stays unknown.
class CHeadlessMenuHost : public CMenuHost {
public:
    void ShowEntry(int, const CEntryView&) override {}
    void ShowTooltip(int, const std::wstring&) override {}
    HWND MenuWindow() override { return nullptr; }
    int AskModel() override { return kModelNone; }
};
