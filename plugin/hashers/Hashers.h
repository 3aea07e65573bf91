// The hasher list handed to the host: the entries of the hasher catalogue
// whose provider can hash.
#pragma once

#include <vector>

#include "base/InterfacedObject.h"
#include "crypt/HashAlgInfo.h"
#include "crypt/ProviderContext.h"
#include "interfaces/Host7z.h"

class TqovHashers final : public ComObject<host::IHashers> {
 public:
  // Tries every catalogue entry once: a context of its provider, a hash
  // object of its algorithm and an empty digest of its length. Only the
  // entries that pass are offered; the list holds their providers' contexts,
  // which its hashers use, until it goes.
  TqovHashers();

  host::UInt32 KCALL GetNumHashers() override;
  HRESULT KCALL GetHasherProp(host::UInt32 index, PROPID propId, PROPVARIANT* value) override;
  HRESULT KCALL CreateHasher(host::UInt32 index, host::IHasher** hasher) override;

 private:
  ~TqovHashers() override = default;

  struct Offered {
    const THashAlgInfo* Alg;  // a catalogue entry (not owned)
    ProviderContextRef Provider;
  };
  std::vector<Offered> FOffered;
};
