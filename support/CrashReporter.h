// The crash reporter of the class library. Its construction installs the process's
// unhandled-exception filter; arming says where a report goes. After a crash it writes a
// minidump and a text report beside the program (or in the temporary folder), asks the user
// whether to send them, uploads them when asked, and ends the process.
#pragma once
#include <cstdint>

class C_CrashReporter {
public:
    enum : uint32_t {
        kOptionTrace = 0x2,   // the diagnostic trace (off in both programs)
        kOptionNoFilter = 0x8 // leave unhandled exceptions to the system
    };
    static C_CrashReporter& Instance();
    // Stores the values and prepares everything the filter needs, so that the filter itself
    // does not allocate before the dump is written. A null product means "InternalName" of
    // the version resource; a null extra text means empty. A host may carry ":port".
    void Arm(uint32_t iconResource, const char* host, const char* path, const char* product = nullptr,
             const char* extra = nullptr);

private:
    C_CrashReporter();
    C_CrashReporter(const C_CrashReporter&) = delete;
    C_CrashReporter& operator=(const C_CrashReporter&) = delete;

    uint32_t m_dwOptions = 0;
    int m_bArmed = 0;
    uint32_t m_dwIcon = 0;
};

#ifdef QM_TEST_HOOKS
// Test seam (the test variant of the library only): the report thread calls afterDump once
// the dump is written, and the filter gives the report limitMs instead of its own limit. A
// hook that never returns plays a heap lock held by the faulting thread.
void SetCrashReportHook(void (*afterDump)(), uint32_t limitMs);
#endif
