#include "app/framework/Dialog.h"
#include <commctrl.h>
#include <cstdarg>
#include <cstdio>
#include <vector>
#include "app/framework/DialogFont.h"
#include "app/framework/Placement.h"

void PrepareDialogSystem()
{
    HMODULE user = GetModuleHandleA("user32.dll");
    typedef BOOL(WINAPI * SetAwareFn)();
    SetAwareFn setAware = user ? (SetAwareFn)GetProcAddress(user, "SetProcessDPIAware") : nullptr;
    if (setAware)
        setAware();

    HMODULE comctl = LoadLibraryA("comctl32.dll");
    typedef BOOL(WINAPI * InitExFn)(const INITCOMMONCONTROLSEX*);
    InitExFn initEx = comctl ? (InitExFn)GetProcAddress(comctl, "InitCommonControlsEx") : nullptr;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), 0x7FFF};
    if (!initEx || !initEx(&icc))
        InitCommonControls();
}

C_Dialog::~C_Dialog()
{
    if (m_hIconSmall)
        DestroyIcon(m_hIconSmall);
    if (m_hIconLarge)
        DestroyIcon(m_hIconLarge);
}

INT_PTR C_Dialog::OnInitDialog() { return 1; }
INT_PTR C_Dialog::OnEnd(INT_PTR) { return 1; }

INT_PTR C_Dialog::OnCommand(UINT id, WPARAM, LPARAM)
{
    if (id == IDCANCEL || id == IDCLOSE) {
        Close(0);
        return 1;
    }
    return 0;
}

INT_PTR C_Dialog::OnClose()
{
    Close(0);
    return 1;
}

INT_PTR C_Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING) {
        WINDOWPOS* pos = (WINDOWPOS*)lParam;
        if ((m_dwOptions & kSuppressFirstShow) && (pos->flags & SWP_SHOWWINDOW)) {
            pos->flags &= ~SWP_SHOWWINDOW;
            m_dwOptions &= ~kSuppressFirstShow;
        }
        if (!(pos->flags & SWP_NOSIZE)) {
            if (m_nMinTrackWidth >= 0 && pos->cx < m_nMinTrackWidth)
                pos->cx = m_nMinTrackWidth;
            if (m_nMinTrackHeight >= 0 && pos->cy < m_nMinTrackHeight)
                pos->cy = m_nMinTrackHeight;
        }
        return 1;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDCLOSE)) {
        Close(0);
        return 1;
    }
    return 0;
}

INT_PTR C_Dialog::OnDestroy() { return OnMessage(WM_DESTROY, 0, 0); }

void C_Dialog::Prepare(HINSTANCE instance, uint32_t options)
{
    m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    m_dwOptions = options;
    PrepareDialogSystem();
}

INT_PTR C_Dialog::RunModal(HINSTANCE instance, UINT templateId, uint32_t options, HWND parent)
{
    Prepare(instance, options & ~kModeless);
    std::vector<uint8_t> changed;
    if (SubstituteDialogFont(m_hInstance, templateId, (options & kPreferShellDlg2) != 0, changed))
        return DialogBoxIndirectParamA(m_hInstance, (LPCDLGTEMPLATEA)changed.data(), parent, DialogProc,
                                       (LPARAM)this);
    return DialogBoxParamA(m_hInstance, MAKEINTRESOURCEA(templateId), parent, DialogProc, (LPARAM)this);
}

HWND C_Dialog::CreateModeless(HINSTANCE instance, UINT templateId, uint32_t options, HWND parent)
{
    Prepare(instance, options | kModeless);
    std::vector<uint8_t> changed;
    HWND window;
    if (SubstituteDialogFont(m_hInstance, templateId, (options & kPreferShellDlg2) != 0, changed))
        window = CreateDialogIndirectParamA(m_hInstance, (LPCDLGTEMPLATEA)changed.data(), parent, DialogProc,
                                            (LPARAM)this);
    else
        window =
            CreateDialogParamA(m_hInstance, MAKEINTRESOURCEA(templateId), parent, DialogProc, (LPARAM)this);
    // A dialog whose initialisation failed has closed itself already.
    return (window && m_hWnd == window) ? window : nullptr;
}

void C_Dialog::Close(INT_PTR result)
{
    if (!m_hWnd || !OnEnd(result))
        return;
    HWND window = m_hWnd;
    if (m_dwOptions & kModeless)
        DestroyWindow(window);
    else
        EndDialog(window, result);
    m_hWnd = nullptr;
    if (m_dwOptions & kDeleteOnClose)
        delete this;
}

INT_PTR CALLBACK C_Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    C_Dialog* self;
    if (message == WM_INITDIALOG) {
        self = (C_Dialog*)lParam;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)self);
        self->m_hWnd = window;
        INT_PTR init = self->OnInitDialog();
        if (!init) {
            self->Close(-1);
            return 0;
        }
        return init == 2 ? 0 : 1;
    }
    self = (C_Dialog*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!self)
        return 0;
    switch (message) {
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), wParam, lParam);
    case WM_CLOSE:
        return self->OnClose();
    case WM_DESTROY:
        return self->OnDestroy();
    case WM_NCDESTROY:
        // Destroyed from outside (its parent went away): forget the window, keep the object.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self->m_hWnd == window)
            self->m_hWnd = nullptr;
        return 0;
    default:
        return self->OnMessage(message, wParam, lParam);
    }
}

int C_Dialog::SetText(const char* text) { return SetWindowTextA(m_hWnd, text) != 0; }

int C_Dialog::SetWaitCursor(int on)
{
    SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
    return 1;
}

int C_Dialog::SetItemText(int id, const char* text) { return SetDlgItemTextA(m_hWnd, id, text) != 0; }

int C_Dialog::GetItemText(int id, char* buffer)
{
    buffer[0] = 0;
    UINT n = GetDlgItemTextA(m_hWnd, id, buffer, 260);
    buffer[259] = 0;
    return n != 0 || GetLastError() == 0;
}

std::string C_Dialog::GetItemText(int id)
{
    char buffer[260];
    GetItemText(id, buffer);
    return buffer;
}

HWND C_Dialog::GetItem(int id) const { return GetDlgItem(m_hWnd, id); }

int C_Dialog::EnableItem(int id, int on)
{
    HWND item = GetItem(id);
    if (!item)
        return 0;
    EnableWindow(item, on != 0);
    return 1;
}

int C_Dialog::ShowItem(int id, int on)
{
    HWND item = GetItem(id);
    if (!item)
        return 0;
    ShowWindow(item, on ? SW_SHOW : SW_HIDE);
    return 1;
}

int C_Dialog::CheckItem(int id, int on)
{
    return CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED) != 0;
}
int C_Dialog::IsItemChecked(int id) { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
int C_Dialog::CheckRadio(int first, int last, int id)
{
    return CheckRadioButton(m_hWnd, first, last, id) != 0;
}

LRESULT C_Dialog::SendItem(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(m_hWnd, id, message, wParam, lParam);
}

int C_Dialog::Show(int command)
{
    ShowWindow(m_hWnd, command);
    return m_hWnd != nullptr;
}

int C_Dialog::SetIcon(UINT resourceId)
{
    HICON small = (HICON)LoadImageA(m_hInstance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
    HICON large = (HICON)LoadImageA(m_hInstance, MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0);
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)small);
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, (LPARAM)large);
    if (m_hIconSmall)
        DestroyIcon(m_hIconSmall);
    if (m_hIconLarge)
        DestroyIcon(m_hIconLarge);
    m_hIconSmall = small;
    m_hIconLarge = large;
    return small && large;
}

RECT C_Dialog::MapDialogUnits(int x, int y, int width, int height) const
{
    RECT r = {x, y, x + width, y + height};
    MapDialogRect(m_hWnd, &r);
    return r;
}

int C_Dialog::SetMinimumSize(int widthDlu, int heightDlu)
{
    RECT r = MapDialogUnits(0, 0, widthDlu, heightDlu);
    m_nMinTrackWidth = r.right - r.left;
    m_nMinTrackHeight = r.bottom - r.top;
    return 1;
}

int C_Dialog::SavePlacement(HKEY root, const char* keyPath, const char* valueName, uint32_t options)
{
    return SaveWindowPlacement(m_hWnd, root, keyPath, valueName, options);
}

int C_Dialog::RestorePlacement(HKEY root, const char* keyPath, const char* valueName, uint32_t options)
{
    return RestoreWindowPlacement(m_hWnd, root, keyPath, valueName, options);
}

int C_Dialog::ShowMessage(UINT style, const char* caption, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return MessageBoxA(m_hWnd, text, caption, style ? style : MB_ICONEXCLAMATION);
}
