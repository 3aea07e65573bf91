// The hashers a run of a hash-list format computes its digests with. A run
// needs to know whether a digest was computed; the host's hasher interface
// can't say so, so the runs use this one: CryptoAPI digests directly, and the
// host's own hashers behind it.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "base/ComPtr.h"
#include "crypt/HashAlgInfo.h"
#include "interfaces/Host7z.h"

class ItemHasher {
 public:
  ItemHasher() = default;
  ItemHasher(const ItemHasher&) = delete;
  ItemHasher& operator=(const ItemHasher&) = delete;
  virtual ~ItemHasher() = default;

  virtual std::size_t DigestSize() = 0;
  // Starts a new digest.
  virtual void Start() = 0;
  virtual void Add(const BYTE* data, host::UInt32 size) = 0;
  // Writes DigestSize() bytes, in the hasher's own order. S_OK when the
  // digest was computed; else why not (the provider's error), and the bytes
  // are zeros.
  virtual HRESULT Finish(BYTE* digest) = 0;
};

// Where a format's runs get their hashers: a CryptoAPI format computes with
// its catalogue entry; any other uses the host's hasher of the format's name,
// from the codecs given to the handler or else from those given to the module.
class HasherSource {
 public:
  // alg: the format's catalogue entry (not owned). handlerHashers: the
  // handler's codecs, or null.
  HasherSource(const THashAlgInfo* alg, ComPtr<host::IHashers> handlerHashers)
      : FAlg(alg), FHandlerHashers(std::move(handlerHashers)) {}

  // A new hasher, or null when the host has none of the name.
  std::unique_ptr<ItemHasher> Make() const;
  // Whether its hashers may hash on any thread: CryptoAPI's may, one thread
  // at a time each; the host's are host objects, kept to the host's thread.
  bool AnyThread() const { return FAlg->IsCryptoApi; }

 private:
  ComPtr<host::IHasher> FindHostHasher(host::IHashers* list) const;

  const THashAlgInfo* FAlg;
  ComPtr<host::IHashers> FHandlerHashers;
};
