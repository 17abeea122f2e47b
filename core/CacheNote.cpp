#include "core/CacheNote.h"

std::string FormatCacheNote(int bypass, const std::string& folder)
{
    switch (bypass) {
    case kBypassRefused:
        return "Note: the file system of " + folder +
               " refuses to bypass the cache, so the test runs buffered.\n"
               "The figures come from the page cache, not from the device.\n";
    case kBypassIgnored:
        return "Note: the cache bypass is not honoured for " + folder +
               ".\nThe figures come from the page cache, not from the device.\n";
    case kBypassMemory:
        return "Note: " + folder +
               " lies on a file system held in memory.\nThe figures are memory speed, not a device's.\n";
    default:
        return std::string();
    }
}
