// C_GRAPH: the self-drawing rate graph. A worker thread may add values while the GUI thread
// paints: the data changes under the control's lock, and the window is told to repaint only
// after the lock is released, so a paint that waits for the lock never waits for a caller that
// waits for the paint.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>
#include "graph/GraphModel.h"

class C_GRAPH {
public:
    C_GRAPH();
    ~C_GRAPH();
    C_GRAPH(const C_GRAPH&) = delete;
    C_GRAPH& operator=(const C_GRAPH&) = delete;

    // Registers the window class "___C_GRAPH__" (once per process) and records the options
    // (kGraph* bits of graph/GraphModel.h). 1 on success.
    int RegisterClass(HINSTANCE instance, uint32_t options);
    // Creates the control as a child of parent at rect (pixels); none on failure.
    HWND Create(const RECT& rect, HWND parent);
    // Replaces the values with an empty buffer; any thread.
    void Init(int points, int minimum, int maximum, int series, const char* labelFormat, int labelWidth,
              int penWidth, int lowerLimit, int upperLimit);
    // Stores one value (x = -1 appends in ring mode) and repaints; any thread.
    void AddValue(int x, int value, int series);
    // The legend text of a series; any thread.
    void SetName(int series, const char* name);
    // Repaints the whole control before returning; any thread, never while holding the lock.
    void Redraw();

    HWND GetHandle() const { return m_hWnd; }
    uint32_t GetOptions() const { return m_dwOptions; }
    // A consistent copy of the data, for readers that are not the painter.
    GraphModel Snapshot() const;
    // The plot size the next paint uses.
    int GetPlotWidth() const { return m_nPlotWidth; }
    int GetPlotHeight() const { return m_nPlotHeight; }
    // What the last paint drew, in surface pixels (GUI thread).
    const GraphFrame& GetLastFrame() const { return m_frame; }
    // Pixels of the off-screen surface as last painted, rows top to bottom, 0x00RRGGBB; the
    // GUI thread's view of what reached the screen. 0 when there is no surface.
    int ReadSurface(std::vector<uint32_t>& pixels, int* width, int* height) const;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Draw(const GraphFrame& frame);
    int WidestLabel(const GraphFrame& frame);
    int MakeSurface(int width, int height);
    void FreeSurface();
    void ShowUnlessHidden();

    mutable CRITICAL_SECTION m_lock;
    GraphModel m_model;    // under m_lock
    HWND m_hWnd = nullptr; // under m_lock for readers on other threads
    HINSTANCE m_hInstance = nullptr;
    uint32_t m_dwOptions = 0;
    // GUI thread only.
    GraphFrame m_frame;
    HFONT m_hFont = nullptr;
    HDC m_hSurfaceDc = nullptr;
    HBITMAP m_hSurface = nullptr;
    HGDIOBJ m_hOldSurface = nullptr;
    uint32_t* m_pBits = nullptr;
    int m_nSurfaceWidth = 0;
    int m_nSurfaceHeight = 0;
    int m_nPlotWidth = 0;
    int m_nPlotHeight = 0;
};
