// One digest at a time computed by a CryptoAPI provider: the algorithm of a
// catalogue row, on the module's context of its provider. Every step says
// whether the provider did its part, so that whoever asks for the digest can
// tell one the provider computed from one it could not.
#pragma once

#include <cstddef>

#include "crypt/CryptHash.h"
#include "crypt/HashAlgInfo.h"
#include "crypt/ProviderContext.h"

class CryptDigest {
 public:
  // Keeps the row's address (not owned); makes no CryptoAPI call.
  explicit CryptDigest(const THashAlgInfo* alg) : FAlg(alg) {}

  // Starts a new digest and drops one in progress. False when the provider
  // gives no context or no hash object; the digest then fails.
  bool Start();
  // Adds bytes. False when there is no hash object or the provider refuses
  // them; the digest then fails.
  bool Add(const void* data, DWORD size);
  // Writes Size() bytes to digest: zeros when there is no hash object or the
  // provider gives a value of another length, else the provider's value.
  // True only when every step of this digest succeeded.
  bool Finish(BYTE* digest);

  std::size_t Size() const { return static_cast<std::size_t>(FAlg->HashSize); }

 private:
  const THashAlgInfo* const FAlg;
  ProviderContext* FProvider = nullptr;  // looked up at the first Start
  CryptHashHolder FHash;
  bool FFailed = false;
};
