// How fast the graph control paints: the time its paint handler takes for 5000 points, the
// whole Redraw round trip (which adds the window system's copy to the screen), and how many
// paints per second the GUI thread manages while a worker adds values with a redraw after
// each. Prints "graph paint-5000-ms VALUE", "graph redraw-5000-ms VALUE",
// "graph paints-per-second VALUE" and one paint's share of a 60 Hz frame
// ("ratio paint-per-frame VALUE").
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "graph/Graph.h"
#include "tests/graph/GraphTestHost.h"

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

// A rate curve like a disk's: steady with noise, a slow zone, the end slower.
int Rate(int i)
{
    double base = i < 3500 ? 120.0 : 80.0;
    if (i > 2000 && i < 2150)
        base = 30.0;
    return int(base + 8.0 * std::sin(i * 0.37) + (i * 7919 % 13) - 6);
}

struct Feed {
    C_GRAPH* graph;
    volatile LONG stop;
    volatile LONG added;
};

DWORD WINAPI FeedValues(void* param)
{
    Feed* feed = (Feed*)param;
    for (int i = 0; !feed->stop; i = (i + 1) % 5000) {
        feed->graph->AddValue(i, Rate(i), 0);
        InterlockedIncrement(&feed->added);
    }
    return 0;
}

LONG g_paints = 0;
double g_paintSeconds = 0;
WNDPROC g_graphProc = nullptr;
LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return CallWindowProcA(g_graphProc, window, message, wParam, lParam);
    ++g_paints;
    double start = Now();
    LRESULT result = CallWindowProcA(g_graphProc, window, message, wParam, lParam);
    g_paintSeconds += Now() - start;
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    int width = argc > 1 ? atoi(argv[1]) : 900, height = argc > 2 ? atoi(argv[2]) : 450;
    HWND host = GraphTestHost(width + 20, height + 20);
    C_GRAPH graph;
    graph.RegisterClass(nullptr, kGraphProgramOptions);
    RECT r = {10, 10, 10 + width, 10 + height};
    if (!graph.Create(r, host))
        return 1;
    PumpFor(100);
    graph.Init(5000, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    for (int i = 0; i < 5000; ++i)
        graph.AddValue(i, Rate(i), 0);

    g_graphProc = (WNDPROC)SetWindowLongPtrA(graph.GetHandle(), GWLP_WNDPROC, (LONG_PTR)CountPaints);
    const int rounds = 200;
    g_paints = 0;
    g_paintSeconds = 0;
    double start = Now();
    for (int i = 0; i < rounds; ++i)
        graph.Redraw();
    double redrawMs = (Now() - start) * 1000.0 / rounds;
    double paintMs = g_paints ? g_paintSeconds * 1000.0 / g_paints : 0.0;

    g_paints = 0;
    Feed feed = {&graph, 0, 0};
    HANDLE worker = CreateThread(nullptr, 0, FeedValues, &feed, 0, nullptr);
    start = Now();
    while (Now() - start < 3.0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpFor(0);
    }
    double seconds = Now() - start;
    LONG paints = g_paints, added = feed.added;
    feed.stop = 1;
    while (WaitForSingleObject(worker, 10) == WAIT_TIMEOUT)
        PumpFor(0);
    CloseHandle(worker);
    SetWindowLongPtrA(graph.GetHandle(), GWLP_WNDPROC, (LONG_PTR)g_graphProc);

    std::printf("graph surface %dx%d\n", graph.GetPlotWidth(), graph.GetPlotHeight());
    std::printf("graph paint-5000-ms %.3f\n", paintMs);
    std::printf("graph redraw-5000-ms %.3f\n", redrawMs);
    std::printf("graph paints-per-second %.0f\n", paints / seconds);
    std::printf("graph values-per-second %.0f\n", added / seconds);
    std::printf("ratio paint-per-frame %.3f\n", paintMs / (1000.0 / 60.0));
    return 0;
}
