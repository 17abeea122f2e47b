// The biggest-file scan over a directory walk that tests can feed with any tree.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct C_DirEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false; // a reparse point (junction, symbolic link, mount point)
    uint64_t size = 0;
};

class I_DirectoryWalk {
public:
    virtual ~I_DirectoryWalk() = default;
    // The entries of a folder (path ending in a backslash), "." and ".." included as the
    // system gives them; false when the folder cannot be read.
    virtual bool List(const std::string& folder, std::vector<C_DirEntry>& entries) = 0;
    // A key that names the folder itself whatever path leads to it (volume and file number);
    // empty when the system does not tell.
    virtual std::string FolderIdentity(const std::string& folder) = 0;
};

struct C_BiggestScan {
    I_DirectoryWalk& walk;
    std::function<bool()> stopRequested;
    // A new best candidate, shown at once by the page.
    std::function<void(const std::string& path, uint64_t size)> onCandidate;

    uint64_t bestSize = 0;
    std::string bestPath;
    // The biggest file passed over because its path is too long for a test file, when it
    // is bigger than the best one taken.
    std::string skippedPath;
    uint64_t skippedSize = 0;

    C_BiggestScan(I_DirectoryWalk& w) : walk(w) {}
    // Scans a folder (ending in a backslash) and everything below it. Links to folders are
    // not followed and no folder is read twice, so linked trees end.
    void Scan(const std::string& folder);

private:
    void ScanFolder(const std::string& folder, unsigned depth);
    std::set<std::string> m_visited;
};
