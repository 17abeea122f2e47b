// Inside the class library only: how C_File operations consult the test seam.
#pragma once
#include "core/FileHook.h"

#ifdef QM_TEST_HOOKS
// -1 when no hook is set or the hook lets the real operation run.
int CallFileHook(C_FileHookCall& call);
#define QM_HOOK(...)                                                                                         \
    do {                                                                                                     \
        C_FileHookCall qmHookCall = {__VA_ARGS__};                                                           \
        const int qmHookResult = CallFileHook(qmHookCall);                                                   \
        if (qmHookResult >= 0)                                                                               \
            return qmHookResult;                                                                             \
    } while (0)
#else
#define QM_HOOK(...)                                                                                         \
    do {                                                                                                     \
    } while (0)
#endif
