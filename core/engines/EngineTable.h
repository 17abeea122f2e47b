// The engines by kind, so that every program runs a job the same way and a test can put
// the null engine in the place of all of them.
#pragma once
#include "core/engines/Engine.h"

typedef C_EngineResult (*EngineRun)(const C_EngineJob& job, I_EngineEvents& events);

struct C_EngineRow {
    EngineKind kind;
    EngineRun run;
};

// The row of kind; null when there is none.
const C_EngineRow* FindEngine(EngineKind kind);

// Runs the job on the engine of its kind (or on the null engine while a test set a script).
C_EngineResult RunEngine(const C_EngineJob& job, I_EngineEvents& events);

#ifdef QM_TEST_HOOKS
struct C_NullScript;
// Until called with null: every job runs on the null engine with this script, which the
// caller keeps alive.
void SetNullEngineScript(const C_NullScript* script);
#endif
