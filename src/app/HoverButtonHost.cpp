#include "HoverButtonHost.h"

void CHoverButtonHost::ShowEntry(int controlId, const CEntryView& view)
{
    CHoverButton* button = EntryButton(controlId);
    if (button == nullptr)
        return;
    if (button->GetHandle() != nullptr)
        ::EnableWindow(button->GetHandle(), view.enabled ? TRUE : FALSE);
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
