#include "ModelDialog.h"

#include "HoverButtonHost.h"
#include "res/resource.h"

namespace {
// The model names are the products' own and the same in every language.
constexpr wchar_t kVexa10Caption[] = L"Vexa10";
constexpr wchar_t kVexa100Caption[] = L"Vexa100";
constexpr wchar_t kExitCaption[] = L"Exit";
}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CModelDialog, CSkinnedDialog)
    OnCommand<IDC_VEXA10, &CModelDialog::OnVexa10>(),
    OnCommand<IDC_VEXA100, &CModelDialog::OnVexa100>(),
    OnCommand<IDC_MODEL_EXIT, &CModelDialog::OnExit>(),
END_MESSAGE_MAP(CModelDialog, CSkinnedDialog)
// clang-format on

CModelDialog::CModelDialog() : CSkinnedDialog(IDD_MODEL, nullptr) {}

CModelDialog::~CModelDialog() = default;

void CModelDialog::BindControls()
{
    BindControl(IDC_MODEL_EXIT, exitButton);
    BindControl(IDC_VEXA10, vexa10Button);
    BindControl(IDC_VEXA100, vexa100Button);
}

BOOL CModelDialog::OnInitDialog()
{
    CSkinnedDialog::OnInitDialog();
    SetBitmapFromResource(IDB_SMALL_FACE);
    vexa10Button.LoadStrip(IDB_TEXT_STRIP);
    vexa10Button.SetCaptions(kVexa10Caption, kCaptionColor);
    vexa100Button.LoadStrip(IDB_TEXT_STRIP);
    vexa100Button.SetCaptions(kVexa100Caption, kCaptionColor);
    exitButton.LoadStrip(IDB_EXIT_STRIP);
    exitButton.SetCaptions(kExitCaption, kCaptionColor);
    // Only Exit is a tab stop in the template, and it comes first: Tab and
    // the arrow keys go through the three as the screen shows them.
    SetTabOrder({IDC_VEXA10, IDC_VEXA100, IDC_MODEL_EXIT});
    // The focus, and with it Enter, starts on the first model once the
    // dialog shows (the activation that showing brings sets the focus anew).
    ::PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(vexa10Button.GetHandle()), TRUE);
    return FALSE;
}

void CModelDialog::OnVexa10()
{
    Answer(kModelVexa10);
}

void CModelDialog::OnVexa100()
{
    Answer(kModelVexa100);
}

void CModelDialog::OnExit()
{
    Answer(kModelNone);
}

void CModelDialog::OnOK()
{
    Answer(kModelNone);
}

void CModelDialog::OnCancel()
{
    Answer(kModelNone);
}

void CModelDialog::Answer(int model)
{
    selection = model;
    EndDialog(0);
}
