// Pure random helpers: the per-thread 15-bit generator and the text alphabets.
#include "core/Random.h"
#include <cstring>

static thread_local uint32_t t_rand15State = 1;

void Rand15Seed(uint32_t seed) { t_rand15State = seed; }

uint32_t Rand15()
{
    t_rand15State = t_rand15State * 214013u + 2531011u;
    return (t_rand15State >> 16) & 0x7FFF;
}

void MapToAlphabet(uint8_t* buffer, uint32_t length, int alphabet)
{
    if (alphabet == 0 || length == 0)
        return;
    static const char kPrintable[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789~`!@#$%^&*()_-+={}[];:'<>,.?|\\/";
    static const char kHex[] = "0123456789abcdef";
    static const char kLowerDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const char* letters = alphabet == 1 ? kPrintable : alphabet == 2 ? kHex : kLowerDigits;
    const size_t count = strlen(letters);
    for (uint32_t i = 0; i < length; ++i)
        buffer[i] = (uint8_t)letters[buffer[i] % count];
    buffer[length - 1] = 0;
}
