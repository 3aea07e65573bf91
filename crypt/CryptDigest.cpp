#include "crypt/CryptDigest.h"

#include <cstring>
#include <vector>

namespace {

// The calling thread's last error as an HRESULT: provider errors (NTE_*) are
// HRESULTs already, system errors get the Win32 facility, and a failure that
// left no error is still one.
HRESULT LastErrorResult() {
  const DWORD error = GetLastError();
  if (error == 0) return E_FAIL;
  if ((error & 0x80000000u) != 0) return static_cast<HRESULT>(error);
  return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

}  // namespace

bool CryptDigest::Fail() {
  if (FFailure == S_OK) FFailure = LastErrorResult();
  return false;
}

bool CryptDigest::Start() {
  FHash.Reset();
  FFailure = S_OK;
  // The provider's context is shared with every other digest of that
  // provider; while it can't be acquired, every start tries again.
  if (!FProvider) FProvider = ProviderContextOf(FAlg->ProviderName, FAlg->ProviderType);
  const HCRYPTPROV prov = FProvider->Context();
  if (prov == 0) return Fail();
  // Whatever a failed call left in the handle is no hash object.
  HCRYPTHASH hash = 0;
  if (!CryptCreateHash(prov, FAlg->AlgId, 0, 0, &hash)) return Fail();
  FHash = CryptHashHolder(hash);
  return true;
}

bool CryptDigest::Add(const void* data, DWORD size) {
  if (!FHash) return false;  // the failure of Start (or never started) stands
  if (!CryptHashData(FHash.Get(), static_cast<const BYTE*>(data), size, 0)) return Fail();
  return true;
}

bool CryptDigest::Finish(BYTE* digest) {
  std::memset(digest, 0, Size());
  if (!FHash) return false;
  DWORD length = 0;
  if (!CryptGetHashParam(FHash.Get(), HP_HASHVAL, nullptr, &length, 0)) return Fail();
  if (length != static_cast<DWORD>(FAlg->HashSize)) {
    if (FFailure == S_OK) FFailure = NTE_BAD_LEN;
    return false;
  }
  if (!CryptGetHashParam(FHash.Get(), HP_HASHVAL, digest, &length, 0)) {
    std::memset(digest, 0, Size());
    return Fail();
  }
  if (FFailure != S_OK) {
    // A refused Add makes the value a digest of other data.
    std::memset(digest, 0, Size());
    return false;
  }
  return true;
}

HRESULT ProbeDigest(const THashAlgInfo* alg, const ProviderContextRef& provider) {
  CryptDigest digest(alg, provider);
  std::vector<BYTE> bytes(digest.Size());
  if (digest.Start() && digest.Finish(bytes.data())) return S_OK;
  return digest.Failure();
}
