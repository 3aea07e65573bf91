// One digest at a time computed by a CryptoAPI provider: the algorithm of a
// catalogue row, on the shared context of its provider. Every step says
// whether the provider did its part, and Failure says why not, so that whoever
// asks for the digest can tell one the provider computed from one it could
// not, and report the provider's own reason.
#pragma once

#include <cstddef>
#include <utility>

#include "crypt/CryptHash.h"
#include "crypt/HashAlgInfo.h"
#include "crypt/ProviderContext.h"

class CryptDigest {
 public:
  // Keeps the row's address (not owned); makes no CryptoAPI call. The
  // provider's context is looked up at the first Start.
  explicit CryptDigest(const THashAlgInfo* alg) : FAlg(alg) {}
  // The same on a context the caller already holds (the row's provider's).
  CryptDigest(const THashAlgInfo* alg, ProviderContextRef provider)
      : FAlg(alg), FProvider(std::move(provider)) {}

  // Starts a new digest and drops one in progress. False when the provider
  // gives no context or no hash object; the digest then fails.
  bool Start();
  // Adds bytes. False when there is no hash object or the provider refuses
  // them; the digest then fails.
  bool Add(const void* data, DWORD size);
  // Writes Size() bytes to digest: the provider's value when every step of
  // this digest succeeded (and then returns true), else zeros.
  bool Finish(BYTE* digest);
  // Why the digest since the last Start failed: the provider's error as an
  // HRESULT (NTE_BAD_LEN for a value of the wrong length, E_UNEXPECTED for a
  // digest never started); S_OK while nothing failed.
  HRESULT Failure() const { return FFailure; }

  std::size_t Size() const { return static_cast<std::size_t>(FAlg->HashSize); }

 private:
  // Keeps the first failure of this digest: the calling thread's last error.
  bool Fail();

  const THashAlgInfo* const FAlg;
  ProviderContextRef FProvider;
  CryptHashHolder FHash;
  HRESULT FFailure = E_UNEXPECTED;
};

// Whether the row's provider computes a digest of the row's length on that
// context (an empty message): S_OK, or the failure. The context stays
// acquired in provider when it could be.
HRESULT ProbeDigest(const THashAlgInfo* alg, const ProviderContextRef& provider);
