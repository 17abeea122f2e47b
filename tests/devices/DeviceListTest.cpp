// The list mechanics: equality of re-enumerated records, notifications, the sweep that
// only removes kinds enumerated in this refresh, and the link between tracks and drives.
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "devices/DeviceList.h"

namespace {

struct Event {
    uint32_t event;
    std::string name;
};

struct Recorder {
    std::vector<Event> events;
    static void Callback(uint32_t event, C_Device* device, uintptr_t zero, void* owner)
    {
        EXPECT_EQ(zero, 0u);
        static_cast<Recorder*>(owner)->events.push_back({event, device->strName});
    }
};

// Counts live instances so that a test sees every record deleted exactly once.
struct Counted : C_Device {
    static int live;
    Counted() { ++live; }
    ~Counted() override { --live; }
};
int Counted::live = 0;

C_Device* MakeDrive(char letter, const char* label, uint32_t kind = kKindLogical)
{
    C_Device* d = new Counted;
    d->dwKind = kind;
    d->dwNumber = uint32_t(letter);
    d->dwCaps = kCapsHandle;
    d->dwType = kTypeFixedLogical;
    d->strName = std::string("\\\\.\\") + letter + ":";
    d->strLetters = std::string(1, letter);
    d->strLabel = label;
    d->dwBlockSize = 512;
    d->ullBlockCount = 1000;
    return d;
}

// An enumerator fed by a test: the records it "finds" this time.
struct ListedEnumerator : C_DeviceEnumerator {
    uint32_t kind;
    std::function<std::vector<C_Device*>()> make;
    ListedEnumerator(uint32_t k, std::function<std::vector<C_Device*>()> m) : kind(k), make(m) {}
    void Enumerate(C_DeviceList& list) override
    {
        list.BeginKind(kind);
        for (C_Device* d : make())
            if (!list.Add(d))
                delete d;
    }
};

class DeviceListTest : public ::testing::Test {
protected:
    void SetUp() override { list.Register(&Recorder::Callback, &rec, 0, 'C'); }
    void TearDown() override
    {
        list.Clear();
        EXPECT_EQ(Counted::live, 0);
    }
    void Refresh(std::vector<C_DeviceEnumerator*> steps) { list.Refresh(steps.data(), steps.size()); }
    C_DeviceList list;
    Recorder rec;
};

TEST_F(DeviceListTest, UnchangedDeviceGivesNoNotificationChangedGivesRemovalThenAddition)
{
    std::string label = "DATA";
    ListedEnumerator logical(kKindLogical, [&] {
        return std::vector<C_Device*>{MakeDrive('C', "SYS"), MakeDrive('D', label.c_str())};
    });
    Refresh({&logical});
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0].event, kDeviceAdded);
    EXPECT_EQ(rec.events[1].name, "\\\\.\\D:");
    rec.events.clear();

    Refresh({&logical});
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(list.GetCount(), 2u);

    label = "BACKUP";
    Refresh({&logical});
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0].event, kDeviceAdded);
    EXPECT_EQ(rec.events[1].event, kDeviceRemoved);
    EXPECT_EQ(rec.events[1].name, "\\\\.\\D:");
    EXPECT_EQ(list.GetCount(), 2u);
    C_Device* d = list.Find('D', kKindLogical);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->strLabel, "BACKUP");
    EXPECT_FALSE(d->IsStale());
}

TEST_F(DeviceListTest, EveryComparedFieldCountsAndTheStaleBitDoesNot)
{
    std::vector<std::function<void(C_Device*)>> changes = {
        [](C_Device* d) { d->dwCaps ^= 0x4; },      [](C_Device* d) { d->dwType = 5; },
        [](C_Device* d) { d->ullBlockCount++; },    [](C_Device* d) { d->ullFreeBlocks++; },
        [](C_Device* d) { d->ullFirstBlock = 16; }, [](C_Device* d) { d->ullBlockOffset = 63; },
        [](C_Device* d) { d->dwBlockSize = 4096; }, [](C_Device* d) { d->dwMaxBlocks = 128; },
        [](C_Device* d) { d->strVendor = "V"; },    [](C_Device* d) { d->strProduct = "P"; },
        [](C_Device* d) { d->strRevision = "R"; },  [](C_Device* d) { d->strSerial = "S"; },
        [](C_Device* d) { d->strName = "N"; },      [](C_Device* d) { d->strLetters = "DE"; },
        [](C_Device* d) { d->bOffsetKnown = 1; },
    };
    for (auto& change : changes) {
        std::unique_ptr<C_Device> a(MakeDrive('D', "X")), b(MakeDrive('D', "X"));
        EXPECT_TRUE(DevicesEqual(*a, *b));
        change(b.get());
        EXPECT_FALSE(DevicesEqual(*a, *b));
    }
    std::unique_ptr<C_Device> a(MakeDrive('D', "X")), b(MakeDrive('D', "X"));
    b->dwCaps |= kCapStale | 0x10000; // only the low 16 bits of the capabilities count
    b->strFileSystem = "NTFS";        // neither do the texts outside the rule
    b->dwLocation = 7;
    EXPECT_TRUE(DevicesEqual(*a, *b));
}

TEST_F(DeviceListTest, SweepRemovesOnlyStaleRecordsOfEnumeratedKinds)
{
    bool withD = true;
    ListedEnumerator logical(kKindLogical, [&] {
        std::vector<C_Device*> v{MakeDrive('C', "SYS")};
        if (withD)
            v.push_back(MakeDrive('D', "DATA"));
        return v;
    });
    ListedEnumerator physical(kKindPhysical, [] {
        C_Device* p = MakeDrive('0', "", kKindPhysical);
        p->dwNumber = 0;
        return std::vector<C_Device*>{p};
    });
    Refresh({&logical, &physical});
    EXPECT_EQ(list.GetCount(), 3u);
    rec.events.clear();

    // A refresh that does not look at physical drives must keep them.
    withD = false;
    Refresh({&logical});
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(rec.events[0].event, kDeviceRemoved);
    EXPECT_EQ(rec.events[0].name, "\\\\.\\D:");
    ASSERT_NE(list.Find(0, kKindPhysical), nullptr);
    EXPECT_TRUE(list.Find(0, kKindPhysical)->IsStale());

    rec.events.clear();
    Refresh({&physical});
    EXPECT_TRUE(rec.events.empty());
    EXPECT_FALSE(list.Find(0, kKindPhysical)->IsStale());
    EXPECT_EQ(list.GetCount(), 2u);
}

TEST_F(DeviceListTest, ForEachSkipsStaleUnlessAskedAndStopsOnZero)
{
    list.Add(MakeDrive('C', "A"));
    list.Add(MakeDrive('D', "B"));
    list.Add(MakeDrive('E', "C"));
    list.Find('D', kKindLogical)->dwCaps |= kCapStale;
    std::string seen;
    auto collect = [](C_Device* d, void* ctx) {
        *static_cast<std::string*>(ctx) += d->strLetters;
        return 1;
    };
    EXPECT_EQ(list.ForEach(collect, &seen, 0), 1);
    EXPECT_EQ(seen, "CE");
    seen.clear();
    EXPECT_EQ(list.ForEach(collect, &seen, 1), 1);
    EXPECT_EQ(seen, "CDE");
    seen.clear();
    auto stopAtD = [](C_Device* d, void* ctx) {
        *static_cast<std::string*>(ctx) += d->strLetters;
        return d->strLetters == "D" ? 0 : 1;
    };
    EXPECT_EQ(list.ForEach(stopAtD, &seen, 1), 0);
    EXPECT_EQ(seen, "CD");
}

TEST_F(DeviceListTest, AddSetsSystemIdentityFromWindowsLetterAndClearDoesNotNotify)
{
    C_Device* d = MakeDrive('C', "SYS");
    d->strVendor = "ACME";
    d->strProduct = "Disk";
    d->strRevision = "1.0";
    d->strSerial = "42";
    EXPECT_EQ(list.Add(d), 1);
    EXPECT_EQ(list.GetSystemIdentity(), "ACME-Disk-1.0-42");
    C_Device* same = MakeDrive('C', "SYS");
    same->strVendor = "ACME";
    same->strProduct = "Disk";
    same->strRevision = "1.0";
    same->strSerial = "42";
    EXPECT_EQ(list.Add(same), 0);
    delete same;
    rec.events.clear();
    list.Clear();
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(list.GetCount(), 0u);
    list.Register(&Recorder::Callback, &rec, 0, 'C');
    EXPECT_EQ(list.GetSystemIdentity(), "");
}

TEST_F(DeviceListTest, RecordsThatReadThroughARemovedDriveGoWithIt)
{
    int generation = 0;
    ListedEnumerator cdroms(kKindCdRom, [&] {
        C_Device* d = MakeDrive('E', "", kKindCdRom);
        d->dwNumber = 0;
        d->ullBlockCount = 1000 + uint64_t(generation);
        return std::vector<C_Device*>{d};
    });
    // Tracks are enumerated here only in the first refresh: the kept track must not
    // outlive the drive record it reads through.
    ListedEnumerator tracks(kKindTrack, [&] {
        C_Device* t = MakeDrive('E', "", kKindTrack);
        t->dwNumber = 1;
        t->pParent = list.Find(0, kKindCdRom);
        return std::vector<C_Device*>{t};
    });
    Refresh({&cdroms, &tracks});
    EXPECT_EQ(list.GetCount(), 2u);
    generation = 1;
    rec.events.clear();
    Refresh({&cdroms});
    EXPECT_EQ(list.GetCount(), 1u);
    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[1].event, kDeviceRemoved);
    EXPECT_EQ(rec.events[2].event, kDeviceRemoved);
    EXPECT_EQ(list.Find(1, kKindTrack), nullptr);
}

struct Adopting : Counted {
    void TakeOver(C_Device& fresh) override { pParent = fresh.pParent; }
};

TEST_F(DeviceListTest, AnUnchangedRecordTakesOverTheLinksOfItsFreshTwin)
{
    C_Device* parentA = MakeDrive('E', "", kKindCdRom);
    list.Add(parentA);
    C_Device* t1 = new Adopting;
    t1->dwKind = kKindTrack;
    t1->dwNumber = 1;
    t1->pParent = parentA;
    list.Add(t1);
    C_Device* t2 = new Adopting;
    t2->dwKind = kKindTrack;
    t2->dwNumber = 1;
    C_Device parentB;
    t2->pParent = &parentB;
    EXPECT_EQ(list.Add(t2), 0);
    EXPECT_EQ(t1->pParent, &parentB);
    delete t2;
    t1->pParent = nullptr;
}

} // namespace

#include <atomic>
#include <thread>

namespace {

// Holds the list's attention for a while and notes whether another refresh ran inside.
struct SlowEnumerator : C_DeviceEnumerator {
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    void Enumerate(C_DeviceList& list) override
    {
        list.BeginKind(kKindLogical);
        if (inside.fetch_add(1) != 0)
            ++overlaps;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        inside.fetch_sub(1);
    }
};

TEST(DeviceListLocking, OuterLockKeepsRefreshesApart)
{
    for (uint32_t options : {uint32_t(kOptOuterLock), 0u}) {
        C_DeviceList list;
        list.Register(nullptr, nullptr, options, 0);
        SlowEnumerator slow;
        C_DeviceEnumerator* steps[] = {&slow, &slow};
        std::thread a([&] {
            for (int i = 0; i < 5; ++i)
                list.Refresh(steps, 2);
        });
        std::thread b([&] {
            for (int i = 0; i < 5; ++i)
                list.Refresh(steps, 2);
        });
        a.join();
        b.join();
        if (options & kOptOuterLock)
            EXPECT_EQ(slow.overlaps.load(), 0);
        else
            EXPECT_GT(slow.overlaps.load(), 0); // the test can see an overlap at all
    }
}

} // namespace
