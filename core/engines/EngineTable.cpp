#include "core/engines/EngineTable.h"
#include "core/ErrorCodes.h"
#include "core/engines/BlockEngine.h"
#include "core/engines/CheckEngine.h"
#include "core/engines/NullEngine.h"
#include "core/engines/RandomEngine.h"
#include "core/engines/SequentialEngine.h"

namespace {
const C_EngineRow kEngines[] = {
    {kEngineSequential, RunSequentialEngine},
    {kEngineRandom, RunRandomEngine},
    {kEngineBlock, RunBlockEngine},
    {kEngineCheck, RunCheckEngine},
};

#ifdef QM_TEST_HOOKS
const C_NullScript* g_nullScript = nullptr;
#endif
} // namespace

const C_EngineRow* FindEngine(EngineKind kind)
{
    for (const C_EngineRow& row : kEngines)
        if (row.kind == kind && row.run)
            return &row;
    return nullptr;
}

C_EngineResult RunEngine(const C_EngineJob& job, I_EngineEvents& events)
{
#ifdef QM_TEST_HOOKS
    if (g_nullScript)
        return RunNullEngine(job, *g_nullScript, events);
#endif
    const C_EngineRow* row = FindEngine(job.kind);
    if (!row) {
        C_EngineResult result;
        result.failure.op = kOpOpen;
        result.failure.error = kErrorInvalidFunction; // no engine does this
        events.Failure(result.failure);
        return result;
    }
    return row->run(job, events);
}

#ifdef QM_TEST_HOOKS
void SetNullEngineScript(const C_NullScript* script) { g_nullScript = script; }
#endif

void FinishRates(C_EngineResult& result)
{
    // The clocks step in milliseconds: a shorter run has no rate that means anything.
    if (result.microseconds < 1000) {
        result.bytesPerSecond = 0;
        result.iops = 0;
        return;
    }
    const double seconds = double(result.microseconds) / 1e6;
    result.bytesPerSecond = double(result.bytes) / seconds;
    result.iops = double(result.accesses) / seconds;
}

C_EngineResult& EndRunWithFailure(C_EngineResult& result, I_EngineEvents& events, EngineOp op,
                                  uint64_t position, uint32_t error, const std::string& detail)
{
    result.failure.op = op;
    result.failure.position = position;
    result.failure.error = error;
    result.failure.detail = detail;
    events.Failure(result.failure);
    return result;
}
