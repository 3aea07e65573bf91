// One hasher object: computes digests of a catalogue entry with a CryptoAPI
// hash object of the entry's provider. Any failure gives an all-zero digest.
// The provider context is the module's shared one (crypt/SharedProvider.h);
// the hash object is the hasher's own.
#pragma once

#include "base/InterfacedObject.h"
#include "crypt/HashAlgInfo.h"
#include "crypt/SharedProvider.h"
#include "interfaces/Host7z.h"

class TqovHasher final : public TqovComObject<host::ICompressSetCoderProperties, host::IHasher> {
 public:
  // Keeps the entry's address (not owned); makes no CryptoAPI call.
  explicit TqovHasher(const THashAlgInfo* algInfo) : FAlgInfo(algInfo) {}

  HRESULT KCALL SetCoderProperties(const PROPID* propIds, const PROPVARIANT* props,
                                   host::UInt32 count) override;
  void KCALL Init() override;
  void KCALL Update(const void* data, host::UInt32 size) override;
  void KCALL Final(BYTE* digest) override;
  host::UInt32 KCALL GetDigestSize() override;

 private:
  ~TqovHasher() override;
  void DestroyHash();

  const THashAlgInfo* const FAlgInfo;
  TqovSharedProvider* FProvider = nullptr;  // looked up at the first Init
  HCRYPTHASH FHash = 0;
};
