#include "crypt/CryptDigest.h"

#include <cstring>

bool CryptDigest::Start() {
  FHash.Reset();
  FFailed = true;
  // The provider's context is acquired once for the whole module; while that
  // fails, every start tries again.
  if (FProvider == nullptr) FProvider = &ProviderContextOf(FAlg->ProviderName, FAlg->ProviderType);
  const HCRYPTPROV prov = FProvider->Context();
  if (prov == 0) return false;
  // Whatever a failed call left in the handle is no hash object.
  HCRYPTHASH hash = 0;
  if (!CryptCreateHash(prov, FAlg->AlgId, 0, 0, &hash)) return false;
  FHash = CryptHashHolder(hash);
  FFailed = false;
  return true;
}

bool CryptDigest::Add(const void* data, DWORD size) {
  if (!FHash || !CryptHashData(FHash.Get(), static_cast<const BYTE*>(data), size, 0)) {
    FFailed = true;
    return false;
  }
  return true;
}

bool CryptDigest::Finish(BYTE* digest) {
  std::memset(digest, 0, Size());
  if (!FHash) return false;
  DWORD length = 0;
  if (!CryptGetHashParam(FHash.Get(), HP_HASHVAL, nullptr, &length, 0)) return false;
  if (length != static_cast<DWORD>(FAlg->HashSize)) return false;
  if (!CryptGetHashParam(FHash.Get(), HP_HASHVAL, digest, &length, 0)) return false;
  return !FFailed;
}
