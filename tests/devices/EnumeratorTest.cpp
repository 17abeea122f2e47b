// The real enumerators against what Wine offers: drive C: as a logical drive on
// physical drive 0, drive letters with their figures, the refresh sequences, no handle left open.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "devices/DeviceList.h"
#include "devices/win/DeviceProbe.h"
#include "devices/win/Enumerators.h"
#include "devices/win/HandleDevice.h"

namespace {

struct Log {
    std::vector<std::pair<uint32_t, std::string>> events;
    static void Callback(uint32_t event, C_Device* d, uintptr_t, void* owner)
    {
        static_cast<Log*>(owner)->events.push_back({event, d->strName});
    }
};

// The handle value the system gives next: handle tables reuse the lowest free entry, so
// a handle left open by a refresh moves it.
uintptr_t NextHandle()
{
    HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const uintptr_t value = reinterpret_cast<uintptr_t>(h);
    CloseHandle(h);
    return value;
}

TEST(Enumerators, BlockAccessRefreshListsDriveCOnItsDisk)
{
    C_DeviceList list;
    Log log;
    RegisterDevices(list, &Log::Callback, &log, kOptBlockAccess);
    EXPECT_EQ(list.GetWindowsLetter(), 'C');
    RefreshForBlockAccess(list);
    C_Device* c = list.Find('C', kKindLogical);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->strPath, "\\\\.\\C:");
    EXPECT_EQ(c->strName, "\\\\.\\C:");
    EXPECT_EQ(c->strLetters, "C");
    EXPECT_EQ(c->dwType, 2u);
    EXPECT_EQ(c->dwBlockSize, 512u);
    EXPECT_GT(c->ullBlockCount, 1000u);
    EXPECT_LE(c->ullFreeBlocks, c->ullBlockCount);
    EXPECT_EQ(c->dwCaps & 0x3u, 0x3u);
    EXPECT_EQ(c->dwOpenCount, 0u);
    EXPECT_EQ(c->hDevice, nullptr);
    EXPECT_EQ(list.GetSystemIdentity(), DeviceIdentityText(*c));
    C_Device* disk = list.Find(0, kKindPhysical);
    ASSERT_NE(disk, nullptr);
    EXPECT_NE(disk->strLetters.find('C'), std::string::npos);
    EXPECT_EQ(disk->dwType, 1u);
    // Every record was announced exactly once.
    EXPECT_EQ(log.events.size(), list.GetCount());
    for (const auto& e : log.events)
        EXPECT_EQ(e.first, kDeviceAdded);
    EXPECT_EQ(list.Find('A', kKindLogical), nullptr);
}

TEST(Enumerators, DriveLetterRecordsCarryFiguresAndLabels)
{
    C_DeviceList list;
    RegisterDevices(list, nullptr, nullptr, 0);
    RefreshDriveLetters(list);
    C_Device* c = FindDriveLetter(list, 'C');
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->dwKind, kKindDriveLetter);
    EXPECT_EQ(c->strName, "DriveLetter");
    EXPECT_EQ(c->dwDriveType, uint32_t(DRIVE_FIXED));
    EXPECT_EQ(c->dwType, 2u);
    EXPECT_GT(c->dwBlockSize, 0u);
    EXPECT_GT(c->ullBlockCount, 0u);
    EXPECT_GT(c->ullFreeBlocks, 0u);
    EXPECT_FALSE(c->strFileSystem.empty());
    EXPECT_FALSE(c->strLabel.empty());
    EXPECT_NE(FindDriveLetter(list, 'Z'), nullptr);
    EXPECT_EQ(FindDriveLetter(list, 'A'), nullptr);
    EXPECT_EQ(list.GetEnumeratedKinds(), uint32_t(kKindDriveLetter));
    // No identity record holds the letter here.
    EXPECT_EQ(GetUsbSpeedClassOfLetter(list, 'C'), -1);
}

TEST(Enumerators, MountManagerNamesTheLettersOfAVolume)
{
    std::string letters;
    ASSERT_EQ(QueryMountPointLetters(u"\\Device\\HarddiskVolume1", &letters), 1);
    EXPECT_EQ(letters, "C");
    EXPECT_EQ(QueryMountPointLetters(u"\\Device\\NoSuchVolume", &letters), 0);
    EXPECT_EQ(letters, "");
    // A path that does not open gives nothing and leaves nothing open.
    C_HandleDevice missing;
    missing.strPath = "\\\\.\\PhysicalDrive9";
    EXPECT_EQ(ProbeMountPointLetters(missing), 0);
    EXPECT_EQ(missing.strLetters, "");
    EXPECT_EQ(missing.dwOpenCount, 0u);
}

TEST(Enumerators, RepeatedRefreshesLeaveNoHandleOpen)
{
    C_DeviceList list;
    RegisterDevices(list, nullptr, nullptr, kOptBlockAccess);
    RefreshForBlockAccess(list);
    RefreshForQuickAccess(list);
    list.Clear();
    const uintptr_t before = NextHandle();
    ASSERT_NE(before, 0u);
    for (int i = 0; i < 3; ++i) {
        RefreshForBlockAccess(list);
        RefreshForQuickAccess(list);
    }
    list.Clear();
    EXPECT_EQ(NextHandle(), before);
}

} // namespace
