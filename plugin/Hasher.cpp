#include "plugin/Hasher.h"

#include <cstring>

#include "base/Boundary.h"

HRESULT KCALL TqovHasher::SetCoderProperties(const PROPID*, const PROPVARIANT*, host::UInt32) {
  return S_OK;  // hashers have no settings
}

void TqovHasher::DestroyHash() {
  if (FHash != 0) {
    CryptDestroyHash(FHash);
    FHash = 0;
  }
}

void KCALL TqovHasher::Init() {
  GuardSilent([&] {
    DestroyHash();
    // The provider's context is acquired once for the whole module; while
    // that fails, every Init tries again.
    if (FProvider == nullptr) FProvider = &SharedProvider(FAlgInfo->ProviderName, FAlgInfo->ProviderType);
    const HCRYPTPROV prov = FProvider->Context();
    if (prov != 0 && !CryptCreateHash(prov, FAlgInfo->AlgId, 0, 0, &FHash)) FHash = 0;
  });
}

void KCALL TqovHasher::Update(const void* data, host::UInt32 size) {
  GuardSilent([&] {
    if (FHash != 0) CryptHashData(FHash, static_cast<const BYTE*>(data), size, 0);
  });
}

void KCALL TqovHasher::Final(BYTE* digest) {
  GuardSilent([&] {
    std::memset(digest, 0, static_cast<std::size_t>(FAlgInfo->HashSize));
    if (FHash == 0) return;
    DWORD length = 0;
    if (!CryptGetHashParam(FHash, HP_HASHVAL, nullptr, &length, 0)) return;
    if (length != static_cast<DWORD>(FAlgInfo->HashSize)) return;
    CryptGetHashParam(FHash, HP_HASHVAL, digest, &length, 0);
  });
}

host::UInt32 KCALL TqovHasher::GetDigestSize() { return static_cast<host::UInt32>(FAlgInfo->HashSize); }

// The context is the module's and stays (ReleaseSharedProviders).
TqovHasher::~TqovHasher() { DestroyHash(); }
