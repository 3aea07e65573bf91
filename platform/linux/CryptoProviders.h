// The cryptographic service providers the stand-in CryptoAPI knows: their
// names, types and the hash algorithms each offers, with the nettle digest
// that computes each algorithm.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/linux/Types.h"

struct nettle_hash;

namespace standin::detail {

struct HashAlgorithm {
  ALG_ID algId;
  const nettle_hash* digest;
};

struct CryptoProvider {
  std::u16string_view name;
  DWORD type;
  bool typeDefault;  // chosen when CryptAcquireContextW gets no provider name
  const HashAlgorithm* algorithms;
  std::size_t algorithmCount;
};

// The provider of that name (letter case ignored), or null.
const CryptoProvider* FindProvider(std::u16string_view name);
// The provider chosen for a type when no name is given, or null.
const CryptoProvider* DefaultProvider(DWORD type);
// The provider's algorithm with that identifier, or null.
const HashAlgorithm* FindAlgorithm(const CryptoProvider& provider, ALG_ID algId);

// Every provider.
std::span<const CryptoProvider> Providers();

// "SOFTWARE\Microsoft\Cryptography\Defaults\Provider\<name>".
std::u16string ProviderKey(std::u16string_view name);

}  // namespace standin::detail
