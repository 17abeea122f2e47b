// The graph control drawn under Wine: pixels of its surface are checked at the positions the
// pure mapping computes, and a worker feeds it while the GUI thread paints and resizes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "graph/Graph.h"
#include "tests/graph/GraphTestHost.h"

namespace {

constexpr uint32_t Pixel(uint32_t colour)
{
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

class GraphWin : public ::testing::Test {
protected:
    void Open(uint32_t options, int width = 640, int height = 320)
    {
        host = GraphTestHost(width + 40, height + 40);
        ASSERT_TRUE(host);
        ASSERT_TRUE(graph.RegisterClass(GetModuleHandleA(nullptr), options));
        RECT r = {10, 10, 10 + width, 10 + height};
        ASSERT_TRUE(graph.Create(r, host));
        PumpFor(50);
    }
    // What the last paint put on the surface, and where the pure mapping says things are.
    void Capture()
    {
        ASSERT_TRUE(graph.ReadSurface(pixels, &w, &h));
        graph.Snapshot().BuildFrame(graph.GetPlotWidth(), graph.GetPlotHeight(), frame,
                                    graph.GetLastFrame().labelWidth);
        ASSERT_EQ(w, frame.width);
        ASSERT_EQ(h, frame.height);
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)]; }
    // Whether the colour is within a pixel of (x, y) on the surface.
    bool Near(int x, int y, uint32_t colour) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < w && py < h && At(px, py) == colour)
                    return true;
            }
        return false;
    }
    int Count(uint32_t colour) const
    {
        int n = 0;
        for (uint32_t p : pixels)
            n += p == colour;
        return n;
    }

    HWND host = nullptr;
    C_GRAPH graph;
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    GraphFrame frame;
};

const uint32_t kBlueLine = Pixel(GraphRgb(241, 250, 255));

TEST_F(GraphWin, TwoValuesAtTheEndsDrawOneSegmentAcrossThePlot)
{
    Open(kGraphProgramOptions);
    EXPECT_EQ(graph.GetPlotWidth(), 638); // own border: 2 pixels smaller
    EXPECT_EQ(graph.GetPlotHeight(), 318);
    graph.Init(1000, 0, 100, 1, "%d MB/s", 60, 1, -1, -1);
    graph.AddValue(0, 20, 0);
    graph.AddValue(999, 80, 0);
    Capture();
    ASSERT_EQ(frame.series.size(), 1u);
    const GraphPoint a = frame.series[0].points[0], b = frame.series[0].points[1];
    EXPECT_GE(a.x, 60); // the label column, widened when "100 MB/s" needs it
    EXPECT_EQ(a.x, frame.labelWidth);
    EXPECT_EQ(b.x, w);
    for (int x = a.x; x < b.x; ++x) {
        int y = a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        ASSERT_TRUE(Near(x, y, kBlueLine)) << "no line at x " << x << ", y " << y;
    }
    // Nothing of the line in the label column.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < a.x - 1; ++x)
            ASSERT_NE(At(x, y), kBlueLine) << x << "," << y;

    // The surface reached the window inside the one-pixel frame.
    HDC dc = GetDC(graph.GetHandle());
    COLORREF frameColour = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(GetPixel(dc, 0, 0), frameColour);
    EXPECT_EQ(GetPixel(dc, w + 1, h + 1), frameColour);
    EXPECT_EQ(GetPixel(dc, 1 + w / 2, 1 + 5),
              RGB((At(w / 2, 5) >> 16) & 0xFF, (At(w / 2, 5) >> 8) & 0xFF, At(w / 2, 5) & 0xFF));
    ReleaseDC(graph.GetHandle(), dc);
}

TEST_F(GraphWin, ASingleValueDrawsNoLine)
{
    Open(kGraphProgramOptions);
    graph.Init(1000, 0, 100, 1, "%d MB/s", 60, 3, -1, -1);
    graph.AddValue(500, 50, 0);
    Capture();
    EXPECT_EQ(Count(kBlueLine), 0);
    graph.AddValue(501, 50, 0);
    Capture();
    EXPECT_GT(Count(kBlueLine), 0);
}

TEST_F(GraphWin, GridLinesFallWhereTheLabelsAre)
{
    Open(kGraphProgramOptions, 500, 400);
    graph.Init(1000, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    graph.AddValue(5, 40, 0);
    Capture();
    const uint32_t grid = Pixel(frame.gridColour), label = Pixel(frame.labelColour);
    // Between two vertical lines, each horizontal line shows in the grid colour.
    const int between = (frame.grid[10].x1 + frame.grid[11].x1) / 2;
    ASSERT_EQ(frame.labels.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        int lineY = frame.grid[size_t(i)].y1;
        EXPECT_EQ(At(between, lineY), grid) << "line " << i + 1;
        EXPECT_EQ(At(frame.grid[size_t(i)].x1, lineY), grid) << "tick of line " << i + 1;
        // The label's ink is centred on its line, whole, right-aligned before the tick.
        const int L = frame.labelWidth;
        int top = h, bottom = -1, left = L, right = -1;
        for (int y = lineY - 12; y <= lineY + 12; ++y)
            for (int x = 0; x < L; ++x)
                if (At(x, y) == label) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(bottom, 0) << "no text for label " << i + 1;
        EXPECT_LE(std::abs((top + bottom) / 2 - lineY), 3) << "label " << i + 1;
        EXPECT_GE(left, 3) << "label " << i + 1 << " is cut off";
        EXPECT_LE(right, L - 8);
        EXPECT_GE(right, L - 14);
    }
    // Every text pixel belongs to one of the nine labels (nothing on the top and bottom lines).
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < frame.labelWidth; ++x)
            if (At(x, y) == label) {
                int nearest = (y * 10 + h / 2) / h;
                ASSERT_GE(nearest, 1) << y;
                ASSERT_LE(nearest, 9) << y;
            }
}

TEST_F(GraphWin, AValueAboveTheMaximumWithoutRaisingIsDrawnAtTheTopEdge)
{
    Open(kGraphProgramOptions & ~kGraphRaiseMaximum);
    graph.Init(100, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    graph.AddValue(50, 50, 0);
    graph.AddValue(99, 50, 0);
    Capture();
    EXPECT_EQ(graph.Snapshot().Maximum(), 10);
    ASSERT_EQ(frame.series.size(), 1u);
    EXPECT_EQ(frame.series[0].points[0].y, 0);
    for (int x = frame.series[0].points[0].x + 1; x < w - 1; ++x)
        ASSERT_EQ(At(x, 0), kBlueLine) << x;
}

TEST_F(GraphWin, BlackLookAndResizeFollowTheMapping)
{
    Open(kGraphHorizontalGrid | kGraphVerticalGrid, 300, 200);
    EXPECT_EQ(graph.GetPlotWidth(), 296); // the client edge takes two pixels on each side
    EXPECT_TRUE(GetWindowLongA(graph.GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    graph.Init(10, 0, 100, 1, "%d", 40, 1, -1, -1);
    graph.AddValue(0, 50, 0);
    graph.AddValue(9, 50, 0);
    RECT client;
    GetClientRect(graph.GetHandle(), &client);
    EXPECT_EQ(graph.GetPlotWidth(), client.right);

    MoveWindow(graph.GetHandle(), 10, 10, 450, 260, TRUE);
    graph.Redraw();
    GetClientRect(graph.GetHandle(), &client);
    Capture();
    EXPECT_EQ(w, client.right);
    EXPECT_EQ(h, client.bottom);
    EXPECT_EQ(At(w / 3, 3), 0u); // black background
    const uint32_t line = Pixel(GraphRgb(254, 255, 135));
    int y = frame.series[0].points[0].y;
    EXPECT_EQ(y, h / 2);
    for (int x = 41; x < w - 1; ++x)
        ASSERT_EQ(At(x, y), line) << x;
}

// What the worker of the stress test does: feed 5000 values, replacing the buffer halfway.
struct Feed {
    C_GRAPH* graph;
    volatile LONG added;
};

DWORD WINAPI FeedValues(void* param)
{
    Feed* feed = (Feed*)param;
    for (int i = 0; i < 5000; ++i) {
        if (i == 2500)
            feed->graph->Init(5000, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
        feed->graph->AddValue(i, 40 + (i * 7919) % 23, 0);
        feed->graph->Redraw();
        InterlockedIncrement(&feed->added);
    }
    return 0;
}

LONG g_paints = 0;
WNDPROC g_graphProc = nullptr;
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT)
        ++g_paints;
    return CallWindowProcA(g_graphProc, window, message, wParam, lParam);
}

TEST_F(GraphWin, WorkerFeedsWhileTheGuiPaintsAndResizesWithoutDeadlock)
{
    Open(kGraphProgramOptions, 600, 300);
    graph.Init(5000, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    g_paints = 0;
    g_graphProc = (WNDPROC)SetWindowLongPtrA(graph.GetHandle(), GWLP_WNDPROC, (LONG_PTR)CountPaints);

    Feed feed = {&graph, 0};
    HANDLE worker = CreateThread(nullptr, 0, FeedValues, &feed, 0, nullptr);
    ASSERT_TRUE(worker);
    DWORD start = GetTickCount(), lastResize = start;
    int step = 0;
    bool finished = false;
    while (!finished && GetTickCount() - start < 120000) {
        DWORD wait = MsgWaitForMultipleObjects(1, &worker, FALSE, 30, QS_ALLINPUT);
        finished = wait == WAIT_OBJECT_0;
        PumpFor(0);
        // The GUI thread resizes and paints on its own as well.
        if (GetTickCount() - lastResize >= 30) {
            lastResize = GetTickCount();
            ++step;
            MoveWindow(graph.GetHandle(), 10, 10, 300 + (step * 37) % 500, 150 + (step * 53) % 400, TRUE);
            graph.Redraw();
        }
    }
    if (!finished) {
        TerminateThread(worker, 1);
        CloseHandle(worker);
        FAIL() << "deadlock: the worker added " << feed.added << " values in two minutes";
    }
    CloseHandle(worker);
    SetWindowLongPtrA(graph.GetHandle(), GWLP_WNDPROC, (LONG_PTR)g_graphProc);
    EXPECT_EQ(feed.added, 5000);
    // The worker's redraws made the GUI thread paint, not only the GUI's own.
    EXPECT_GT(g_paints, step);

    GraphModel last = graph.Snapshot();
    EXPECT_EQ(last.Value(4999, 0), 40 + (4999 * 7919) % 23);
    EXPECT_EQ(last.Value(2499, 0), kGraphEmpty); // replaced by the second Init
    Capture();
    EXPECT_GT(Count(kBlueLine), 0);

    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i)
        EXPECT_TRUE(HeapValidate(heaps[i], 0, nullptr)) << "heap " << i;
}

TEST_F(GraphWin, ClosedWindowForgetsTheValuesAndIgnoresLateCalls)
{
    Open(kGraphProgramOptions);
    graph.Init(100, 0, 10, 1, "%d", 60, 1, -1, -1);
    graph.AddValue(1, 5, 0);
    DestroyWindow(graph.GetHandle());
    EXPECT_EQ(graph.GetHandle(), nullptr);
    EXPECT_EQ(graph.Snapshot().Points(), 0);
    graph.AddValue(2, 5, 0); // a worker that is late: nothing to paint, no crash
    graph.Redraw();
    // The object serves a new window, and Init gives it new values.
    RECT r = {0, 0, 200, 100};
    ASSERT_TRUE(graph.Create(r, host));
    graph.Init(10, 0, 10, 1, "%d", 60, 1, -1, -1);
    graph.AddValue(0, 1, 0);
    graph.AddValue(9, 9, 0);
    Capture();
    EXPECT_EQ(frame.series.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(graph.GetHandle()));
}

TEST(GraphHidden, StaysHiddenWithOptionEight)
{
    HWND host = GraphTestHost(300, 200);
    C_GRAPH graph;
    ASSERT_TRUE(graph.RegisterClass(nullptr, kGraphProgramOptions | kGraphHidden));
    RECT r = {0, 0, 200, 100};
    ASSERT_TRUE(graph.Create(r, host));
    graph.Init(10, 0, 10, 1, "%d", 60, 1, -1, -1);
    EXPECT_FALSE(IsWindowVisible(graph.GetHandle()));
    ShowWindow(graph.GetHandle(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(graph.GetHandle()));
}

} // namespace
