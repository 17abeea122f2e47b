// The graph window under Wine: it opens, follows resizing with its control, remembers its
// placement in the registry (and nothing in portable mode), and closes from any thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>

#include "app/framework/PlacementText.h"
#include "graph/GraphWindow.h"
#include "tests/app/e2e_common/BitmapPicture.h"
#include "tests/app/e2e_common/RegistryText.h"
#include "tests/graph/GraphTestHost.h"

namespace {

const char kKey[] = "Software\\Velantix\\QuellmorGraphTest";

std::string ReadStored() { return ReadRegistryText(HKEY_CURRENT_USER, kKey, "Graph"); }

void Store(const char* text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Graph", 0, REG_SZ, (const BYTE*)text, DWORD(strlen(text) + 1));
    RegCloseKey(key);
}

bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RECT WindowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// The control fills the client area: the anchor keeps its zero margins.
void ExpectControlFillsClient(C_GraphWindow& window)
{
    RECT client, control;
    GetClientRect(window.GetHandle(), &client);
    GetWindowRect(window.Graph().GetHandle(), &control);
    MapWindowPoints(nullptr, window.GetHandle(), (POINT*)&control, 2);
    EXPECT_EQ(control.left, 0);
    EXPECT_EQ(control.top, 0);
    EXPECT_EQ(control.right, client.right);
    EXPECT_EQ(control.bottom, client.bottom);
}

class GraphWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        window.Setup(nullptr, "Quellmor [1.00]", 0, HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override
    {
        window.Dismiss();
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    }
    C_GraphWindow window;
};

TEST_F(GraphWindowTest, OpensResizesClosesAndReopensWhereItWas)
{
    ASSERT_TRUE(window.Open());
    HWND hwnd = window.GetHandle();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindowVisible(window.Graph().GetHandle()));
    char caption[100];
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quellmor [1.00] Graph");
    ExpectControlFillsClient(window);
    // The template's size: the control was made at 311 x 150 dialog units.
    RECT units = window.MapDialogUnits(0, 0, 311, 150);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    SetWindowPos(hwnd, nullptr, 40, 50, 900, 620, SWP_NOZORDER);
    PumpFor(20);
    ExpectControlFillsClient(window);
    EXPECT_EQ(window.Graph().GetPlotWidth() + 2, [&] {
        RECT c;
        GetClientRect(hwnd, &c);
        return int(c.right);
    }());
    RECT placed = WindowRect(hwnd);

    // The close box.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_FALSE(IsWindow(hwnd));
    int show = 0;
    PlacementRect stored;
    ASSERT_TRUE(ParsePlacement(ReadStored().c_str(), &show, &stored)) << ReadStored();
    EXPECT_EQ(show, SW_SHOWNORMAL);
    EXPECT_EQ(stored.left, placed.left);
    EXPECT_EQ(stored.top, placed.top);
    EXPECT_EQ(stored.right, placed.right);
    EXPECT_EQ(stored.bottom, placed.bottom);

    ASSERT_TRUE(window.Open());
    RECT again = WindowRect(window.GetHandle());
    EXPECT_EQ(again.left, placed.left);
    EXPECT_EQ(again.top, placed.top);
    EXPECT_EQ(again.right, placed.right);
    EXPECT_EQ(again.bottom, placed.bottom);
    ExpectControlFillsClient(window);
}

TEST_F(GraphWindowTest, StoredMinimisedOrOffScreenPlacementOpensNormalOnAMonitor)
{
    Store("2,100,120,700,520");
    ASSERT_TRUE(window.Open());
    EXPECT_FALSE(IsIconic(window.GetHandle()));
    RECT r = WindowRect(window.GetHandle());
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 700);
    window.Dismiss();

    Store("1,9000,7000,9600,7400");
    ASSERT_TRUE(window.Open());
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    r = WindowRect(window.GetHandle());
    EXPECT_EQ(r.left, work.left + 10);
    EXPECT_EQ(r.top, work.top + 10);
    EXPECT_EQ(r.right - r.left, 600); // size kept
}

TEST_F(GraphWindowTest, PortableModeOpensCentredAtTemplateSizeAndWritesNothing)
{
    Store("1,100,120,700,520");
    HKEY none = nullptr;
    window.Setup(nullptr, "Quellmor [1.00]", 0, none, nullptr);
    ASSERT_TRUE(window.Open());
    RECT r = WindowRect(window.GetHandle());
    EXPECT_NE(r.left, 100); // the stored placement is not read
    RECT client;
    GetClientRect(window.GetHandle(), &client);
    RECT units = window.MapDialogUnits(0, 0, 311, 150);
    EXPECT_EQ(client.right, units.right);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((r.left + r.right) / 2 - (work.left + work.right) / 2), 2);
    SetWindowPos(window.GetHandle(), nullptr, 10, 10, 800, 500, SWP_NOZORDER);
    window.Dismiss();
    EXPECT_EQ(ReadStored(), "1,100,120,700,520");

    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    ASSERT_TRUE(window.Open());
    window.Dismiss();
    EXPECT_FALSE(KeyExists()) << "portable mode reached the registry";
}

TEST_F(GraphWindowTest, OpenAgainBringsItForwardWithoutMovingIt)
{
    ASSERT_TRUE(window.Open());
    HWND first = window.GetHandle();
    SetWindowPos(first, nullptr, 70, 80, 700, 400, SWP_NOZORDER);
    RECT before = WindowRect(first);
    ASSERT_TRUE(window.Open());
    EXPECT_EQ(window.GetHandle(), first);
    RECT after = WindowRect(first);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
}

TEST_F(GraphWindowTest, CannotBeMadeSmallerThanItsMinimum)
{
    ASSERT_TRUE(window.Open());
    HWND hwnd = window.GetHandle();
    SetWindowPos(hwnd, nullptr, 0, 0, 50, 40, SWP_NOZORDER | SWP_NOMOVE);
    RECT client;
    GetClientRect(hwnd, &client);
    RECT units = window.MapDialogUnits(0, 0, 300, 150);
    EXPECT_GE(client.right, units.right);
    EXPECT_GE(client.bottom, units.bottom);
    EXPECT_LT(client.right, units.right + 4);
    ExpectControlFillsClient(window);
}

DWORD WINAPI DismissFromWorker(void* param)
{
    ((C_GraphWindow*)param)->Dismiss();
    return 0;
}

TEST_F(GraphWindowTest, AWorkerCanCloseIt)
{
    ASSERT_TRUE(window.Open());
    HANDLE worker = CreateThread(nullptr, 0, DismissFromWorker, &window, 0, nullptr);
    ASSERT_TRUE(worker);
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() - start < 10000)
        PumpFor(0);
    CloseHandle(worker);
    EXPECT_FALSE(window.IsOpen());
    EXPECT_FALSE(ReadStored().empty()); // it stored its placement on the way out
}

// A linear read of a disk: faster on the outer tracks, jitter, a slow zone, a few hiccups.
int RateAt(int i, int points)
{
    static unsigned seed = 12345;
    seed = seed * 1103515245u + 12345u;
    double jitter = double((seed >> 16) % 9) - 4.0;
    double f = double(i) / points;
    double rate = 182.0 - 80.0 * f * f + 3.0 * std::sin(i * 0.05) + jitter;
    if (f > 0.58 && f < 0.61)
        rate = 24.0 + jitter / 2;
    if (i % 397 == 0)
        rate -= 45.0;
    return int(rate);
}

void SaveClient(HWND window, const char* name)
{
    PumpFor(200);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    EXPECT_TRUE(SaveBitmapPicture(dc, 0, 0, client.right, client.bottom, name));
    ReleaseDC(window, dc);
}

TEST_F(GraphWindowTest, PicturesOfARateCurve)
{
    ASSERT_TRUE(window.Open());
    C_GRAPH& graph = window.Graph();
    const int points = 3000;
    graph.Init(points, 0, 10, 1, "%d MB/s", 60, 1, -1, -1);
    graph.AddValue(0, 0, 0);
    for (int i = 1; i < points; ++i)
        graph.AddValue(i, RateAt(i, points), 0);
    SaveClient(window.GetHandle(), "graph_window_default.bmp");
    ShowWindow(window.GetHandle(), SW_MAXIMIZE);
    SaveClient(window.GetHandle(), "graph_window_maximised.bmp");
    EXPECT_GT(graph.Snapshot().Maximum(), 182);
}

} // namespace
