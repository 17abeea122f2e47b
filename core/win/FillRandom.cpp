#include <windows.h>
#include <wincrypt.h>
#include <cstring>
#include "core/Random.h"

int FillRandom(void* buffer, uint32_t length, int alphabet)
{
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return 0;
    memset(buffer, 0, length);
    BOOL ok = CryptGenRandom(provider, length, (BYTE*)buffer);
    CryptReleaseContext(provider, 0);
    if (!ok)
        return 0;
    MapToAlphabet((uint8_t*)buffer, length, alphabet);
    return 1;
}
