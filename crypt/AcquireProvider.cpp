#include "crypt/AcquireProvider.h"

bool AcquireProviderContext(HCRYPTPROV* prov, LPCWSTR container, LPCWSTR provider, DWORD provType,
                            DWORD flags) {
  *prov = 0;
  if (CryptAcquireContextW(prov, container, provider, provType, flags)) return true;
  const HRESULT error = static_cast<HRESULT>(GetLastError());
  *prov = 0;
  if (error != NTE_BAD_KEYSET && error != NTE_KEYSET_NOT_DEF) return false;
  if (CryptAcquireContextW(prov, container, provider, provType, flags | CRYPT_NEWKEYSET)) return true;
  *prov = 0;
  return false;
}
