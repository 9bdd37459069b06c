#include "LanguageDialog.h"

#include "HoverButtonHost.h"
#include "controls/LinkedFont.h"
#include "entries/Languages.h"
#include "res/Text.h"
#include "res/resource.h"

namespace {
constexpr UINT kPlacementFlags = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOCOPYBITS;
}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CLanguageDialog, CSkinnedDialog)
    OnCommand<IDC_ENGLISH, &CLanguageDialog::OnLanguageButton<0>>(),
    OnCommand<IDC_FRENCH, &CLanguageDialog::OnLanguageButton<1>>(),
    OnCommand<IDC_GERMAN, &CLanguageDialog::OnLanguageButton<2>>(),
    OnCommand<IDC_ITALIAN, &CLanguageDialog::OnLanguageButton<3>>(),
    OnCommand<IDC_SPANISH, &CLanguageDialog::OnLanguageButton<4>>(),
    OnCommand<IDC_JAPANESE, &CLanguageDialog::OnLanguageButton<5>>(),
END_MESSAGE_MAP(CLanguageDialog, CSkinnedDialog)
// clang-format on

CLanguageDialog::CLanguageDialog() : CSkinnedDialog(IDD_LANGUAGE, nullptr) {}

CLanguageDialog::~CLanguageDialog() = default;

void CLanguageDialog::BindControls()
{
    BindControl(IDC_SPANISH, spanishButton);
    BindControl(IDC_JAPANESE, japaneseButton);
    BindControl(IDC_ITALIAN, italianButton);
    BindControl(IDC_FRENCH, frenchButton);
    BindControl(IDC_ENGLISH, englishButton);
    BindControl(IDC_GERMAN, germanButton);
}

BOOL CLanguageDialog::OnInitDialog()
{
    CSkinnedDialog::OnInitDialog();
    SetBitmapFromResource(IDB_SMALL_FACE);

    CHoverButton* buttons[kLanguageCount]
        = {&englishButton, &frenchButton, &germanButton, &italianButton, &spanishButton, &japaneseButton};
    for (const CLanguage& language : kLanguages) {
        CHoverButton& button = *buttons[language.index];
        button.LoadStrip(IDB_TEXT_STRIP);
        button.SetCaptions(LoadFixedCaption(language.nameId).c_str(), kCaptionColor);
        // Each name is in its own language, whatever the menu's.
        if (language.linkedFont)
            button.SetCaptionFont(LinkedFont());
    }
    // The template's buttons take no tab stop and stand in another order
    // than the screen's: Tab and the arrow keys go top to bottom.
    SetTabOrder({IDC_ENGLISH, IDC_FRENCH, IDC_GERMAN, IDC_ITALIAN, IDC_SPANISH, IDC_JAPANESE});

    // Stand directly above the language button, left edges aligned.
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    ::SetWindowPos(window, nullptr, anchorRect.left, anchorRect.top - height, width, height, kPlacementFlags);

    // The focus, and with it Enter, starts on the language in use once the
    // dialog shows: the activation that showing brings would take a focus
    // given now back to the first button.
    const int shown = currentIndex >= 0 && currentIndex < kLanguageCount ? currentIndex : 0;
    const HWND current = buttons[kLanguages[shown].index]->GetHandle();
    ::PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(current), TRUE);
    return FALSE;
}

HFONT CLanguageDialog::LinkedFont()
{
    if (!linkedFont)
        linkedFont = CreateLinkedFont(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    return linkedFont.Get();
}

template <int Index>
void CLanguageDialog::OnLanguageButton()
{
    Choose(Index);
}

void CLanguageDialog::Choose(int index)
{
    selectedIndex = kLanguages[index].index;
    selectedCode = kLanguages[index].code;
    chosen = true;
    EndDialog(0);
}
