// The fastest-file search of a CD or DVD drive, as the FileAccess worker calls it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "devices/Device.h"

// Finds, on the disc in the drive with this letter, the file lying farthest out among the
// files of at least minimum bytes: opens the letter's device for SCSI pass-through, reads
// the table of contents and the ISO 9660 and Joliet trees of the last data track, closes
// the device. 1 with its full path ("X:\DIR\NAME") in path; 0 with the text to show the
// user in message. `device`, when given, is searched instead of the letter's own device
// (tests hand in an emulated drive); the drive type that picks the message is the letter's.
// stopRequested is asked before every sector read: once it answers true the search ends
// with 0, an empty path and no message.
int CDFSSearch(char drive, uint64_t minimum, std::string& path, std::string& message,
               C_Device* device = nullptr, const std::function<bool()>& stopRequested = {});
