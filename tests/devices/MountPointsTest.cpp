// The mount manager's list of mount points and the query for one device.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "devices/ByteFields.h"
#include "devices/MountPoints.h"

namespace {

// A mount manager answer with the given link names.
std::vector<uint8_t> MountPoints(const std::vector<std::u16string>& links)
{
    std::vector<uint8_t> b(8 + 24 * links.size(), 0);
    b[4] = uint8_t(links.size());
    for (size_t i = 0; i < links.size(); ++i) {
        const uint32_t offset = uint32_t(b.size());
        const size_t at = 8 + 24 * i;
        WriteBe32(&b[at], 0);
        b[at] = uint8_t(offset);
        b[at + 1] = uint8_t(offset >> 8);
        b[at + 4] = uint8_t(links[i].size() * 2);
        for (char16_t c : links[i]) {
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
        }
    }
    b[0] = uint8_t(b.size());
    return b;
}

TEST(MountPoints, OnlyDriveLetterLinksCount)
{
    auto b = MountPoints({u"\\??\\Volume{1234}", u"\\DosDevices\\e:", u"\\DosDevices\\C:",
                          u"\\DosDevices\\E:", u"\\DosDevices\\FF", u"\\DosDevices\\C:\\mnt"});
    std::string letters;
    DecodeMountPointLetters(b.data(), b.size(), &letters);
    EXPECT_EQ(letters, "EC");
    // An entry whose name lies outside the answer is skipped, the count is not trusted.
    b[4] = 200;
    letters.clear();
    DecodeMountPointLetters(b.data(), b.size() - 2, &letters);
    EXPECT_EQ(letters, "EC");
    letters.clear();
    DecodeMountPointLetters(b.data(), 7, &letters);
    EXPECT_EQ(letters, "");
}

TEST(MountPoints, QueryCarriesTheDeviceName)
{
    const auto q = EncodeMountPointQuery(u"\\Device\\HarddiskVolume1");
    ASSERT_EQ(q.size(), 24u + 23 * 2);
    EXPECT_EQ(q[16], 24); // device name offset
    EXPECT_EQ(q[20], 46); // its length in bytes
    EXPECT_EQ(q[0], 0);   // no link name asked
    EXPECT_EQ(q[24], '\\');
    EXPECT_EQ(q[26], 'D');
    EXPECT_EQ(q[27], 0);
}

} // namespace
