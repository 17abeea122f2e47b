#include "app/framework/Window.h"
#include <objbase.h>
#include <cstdio>

std::string MakeUniqueClassName(const char* baseName)
{
    GUID guid = {};
    CoCreateGuid(&guid);
    char text[128];
    snprintf(text, sizeof(text), "%s_{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", baseName,
             (unsigned long)guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
             guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

C_Window::~C_Window()
{
    Destroy();
    if (!m_strClass.empty())
        UnregisterClassA(m_strClass.c_str(), m_hInstance);
}

LRESULT C_Window::OnCreate(CREATESTRUCTA*) { return 0; }
LRESULT C_Window::OnDestroy() { return 0; }

LRESULT C_Window::OnClose()
{
    Destroy();
    return 0;
}

LRESULT C_Window::OnCommand(UINT, WPARAM, LPARAM) { return 0; }

LRESULT C_Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}

HWND C_Window::Create(HINSTANCE instance, const char* baseName, const char* text, DWORD style, DWORD exStyle,
                      int x, int y, int width, int height, HWND parent, HICON largeIcon, HICON smallIcon)
{
    if (m_hWnd)
        return nullptr;
    m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    if (m_strClass.empty()) {
        m_strClass = MakeUniqueClassName(baseName);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = m_hInstance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.hIcon = largeIcon;
        wc.hIconSm = smallIcon;
        wc.lpszClassName = m_strClass.c_str();
        if (!RegisterClassExA(&wc)) {
            m_strClass.clear();
            return nullptr;
        }
    }
    return CreateWindowExA(exStyle, m_strClass.c_str(), text, style, x, y, width, height, parent, nullptr,
                           m_hInstance, this);
}

void C_Window::Destroy()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

LRESULT CALLBACK C_Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    C_Window* self;
    if (message == WM_CREATE) {
        CREATESTRUCTA* create = (CREATESTRUCTA*)lParam;
        self = (C_Window*)create->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)self);
        self->m_hWnd = window;
        return self->OnCreate(create);
    }
    self = (C_Window*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        return self->OnDestroy();
    case WM_CLOSE:
        return self->OnClose();
    case WM_COMMAND:
        return self->OnCommand(LOWORD(wParam), wParam, lParam);
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return self->OnMessage(message, wParam, lParam);
    }
}
