// Dialog base: one dialog procedure routes the messages of every dialog to the virtual
// handlers of the object stored in the window's user data.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

class C_Dialog {
public:
    enum : uint32_t {
        kModeless = 0x1,
        kDeleteOnClose = 0x2,
        kPreferShellDlg2 = 0x4,
        kSuppressFirstShow = 0x8,
    };

    C_Dialog() = default;
    C_Dialog(const C_Dialog&) = delete;
    C_Dialog& operator=(const C_Dialog&) = delete;

    // Handlers, in this order; derived pages rely on it.
    virtual ~C_Dialog();
    virtual INT_PTR OnInitDialog();
    virtual INT_PTR OnEnd(INT_PTR result);
    virtual INT_PTR OnCommand(UINT id, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnClose();
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR OnDestroy();

    // The value given to EndDialog, or -1 when the dialog could not be created.
    INT_PTR RunModal(HINSTANCE instance, UINT templateId, uint32_t options, HWND parent);
    HWND CreateModeless(HINSTANCE instance, UINT templateId, uint32_t options, HWND parent);
    void Close(INT_PTR result);

    HWND GetHandle() const { return m_hWnd; }
    uint32_t GetOptions() const { return m_dwOptions; }
    bool IsOpen() const { return m_hWnd != nullptr; }

    int SetText(const char* text);
    int SetWaitCursor(int on);
    int SetItemText(int id, const char* text);
    int GetItemText(int id, char* buffer); // buffer of at least 260 characters
    std::string GetItemText(int id);
    HWND GetItem(int id) const;
    int EnableItem(int id, int on);
    int ShowItem(int id, int on);
    int CheckItem(int id, int on);
    int IsItemChecked(int id);
    int CheckRadio(int first, int last, int id);
    LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int Show(int command);
    int SetIcon(UINT resourceId);
    int SetMinimumSize(int widthDlu, int heightDlu);
    int SavePlacement(HKEY root, const char* keyPath, const char* valueName, uint32_t options);
    int RestorePlacement(HKEY root, const char* keyPath, const char* valueName, uint32_t options);
    int ShowMessage(UINT style, const char* caption, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // Dialog units to pixels of this dialog.
    RECT MapDialogUnits(int x, int y, int width, int height) const;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HICON m_hIconSmall = nullptr;
    HICON m_hIconLarge = nullptr;
    int m_nMinTrackWidth = -1;
    int m_nMinTrackHeight = -1;
    uint32_t m_dwOptions = 0;

private:
    void Prepare(HINSTANCE instance, uint32_t options);
};

// Declares the process DPI-aware and registers every common control class; done before
// the first dialog is created.
void PrepareDialogSystem();
