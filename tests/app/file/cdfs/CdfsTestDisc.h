// Test discs for the fastest-file search: an image file read as sectors, the isoinfo
// listing that is the oracle of a fixture, and a disc assembled sector by sector in memory.
#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>
#include "app/pages/file/cdfs/CdfsWalk.h"
#include "tests/common/WholeFile.h"

#ifndef QM_CDFS_FIXTURES
#error QM_CDFS_FIXTURES names the folder of the generated images
#endif

inline std::string FixturePath(const std::string& name) { return std::string(QM_CDFS_FIXTURES "/") + name; }

// Sectors of an image whose first byte is disc sector `base`; reads elsewhere fail.
class C_ImageSectors : public C_SectorSource {
public:
    C_ImageSectors(std::vector<uint8_t> bytes, uint32_t base)
        : m_shared(std::make_shared<const std::vector<uint8_t>>(std::move(bytes))), m_base(base)
    {
    }
    C_ImageSectors(std::shared_ptr<const std::vector<uint8_t>> bytes, uint32_t base)
        : m_shared(std::move(bytes)), m_base(base)
    {
    }
    int ReadSector(uint32_t sector, uint8_t* buffer) override
    {
        ++reads;
        if (sector < m_base || uint64_t(sector - m_base + 1) * kCdfsSectorSize > m_bytes.size())
            return 0;
        memcpy(buffer, m_bytes.data() + uint64_t(sector - m_base) * kCdfsSectorSize, kCdfsSectorSize);
        return 1;
    }
    uint32_t reads = 0;

private:
    std::shared_ptr<const std::vector<uint8_t>> m_shared;
    const std::vector<uint8_t>& m_bytes = *m_shared;
    uint32_t m_base;
};

struct C_ListedFile {
    uint32_t extent;
    uint64_t size;
    std::string path; // "X:\DIR\NAME"
};

inline std::vector<C_ListedFile> ReadListing(const std::string& name, char letter)
{
    std::vector<C_ListedFile> files;
    std::ifstream in(FixturePath(name + ".list"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        C_ListedFile f;
        std::string path;
        fields >> f.extent >> f.size;
        fields.get();
        std::getline(fields, path);
        f.path = std::string(1, letter) + ":" + path;
        for (char& c : f.path)
            if (c == '/')
                c = '\\';
        files.push_back(f);
    }
    return files;
}

// What the listing says the search must find: the farthest-out file of at least `minimum`
// bytes whose path fits the test file path; "" when none.
inline std::string ListedFarthest(const std::vector<C_ListedFile>& files, uint64_t minimum)
{
    const C_ListedFile* best = nullptr;
    for (const C_ListedFile& f : files)
        if (f.size >= minimum && f.path.size() <= 259 && (!best || f.extent > best->extent))
            best = &f;
    return best ? best->path : "";
}

// A disc put together sector by sector; unwritten sectors cannot be read.
class C_MemoryDisc : public C_SectorSource {
public:
    int ReadSector(uint32_t sector, uint8_t* buffer) override
    {
        auto it = sectors.find(sector);
        if (it == sectors.end())
            return 0;
        memcpy(buffer, it->second.data(), kCdfsSectorSize);
        return 1;
    }
    std::vector<uint8_t>& At(uint32_t sector)
    {
        auto& s = sectors[sector];
        s.resize(kCdfsSectorSize);
        return s;
    }
    // A volume descriptor; escape is the supplementary descriptor's bytes 88-90.
    void Descriptor(uint32_t sector, uint8_t type, uint32_t rootStart, uint32_t rootLength,
                    const char* escape = nullptr)
    {
        std::vector<uint8_t>& s = At(sector);
        s[0] = type;
        memcpy(&s[1], "CD001", 5);
        s[6] = 1;
        if (escape)
            memcpy(&s[88], escape, 3);
        const std::vector<uint8_t> root = Record(std::string(1, '\0'), rootStart, rootLength, true);
        memcpy(&s[156], root.data(), 34);
    }
    void Terminator(uint32_t sector) { Descriptor(sector, 255, 0, 0); }
    // Records packed from the start of a sector (each must fit).
    void Directory(uint32_t sector, const std::vector<std::vector<uint8_t>>& records)
    {
        std::vector<uint8_t>& s = At(sector);
        size_t at = 0;
        for (const auto& r : records) {
            memcpy(&s[at], r.data(), r.size());
            at += r.size();
        }
    }
    static void Le32Be32(uint8_t* p, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) {
            p[i] = uint8_t(v >> (8 * i));
            p[7 - i] = uint8_t(v >> (8 * i));
        }
    }
    // One directory record; entryLength 0 means the proper even length.
    static std::vector<uint8_t> Record(const std::string& id, uint32_t start, uint32_t length, bool directory,
                                       int entryLength = -1)
    {
        const size_t proper = (33 + id.size() + 1) & ~size_t(1);
        std::vector<uint8_t> r(proper);
        r[0] = uint8_t(entryLength >= 0 ? entryLength : int(proper));
        Le32Be32(&r[2], start);
        Le32Be32(&r[10], length);
        r[25] = directory ? 2 : 0;
        r[28] = 1;
        r[31] = 1;
        r[32] = uint8_t(id.size());
        memcpy(&r[33], id.data(), id.size());
        return r;
    }
    // Sectors [0, count) as an image file's bytes; unwritten sectors are zeros.
    std::vector<uint8_t> Image(uint32_t count) const
    {
        std::vector<uint8_t> bytes(size_t(count) * kCdfsSectorSize);
        for (const auto& s : sectors)
            if (s.first < count)
                memcpy(&bytes[size_t(s.first) * kCdfsSectorSize], s.second.data(), kCdfsSectorSize);
        return bytes;
    }
    // UCS-2, more significant byte first, as Joliet stores names.
    static std::string Ucs2(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            out.push_back('\0');
            out.push_back(c);
        }
        return out;
    }
    std::map<uint32_t, std::vector<uint8_t>> sectors;
};

// A damaged tree on a disc of kCraftedSectors sectors. The root lists OVER, whose length is
// near 4 GiB (its two real sectors are followed by NEXT's first sector, then blank ones),
// NEXT, and folders that start beyond the disc's end; OVER holds a folder that is OVER again
// at the same length, NEXT one that is the root. A sound walk finds "?:\NEXT\C" (start 50),
// reading the root, OVER's two sectors and NEXT's, and NEXT's first sector once more when
// OVER runs into it.
const uint32_t kCraftedSectors = 64;
const uint32_t kCraftedDirectoryReads = 5;
inline C_MemoryDisc CraftedDisc()
{
    const uint32_t nearly4GiB = 0xFFFFF800u;
    auto folder = [](const std::string& name, uint32_t start, uint32_t length) {
        return C_MemoryDisc::Record(name, start, length, true);
    };
    auto file = [](const std::string& name, uint32_t start) {
        return C_MemoryDisc::Record(name, start, 1, false);
    };
    const std::string self(1, '\0'), parent(1, '\1');
    C_MemoryDisc disc;
    disc.Descriptor(16, 1, 20, 2048);
    disc.Terminator(17);
    disc.Directory(20, {folder(self, 20, 2048), folder(parent, 20, 2048), folder("OVER", 21, nearly4GiB),
                        folder("NEXT", 23, 2048), folder("GONE", 900000, 2048),
                        folder("EDGE", 0xFFFFFFF0u, nearly4GiB), file("A", 30)});
    disc.Directory(21, {folder(self, 21, nearly4GiB), folder(parent, 20, 2048),
                        folder("AGAIN", 21, nearly4GiB), file("B", 40)});
    disc.Directory(22, {file("B2", 41)});
    disc.Directory(
        23, {folder(self, 23, 2048), folder(parent, 20, 2048), folder("UP", 20, nearly4GiB), file("C", 50)});
    return disc;
}
