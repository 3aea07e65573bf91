// One hasher object: computes digests of a catalogue entry with a CryptoAPI
// hash object of the entry's provider, on the shared context of that provider
// (crypt/ProviderContext.h), which it holds while it lives. The host's hasher
// interface has no way to report a failure: the hasher list offers only
// entries whose provider could hash when the list was made, and a failure
// after that still gives an all-zero digest.
#pragma once

#include "base/InterfacedObject.h"
#include "crypt/CryptDigest.h"
#include "crypt/HashAlgInfo.h"
#include "crypt/ProviderContext.h"
#include "interfaces/Host7z.h"

class TqovHasher final : public ComObject<host::ICompressSetCoderProperties, host::IHasher> {
 public:
  // Keeps the entry's address (not owned); makes no CryptoAPI call. The
  // provider's context is looked up at the first Init.
  explicit TqovHasher(const THashAlgInfo* algInfo) : FAlgInfo(algInfo), FDigest(algInfo) {}
  // The same on the context of the entry's provider that the caller holds.
  TqovHasher(const THashAlgInfo* algInfo, ProviderContextRef provider)
      : FAlgInfo(algInfo), FDigest(algInfo, std::move(provider)) {}

  HRESULT KCALL SetCoderProperties(const PROPID* propIds, const PROPVARIANT* props,
                                   host::UInt32 count) override;
  void KCALL Init() override;
  void KCALL Update(const void* data, host::UInt32 size) override;
  void KCALL Final(BYTE* digest) override;
  host::UInt32 KCALL GetDigestSize() override;

 private:
  ~TqovHasher() override = default;

  const THashAlgInfo* const FAlgInfo;
  // Owns the hash object and holds the provider's context.
  CryptDigest FDigest;
};
