// One algorithm as the catalogues know it, and the built-in table of the
// algorithms that Windows CryptoAPI providers compute.
#pragma once

#include <array>

#include "platform/Win32.h"

struct THashAlgInfo {
  // true: computed by CryptoAPI with the provider fields. false (formats only):
  // names a hasher of the host by Name; only Name and ClassId are set.
  bool IsCryptoApi = false;
  WStr ProviderName;
  DWORD ProviderType = 0;
  ALG_ID AlgId = 0;
  WStr Name;
  WStr DisplayName;
  std::int32_t HashSize = 0;
  GUID ClassId{};
};

constexpr std::size_t BuiltinHashAlgCount = 13;

// The thirteen rows, in the order in which they are offered. Row 3 is MD5 of
// the base provider (class identifiers are computed with it).
const std::array<THashAlgInfo, BuiltinHashAlgCount>& BuiltinHashAlgs();
constexpr std::size_t BuiltinMd5Row = 3;
