// What the cache bypass does on a file system, and the console's note when the figures will not
// be the device's. Pure, so the texts are tested everywhere.
#pragma once
#include <string>

enum CacheBypass {
    kBypassDevice = 0,  // transfers reach the device
    kBypassRefused = 1, // the file system refuses it: the run goes through the page cache
    kBypassIgnored = 2, // accepted but not honoured: the transfers still go through the cache
    kBypassMemory = 3   // the file system lives in memory: there is no device to measure
};

// Empty for kBypassDevice; otherwise the lines the console prints before the test.
std::string FormatCacheNote(int bypass, const std::string& folder);
