// The system's side of the biggest-file scan: folder listings and folder identities.
#pragma once
#include "app/pages/file/model/BiggestFile.h"

class C_SystemDirectoryWalk : public I_DirectoryWalk {
public:
    bool List(const std::string& folder, std::vector<C_DirEntry>& entries) override;
    std::string FolderIdentity(const std::string& folder) override;
};
