#include "app/splash/Splash.h"
#include "app/splash/LayeredWindow.h"

static const UINT kTimerClose = 1;
static const UINT kStartTimer = WM_APP + 1;

namespace {
// The splash never takes the focus (the main window keeps it), so keys go to the window
// below. While a splash is up, a hook on the thread's message retrieval hands the first
// key press to it instead, and the key does nothing else (Escape would end the program).
HWND g_splashWindow = nullptr;
HHOOK g_keyHook = nullptr;

LRESULT CALLBACK SplashKeyHook(int code, WPARAM removal, LPARAM data)
{
    if (code == HC_ACTION && removal == PM_REMOVE && g_splashWindow) {
        MSG* msg = (MSG*)data;
        // System keys (Alt+F4) keep their meaning.
        if (msg->message == WM_KEYDOWN)
            msg->hwnd = g_splashWindow;
    }
    return CallNextHookEx(g_keyHook, code, removal, data);
}

void WatchKeys(HWND splash)
{
    g_splashWindow = splash;
    if (!g_keyHook)
        g_keyHook = SetWindowsHookExA(WH_GETMESSAGE, SplashKeyHook, nullptr, GetCurrentThreadId());
}

void StopWatchingKeys()
{
    g_splashWindow = nullptr;
    if (g_keyHook)
        UnhookWindowsHookEx(g_keyHook);
    g_keyHook = nullptr;
}
} // namespace

C_Splash::C_Splash() = default;

C_Splash::~C_Splash()
{
    m_bClosing = 1;
    m_fader.Wait(0);
    Destroy();
}

int C_Splash::Start(HINSTANCE instance, int imageId, UINT displayMs, uint32_t)
{
    BOOL fade = FALSE;
    SystemParametersInfoA(SPI_GETSELECTIONFADE, 0, &fade, 0);
    m_bFading = fade && !GetSystemMetrics(SM_REMOTESESSION);
    m_nImageId = imageId;
    m_displayMs = displayMs;
    m_bClosing = 0;
    m_layered.reset(new C_LayeredWindow);
    HWND window =
        Create(instance, "Zumbra", "Zumbra", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
    if (!window) {
        m_layered.reset();
        return 0;
    }
    if (m_bFading)
        m_fader.Start(FadeIn, this, 0);
    else
        PostMessageA(window, kStartTimer, 0, 0);
    return 1;
}

LRESULT C_Splash::OnCreate(CREATESTRUCTA*)
{
    if (!m_layered->Create(m_hWnd, 0x1, m_nImageId, m_hInstance))
        return -1;
    int width = m_layered->Width(), height = m_layered->Height();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(m_hWnd, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
    SetOpacity(m_bFading ? 0 : 255);
    ShowWindow(m_hWnd, SW_SHOWNA);
    WatchKeys(m_hWnd);
    return 0;
}

void C_Splash::SetOpacity(uint8_t alpha)
{
    if (m_layered)
        m_layered->SetOpacity(alpha);
}

uint32_t C_Splash::FadeIn(void* userData, uintptr_t)
{
    C_Splash* self = (C_Splash*)userData;
    for (int alpha = 0; alpha <= 240 && !self->m_bClosing; alpha += 40) {
        self->SetOpacity((uint8_t)alpha);
        Sleep(20);
    }
    if (!self->m_bClosing) {
        self->SetOpacity(255);
        // Timers belong to the window's own thread.
        HWND window = self->m_hWnd;
        if (window)
            PostMessageA(window, kStartTimer, 0, 0);
    }
    return 0;
}

void C_Splash::Finish()
{
    if (!m_hWnd || m_bClosing.exchange(1))
        return;
    KillTimer(m_hWnd, kTimerClose);
    m_fader.Wait(0);
    if (m_bFading) {
        for (int alpha = 255; alpha > 0; alpha -= 40) {
            SetOpacity((uint8_t)alpha);
            Sleep(20);
        }
        SetOpacity(0);
    }
    Destroy();
}

LRESULT C_Splash::OnClose()
{
    Finish();
    return 0;
}

LRESULT C_Splash::OnDestroy()
{
    StopWatchingKeys();
    KillTimer(m_hWnd, kTimerClose);
    return 0;
}

LRESULT C_Splash::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kStartTimer:
        if (!m_bClosing)
            SetTimer(m_hWnd, kTimerClose, m_displayMs, nullptr);
        return 0;
    case WM_TIMER:
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
        Finish();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return C_Window::OnMessage(message, wParam, lParam);
    }
}
