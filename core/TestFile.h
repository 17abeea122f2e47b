// The test file's life, the same for every program: its place
// "<folder>\QuellmorTest\QuellmorTest.bin" (with the system's separator), the test folder made
// before a run, file and folder removed after it, and records appended to a log.
#pragma once
#include <cstdint>
#include <string>

class C_TestFile {
public:
    // folder: where the test folder is made, used as written ("E:", "C:\", "/mnt/usb").
    explicit C_TestFile(const char* folder);
    ~C_TestFile() { Remove(); }
    C_TestFile(const C_TestFile&) = delete;
    C_TestFile& operator=(const C_TestFile&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Folder() const;
    // Makes the test folder and removes an old test file. 0 when the folder cannot be made
    // (the error stays for GetLastErrorCode).
    int Prepare();
    // Makes the test folder and leaves a test file that is already there (for a run that reads
    // what an earlier one wrote).
    int MakeFolder();
    // Leaves file and folder in place at the end (for a later run that reads them).
    void Keep() { m_bPrepared = 0; }
    // Removes the test file and then the folder, which stays when it holds other files.
    // Does nothing before Prepare, and nothing the second time.
    void Remove();

private:
    std::string m_path;
    int m_bPrepared = 0;
};

// Appends text at the end of a file, which is made when missing. 1 when all of it was written.
int AppendToFile(const char* path, const std::string& text);
