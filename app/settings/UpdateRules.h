// Decisions of the update check: when to ask, what to ask and what the answer means.
#pragma once
#include <cstdint>
#include <string>

const uint32_t kUpdateInterval = 604800;  // seven days
const uint32_t kUpdateNever = 0xFFFFFFFF; // "LastCheck" = -1

struct UpdateDecision {
    bool check = false; // ask the server now
    bool store = false; // write storedValue as "LastCheck"
    uint32_t storedValue = 0;
};

// From the stored "LastCheck" (seconds since 1970, 0 when none) and the time now.
UpdateDecision DecideUpdateCheck(uint32_t lastCheck, uint32_t now);
// The address with "v=<version>&id=<machine>" appended after "&" or "?".
std::string BuildUpdateUrl(const std::string& address, const std::string& version,
                           const std::string& machineId);
// The server's answer: its first line names the newest version as "major.minor". True,
// with that version, when it is newer than the running one; short answers only.
bool ParseUpdateAnswer(const std::string& answer, uint32_t major, uint32_t minor, uint32_t* newMajor,
                       uint32_t* newMinor);
