// A dialog whose background is a picture (its face), whose outline may be
// cut from that picture, whose static texts show the face through them, and
// which may be moved by dragging its body.
#pragma once

#include "base/Handles.h"
#include "framework/Dialog.h"

#include <vector>

class CHoverButton;

class CSkinnedDialog : public CDialog {
public:
    CSkinnedDialog(UINT templateId, HWND parent, const char* bitmapName = nullptr, UINT bitmapResourceId = 0,
                   int unused = 0, HBITMAP bitmapObject = nullptr);
    ~CSkinnedDialog() override;

    // Loads picture `resourceId`, stretched to the window's size, as the owned
    // face, drawn straight from the program's image.
    bool SetBitmapFromResource(UINT resourceId);
    // Loads the named picture resource, unscaled, or without a name the bitmap file `fileName`.
    bool SetBitmapByName(const char* name, const char* fileName);
    // Makes an owned copy of `bitmap`, at its own size, the face.
    bool CopyBitmap(HBITMAP bitmap);
    // Uses the caller's `bitmap` as the face; the caller keeps it.
    bool AttachBitmap(HBITMAP bitmap);
    // Drops the face, deleting it when the dialog owns it.
    void ReleaseBitmap();
    // Gives the window its region: the window rectangle, or the face without
    // its transparent colour; `opaqueRect` is taken as opaque unread.
    void ApplyWindowRegion(RECT opaqueRect);

    HBITMAP GetFaceBitmap() const noexcept { return hasBitmap ? faceBitmap : nullptr; }

protected:
    bool shapedRegion = false;
    bool transparentStatics = true;
    HBRUSH hollowBrush;
    COLORREF transparentColor = CLR_INVALID;
    bool dragByBody = false;
    bool ownsBitmap = false;
    bool hasBitmap = false;
    HBITMAP faceBitmap = nullptr;
    // Holds the face while the dialog owns it (`ownsBitmap`).
    COwnedBitmap ownedFace;

    // Has the dialog's own paint draw `button`, once it is bound, over the
    // face wherever both are to be painted: the button then needs no paint
    // of its own there. One paint of the dialog does the work of one per
    // button, each of which costs the platform several round trips. For
    // buttons that overlap no other control.
    void PaintWithFace(const CHoverButton& button);

    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnControlColor(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool TakeOwnedFace(COwnedBitmap face);

    // The buttons drawn with the face, by window: a button object that goes
    // before the window is no longer found from it.
    std::vector<HWND> buttonsWithFace;
};
