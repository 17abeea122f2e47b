#include "graph/Graph.h"

namespace {

const char kClassName[] = "___C_GRAPH__";

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// Surface pixels are 0x00RRGGBB; model colours are COLORREFs.
uint32_t ToPixel(uint32_t colour)
{
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

} // namespace

C_GRAPH::C_GRAPH() { InitializeCriticalSection(&m_lock); }

C_GRAPH::~C_GRAPH()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    FreeSurface();
    if (m_hFont)
        DeleteObject(m_hFont);
    DeleteCriticalSection(&m_lock);
}

int C_GRAPH::RegisterClass(HINSTANCE instance, uint32_t options)
{
    m_hInstance = instance ? instance : GetModuleHandleA(nullptr);
    {
        Lock lock(m_lock);
        m_dwOptions = options;
        m_model.SetOptions(options);
    }
    WNDCLASSA wc = {};
    wc.style = CS_SAVEBITS | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = m_hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (::RegisterClassA(&wc))
        return 1;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND C_GRAPH::Create(const RECT& rect, HWND parent)
{
    if (m_hWnd)
        return nullptr;
    DWORD exStyle = (m_dwOptions & kGraphOwnBorder) ? 0 : WS_EX_CLIENTEDGE;
    HWND window =
        CreateWindowExA(exStyle, kClassName, "", WS_CHILD | WS_CLIPSIBLINGS, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, m_hInstance, this);
    if (!window)
        return nullptr;
    if (!m_hFont)
        m_hFont = CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Verdana");
    if (!m_pBits) // WM_SIZE during creation normally made it already
        MakeSurface(rect.right - rect.left, rect.bottom - rect.top);
    ShowUnlessHidden();
    return window;
}

void C_GRAPH::Init(int points, int minimum, int maximum, int series, const char* labelFormat, int labelWidth,
                   int penWidth, int lowerLimit, int upperLimit)
{
    {
        Lock lock(m_lock);
        m_model.Init(points, minimum, maximum, series, labelFormat, labelWidth, penWidth, lowerLimit,
                     upperLimit);
    }
    Redraw();
    ShowUnlessHidden();
}

void C_GRAPH::AddValue(int x, int value, int series)
{
    {
        Lock lock(m_lock);
        if (!m_model.AddValue(x, value, series))
            return;
    }
    Redraw();
}

void C_GRAPH::SetName(int series, const char* name)
{
    {
        Lock lock(m_lock);
        if (!m_model.SetName(series, name))
            return;
    }
    Redraw();
}

void C_GRAPH::Redraw()
{
    HWND window;
    {
        Lock lock(m_lock);
        window = m_hWnd;
    }
    if (!window)
        return;
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

GraphModel C_GRAPH::Snapshot() const
{
    Lock lock(m_lock);
    return m_model;
}

void C_GRAPH::ShowUnlessHidden()
{
    HWND window;
    {
        Lock lock(m_lock);
        window = m_hWnd;
    }
    if (window && !(m_dwOptions & kGraphHidden))
        ShowWindow(window, SW_SHOW);
}

int C_GRAPH::ReadSurface(std::vector<uint32_t>& pixels, int* width, int* height) const
{
    *width = *height = 0;
    pixels.clear();
    if (!m_pBits)
        return 0;
    GdiFlush();
    *width = m_nSurfaceWidth;
    *height = m_nSurfaceHeight;
    pixels.assign(m_pBits, m_pBits + size_t(m_nSurfaceWidth) * size_t(m_nSurfaceHeight));
    return 1;
}

int C_GRAPH::MakeSurface(int width, int height)
{
    FreeSurface();
    // A plot of no size keeps a surface of one pixel, so painting needs no special case.
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
    HDC screen = GetDC(nullptr);
    m_hSurfaceDc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!m_hSurfaceDc)
        return 0;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_hSurface = CreateDIBSection(m_hSurfaceDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_hSurface) {
        FreeSurface();
        return 0;
    }
    m_pBits = (uint32_t*)bits;
    m_nSurfaceWidth = width;
    m_nSurfaceHeight = height;
    m_hOldSurface = SelectObject(m_hSurfaceDc, m_hSurface);
    return 1;
}

void C_GRAPH::FreeSurface()
{
    if (m_hSurfaceDc) {
        if (m_hOldSurface)
            SelectObject(m_hSurfaceDc, m_hOldSurface);
        DeleteDC(m_hSurfaceDc);
    }
    if (m_hSurface)
        DeleteObject(m_hSurface);
    m_hSurfaceDc = nullptr;
    m_hSurface = nullptr;
    m_hOldSurface = nullptr;
    m_pBits = nullptr;
    m_nSurfaceWidth = m_nSurfaceHeight = 0;
}

void C_GRAPH::Draw(const GraphFrame& frame)
{
    const int w = m_nSurfaceWidth, h = m_nSurfaceHeight;
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        uint32_t pixel = ToPixel(GraphBackground(y, frame.height, frame.darkBlue));
        uint32_t* row = m_pBits + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x)
            row[x] = pixel;
    }
    HDC dc = m_hSurfaceDc;
    if (!frame.grid.empty()) {
        HPEN pen = CreatePen(PS_SOLID, 1, frame.gridColour);
        HGDIOBJ old = SelectObject(dc, pen);
        for (const GraphLine& line : frame.grid) {
            MoveToEx(dc, line.x1, line.y1, nullptr);
            LineTo(dc, line.x2, line.y2);
        }
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = m_hFont ? SelectObject(dc, m_hFont) : nullptr;
    SetTextColor(dc, frame.labelColour);
    for (const GraphLabel& label : frame.labels) {
        RECT r = {label.left, label.top, label.right, label.bottom};
        DrawTextA(dc, label.text.c_str(), (int)label.text.size(), &r,
                  DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    for (const GraphLegendEntry& entry : frame.legend) {
        SetTextColor(dc, entry.colour);
        TextOutA(dc, entry.x, entry.y, entry.text.c_str(), (int)entry.text.size());
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    for (const GraphSeriesLine& line : frame.series) {
        HPEN pen = CreatePen(PS_SOLID, frame.penWidth, line.colour);
        HGDIOBJ old = SelectObject(dc, pen);
        static_assert(sizeof(GraphPoint) == sizeof(POINT), "points are handed to GDI as they are");
        Polyline(dc, reinterpret_cast<const POINT*>(line.points.data()), (int)line.points.size());
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

int C_GRAPH::WidestLabel(const GraphFrame& frame)
{
    if (!m_hSurfaceDc || frame.labels.empty())
        return 0;
    HGDIOBJ old = m_hFont ? SelectObject(m_hSurfaceDc, m_hFont) : nullptr;
    int widest = 0;
    for (const GraphLabel& label : frame.labels) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(m_hSurfaceDc, label.text.c_str(), (int)label.text.size(), &size);
        widest = size.cx > widest ? (int)size.cx : widest;
    }
    if (old)
        SelectObject(m_hSurfaceDc, old);
    return widest;
}

void C_GRAPH::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    {
        // Only the copy of the data happens under the lock; the drawing needs none.
        Lock lock(m_lock);
        m_model.BuildFrame(m_nPlotWidth, m_nPlotHeight, m_frame);
    }
    // Labels wider than their column ("1234 MB/s") widen it rather than lose their digits.
    int column = GraphLabelColumn(m_frame.labelWidth, WidestLabel(m_frame), m_nPlotWidth);
    if (column != m_frame.labelWidth) {
        Lock lock(m_lock);
        m_model.BuildFrame(m_nPlotWidth, m_nPlotHeight, m_frame, column);
    }
    const int offset = (m_dwOptions & kGraphOwnBorder) ? 1 : 0;
    if (offset) {
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, m_nPlotWidth + 2, m_nPlotHeight + 2);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    if (m_pBits && m_nPlotWidth > 0 && m_nPlotHeight > 0) {
        Draw(m_frame);
        BitBlt(dc, offset, offset, m_nPlotWidth, m_nPlotHeight, m_hSurfaceDc, 0, 0, SRCCOPY);
    }
    EndPaint(m_hWnd, &ps);
}

LRESULT C_GRAPH::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        int border = (m_dwOptions & kGraphOwnBorder) ? 2 : 0;
        int w = (int)(short)LOWORD(lParam) - border, h = (int)(short)HIWORD(lParam) - border;
        m_nPlotWidth = w > 0 ? w : 0;
        m_nPlotHeight = h > 0 ? h : 0;
        MakeSurface(m_nPlotWidth, m_nPlotHeight);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DESTROY: {
        Lock lock(m_lock);
        m_hWnd = nullptr;
        m_model.Clear();
        return 0;
    }
    default:
        return DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK C_GRAPH::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    C_GRAPH* self;
    if (message == WM_CREATE) {
        self = (C_GRAPH*)((CREATESTRUCTA*)lParam)->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)self);
        {
            Lock lock(self->m_lock);
            self->m_hWnd = window;
        }
        self->m_nPlotWidth = self->m_nPlotHeight = 0;
        return 0;
    }
    self = (C_GRAPH*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!self || self->m_hWnd != window) {
        if (message == WM_NCDESTROY)
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}
