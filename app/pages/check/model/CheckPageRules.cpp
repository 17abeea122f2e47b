#include "app/pages/check/model/CheckPageRules.h"
#include "app/settings/AppValues.h"
#include "core/ErrorCodes.h"
#include "core/PassPosition.h"
#include "core/System.h"
#include "core/Text.h"
#include "core/engines/SequentialText.h"

C_CheckValues LoadCheckValues(I_SettingsStore& store)
{
    C_CheckValues values;
    store.ReadText("CheckLimit", values.limit);
    values.keepFiles = store.ReadNumber("CheckKeepFiles", 0) ? 1 : 0;
    std::string letter;
    store.ReadText("CheckDrive", letter);
    if (letter.size() == 1 &&
        ((letter[0] >= 'A' && letter[0] <= 'Z') || (letter[0] >= 'a' && letter[0] <= 'z')))
        values.letter = (char)(letter[0] & ~0x20);
    return values;
}

void SaveCheckValues(I_SettingsStore& store, const C_CheckValues& values)
{
    store.WriteText("CheckLimit", values.limit.c_str());
    store.WriteNumber("CheckKeepFiles", values.keepFiles ? 1 : 0);
    const char letter[2] = {values.letter, 0};
    store.WriteText("CheckDrive", letter);
}

uint64_t CheckLimitBytes(const std::string& text)
{
    uint64_t mib = 0;
    if (!ParseStoredNumber(text.c_str(), &mib))
        return 0;
    return mib > (UINT64_MAX >> 20) ? UINT64_MAX : mib << 20;
}

std::string WindowsDriveQuestion(char letter, char windowsLetter, uint64_t limitBytes)
{
    const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
    if (limitBytes || !windowsLetter || upper(letter) != upper(windowsLetter))
        return std::string();
    // Windows and its programs keep writing while the check runs; with only the margin left
    // they may fail for its length, so the user decides.
    return StringPrintf(
        "Drive %c: holds Windows. The check fills its free space up to a small margin while it "
        "runs, and programs that write to the drive meanwhile may fail.\n\nCheck the whole "
        "free space anyway? A size limit leaves the rest free.",
        upper(letter));
}

C_CurvePoint CurvePoint(uint64_t passPosition, uint64_t bytes, uint64_t microseconds, uint64_t chunkBytes)
{
    C_CurvePoint point;
    point.drawn = microseconds != 0;
    if (chunkBytes && passPosition)
        point.x = (int)((passPosition - 1) / chunkBytes);
    if (!point.drawn)
        return point;
    const double perSecond = (double)bytes * 1e6 / (double)microseconds;
    const double mib = perSecond / (1024.0 * 1024.0);
    point.megaBytesPerSecond = mib > 2e9 ? 2000000000 : (int)mib;
    return point;
}

std::string CurveEndText(uint64_t fillBytes) { return FormatByteSize(fillBytes) + " written"; }

std::string FormatCheckStatus(int pass, uint64_t done, uint64_t total, uint64_t bytesPerSecond)
{
    if (pass != 1 && pass != 2)
        return std::string();
    std::string text = StringPrintf("%s %s of %s", pass == 1 ? "Writing" : "Reading back",
                                    FormatByteSize(done).c_str(), FormatByteSize(total).c_str());
    if (bytesPerSecond)
        text += ", " + FormatRate((float)bytesPerSecond);
    return text;
}

uint32_t CheckProgress(int pass, uint64_t done, uint64_t total)
{
    if (pass != 1 && pass != 2)
        return 0;
    const uint32_t half = ProgressPercent(done, total) / 2;
    return pass == 1 ? half : 50 + half;
}

std::string FormatPassSpread(const C_PassRates& rates)
{
    return "min " + FormatShortRate((float)rates.minimum) + ", median " +
           FormatShortRate((float)rates.median);
}

std::string FormatPassResult(const C_PassRates& rates)
{
    return FormatRate((float)rates.mean) + " (" + FormatPassSpread(rates) + ")";
}

std::string FormatCliffs(const C_Cliff& write, const C_Cliff& read)
{
    const std::string first = FormatCliff("write", write), second = FormatCliff("read", read);
    if (first.empty() || second.empty())
        return first + second;
    return first + "; " + second;
}

std::string CombineUsbHints(const std::string& write, const std::string& read)
{
    const auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(write, read))
        return write;
    if (endsWith(read, write))
        return read;
    return write + " " + read;
}

std::string FormatCheckLogLine(const std::string& driveText, const std::string& verdict,
                               const std::string& writeResult, const std::string& readResult)
{
    return driveText + "\tcheck:\t" + verdict + "\twrite:\t" + writeResult + "\tread:\t" + readResult +
           "\r\n";
}

std::string FormatCheckFailure(const C_EngineFailure& failure, const std::string& folder, uint32_t blockSize,
                               uint64_t fileBytes)
{
    const std::string errorText = ErrorText(failure.error);
    switch (failure.op) {
    case kOpFreeSpace:
        if (failure.error == kErrorDiskFull)
            return StringPrintf("There is too little free space on \xBB%s\xAB to check it.", folder.c_str());
        return StringPrintf("Can't read the free space of \xBB%s\xAB.\n\nError %u - %s", folder.c_str(),
                            failure.error, errorText.c_str());
    case kOpAllocate:
        return StringPrintf("Can't allocate the buffer of the check.\n\nError %u - %s", failure.error,
                            errorText.c_str());
    default: {
        // The test files fail as the sequential test's file does; the detail names the file, and
        // the engine's position in the whole fill becomes the position in that file.
        C_EngineFailure inFile = failure;
        if (fileBytes)
            inFile.position = failure.position % fileBytes;
        return FormatSeqFailure(kStyleGui, inFile, failure.detail, blockSize, fileBytes);
    }
    }
}
