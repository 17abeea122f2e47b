#include "core/TestFile.h"
#include "core/File.h"
#include "core/PathRules.h"

C_TestFile::C_TestFile(const char* folder) : m_path(TestFilePathIn(folder, PathSeparator())) {}

std::string C_TestFile::Folder() const { return FolderOfPath(m_path, PathSeparator()); }

int C_TestFile::MakeFolder()
{
    m_bPrepared = 1;
    return CreateDirectoryTree(m_path.c_str(), 1);
}

int C_TestFile::Prepare()
{
    if (!MakeFolder())
        return 0;
    DeleteFileForce(m_path.c_str());
    return 1;
}

void C_TestFile::Remove()
{
    if (!m_bPrepared)
        return;
    m_bPrepared = 0;
    const uint32_t error = GetLastErrorCode(); // cleanup must not hide the error being reported
    DeleteFileForce(m_path.c_str());
    const std::string folder = Folder();
    if (!folder.empty())
        RemoveFolder(folder.c_str());
    SetLastErrorCode(error);
}

int AppendToFile(const char* path, const std::string& text)
{
    C_File file;
    if (!file.Open(path, kOpenWriteAlways, 0, kShareReadWrite) || !file.Seek(kSeekEnd, 0))
        return 0;
    return file.Write((uint32_t)text.size(), text.data());
}
