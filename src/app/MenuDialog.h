// The menu's one window: a borderless, picture-faced dialog with a button per
// entry, the language and Exit buttons and the description line. Its
// initialisation is the menu's start-up sequence.
#pragma once

#include "controls/ColorLabel.h"
#include "controls/HoverButton.h"
#include "controls/SkinnedDialog.h"
#include "entries/MenuEntries.h"
#include "entries/MenuHost.h"
#include "entries/MenuState.h"

#include <string>

// The title that also tells a second copy that the menu is running.
constexpr char kMenuTitle[] = "Tavrin Vexa";

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Splash";
constexpr char kCodecKey[] = "Software\\Tavrin";
constexpr char kCodecValue[] = "Codec";

// The folder part of `path`: what stands before its last backslash, or
// nothing when it has none.
std::string FolderOfPath(const std::string& path);

// The disc root: the folder of the program that the Run value names (the
// value is then deleted), else the folder of `programPath`.
std::string FindDiscRoot(const std::string& programPath);

// The hardware model from the stored "Codec" value (4 is the Vexa10).
int ReadModel();

// The stored language code into `languageCode` (kept when none can be
// read), and the index of the language it names.
int ReadLanguage(DWORD& languageCode);

class CMenuDialog : public CSkinnedDialog, private CMenuHost {
public:
    CMenuDialog();
    ~CMenuDialog() override;

    const CMenuState& GetState() const noexcept { return state; }

    // Shows the description of the visible hover button under the pointer,
    // or empties the description line over anything else.
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    // Paints the face again under one control, at once.
    void RepaintControlArea(int controlId);
    // Opens the language dialog and relabels the menu on a new choice.
    void OnLanguage();
    // Shows or hides the eleven entry buttons that the language dialog covers.
    void ShowEntryButtons(bool show);

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void OnInstallSuite();
    template <int ControlId>
    void OnEntryClicked();
    void ShapeWindow();
    int SettleLanguage();
    void RedrawNow();

    CHoverButton* EntryButton(int controlId) override;
    HWND MenuWindow() override;
    int AskModel() override;

    // The hover button members with their controls, in declaration order.
    struct CButtonBinding {
        int controlId;
        CHoverButton CMenuDialog::*button;
    };
    static const CButtonBinding kButtonBindings[];

    CHoverButton lightWavePluginButton;
    CHoverButton languageButton;
    CHoverButton exitButton;
    CHoverButton vfwCodecsButton;
    CHoverButton hotfixButton;
    CHoverButton wallpapersButton;
    CHoverButton readmeButton;
    CHoverButton acrobatReaderButton;
    CHoverButton spiceMasterDemoButton;
    CHoverButton maxPluginButton;
    CHoverButton afterEffectsPluginButton;
    CHoverButton photoshopPluginButton;
    CHoverButton registerButton;
    CHoverButton suiteButton;
    CHoverButton manualButton;
    CHoverButton premiereUpdaterButton;
    CHoverButton effectAddOnsButton;
    CColorLabel descriptionLabel;
    HICON icon;
    CMenuState state;
    CMenuEntries entries;
};
