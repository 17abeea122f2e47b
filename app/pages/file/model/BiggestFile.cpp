#include "app/pages/file/model/BiggestFile.h"
#include <cctype>
#include "app/pages/file/model/FileRules.h"

namespace {
// Deeper than any path of 259 characters can go ("a\" per level); a walk that fakes
// endless nesting still ends.
const unsigned kMaxDepth = 200;

std::string FolderKey(I_DirectoryWalk& walk, const std::string& folder)
{
    std::string key = walk.FolderIdentity(folder);
    if (!key.empty())
        return "id:" + key;
    key = "path:";
    for (char c : folder)
        key += (char)toupper((unsigned char)c);
    return key;
}
} // namespace

void C_BiggestScan::Scan(const std::string& folder)
{
    m_visited.clear();
    ScanFolder(folder, 0);
}

void C_BiggestScan::ScanFolder(const std::string& folder, unsigned depth)
{
    if (depth > kMaxDepth || !m_visited.insert(FolderKey(walk, folder)).second)
        return;
    std::vector<C_DirEntry> entries;
    if (!walk.List(folder, entries))
        return;
    for (const C_DirEntry& entry : entries) {
        if (stopRequested && stopRequested())
            return;
        const std::string full = folder + entry.name;
        if (!entry.isFolder) {
            if (entry.size <= bestSize)
                continue;
            if (full.size() > kMaxTestPath) {
                if (entry.size > skippedSize) {
                    skippedSize = entry.size;
                    skippedPath = full;
                }
                continue;
            }
            bestSize = entry.size;
            bestPath = full;
            if (onCandidate)
                onCandidate(bestPath, bestSize);
        } else if (entry.name != "." && entry.name != ".." && !entry.isLink) {
            ScanFolder(full + "\\", depth + 1);
        }
    }
    if (skippedSize <= bestSize) {
        skippedSize = 0;
        skippedPath.clear();
    }
}
