#include "HoverButtonHost.h"

void CHoverButtonHost::ShowEntry(int controlId, const CEntryView& view)
{
    CHoverButton* button = EntryButton(controlId);
    if (button == nullptr)
        return;
    if (const HWND handle = button->GetHandle()) {
        const bool losesFocus = !view.enabled && ::GetFocus() == handle;
        ::EnableWindow(handle, view.enabled ? TRUE : FALSE);
        // A greyed button cannot keep the focus: the next one takes it, or
        // the keyboard would reach nothing.
        if (losesFocus) {
            const HWND dialog = ::GetParent(handle);
            const HWND next = ::GetNextDlgTabItem(dialog, handle, FALSE);
            if (next != nullptr && next != handle)
                ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
        }
    }
    if (view.label) {
        const wchar_t* label = view.label->c_str();
        button->SetCaptions(label, kCaptionColor, label, kCaptionColor, label, kCaptionColor, label,
                            kDisabledCaptionColor);
    }
    button->SetDescriptions(view.description.c_str(), view.reason.c_str());
}

void CHoverButtonHost::ShowTooltip(int controlId, const std::wstring& text)
{
    if (CHoverButton* button = EntryButton(controlId))
        button->SetTooltipText(text.c_str(), true);
}
