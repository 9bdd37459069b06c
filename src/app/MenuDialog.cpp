#include "MenuDialog.h"

#include "framework/Application.h"
#include "res/resource.h"
#include "system/Registry.h"

#include <vector>

namespace {

constexpr COLORREF kTransparentFaceColor = RGB(255, 0, 255);
// The whole of the main face picture, which is known to be opaque.
constexpr RECT kOpaqueFace = {0, 0, 763, 560};
constexpr int kModelCodecBase = 4;

// The full path of the running program, whatever its length.
std::string ProgramPath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string FolderOfPath(const std::string& path)
{
    const std::string::size_type lastBackslash = path.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash);
}

std::string FindDiscRoot(const std::string& programPath)
{
    std::string runValue;
    std::string discRoot;
    if (ReadRegString(kRunKey, kRunValue, runValue))
        discRoot = FolderOfPath(runValue);
    if (!discRoot.empty()) {
        DeleteRegValue(kRunKey, kRunValue);
        return discRoot;
    }
    return FolderOfPath(programPath);
}

int ReadModel()
{
    DWORD codec = 0;
    if (!ReadRegDword(kCodecKey, kCodecValue, codec))
        return kModelNone;
    return static_cast<int>(codec) - kModelCodecBase;
}

BEGIN_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)
    OnMessage<WM_PAINT, &CMenuDialog::OnPaint>(),
    OnMessage<WM_QUERYDRAGICON, &CMenuDialog::OnQueryDragIcon>(),
END_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)

CMenuDialog::CMenuDialog()
    : CSkinnedDialog(IDD_MENU, nullptr), icon(::LoadIconA(CApplication::Instance(), MAKEINTRESOURCEA(IDI_MENU)))
{
}

CMenuDialog::~CMenuDialog() = default;

void CMenuDialog::BindControls()
{
    BindControl(IDC_LIGHTWAVE_PLUGIN, lightWavePluginButton);
    BindControl(IDC_LANGUAGE, languageButton);
    BindControl(IDOK, exitButton);
    BindControl(IDC_VFW_CODECS, vfwCodecsButton);
    BindControl(IDC_HOTFIX, hotfixButton);
    BindControl(IDC_WALLPAPERS, wallpapersButton);
    BindControl(IDC_README, readmeButton);
    BindControl(IDC_ACROBAT_READER, acrobatReaderButton);
    BindControl(IDC_SPICEMASTER_DEMO, spiceMasterDemoButton);
    BindControl(IDC_MAX_PLUGIN, maxPluginButton);
    BindControl(IDC_AFTER_EFFECTS_PLUGIN, afterEffectsPluginButton);
    BindControl(IDC_PHOTOSHOP_PLUGIN, photoshopPluginButton);
    BindControl(IDC_REGISTER, registerButton);
    BindControl(IDC_SUITE, suiteButton);
    BindControl(IDC_MANUAL, manualButton);
    BindControl(IDC_PREMIERE_UPDATER, premiereUpdaterButton);
    BindControl(IDC_EFFECT_ADDONS, effectAddOnsButton);
    BindControl(IDC_DESCRIPTION, descriptionLabel);
}

BOOL CMenuDialog::OnInitDialog()
{
    CSkinnedDialog::OnInitDialog();
    state.discRoot = FindDiscRoot(ProgramPath());

    ::SetWindowTextA(window, kMenuTitle);
    // The style bit only: the frame goes when the window region is applied.
    ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) & ~WS_BORDER);
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    ShapeWindow();
    state.model = ReadModel();
    ::SendMessageA(window, DM_SETDEFID, IDC_SUITE, 0);
    return TRUE;
}

// Gives the window its face and outline and every button its picture strip.
void CMenuDialog::ShapeWindow()
{
    SetBitmapFromResource(IDB_MAIN_FACE);
    shapedRegion = true;
    transparentColor = kTransparentFaceColor;
    transparentStatics = true;
    dragByBody = true;
    ApplyWindowRegion(kOpaqueFace);

    CHoverButton* textButtons[] = {&lightWavePluginButton, &languageButton, &vfwCodecsButton, &hotfixButton,
                                   &wallpapersButton, &readmeButton, &acrobatReaderButton, &spiceMasterDemoButton,
                                   &maxPluginButton, &afterEffectsPluginButton, &photoshopPluginButton,
                                   &registerButton, &suiteButton, &manualButton, &premiereUpdaterButton,
                                   &effectAddOnsButton};
    for (CHoverButton* button : textButtons)
        button->LoadStrip(IDB_TEXT_STRIP);
    exitButton.LoadStrip(IDB_EXIT_STRIP);
}

void CMenuDialog::OnOK()
{
    EndDialog(0);
}

void CMenuDialog::OnCancel()
{
    OnOK();
}

LRESULT CMenuDialog::OnPaint(WPARAM, LPARAM)
{
    if (!::IsIconic(window))
        return Default();
    CPaintDc paint(window);
    ::SendMessageA(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client{};
    ::GetClientRect(window, &client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(paint.Get(), x, y, icon);
    return 0;
}

LRESULT CMenuDialog::OnQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(icon);
}
