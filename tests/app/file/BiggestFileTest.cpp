#include <gtest/gtest.h>
#include <map>
#include "app/pages/file/model/BiggestFile.h"

namespace {
// A tree of folders given by path; a link entry lists the folder it points to, and the
// identity of a folder reached through links is that of its target.
class FakeTree : public I_DirectoryWalk {
public:
    struct Folder {
        std::vector<C_DirEntry> entries;
        std::map<std::string, std::string> linkTargets; // entry name -> folder path
    };
    std::map<std::string, Folder> folders;
    bool tellIdentity = true;
    int lists = 0;

    void File(const std::string& folder, const std::string& name, uint64_t size)
    {
        C_DirEntry e;
        e.name = name;
        e.size = size;
        folders[folder].entries.push_back(e);
    }
    void Dir(const std::string& folder, const std::string& name, bool markedAsLink = false,
             const std::string& target = "")
    {
        C_DirEntry e;
        e.name = name;
        e.isFolder = true;
        e.isLink = markedAsLink;
        folders[folder].entries.push_back(e);
        if (!target.empty())
            folders[folder].linkTargets[name] = target;
        else
            folders[folder + name + "\\"];
    }
    // Follows links along the path, as the system does when it opens it.
    std::string Resolve(const std::string& path) const
    {
        std::string done = path.substr(0, 3), rest = path.substr(3);
        while (!rest.empty()) {
            const size_t slash = rest.find('\\');
            const std::string name = rest.substr(0, slash);
            rest = rest.substr(slash + 1);
            auto f = folders.find(done);
            if (f == folders.end())
                return "";
            auto link = f->second.linkTargets.find(name);
            done = link != f->second.linkTargets.end() ? link->second : done + name + "\\";
        }
        return done;
    }
    bool List(const std::string& folder, std::vector<C_DirEntry>& entries) override
    {
        ++lists;
        auto f = folders.find(Resolve(folder));
        if (f == folders.end())
            return false;
        entries = f->second.entries;
        return true;
    }
    std::string FolderIdentity(const std::string& folder) override
    {
        return tellIdentity ? Resolve(folder) : std::string();
    }
};
} // namespace

TEST(BiggestFile, PicksTheStrictlyBiggestAndTheFirstOfEqualSizes)
{
    FakeTree tree;
    tree.File("D:\\", "empty.txt", 0);
    tree.Dir("D:\\", ".hidden");
    tree.File("D:\\.hidden\\", "a.bin", 700);
    tree.Dir("D:\\", "b");
    tree.File("D:\\b\\", "b.bin", 900);
    tree.File("D:\\b\\", "c.bin", 900);
    tree.File("D:\\", "small.bin", 10);
    std::vector<std::string> shown;
    C_BiggestScan scan(tree);
    scan.onCandidate = [&](const std::string& path, uint64_t) { shown.push_back(path); };
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestPath, "D:\\b\\b.bin");
    EXPECT_EQ(scan.bestSize, 900u);
    EXPECT_EQ(shown, (std::vector<std::string>{"D:\\.hidden\\a.bin", "D:\\b\\b.bin"}));
}

TEST(BiggestFile, NothingFoundLeavesNoCandidate)
{
    FakeTree tree;
    tree.File("D:\\", "empty.txt", 0);
    C_BiggestScan scan(tree);
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestSize, 0u);
    EXPECT_TRUE(scan.bestPath.empty());
    scan.Scan("Q:\\missing\\"); // an unreadable folder is skipped silently
    EXPECT_TRUE(scan.bestPath.empty());
}

TEST(BiggestFile, LinksBackToAnAncestorEnd)
{
    for (bool marked : {true, false}) {
        FakeTree tree;
        tree.Dir("D:\\", "t");
        tree.Dir("D:\\t\\", "loop", marked, "D:\\t\\");
        tree.Dir("D:\\t\\", "up", marked, "D:\\");
        tree.File("D:\\t\\", "big.bin", 5000);
        tree.File("D:\\", "other.bin", 4000);
        C_BiggestScan scan(tree);
        scan.Scan("D:\\");
        EXPECT_EQ(scan.bestPath, "D:\\t\\big.bin") << marked;
        // Each real folder is read once; a marked link is not even opened.
        EXPECT_EQ(tree.lists, 2) << marked;
    }
}

TEST(BiggestFile, MarkedLinksToNewFoldersAreNotFollowed)
{
    // The link leads to a folder that nothing else reaches, holding the biggest file: only
    // the mark keeps the walk out, the identity check cannot.
    FakeTree tree;
    tree.Dir("D:\\", "t");
    tree.File("D:\\t\\", "big.bin", 5000);
    tree.Dir("D:\\t\\", "away", true, "E:\\vault\\");
    tree.File("E:\\vault\\", "huge.bin", 9000);
    std::vector<std::string> shown;
    C_BiggestScan scan(tree);
    scan.onCandidate = [&](const std::string& path, uint64_t) { shown.push_back(path); };
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestPath, "D:\\t\\big.bin");
    EXPECT_EQ(scan.bestSize, 5000u);
    EXPECT_EQ(shown, (std::vector<std::string>{"D:\\t\\big.bin"}));
    EXPECT_EQ(tree.lists, 2); // D:\ and D:\t\, never the linked folder
}

TEST(BiggestFile, WithoutIdentitiesTheDepthStillEndsALoop)
{
    FakeTree tree;
    tree.tellIdentity = false; // every path through the loop looks new
    tree.Dir("D:\\", "t");
    tree.File("D:\\t\\", "big.bin", 5000);
    tree.Dir("D:\\t\\", "l", false, "D:\\t\\");
    C_BiggestScan scan(tree);
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestPath, "D:\\t\\big.bin");
    EXPECT_LT(tree.lists, 300);
}

TEST(BiggestFile, StopKeepsTheBestSoFar)
{
    FakeTree tree;
    tree.File("D:\\", "a.bin", 100);
    tree.File("D:\\", "b.bin", 200);
    tree.File("D:\\", "c.bin", 300);
    int polls = 0;
    C_BiggestScan scan(tree);
    scan.stopRequested = [&] { return ++polls > 2; };
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestPath, "D:\\b.bin");
}

TEST(BiggestFile, PathsTooLongForATestFileArePassedOver)
{
    FakeTree tree;
    const std::string deep = "D:\\" + std::string(250, 'd') + "\\";
    tree.Dir("D:\\", std::string(250, 'd'));
    tree.File(deep, "huge-file-name.bin", 9000);
    tree.File("D:\\", "ok.bin", 10);
    C_BiggestScan scan(tree);
    scan.Scan("D:\\");
    EXPECT_EQ(scan.bestPath, "D:\\ok.bin");
    EXPECT_EQ(scan.skippedPath, deep + "huge-file-name.bin");
    EXPECT_EQ(scan.skippedSize, 9000u);
}
