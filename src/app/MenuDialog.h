// The menu's one window: a borderless, picture-faced dialog with a button per
// entry, the language and Exit buttons and the description line. Its
// initialisation is the menu's start-up sequence.
#pragma once

#include "controls/ColorLabel.h"
#include "controls/HoverButton.h"
#include "controls/SkinnedDialog.h"
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

class CMenuDialog : public CSkinnedDialog {
public:
    CMenuDialog();
    ~CMenuDialog() override;

    const CMenuState& GetState() const noexcept { return state; }

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void ShapeWindow();

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
};
