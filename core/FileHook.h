// Test seam: lets tests fail or fake C_File operations. Present only in builds with
// QM_TEST_HOOKS (the test variant of the class library); programs never carry it.
#pragma once
#include <cstdint>

class C_File;

enum FileHookOp { kHookOpen, kHookRead, kHookWrite, kHookSeek, kHookSetEnd, kHookFlush };

struct C_FileHookCall {
    FileHookOp op;
    C_File* file;
    const char* path; // kHookOpen
    void* buffer;     // kHookRead / kHookWrite
    uint32_t size;    // bytes asked for
    uint32_t* done; // bytes moved (out); a hook faking success sets it to size. Null for positioned transfers
    uint64_t position; // positioned transfers and seeks
    int positioned;    // 1 for ReadAt/WriteAt
};

// Returns -1 to let the real operation run; 0 or 1 is taken as the operation's result
// (set the error with SetLastErrorCode when returning 0).
typedef int (*C_FileHook)(C_FileHookCall& call, void* context);

#ifdef QM_TEST_HOOKS
void SetFileHook(C_FileHook hook, void* context);
#endif
