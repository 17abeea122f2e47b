#include "graph/GraphWindow.h"
#include "graph/GraphIds.h"

static const char kPlacementValue[] = "Graph";

void C_GraphWindow::Setup(HINSTANCE instance, const char* title, UINT iconId, HKEY root, const char* keyPath)
{
    m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    m_strTitle = title ? title : "";
    m_nIconId = iconId;
    m_hRoot = root;
    m_strKeyPath = (root && keyPath) ? keyPath : "";
}

int C_GraphWindow::Open()
{
    if (IsOpen()) {
        SetForegroundWindow(m_hWnd);
        return 1;
    }
    if (!m_bRegistered)
        m_bRegistered = m_graph.RegisterClass(m_hInstance, kGraphProgramOptions) != 0;
    if (!m_bRegistered)
        return 0;
    return CreateModeless(m_hInstance, IDD_GRAPH, 0, nullptr) != nullptr;
}

void C_GraphWindow::Dismiss()
{
    HWND window = m_hWnd;
    if (!window)
        return;
    // Only the window's own thread may destroy it; a worker asks that thread to.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        SendMessageA(window, WM_CLOSE, 0, 0);
    else
        Close(0);
}

INT_PTR C_GraphWindow::OnInitDialog()
{
    RECT r = MapDialogUnits(0, 0, 311, 150);
    if (!m_graph.Create(r, m_hWnd))
        return 0;
    if (m_nIconId)
        SetIcon(m_nIconId);

    RECT min = MapDialogUnits(0, 0, 300, 150);
    AdjustWindowRectEx(&min, (DWORD)GetWindowLongA(m_hWnd, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    m_nMinTrackWidth = min.right - min.left;
    m_nMinTrackHeight = min.bottom - min.top;

    std::string text = m_strTitle + " Graph";
    SetText(text.c_str());

    RECT client;
    GetClientRect(m_hWnd, &client);
    m_anchor = GraphRect{(int)r.left, (int)r.top, (int)r.right, (int)r.bottom};
    m_nSetupClientWidth = client.right;
    m_nSetupClientHeight = client.bottom;

    if (!m_strKeyPath.empty())
        RestorePlacement(m_hRoot, m_strKeyPath.c_str(), kPlacementValue, 0);
    Show(SW_SHOW);
    return 1;
}

INT_PTR C_GraphWindow::OnEnd(INT_PTR)
{
    if (!m_strKeyPath.empty())
        SavePlacement(m_hRoot, m_strKeyPath.c_str(), kPlacementValue, 0);
    return 1;
}

INT_PTR C_GraphWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && m_graph.GetHandle() && m_nSetupClientWidth > 0) {
        GraphRect r = GraphAnchor(m_anchor, m_nSetupClientWidth, m_nSetupClientHeight, (int)LOWORD(lParam),
                                  (int)HIWORD(lParam));
        MoveWindow(m_graph.GetHandle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        InvalidateRect(m_graph.GetHandle(), nullptr, FALSE);
    }
    return C_Dialog::OnMessage(message, wParam, lParam);
}
