#include "app/pages/Page.h"

HWND C_Page::Open(I_PageHost* host, UINT templateId)
{
    m_pHost = host;
    return CreateModeless(nullptr, templateId, 0, host->GetHostWindow());
}

void C_Page::PlaceInHost()
{
    RECT r = {0, 27, 0, 0};
    MapDialogRect(m_pHost->GetHostWindow(), &r);
    SetWindowPos(m_hWnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HBITMAP C_Page::LoadBitmapResource(UINT bitmapId)
{
    HBITMAP bitmap = (HBITMAP)LoadImageA(m_hInstance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0,
                                         LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS);
    if (!bitmap)
        return nullptr;
    for (HBITMAP& slot : m_hBitmaps) {
        if (!slot) {
            slot = bitmap;
            return bitmap;
        }
    }
    DeleteObject(bitmap);
    return nullptr;
}

void C_Page::SetItemBitmap(int id, UINT bitmapId)
{
    HWND item = GetItem(id);
    HBITMAP bitmap = item ? LoadBitmapResource(bitmapId) : nullptr;
    if (!bitmap)
        return; // the control keeps its text
    char cls[32] = "";
    GetClassNameA(item, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Button") == 0) {
        SetWindowLongPtrA(item, GWL_STYLE, GetWindowLongPtrA(item, GWL_STYLE) | BS_BITMAP);
        SendMessageA(item, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
        // The button hugs its picture, centred where the template put it.
        BITMAP bm;
        RECT r;
        if (GetObject(bitmap, sizeof(bm), &bm) && GetWindowRect(item, &r)) {
            MapWindowPoints(nullptr, m_hWnd, (POINT*)&r, 2);
            int width = bm.bmWidth + 8, height = bm.bmHeight + 8;
            SetWindowPos(item, nullptr, r.left + ((r.right - r.left) - width) / 2,
                         r.top + ((r.bottom - r.top) - height) / 2, width, height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    } else {
        SendMessageA(item, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
    }
}

void C_Page::FlagFromCheck(int id, uint32_t bit)
{
    if (IsItemChecked(id))
        m_pHost->Flags() |= bit;
    else
        m_pHost->Flags() &= ~bit;
}

void C_Page::ReleaseBitmaps()
{
    for (HBITMAP& slot : m_hBitmaps) {
        if (slot)
            DeleteObject(slot);
        slot = nullptr;
    }
}

void C_Page::AttachPageIcon(int id, UINT bitmapId)
{
    m_icon.Attach(GetItem(id), m_hInstance, C_ImageControl::kNoScaling, bitmapId, 0, 0, 0, RGB(255, 0, 255),
                  0, nullptr, nullptr, 0, 0);
}

INT_PTR C_Page::OnDestroy()
{
    m_icon.Detach();
    ReleaseBitmaps();
    return C_Dialog::OnDestroy();
}
