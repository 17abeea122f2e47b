#include "app/pages/Page.h"
#include "core/System.h"

namespace {
// Sent by a worker; lParam points to the std::function to run on the page's thread.
const UINT kMsgPageCall = WM_APP + 0x40;
} // namespace

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

void C_Page::FlagFromCheck(int id, uint32_t& flags, uint32_t bit)
{
    if (IsItemChecked(id))
        flags |= bit;
    else
        flags &= ~bit;
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

intptr_t C_Page::OnPageThread(const std::function<intptr_t()>& call)
{
    if (!m_hWnd)
        return 0;
    if (GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId())
        return call();
    return (intptr_t)SendMessageA(m_hWnd, kMsgPageCall, 0, (LPARAM)&call);
}

int C_Page::ShowPageBox(UINT style, const std::string& text)
{
    return (int)OnPageThread(
        [&]() -> intptr_t { return ::ShowMessage(m_hWnd, style, m_pHost->GetTitle(), "%s", text.c_str()); });
}

INT_PTR C_Page::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgPageCall) {
        const std::function<intptr_t()>& call = *(const std::function<intptr_t()>*)lParam;
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, (LONG_PTR)call());
        return 1;
    }
    return C_Dialog::OnMessage(message, wParam, lParam);
}
