// The mount manager's answers: the drive letters of a device and the query that asks for
// them. The decoder reads only the bytes returned.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Drive letters ("\DosDevices\X:" links) of a mount manager's list of mount points, in
// the order listed, each once.
void DecodeMountPointLetters(const uint8_t* data, size_t size, std::string* letters);
// The mount point query for one device name: the input block the mount manager expects.
std::vector<uint8_t> EncodeMountPointQuery(const std::u16string& deviceName);
