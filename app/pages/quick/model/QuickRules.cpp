#include "app/pages/quick/model/QuickRules.h"

uint64_t QuickFileSizeBytes(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    const uint64_t limit = UINT64_MAX >> 20;
    uint64_t mib = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        const uint64_t digit = (uint64_t)(text[i] - '0');
        if (mib > (limit - digit) / 10)
            return 0;
        mib = mib * 10 + digit;
    }
    return digits ? mib << 20 : 0;
}

std::string QuickLogPath(const std::string& desktop)
{
    std::string path = desktop;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + "Quellmor.txt";
}

C_QuickRunPlan MakeQuickRunPlan(const std::string& sizeText, int block64k, int skipRandom,
                                const std::vector<C_DriveEntry>& entries, const std::vector<int>& chosen)
{
    C_QuickRunPlan plan;
    plan.fileSize = QuickFileSizeBytes(sizeText);
    plan.blockSize = block64k ? 0x10000u : 0x100000u;
    plan.skipRandom = skipRandom ? 1 : 0;
    for (int index : chosen)
        if (index >= 0 && (size_t)index < entries.size())
            plan.drives.push_back(C_QuickPlannedDrive{entries[(size_t)index], -1});
    return plan;
}
