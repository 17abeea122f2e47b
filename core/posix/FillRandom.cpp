#include <sys/random.h>
#include <cerrno>
#include <cstring>
#include "core/Random.h"
#include "core/posix/ErrorMap.h"

int FillRandom(void* buffer, uint32_t length, int alphabet)
{
    uint8_t* p = (uint8_t*)buffer;
    memset(p, 0, length);
    uint32_t filled = 0;
    while (filled < length) {
        ssize_t n = getrandom(p + filled, length - filled, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FailWithErrno();
        }
        filled += (uint32_t)n;
    }
    MapToAlphabet(p, length, alphabet);
    return 1;
}
