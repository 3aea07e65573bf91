// The ways the stand-in's CryptoAPI can refuse a digest, with the error each
// gives, for the tests of every layer that must pass that error on.
#pragma once

#ifndef _WIN32
#include <vector>

#include "crypt/HashAlgInfo.h"
#include "platform/linux/TestControl.h"

namespace fixture {

struct ProviderRefusal {
  // Makes the stand-in refuse alg's digests.
  void (*Refuse)(const THashAlgInfo& alg);
  HRESULT Expected;
};

// No context for the provider; no hash object for the algorithm.
inline std::vector<ProviderRefusal> ProviderRefusals() {
  return {
      {[](const THashAlgInfo& alg) { standin::RefuseContext(alg.ProviderName); }, NTE_PROVIDER_DLL_FAIL},
      {[](const THashAlgInfo& alg) { standin::RefuseAlgorithm(alg.ProviderName, alg.AlgId); }, NTE_BAD_ALGID},
  };
}

}  // namespace fixture
#endif
