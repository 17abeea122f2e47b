#include "app/pages/file/FastestFile.h"

// The disc reader is not part of this build yet: the option says so instead of pretending.
int FastestFileSearch(char drive, uint64_t, std::string& path, std::string& message)
{
    path.clear();
    message = "Fastest File Search failed on drive ";
    message += drive;
    message += ":\\.\n\nThe search over the disc's file system is not available in this build.";
    return 0;
}
