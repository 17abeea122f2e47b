// Window base for windows that are not dialogs: a class registered under a unique name and
// one window procedure that routes messages to the object kept in the window's user data.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

class C_Window {
public:
    C_Window() = default;
    C_Window(const C_Window&) = delete;
    C_Window& operator=(const C_Window&) = delete;
    virtual ~C_Window();

    virtual LRESULT OnCreate(CREATESTRUCTA* create);
    virtual LRESULT OnDestroy();
    virtual LRESULT OnClose();
    virtual LRESULT OnCommand(UINT id, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Registers the class "<baseName>_{GUID}" and creates the window; none on failure.
    HWND Create(HINSTANCE instance, const char* baseName, const char* text, DWORD style, DWORD exStyle, int x,
                int y, int width, int height, HWND parent, HICON largeIcon = nullptr,
                HICON smallIcon = nullptr);
    void Destroy();
    HWND GetHandle() const { return m_hWnd; }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND m_hWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    std::string m_strClass;
};

// "<baseName>_{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" with a new GUID.
std::string MakeUniqueClassName(const char* baseName);
