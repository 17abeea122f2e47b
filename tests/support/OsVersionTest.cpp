#include <gtest/gtest.h>
#include "support/OsVersion.h"

namespace {
C_OsFacts Nt(uint32_t major, uint32_t minor, const char* sp = "")
{
    C_OsFacts f;
    f.versionOk = 1;
    f.platform = 2;
    f.major = major;
    f.minor = minor;
    f.servicePack = sp;
    f.productType = 1;
    f.productTypeText = "WinNT";
    return f;
}

C_OsFacts Ninex(uint32_t minor, const char* sp = "")
{
    C_OsFacts f;
    f.versionOk = 1;
    f.platform = 1;
    f.major = 4;
    f.minor = minor;
    f.servicePack = sp;
    return f;
}
} // namespace

TEST(OsVersion, NtVersionTable)
{
    struct {
        uint32_t major, minor;
        uint32_t bits;
        const char* text;
    } rows[] = {{4, 0, 0x81, "Windows NT4"},           {5, 0, 0x101, "Windows 2000"},
                {5, 1, 0x201, "Windows XP"},           {5, 2, 0x1001, "Windows Server 2003"},
                {6, 0, 0x2001, "Windows Vista"},       {6, 1, 0x4001, "Windows 7"},
                {6, 2, 0x40001, "Windows 8"},          {6, 3, 0x80001, "Windows 8.1"},
                {10, 0, 0x1, "unknown nt kernel 0x1"}, {3, 51, 0x1, "unknown nt kernel 0x1"}};
    for (const auto& r : rows) {
        uint64_t word = ComputeOsVersionWord(Nt(r.major, r.minor));
        EXPECT_EQ((uint32_t)word, r.bits) << r.major << "." << r.minor;
        EXPECT_EQ(DescribeOs(word), r.text);
    }
}

TEST(OsVersion, NinexAndOtherPlatforms)
{
    struct {
        uint32_t minor;
        const char* sp;
        uint32_t bits;
        const char* text;
    } rows[] = {{0, "", 0x12, "Windows 95"},
                {0, " B", 0x402, "Windows 95 OSR2"},
                {0, " C", 0x402, "Windows 95 OSR2"},
                {10, "", 0x22, "Windows 98"},
                {10, " A ", 0x802, "Windows 98 SE"},
                {90, "", 0x42, "Windows ME"},
                {50, "", 0x2, "unknown dos kernel 0x2"}};
    for (const auto& r : rows) {
        uint64_t word = ComputeOsVersionWord(Ninex(r.minor, r.sp));
        EXPECT_EQ(word, (uint64_t)r.bits) << r.minor << r.sp;
        EXPECT_EQ(DescribeOs(word), r.text);
    }
    C_OsFacts other = Ninex(0);
    other.major = 5;
    EXPECT_EQ(ComputeOsVersionWord(other), 0x2u);
    // Edition facts never apply outside NT.
    other = Ninex(10);
    other.tabletPc = 1;
    other.suiteMask = 0x2;
    EXPECT_EQ(ComputeOsVersionWord(other) >> 32, 0u);

    C_OsFacts w32s;
    w32s.versionOk = 1;
    w32s.platform = 0;
    EXPECT_EQ(ComputeOsVersionWord(w32s), 0x4u);
    EXPECT_EQ(DescribeOs(0x4), "Windows 3.1");
    C_OsFacts ce = w32s;
    ce.platform = 3;
    EXPECT_EQ(ComputeOsVersionWord(ce), 0u);
    C_OsFacts failed = Nt(5, 1);
    failed.versionOk = 0;
    EXPECT_EQ(ComputeOsVersionWord(failed), 0u);
    EXPECT_EQ(DescribeOs(0x8 | 0x8000), "Windows CE 5.0");
    EXPECT_EQ(DescribeOs(0x8 | 0x10000), "Windows CE 5.2");
    EXPECT_EQ(DescribeOs(0x8), "unknown ce kernel 0x8");
    EXPECT_EQ(DescribeOs(0), "unknown 0x0");
}

TEST(OsVersion, XpHomeServicePack3)
{
    C_OsFacts f = Nt(5, 1, "Service Pack 3");
    f.suiteMask = 0x200 | 0x100; // personal, single user
    uint64_t word = ComputeOsVersionWord(f);
    EXPECT_EQ((uint32_t)word, 0x201u);
    EXPECT_EQ((uint32_t)(word >> 32), 0x8u | 0x400000u);
    EXPECT_EQ(DescribeOs(word), "Windows XP [Home Edition]");
}

TEST(OsVersion, Server2003EnterpriseDomainController)
{
    C_OsFacts f = Nt(5, 2, "Service Pack 2");
    f.suiteMask = 0x2 | 0x10; // enterprise, terminal services
    f.productType = 2;
    f.productTypeText = "LanmanNT";
    EXPECT_EQ(DescribeOs(ComputeOsVersionWord(f)),
              "Windows Server 2003 [Server] [Enterprise] [Terminal Services] [Domain Controller]");
    f.suiteMask = 0x2;
    EXPECT_EQ(DescribeOs(ComputeOsVersionWord(f)),
              "Windows Server 2003 [Server] [Enterprise] [Domain Controller]");
    // A member server is not a domain controller, although its type number 3 shares bit 0x2.
    C_OsFacts member = Nt(5, 2);
    member.productType = 3;
    member.productTypeText = "ServerNT";
    EXPECT_EQ(DescribeOs(ComputeOsVersionWord(member)), "Windows Server 2003 [Server]");
    // Advanced Server only when no plain Server bit is set.
    C_OsFacts lanman = Nt(5, 0);
    lanman.productTypeText = "lanmannt";
    EXPECT_EQ(DescribeOs(ComputeOsVersionWord(lanman)), "Windows 2000 [Advanced Server]");
}

TEST(OsVersion, EditionSuffixOrder)
{
    C_OsFacts f = Nt(6, 0);
    f.fundamentals = 1;
    f.tabletPc = 1;
    f.mediaCenter = 1;
    f.mediaCenterIdent = "4.0";
    f.remoteSession = 1;
    f.peBuilder = 1;
    f.miniNt = 1;
    f.suiteMask = 0x80 | 0x40 | 0x2000 | 0x8000;
    f.starter = 1;
    f.metric89 = 1;
    uint64_t word = ComputeOsVersionWord(f);
    EXPECT_EQ(DescribeOs(word),
              "Windows Vista [PE Builder] [TabletPC] [MediaCenter 2005 Ex] [Datacenter] [Embedded] "
              "[Storage Server] [Home Server] [Fundamentals for Legacy PCs] [TerminalSession]");
    EXPECT_EQ((uint32_t)(word >> 32) & 0x30u, 0x30u);
    f.peBuilder = 0;
    f.mediaCenterIdent = "";
    EXPECT_EQ(DescribeOs(ComputeOsVersionWord(f)).find("Windows Vista [MiniNT] [TabletPC] [MediaCenter] "),
              0u);
    f.mediaCenterIdent = "2.7";
    EXPECT_NE(DescribeOs(ComputeOsVersionWord(f)).find("[MediaCenter 2004]"), std::string::npos);
    f.mediaCenterIdent = "6.0"; // unknown Ident majors fall back to the metric
    EXPECT_NE(DescribeOs(ComputeOsVersionWord(f)).find("[MediaCenter]"), std::string::npos);
}

TEST(OsVersion, IsOsVersionOnNt)
{
    C_OsFacts xpSp2 = Nt(5, 1, "Service Pack 2");
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOsNt, 0));
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOsXp, 0));
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOs2000, kOsSp3)); // older versions need no service pack
    EXPECT_FALSE(MatchOsVersion(xpSp2, kOsVista, 0));
    EXPECT_FALSE(MatchOsVersion(xpSp2, kOs9x | kOs95, 0));
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOsXp, kOsSp2));
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOsXp, kOsSp1));
    EXPECT_FALSE(MatchOsVersion(xpSp2, kOsXp, kOsSp3));
    // The oldest wanted version decides.
    EXPECT_TRUE(MatchOsVersion(xpSp2, kOsXp | kOs2000, kOsSp3));
    EXPECT_FALSE(MatchOsVersion(Nt(5, 1, ""), kOsXp, kOsSp1));
    EXPECT_TRUE(MatchOsVersion(Nt(5, 1, "Service Pack 3"), kOsXp, kOsSp1 | kOsSp2 | kOsSp3));
    EXPECT_FALSE(MatchOsVersion(Nt(5, 1, "Service Pack 1"), kOsXp, kOsSp2));
    // Newer than 8.1: every version of the table is older.
    EXPECT_TRUE(MatchOsVersion(Nt(10, 0), kOs81, kOsSp3));
    EXPECT_TRUE(MatchOsVersion(Nt(6, 4), kOs7, 0));
    EXPECT_FALSE(MatchOsVersion(Nt(3, 51), kOsNt4, 0));
    C_OsFacts failed = Nt(5, 1);
    failed.versionOk = 0;
    EXPECT_FALSE(MatchOsVersion(failed, kOsNt, 0));
}

TEST(OsVersion, IsOsVersionOnNinex)
{
    EXPECT_TRUE(MatchOsVersion(Ninex(0), kOs9x, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(0), kOs95, 0));
    EXPECT_FALSE(MatchOsVersion(Ninex(0), kOs95Osr2 | kOs98, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(0, " C"), kOs95Osr2, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(10), kOs95, 0));
    EXPECT_FALSE(MatchOsVersion(Ninex(10), kOs98Se, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(10, " A"), kOs98Se, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(90), kOsMe, 0));
    EXPECT_TRUE(MatchOsVersion(Ninex(90), kOs95Osr2, 0));
    EXPECT_FALSE(MatchOsVersion(Ninex(90), kOsXp | kOsNt, 0));
    C_OsFacts five = Ninex(0);
    five.major = 5;
    EXPECT_FALSE(MatchOsVersion(five, kOs95 | kOs98 | kOsMe, 0));
    C_OsFacts w32s;
    w32s.versionOk = 1;
    EXPECT_TRUE(MatchOsVersion(w32s, kOsWin32s, 0));
    EXPECT_FALSE(MatchOsVersion(w32s, kOs9x, 0));
}
