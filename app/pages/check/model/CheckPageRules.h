// The CheckAccess page's decisions that need no window: its stored values, the size limit typed
// in, the graph's points, the result and log texts, and the words for a check that failed.
#pragma once
#include <cstdint>
#include <string>
#include "app/settings/SettingsStore.h"
#include "core/check/CheckVerdict.h"
#include "core/engines/Engine.h"

// What the page keeps in the settings store when it closes.
struct C_CheckValues {
    std::string limit; // the size limit field, MiB; empty for all the free space
    int keepFiles = 0;
    char letter = 0; // the drive checked last; 0 for none
};
C_CheckValues LoadCheckValues(I_SettingsStore& store);
void SaveCheckValues(I_SettingsStore& store, const C_CheckValues& values);

// Bytes of the size limit field: leading blanks, then decimal MiB. 0 (no limit: all the free
// space less the margin) when there are no digits; saturates instead of wrapping.
uint64_t CheckLimitBytes(const std::string& text);
// The question before a check without a size limit fills the drive that holds Windows; empty
// when there is nothing to ask (another drive, or a limit that leaves the rest free).
std::string WindowsDriveQuestion(char letter, char windowsLetter, uint64_t limitBytes);

// One point of a pass's curve: x is the chunk a rate point ends (from 0), y its MiB/s. A chunk
// quicker than the clock's step has no rate to draw.
struct C_CurvePoint {
    int drawn = 0;
    int x = 0;
    int megaBytesPerSecond = 0;
};
C_CurvePoint CurvePoint(uint64_t passPosition, uint64_t bytes, uint64_t microseconds, uint64_t chunkBytes);
// "0" at the graph's left end and the fill at its right: "14.8 GByte written".
std::string CurveEndText(uint64_t fillBytes);

// The pass under way as the status line and the progress bar show it. pass: 1 write, 2 read.
std::string FormatCheckStatus(int pass, uint64_t done, uint64_t total, uint64_t bytesPerSecond);
// 0..100 over the whole check: the write pass fills the first half, the read pass the second.
uint32_t CheckProgress(int pass, uint64_t done, uint64_t total);

// A pass's spread under its result field: "min 80 MByte/sec, median 94 MByte/sec".
std::string FormatPassSpread(const C_PassRates& rates);
// Its figures in the log: "95.4 MByte/sec (min 80 MByte/sec, median 94 MByte/sec)".
std::string FormatPassResult(const C_PassRates& rates);
// The cliffs of both passes, "; " between them; empty when neither pass has one.
std::string FormatCliffs(const C_Cliff& write, const C_Cliff& read);

// The one hint line of both passes, from each pass's USB hint: a text both hints end with (the
// speed class's own remark) is said once.
std::string CombineUsbHints(const std::string& write, const std::string& read);

// The check's line of the desktop log.
std::string FormatCheckLogLine(const std::string& driveText, const std::string& verdict,
                               const std::string& writeResult, const std::string& readResult);

// The message of a check that ended with a failure (what the engine says as data, the folder
// checked, its transfer size); empty for a failure the check does not report.
std::string FormatCheckFailure(const C_EngineFailure& failure, const std::string& folder, uint32_t blockSize,
                               uint64_t fileBytes);
