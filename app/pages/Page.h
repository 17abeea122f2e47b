// Base of the pages of the main window: a modeless child dialog placed below the page bar.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "app/framework/Dialog.h"
#include "app/framework/ImageControl.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageServices.h"

class C_Page : public C_Dialog {
public:
    // Creates the page window from its template on the host; none on failure.
    HWND Open(I_PageHost* host, UINT templateId);
    INT_PTR OnDestroy() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // A worker's one way to reach its page: the call runs on the page's thread, and the worker
    // waits for what it returns (results shown, the run state, a box, a question's answer).
    // On the page's own thread it runs at once. 0 when the page has no window.
    intptr_t OnPageThread(const std::function<intptr_t()>& call);
    // A message box shown from the page's thread, owned by the page, with the host's title;
    // its answer (IDOK, IDYES, ...). Workers call it too: the modal loop then still runs on the
    // page's thread, never across threads.
    int ShowPageBox(UINT style, const std::string& text);

protected:
    // Moves the page to x 0, y 27 dialog units of the host without resizing it.
    void PlaceInHost();
    // Shows a bitmap of the resources in a static or button control when it exists.
    void SetItemBitmap(int id, UINT bitmapId);
    HBITMAP LoadBitmapResource(UINT bitmapId);
    // Ticks a check box from a flag bit.
    void CheckFromFlag(int id, uint32_t flags, uint32_t bit) { CheckItem(id, (flags & bit) != 0); }
    // Sets or clears a flag bit from a check box.
    void FlagFromCheck(int id, uint32_t& flags, uint32_t bit);
    void ReleaseBitmaps();
    // The page's picture in the static control, magenta shown as transparent.
    void AttachPageIcon(int id, UINT bitmapId);

    I_PageHost* m_pHost = nullptr;
    HBITMAP m_hBitmaps[6] = {};
    C_ImageControl m_icon;
};
