// The fastest-file search of a CD or DVD drive, as the FileAccess worker calls it.
#pragma once
#include <cstdint>
#include <string>

// Finds, on the disc in the drive with this letter, the file lying farthest out among the
// files of at least minimum bytes. 1 with its full path ("X:\DIR\NAME") in path; 0 with the
// text to show the user in message.
int FastestFileSearch(char drive, uint64_t minimum, std::string& path, std::string& message);
