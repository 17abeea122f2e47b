#include <gtest/gtest.h>
#include "tests/common/LocalHttpServer.h"
#include <windows.h>
#include <string>
#include "app/settings/AutoUpdate.h"
#include "app/settings/Settings.h"
#include "core/System.h"
#include "support/MachineId.h"

namespace {

// The request line the server got first, once it came (empty after five seconds without).
std::string FirstRequestLine(C_LocalHttpServer& server)
{
    server.WaitFor(1, 5000);
    return server.Get(0).Line();
}

std::string Key() { return "Software\\Velantix\\QuellmorUpdateTest" + std::to_string(GetCurrentProcessId()); }

// Waits for the registered message on a message-only window.
bool WaitForUpdateMessage(HWND window, DWORD timeoutMs, WPARAM* major, LPARAM* minor)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < timeoutMs) {
        while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            if (msg.message == C_AutoUpdate::GetMessageId()) {
                *major = msg.wParam;
                *minor = msg.lParam;
                return true;
            }
        }
        Sleep(20);
    }
    return false;
}

HWND MessageWindow()
{
    return CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

TEST(AutoUpdate, NewerVersionIsReportedWithTheRequestQuery)
{
    C_LocalHttpServer server("9.5\r\n");
    std::string address = "http://" + server.Address();
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", address.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    HWND window = MessageWindow();
    C_AutoUpdate update;
    uint32_t before = GetCalendarSeconds();
    ASSERT_EQ(update.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
    WPARAM major = 0;
    LPARAM minor = 0;
    EXPECT_TRUE(WaitForUpdateMessage(window, 8000, &major, &minor));
    EXPECT_EQ(major, 9u);
    EXPECT_EQ(minor, 5);
    std::string line = FirstRequestLine(server);
    uint32_t ownMajor = 0, ownMinor = 0;
    GetOwnVersionNumbers(&ownMajor, &ownMinor);
    char expected[96];
    snprintf(expected, sizeof(expected), "GET /data/update.php?p=quellmor&v=%u.%02u&id=", (unsigned)ownMajor,
             (unsigned)ownMinor);
    EXPECT_EQ(line.rfind(expected, 0), 0u) << line;
    // The machine id goes out as its 16-digit digest, never as the raw volume serial.
    EXPECT_EQ(line.find(" HTTP/1."), strlen(expected) + 16) << line;
    EXPECT_EQ(line.substr(strlen(expected), 16), GetMachineIdentifier()) << line;
    update.Stop();

    C_Settings store;
    store.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, Key().c_str());
    uint32_t stored = store.ReadNumber("LastCheck", 0);
    EXPECT_GE(stored, before);
    EXPECT_LE(stored, GetCalendarSeconds());
    EXPECT_FALSE(update.LastCheckText().empty());

    // Checked just now: a second start asks nobody.
    C_AutoUpdate again;
    EXPECT_EQ(again.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 0);
    DestroyWindow(window);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

TEST(AutoUpdate, SameVersionAndRefusedConnectionStaySilent)
{
    HWND window = MessageWindow();
    WPARAM major = 0;
    LPARAM minor = 0;
    {
        C_LocalHttpServer server("1.00");
        std::string address = "http://" + server.Address();
        SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", address.c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
        C_AutoUpdate update;
        ASSERT_EQ(update.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
        EXPECT_FALSE(FirstRequestLine(server).empty()) << "the server was asked";
        update.Stop();
        EXPECT_FALSE(WaitForUpdateMessage(window, 300, &major, &minor));
    }
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", "http://127.0.0.1:9");
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_AutoUpdate refused;
    ASSERT_EQ(refused.Start(window, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
    refused.Stop();
    EXPECT_FALSE(WaitForUpdateMessage(window, 300, &major, &minor));
    DestroyWindow(window);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

// A server that takes the request and never answers: Stop cancels the waiting check within a
// second, and its thread ends by its own path (its outcome says so) rather than from outside.
TEST(AutoUpdate, StopCancelsACheckTheServerNeverAnswers)
{
    C_LocalHttpServer server("", C_LocalHttpServer::kSilent);
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", ("http://" + server.Address()).c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_AutoUpdate update;
    ASSERT_EQ(update.Start(nullptr, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 1);
    ASSERT_TRUE(server.WaitFor(1, 5000)) << "the request never came";
    Sleep(500);
    ASSERT_TRUE(update.IsRunning()) << "the check should still wait for the answer";
    const DWORD start = GetTickCount();
    update.Stop();
    const DWORD took = GetTickCount() - start;
    EXPECT_LE(took, 1100u) << "Stop waited for the request's timeout";
    EXPECT_FALSE(update.IsRunning());
    uint32_t outcome = 0;
    ASSERT_EQ(update.GetOutcome(&outcome), 1);
    EXPECT_EQ(outcome, (uint32_t)C_AutoUpdate::kCancelled) << "0 means the thread was terminated";
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

TEST(AutoUpdate, StoredMinusOneMeansNeverAndIsReset)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_Settings store;
    store.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, Key().c_str());
    store.WriteNumber("LastCheck", 0xFFFFFFFF);
    C_AutoUpdate update;
    EXPECT_EQ(update.Start(nullptr, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false), 0);
    EXPECT_EQ(store.ReadNumber("LastCheck", 7), 0u);
    EXPECT_TRUE(update.LastCheckText().empty());
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

// With the start-up check switched off the checker is only opened; the About page still
// reads the last check time from it and ticking its box still asks at once.
TEST(AutoUpdate, OpenedWithoutStartChecksNowAndKnowsTheLastCheck)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
    C_Settings store;
    store.Open(C_Settings::kRegistry, HKEY_CURRENT_USER, Key().c_str());
    const uint32_t earlier = GetCalendarSeconds() - 60;
    store.WriteNumber("LastCheck", earlier);
    C_LocalHttpServer server("1.00");
    SetEnvironmentVariableA("QUELLMOR_UPDATE_SERVER", ("http://" + server.Address()).c_str());
    C_AutoUpdate update;
    EXPECT_TRUE(update.LastCheckText().empty()) << "nothing is known before Open";
    EXPECT_EQ(update.CheckNow(nullptr), 0);
    update.Open(nullptr, HKEY_CURRENT_USER, Key().c_str(), "LastCheck", false);
    EXPECT_FALSE(update.LastCheckText().empty());
    EXPECT_EQ(update.StartIfDue(), 0) << "checked a minute ago";
    EXPECT_EQ(update.CheckNow(nullptr), 1) << "CheckNow ignores the same-day rule";
    EXPECT_TRUE(server.WaitFor(1, 5000));
    update.Stop();
    EXPECT_GT(store.ReadNumber("LastCheck", 0), earlier);
    RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
}

} // namespace
