#include "MenuDialog.h"

#include "LanguageDialog.h"
#include "Languages.h"
#include "ModelDialog.h"
#include "framework/Application.h"
#include "framework/StartupClock.h"
#include "res/resource.h"
#include "system/Registry.h"

#include <vector>

namespace {

constexpr COLORREF kTransparentFaceColor = RGB(255, 0, 255);
// The whole of the main face picture, which is known to be opaque.
constexpr RECT kOpaqueFace = {0, 0, 763, 560};
constexpr int kModelCodecBase = 4;
constexpr COLORREF kDescriptionColor = RGB(255, 255, 255);
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// The entry buttons that the language dialog covers while it is open.
constexpr int kCoveredEntryButtons[] = {IDC_SUITE,     IDC_AFTER_EFFECTS_PLUGIN, IDC_MAX_PLUGIN,
                                        IDC_LIGHTWAVE_PLUGIN, IDC_EFFECT_ADDONS, IDC_REGISTER,
                                        IDC_WALLPAPERS, IDC_VFW_CODECS, IDC_SPICEMASTER_DEMO,
                                        IDC_PHOTOSHOP_PLUGIN, IDC_HOTFIX};

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
    // Unsigned arithmetic: a stored 0x80000000 must not overflow.
    return static_cast<int>(codec - kModelCodecBase);
}

int ReadLanguage(DWORD& languageCode)
{
    ReadRegDword(kLanguageKey, kLanguageValue, languageCode);
    return LanguageIndexOfCode(languageCode);
}

BEGIN_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)
    OnMessage<WM_PAINT, &CMenuDialog::OnPaint>(),
    OnMessage<WM_QUERYDRAGICON, &CMenuDialog::OnQueryDragIcon>(),
    OnMessage<WM_SETCURSOR, &CMenuDialog::OnSetCursor>(),
    OnCommand<IDOK, &CMenuDialog::OnOK>(),
    OnCommand<IDC_LANGUAGE, &CMenuDialog::OnLanguage>(),
    OnCommand<IDC_SUITE, &CMenuDialog::OnInstallSuite>(),
    OnCommand<IDC_MANUAL, &CMenuDialog::OnEntryClicked<IDC_MANUAL>>(),
    OnCommand<IDC_PREMIERE_UPDATER, &CMenuDialog::OnEntryClicked<IDC_PREMIERE_UPDATER>>(),
    OnCommand<IDC_REGISTER, &CMenuDialog::OnEntryClicked<IDC_REGISTER>>(),
    OnCommand<IDC_AFTER_EFFECTS_PLUGIN, &CMenuDialog::OnEntryClicked<IDC_AFTER_EFFECTS_PLUGIN>>(),
    OnCommand<IDC_MAX_PLUGIN, &CMenuDialog::OnEntryClicked<IDC_MAX_PLUGIN>>(),
    OnCommand<IDC_SPICEMASTER_DEMO, &CMenuDialog::OnEntryClicked<IDC_SPICEMASTER_DEMO>>(),
    OnCommand<IDC_HOTFIX, &CMenuDialog::OnEntryClicked<IDC_HOTFIX>>(),
    OnCommand<IDC_README, &CMenuDialog::OnEntryClicked<IDC_README>>(),
    OnCommand<IDC_WALLPAPERS, &CMenuDialog::OnEntryClicked<IDC_WALLPAPERS>>(),
    OnCommand<IDC_VFW_CODECS, &CMenuDialog::OnEntryClicked<IDC_VFW_CODECS>>(),
    OnCommand<IDC_ACROBAT_READER, &CMenuDialog::OnEntryClicked<IDC_ACROBAT_READER>>(),
    OnCommand<IDC_LIGHTWAVE_PLUGIN, &CMenuDialog::OnEntryClicked<IDC_LIGHTWAVE_PLUGIN>>(),
    OnCommand<IDC_EFFECT_ADDONS, &CMenuDialog::OnEntryClicked<IDC_EFFECT_ADDONS>>(),
    OnCommand<IDC_PHOTOSHOP_PLUGIN, &CMenuDialog::OnEntryClicked<IDC_PHOTOSHOP_PLUGIN>>(),
END_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)

CMenuDialog::CMenuDialog()
    : CSkinnedDialog(IDD_MENU, nullptr),
      icon(::LoadIconA(CApplication::Instance(), MAKEINTRESOURCEA(IDI_MENU))),
      entries(state, *this)
{
}

CMenuDialog::~CMenuDialog() = default;

const CMenuDialog::CButtonBinding CMenuDialog::kButtonBindings[] = {
    {IDC_LIGHTWAVE_PLUGIN, &CMenuDialog::lightWavePluginButton},
    {IDC_LANGUAGE, &CMenuDialog::languageButton},
    {IDOK, &CMenuDialog::exitButton},
    {IDC_VFW_CODECS, &CMenuDialog::vfwCodecsButton},
    {IDC_HOTFIX, &CMenuDialog::hotfixButton},
    {IDC_WALLPAPERS, &CMenuDialog::wallpapersButton},
    {IDC_README, &CMenuDialog::readmeButton},
    {IDC_ACROBAT_READER, &CMenuDialog::acrobatReaderButton},
    {IDC_SPICEMASTER_DEMO, &CMenuDialog::spiceMasterDemoButton},
    {IDC_MAX_PLUGIN, &CMenuDialog::maxPluginButton},
    {IDC_AFTER_EFFECTS_PLUGIN, &CMenuDialog::afterEffectsPluginButton},
    {IDC_PHOTOSHOP_PLUGIN, &CMenuDialog::photoshopPluginButton},
    {IDC_REGISTER, &CMenuDialog::registerButton},
    {IDC_SUITE, &CMenuDialog::suiteButton},
    {IDC_MANUAL, &CMenuDialog::manualButton},
    {IDC_PREMIERE_UPDATER, &CMenuDialog::premiereUpdaterButton},
    {IDC_EFFECT_ADDONS, &CMenuDialog::effectAddOnsButton},
};

void CMenuDialog::BindControls()
{
    for (const CButtonBinding& binding : kButtonBindings)
        BindControl(binding.controlId, this->*binding.button);
    BindControl(IDC_DESCRIPTION, descriptionLabel);
}

BOOL CMenuDialog::OnInitDialog()
{
    CSkinnedDialog::OnInitDialog();
    MarkStartupPhase("step 1: controls bound");
    state.discRoot = FindDiscRoot(ProgramPath());
    MarkStartupPhase("steps 2-3: disc root");
    state.suiteInstalled = entries.CleanUpAndDetectSuite();
    MarkStartupPhase("step 4: suite clean-up step");
    const int languageIndex = SettleLanguage();
    MarkStartupPhase("step 5: language");

    ::SetWindowTextA(window, kMenuTitle);
    // The style bit only: the frame goes when the window region is applied.
    ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) & ~WS_BORDER);
    ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    MarkStartupPhase("steps 6-8: title, border, icons");

    ShapeWindow();
    state.model = ReadModel();
    MarkStartupPhase("step 11: hardware model");
    entries.RefreshAllEntries(languageIndex);
    MarkStartupPhase("step 12: refresh of all entries");
    ::SendMessageA(window, DM_SETDEFID, IDC_SUITE, 0);
    MarkStartupPhase("step 13: default button");
    WatchFirstPaint(window);
    return TRUE;
}

// The stored language, or at the first start the system's, stored for next time.
int CMenuDialog::SettleLanguage()
{
    const int index = ReadLanguage(state.languageCode);
    if (state.languageCode != 0)
        return index;
    const CLanguage& language = LanguageForSystem(::GetSystemDefaultLangID());
    state.languageCode = language.code;
    WriteRegDword(kLanguageKey, kLanguageValue, language.code);
    return language.index;
}

// Gives the window its face and outline and every button its picture strip.
void CMenuDialog::ShapeWindow()
{
    SetBitmapFromResource(IDB_MAIN_FACE);
    MarkStartupPhase("step 9: face loaded and fitted, plain region");
    shapedRegion = true;
    transparentColor = kTransparentFaceColor;
    transparentStatics = true;
    dragByBody = true;
    ApplyWindowRegion(kOpaqueFace);
    MarkStartupPhase("step 9: shaped window region");

    for (const CButtonBinding& binding : kButtonBindings)
        (this->*binding.button).LoadStrip(binding.controlId == IDOK ? IDB_EXIT_STRIP : IDB_TEXT_STRIP);
    MarkStartupPhase("step 10: button strips");
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

LRESULT CMenuDialog::OnSetCursor(WPARAM wParam, LPARAM)
{
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(window, &pointer);
    // Finds hidden and disabled controls too, and the dialog itself over the face.
    HWND under = ::ChildWindowFromPoint(window, pointer);
    if (under == nullptr)
        under = reinterpret_cast<HWND>(wParam);

    auto* button = dynamic_cast<CHoverButton*>(FromHandle(under));
    if (button != nullptr && ::IsWindowVisible(under)) {
        const std::string text = button->GetDescription();
        if (text != descriptionLabel.GetText()) {
            descriptionLabel.SetTextColor(kDescriptionColor);
            descriptionLabel.SetText(text);
            RepaintControlArea(IDC_DESCRIPTION);
        }
    } else {
        descriptionLabel.SetText(std::string());
        RepaintControlArea(IDC_DESCRIPTION);
    }
    return Default();
}

void CMenuDialog::RepaintControlArea(int controlId)
{
    RECT area{};
    ::GetWindowRect(GetItem(controlId), &area);
    ::ScreenToClient(window, reinterpret_cast<POINT*>(&area.left));
    ::ScreenToClient(window, reinterpret_cast<POINT*>(&area.right));
    ::InvalidateRect(window, &area, TRUE);
    ::UpdateWindow(window);
}

void CMenuDialog::OnLanguage()
{
    CLanguageDialog dialog;
    ShowEntryButtons(false);
    RedrawNow();
    ::GetWindowRect(languageButton.GetHandle(), &dialog.anchorRect);
    dialog.DoModal();
    // Leaving the dialog without a choice keeps the language as it was.
    if (dialog.HasChoice() && dialog.selectedCode != state.languageCode) {
        state.languageCode = dialog.selectedCode;
        WriteRegDword(kLanguageKey, kLanguageValue, state.languageCode);
        entries.RefreshAllEntries(dialog.selectedIndex);
    }
    ShowEntryButtons(true);
    RedrawNow();
}

void CMenuDialog::ShowEntryButtons(bool show)
{
    for (int controlId : kCoveredEntryButtons) {
        const HWND button = GetItem(controlId);
        const LONG style = ::GetWindowLongA(button, GWL_STYLE);
        ::SetWindowLongA(button, GWL_STYLE, show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE));
    }
}

void CMenuDialog::RedrawNow()
{
    ::RedrawWindow(window, nullptr, nullptr, kRedrawNow);
}

void CMenuDialog::OnInstallSuite()
{
    entries.InstallSuite();
}

template <int ControlId>
void CMenuDialog::OnEntryClicked()
{
    entries.RunEntryAction(ControlId);
}

// The members themselves: looking a button up through its window would cost
// the window server a round trip for every label and state it is given.
CHoverButton* CMenuDialog::EntryButton(int controlId)
{
    for (const CButtonBinding& binding : kButtonBindings) {
        if (binding.controlId == controlId) {
            CHoverButton& button = this->*binding.button;
            return button.GetHandle() != nullptr ? &button : nullptr;
        }
    }
    return nullptr;
}

HWND CMenuDialog::MenuWindow()
{
    return window;
}

int CMenuDialog::AskModel()
{
    CModelDialog dialog;
    dialog.DoModal();
    return dialog.selection;
}
