#pragma once

#include "platform/Win32.h"

// CryptAcquireContextW with the given arguments; when the provider's default
// key container is missing, once more with CRYPT_NEWKEYSET added, which creates
// it. On failure *prov stays 0.
bool AcquireProviderContext(HCRYPTPROV* prov, LPCWSTR container, LPCWSTR provider, DWORD provType,
                            DWORD flags);
