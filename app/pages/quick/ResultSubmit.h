// Submission of the last results: the processor from WMI and the address opened in the browser.
#pragma once
#include <cstdint>
#include <string>

// "Name" and "MaxClockSpeed" of the first Win32_Processor row; false when WMI cannot tell.
bool QueryProcessor(std::string& name, uint32_t& maxClockMHz);
// Opens an address with the system's URL handler (rundll32 url.dll,FileProtocolHandler).
bool OpenAddress(const std::string& address);
// The whole click: processor text, class text, address, browser.
void SubmitResults(uint32_t readMiB, uint32_t writeMiB, const std::string& device, uint32_t classBits);
