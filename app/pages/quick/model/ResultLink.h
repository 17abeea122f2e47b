// The comparison link: the address that carries the last results to the vendor's page.
#pragma once
#include <cstdint>
#include <string>

// "usb fw " and so on for the class bits, "internal" when none is set.
std::string ClassText(uint32_t classBits);
// The processor's name, with "%.2f GHz" of the clock added when the name has no GHz in it.
std::string ProcessorText(const std::string& name, uint32_t maxClockMHz);
// Percent-encodes every byte but the unreserved characters of an address.
std::string PercentEncode(const std::string& text);
// server + "/content/quellmor/benchmark.php?r=..&w=..&d=..&c=..&o=.." with encoded values.
std::string BuildResultAddress(const std::string& server, uint32_t readMiB, uint32_t writeMiB,
                               const std::string& device, const std::string& classText,
                               const std::string& processor);
// Whether the link may be used: idle and both last rates non-zero.
inline bool IsResultLinkEnabled(bool running, uint32_t readMiB, uint32_t writeMiB)
{
    return !running && readMiB && writeMiB;
}
