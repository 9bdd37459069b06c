// The skinned controls driven thousands of times: repainting, hovering,
// relabelling and re-skinning must leave the process with the GDI objects,
// windows and handles it had before.
#include "controls/ColorLabel.h"
#include "controls/HoverButton.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using harness::CPixelCanvas;
using harness::CResourceCounts;
using harness::CTestDialog;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr int kRounds = 1200;
constexpr int kReskinEvery = 8;
constexpr int kDialogLifetimes = 100;

// Leftovers allowed for what the platform makes once and keeps (caches).
constexpr long kGdiSlack = 8;
constexpr long kUserSlack = 2;
constexpr long kHandleSlack = 4;

// The model dialog with all its buttons bound and a description line.
class CStressDialog : public CTestDialog {
public:
    CStressDialog() : CTestDialog(IDD_MODEL) {}

    CHoverButton textButton;
    CHoverButton otherButton;
    CHoverButton exitButton;
    CColorLabel label;

protected:
    void BindControls() override
    {
        BindControl(IDC_VEXA10, textButton);
        BindControl(IDC_VEXA100, otherButton);
        BindControl(IDC_MODEL_EXIT, exitButton);
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 4, 80, 120, 14, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DESCRIPTION)), ::GetModuleHandleA(nullptr),
                          nullptr);
        BindControl(IDC_DESCRIPTION, label);
    }
};

// Everything the menu does to a dialog and its controls, once, with texts
// and faces that change with `round`.
void ExerciseOnce(CStressDialog& dialog, HBITMAP holedFace, int round)
{
    const std::wstring text = L"Entry " + std::to_wstring(round);
    CHoverButton* buttons[] = {&dialog.textButton, &dialog.otherButton, &dialog.exitButton};
    for (CHoverButton* button : buttons) {
        ::SendMessageA(button->GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        ::SendMessageA(button->GetHandle(), WM_MOUSEHOVER, 0, MAKELPARAM(3, 3));
        button->SetCaptions(text.c_str(), RGB(255, 255, 255), nullptr, kNoColor, nullptr, kNoColor, nullptr,
                            RGB(81, 110, 125));
        button->SetDescriptions(text.c_str(), round % 2 == 0 ? nullptr : L"Unavailable.");
        button->SetTooltipText(text.c_str(), round % 3 != 0);
        button->ActivateTooltip(true);
        MSG message{button->GetHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), 0, {0, 0}};
        button->PreTranslateMessage(message);
        ::EnableWindow(button->GetHandle(), round % 4 != 0);
        static_cast<void>(button->GetDescription());
        ::SendMessageA(button->GetHandle(), WM_MOUSELEAVE, 0, 0);
    }
    dialog.label.SetTextColor(RGB(255, 255, 255)).SetText(text);

    if (round % kReskinEvery == 0) {
        dialog.textButton.LoadStrip(IDB_TEXT_STRIP);
        dialog.exitButton.LoadStrip(IDB_EXIT_STRIP);
        dialog.SetShape(false, kMagenta);
        dialog.SetBitmapFromResource(IDB_SMALL_FACE);
        dialog.SetShape(true, kMagenta);
        dialog.CopyBitmap(holedFace);
        dialog.ApplyWindowRegion(RECT{0, 0, 0, 0});
        dialog.AttachBitmap(holedFace);
        dialog.ApplyWindowRegion(RECT{0, 0, 40, 40});
    }

    ::InvalidateRect(dialog.GetHandle(), nullptr, TRUE);
    ::UpdateWindow(dialog.GetHandle());
    CPixelCanvas canvas(60, 20, RGB(0, 0, 0));
    ::SendMessageA(dialog.textButton.GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    harness::PumpMessages();
}

// A dialog set up as the menu sets up its dialogs.
void PrepareDialog(CStressDialog& dialog)
{
    dialog.SetBitmapFromResource(IDB_SMALL_FACE);
    dialog.textButton.LoadStrip(IDB_TEXT_STRIP);
    dialog.otherButton.LoadStrip(IDB_TEXT_STRIP);
    dialog.exitButton.LoadStrip(IDB_EXIT_STRIP);
    ::ShowWindow(dialog.GetHandle(), SW_SHOWNOACTIVATE);
}

void ExpectBackAtBaseline(const CResourceCounts& before, const CResourceCounts& after)
{
    EXPECT_LE(after.gdiObjects, before.gdiObjects + kGdiSlack) << "GDI objects leak";
    EXPECT_LE(after.userObjects, before.userObjects + kUserSlack) << "windows leak";
    EXPECT_LE(after.handles, before.handles + kHandleSlack) << "handles leak";
}

class ControlsStressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const SIZE faceSize{220, 260};
        holedFace = harness::MakeSolidBitmap(faceSize.cx, faceSize.cy, RGB(20, 61, 83));
        harness::CutShapes(holedFace.Get(), kMagenta);
        // One full pass first, so that what the platform makes once is made.
        CStressDialog warmUp;
        ASSERT_TRUE(warmUp.Create());
        PrepareDialog(warmUp);
        for (int round = 0; round < 2 * kReskinEvery; ++round)
            ExerciseOnce(warmUp, holedFace.Get(), round);
    }

    COwnedBitmap holedFace;
};

TEST_F(ControlsStressTest, RepaintHoverRelabelAndReskinLeakNothing)
{
    const CResourceCounts before = harness::CountResources();
    harness::PrintResources("before one dialog", before);
    const DWORD start = ::GetTickCount();
    {
        CStressDialog dialog;
        ASSERT_TRUE(dialog.Create());
        PrepareDialog(dialog);
        for (int round = 0; round < kRounds; ++round)
            ExerciseOnce(dialog, holedFace.Get(), round);
        const CResourceCounts during = harness::CountResources();
        harness::PrintResources("dialog still open", during);
        ASSERT_TRUE(dialog.HasFace());
        EXPECT_EQ(L"Entry " + std::to_wstring(kRounds - 1), dialog.label.GetText());
    }
    harness::PumpMessages();
    const CResourceCounts after = harness::CountResources();
    std::printf("[ figures  ] %d rounds (re-skin every %d) in %lu ms\n", kRounds, kReskinEvery,
                static_cast<unsigned long>(::GetTickCount() - start));
    harness::PrintResources("after one dialog", after);
    ExpectBackAtBaseline(before, after);
}

TEST_F(ControlsStressTest, DialogsMadeAndDestroyedLeakNothing)
{
    const CResourceCounts before = harness::CountResources();
    harness::PrintResources("before many dialogs", before);
    const DWORD start = ::GetTickCount();
    for (int lifetime = 0; lifetime < kDialogLifetimes; ++lifetime) {
        CStressDialog dialog;
        ASSERT_TRUE(dialog.Create());
        PrepareDialog(dialog);
        ExerciseOnce(dialog, holedFace.Get(), 0);
        ExerciseOnce(dialog, holedFace.Get(), lifetime + 1);
    }
    harness::PumpMessages();
    const CResourceCounts after = harness::CountResources();
    std::printf("[ figures  ] %d dialogs made, used and destroyed in %lu ms\n", kDialogLifetimes,
                static_cast<unsigned long>(::GetTickCount() - start));
    harness::PrintResources("after many dialogs", after);
    ExpectBackAtBaseline(before, after);
}

}  // namespace
