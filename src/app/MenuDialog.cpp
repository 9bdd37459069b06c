#include "MenuDialog.h"

#include "LanguageDialog.h"
#include "ModelDialog.h"
#include "controls/LinkedFont.h"
#include "entries/Languages.h"
#include "entries/StartUp.h"
#include "framework/Application.h"
#include "framework/StartupClock.h"
#include "res/resource.h"
#include "system/Paths.h"
#include "system/ProgramLauncher.h"
#include "system/Registry.h"

namespace {

constexpr COLORREF kTransparentFaceColor = RGB(255, 0, 255);
// The whole of the main face picture, which is known to be opaque.
constexpr RECT kOpaqueFace = {0, 0, 763, 560};
constexpr COLORREF kDescriptionColor = RGB(255, 255, 255);
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// The range of control ids that entry buttons take; the language button
// and the description line lie inside it, and the map names the language
// button before the range.
constexpr UINT kFirstEntryId = IDC_MANUAL;
constexpr UINT kLastEntryId = IDC_PHOTOSHOP_PLUGIN;

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)
    OnMessage<WM_PAINT, &CMenuDialog::OnPaint>(),
    OnMessage<WM_QUERYDRAGICON, &CMenuDialog::OnQueryDragIcon>(),
    OnMessage<WM_SETCURSOR, &CMenuDialog::OnSetCursor>(),
    OnMessage<WM_ACTIVATE, &CMenuDialog::OnActivate>(),
    OnCommand<IDC_LANGUAGE, &CMenuDialog::OnLanguage>(),
    OnCommandRange<kFirstEntryId, kLastEntryId, &CMenuDialog::OnEntryClicked>(),
END_MESSAGE_MAP(CMenuDialog, CSkinnedDialog)
// clang-format on

CMenuDialog::CMenuDialog() :
    CSkinnedDialog(IDD_MENU, nullptr), icon(::LoadIconA(CApplication::Instance(), MAKEINTRESOURCEA(IDI_MENU))),
    entries(state, *this)
{
}

CMenuDialog::~CMenuDialog() = default;

void CMenuDialog::BindControls()
{
    for (size_t index = 0; index < kEntryCount; ++index)
        BindControl(kEntryTable[index].controlId, entryButtons[index]);
    BindControl(IDC_LANGUAGE, languageButton);
    BindControl(IDOK, exitButton);
    BindControl(IDC_DESCRIPTION, descriptionLabel);
    for (const CHoverButton& button : entryButtons)
        PaintWithFace(button);
    PaintWithFace(languageButton);
    PaintWithFace(exitButton);
    const auto showOnFocus = [this](CHoverButton& button) { OnButtonFocus(button); };
    for (CHoverButton& button : entryButtons)
        button.SetFocusListener(showOnFocus);
    languageButton.SetFocusListener(showOnFocus);
    exitButton.SetFocusListener(showOnFocus);
}

BOOL CMenuDialog::OnInitDialog()
{
    CSkinnedDialog::OnInitDialog();
    MarkStartupPhase("step 1: controls bound");
    state.discRoot = FindDiscRoot(ProgramFilePath());
    MarkStartupPhase("steps 2-3: disc root");
    state.suiteInstalled = entries.CleanUpAndDetectSuite();
    MarkStartupPhase("step 4: suite clean-up step");
    const int languageIndex = SettleLanguage(state.languageCode, FirstLanguage::Store);
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
    ShowLanguage(languageIndex);
    MarkStartupPhase("step 12: refresh of all entries");
    ::SendMessageA(window, DM_SETDEFID, IDC_SUITE, 0);
    MarkStartupPhase("step 13: default button");
    WatchFirstPaint(window);
    return TRUE;
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

    for (CHoverButton& button : entryButtons)
        button.LoadStrip(IDB_TEXT_STRIP);
    languageButton.LoadStrip(IDB_TEXT_STRIP);
    exitButton.LoadStrip(IDB_EXIT_STRIP);
    MarkStartupPhase("step 10: button strips");
}

void CMenuDialog::OnOK()
{
    if (PostponedUntilWaitEnds(IDOK))
        return;
    EndDialog(0);
}

void CMenuDialog::OnCancel()
{
    OnOK();
}

LRESULT CMenuDialog::OnPaint(WPARAM wParam, LPARAM lParam)
{
    if (!::IsIconic(window))
        return CSkinnedDialog::OnPaint(wParam, lParam);
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

    CHoverButton* button = under != window ? EntryButton(::GetDlgCtrlID(under)) : nullptr;
    if (button != nullptr && button->GetHandle() == under && ::IsWindowVisible(under)) {
        ShowDescription(button->GetDescription());
    } else {
        descriptionLabel.SetText(std::wstring());
        RepaintControlArea(IDC_DESCRIPTION);
    }
    return Default();
}

void CMenuDialog::ShowDescription(const std::wstring& text)
{
    if (text == descriptionLabel.GetText())
        return;
    descriptionLabel.SetTextColor(kDescriptionColor);
    descriptionLabel.SetText(text);
    RepaintControlArea(IDC_DESCRIPTION);
}

// Only once the keyboard is in use: the focus that a click or the start-up
// gives leaves the line to the pointer, as it always was.
void CMenuDialog::OnButtonFocus(const CHoverButton& button)
{
    Visit(nullptr);
    if (button.ShowsKeyboardCues() && ::IsWindowVisible(button.GetHandle()))
        ShowDescription(button.GetDescription());
}

// The dialog manager keeps the arrow keys to the buttons that take the
// focus; here they also visit the greyed ones.
bool CMenuDialog::PreTranslateMessage(MSG& message)
{
    if (message.message != WM_KEYDOWN || (message.hwnd != window && !::IsChild(window, message.hwnd)))
        return CSkinnedDialog::PreTranslateMessage(message);
    switch (message.wParam) {
    case VK_UP:
    case VK_LEFT:
        MoveByArrow(true);
        return true;
    case VK_DOWN:
    case VK_RIGHT:
        MoveByArrow(false);
        return true;
    case VK_TAB:
        if (visited == nullptr)
            break;
        TabFromVisit((::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    case VK_RETURN:
    case VK_SPACE:
        // A greyed button is only shown, never pressed.
        if (visited != nullptr)
            return true;
        break;
    default:
        break;
    }
    return CSkinnedDialog::PreTranslateMessage(message);
}

HWND CMenuDialog::KeyboardSpot() const
{
    return visited != nullptr ? visited->GetHandle() : ::GetFocus();
}

void CMenuDialog::MoveByArrow(bool backwards)
{
    const HWND from = visited != nullptr ? visited->GetHandle() : ::GetFocus();
    CHoverButton* target = NextShownButton(from != nullptr && ::IsChild(window, from) ? from : nullptr, backwards);
    if (target == nullptr)
        return;
    if (::IsWindowEnabled(target->GetHandle())) {
        Visit(nullptr);
        ::SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target->GetHandle()), TRUE);
        // Back onto the button that kept the focus, which hears of no new focus.
        ShowDescription(target->GetDescription());
    } else {
        Visit(target);
    }
}

void CMenuDialog::TabFromVisit(bool backwards)
{
    const HWND next = ::GetNextDlgTabItem(window, visited->GetHandle(), backwards ? TRUE : FALSE);
    Visit(nullptr);
    if (next == nullptr)
        return;
    ::SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    if (const CHoverButton* button = EntryButton(::GetDlgCtrlID(next));
        button != nullptr && button->GetHandle() == next)
        ShowDescription(button->GetDescription());
}

// The cue goes from the focused button to the visited one and back.
void CMenuDialog::Visit(CHoverButton* button)
{
    if (button == visited)
        return;
    for (const HWND spot : {KeyboardSpot(), button != nullptr ? button->GetHandle() : ::GetFocus()})
        if (spot != nullptr && ::IsChild(window, spot))
            ::InvalidateRect(spot, nullptr, FALSE);
    visited = button;
    if (button != nullptr)
        ShowDescription(button->GetDescription());
}

CHoverButton* CMenuDialog::NextShownButton(HWND from, bool backwards)
{
    const HWND first = ::GetWindow(window, GW_CHILD);
    if (first == nullptr)
        return nullptr;
    const UINT step = backwards ? GW_HWNDPREV : GW_HWNDNEXT;
    const UINT wrap = backwards ? GW_HWNDLAST : GW_HWNDFIRST;
    HWND candidate = from;
    // Once round all the controls at most.
    for (HWND child = first; child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        candidate = candidate != nullptr ? ::GetWindow(candidate, step) : nullptr;
        if (candidate == nullptr)
            candidate = ::GetWindow(first, wrap);
        CHoverButton* button = EntryButton(::GetDlgCtrlID(candidate));
        if (button != nullptr && button->GetHandle() == candidate && ::IsWindowVisible(candidate))
            return button;
    }
    return nullptr;
}

// Coming back (from an installer, a message box, another program), the menu
// gives the focus back to the control that had it; where that one was greyed
// meanwhile, the keyboard would be left with nothing: the focus goes to the
// first button that takes it.
LRESULT CMenuDialog::OnActivate(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    if (LOWORD(wParam) == WA_INACTIVE || ::IsIconic(window))
        return result;
    const HWND focus = ::GetFocus();
    const bool usable = focus != nullptr && focus != window && ::IsChild(window, focus) && ::IsWindowEnabled(focus)
        && ::IsWindowVisible(focus);
    if (!usable) {
        if (const HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE))
            ::SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
    return result;
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
    if (PostponedUntilWaitEnds(IDC_LANGUAGE))
        return;
    Visit(nullptr);
    CLanguageDialog dialog;
    dialog.currentIndex = LanguageIndexOfCode(state.languageCode);
    ShowEntryButtons(false);
    RedrawNow();
    ::GetWindowRect(languageButton.GetHandle(), &dialog.anchorRect);
    dialog.DoModal();
    // Leaving the dialog without a choice keeps the language as it was.
    if (dialog.HasChoice() && dialog.selectedCode != state.languageCode) {
        state.languageCode = dialog.selectedCode;
        WriteRegDword(kLanguageKey, kLanguageValue, state.languageCode);
        ShowLanguage(dialog.selectedIndex);
    }
    ShowEntryButtons(true);
    RedrawNow();
}

void CMenuDialog::ShowEntryButtons(bool show)
{
    for (size_t index = 0; index < kEntryCount; ++index) {
        if (!kEntryTable[index].coveredByLanguageDialog)
            continue;
        const HWND button = entryButtons[index].GetHandle();
        const LONG style = ::GetWindowLongA(button, GWL_STYLE);
        ::SetWindowLongA(button, GWL_STYLE, show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE));
    }
}

// The other languages keep the templates' font, and so their look, pixel for pixel.
void CMenuDialog::ShowLanguage(int languageIndex)
{
    entries.RefreshAllEntries(languageIndex);
    const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    HFONT font = nullptr;
    if (kLanguages[languageIndex].linkedFont) {
        if (!linkedFont)
            linkedFont = CreateLinkedFont(dialogFont);
        font = linkedFont.Get();
    }
    for (CHoverButton& button : entryButtons)
        button.SetCaptionFont(font);
    languageButton.SetCaptionFont(font);
    // The description line draws in its own font, the dialog's, which it
    // selects over whatever its colour request selected; it shows the new
    // font with its next text.
    ::SendMessageW(descriptionLabel.GetHandle(), WM_SETFONT,
                   reinterpret_cast<WPARAM>(font != nullptr ? font : dialogFont), FALSE);
}

void CMenuDialog::RedrawNow()
{
    ::RedrawWindow(window, nullptr, nullptr, kRedrawNow);
}

// Every entry button's click, the suite's too: its row says what it starts.
// A greyed entry starts nothing, whoever sends the click. The platform's
// button reports a BM_CLICK even while it is disabled, and a click held over
// a wait is carried out against what the refresh after that wait left.
void CMenuDialog::OnEntryClicked(int controlId)
{
    if (FindEntryRow(controlId) == nullptr || PostponedUntilWaitEnds(controlId))
        return;
    // A click ends a visit by the arrow keys: the keyboard is back on the focus.
    Visit(nullptr);
    const CHoverButton* button = EntryButton(controlId);
    if (button == nullptr || !::IsWindowEnabled(button->GetHandle()))
        return;
    entries.RunEntryAction(controlId);
}

// While the menu waits for a program it started, it answers what other
// programs send it, so that none of them hangs on it. A command among those
// is carried out once the wait is over, as it would be by a menu that
// answered nothing meanwhile: no action, and no end of the menu, starts
// inside another action's wait or inside the start-up's.
bool CMenuDialog::PostponedUntilWaitEnds(int controlId)
{
    if (!IsWaitingForProgram())
        return false;
    const HWND control = GetItem(controlId);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return true;
}

// The members themselves: looking a button up through its window would cost
// the window server a round trip for every label and state it is given.
CHoverButton* CMenuDialog::EntryButton(int controlId)
{
    if (controlId == IDC_LANGUAGE)
        return &languageButton;
    if (controlId == IDOK)
        return &exitButton;
    const size_t index = EntryIndex(controlId);
    return index < kEntryCount ? &entryButtons[index] : nullptr;
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
