// One hasher object: computes digests of a catalogue entry with a CryptoAPI
// hash object of the entry's provider, on the module's shared context of that
// provider (crypt/ProviderContext.h). The host's hasher interface has no way
// to report a failure, so any failure gives an all-zero digest.
#pragma once

#include "base/InterfacedObject.h"
#include "crypt/CryptDigest.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"

class TqovHasher final : public ComObject<host::ICompressSetCoderProperties, host::IHasher> {
 public:
  // Keeps the entry's address (not owned); makes no CryptoAPI call.
  explicit TqovHasher(const THashAlgInfo* algInfo) : FAlgInfo(algInfo), FDigest(algInfo) {}

  HRESULT KCALL SetCoderProperties(const PROPID* propIds, const PROPVARIANT* props,
                                   host::UInt32 count) override;
  void KCALL Init() override;
  void KCALL Update(const void* data, host::UInt32 size) override;
  void KCALL Final(BYTE* digest) override;
  host::UInt32 KCALL GetDigestSize() override;

 private:
  ~TqovHasher() override = default;

  const THashAlgInfo* const FAlgInfo;
  // Owns the hash object; the provider context stays the module's.
  CryptDigest FDigest;
};
