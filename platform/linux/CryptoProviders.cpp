#include "platform/linux/CryptoProviders.h"

#include <nettle/nettle-meta.h>

#include <iterator>

#include "platform/linux/CaseMap.h"

namespace standin::detail {
namespace {

constexpr DWORD kInfotecsType = 2;
constexpr ALG_ID kGostR341194 = 0x801E;  // CryptoPro parameter set
constexpr ALG_ID kGost34112012_256 = 0x8021;
constexpr ALG_ID kGost34112012_512 = 0x8022;

const HashAlgorithm kBaseAlgorithms[] = {
    {CALG_MD2, &nettle_md2},
    {CALG_MD4, &nettle_md4},
    {CALG_MD5, &nettle_md5},
    {CALG_SHA1, &nettle_sha1},
};

const HashAlgorithm kAesAlgorithms[] = {
    {CALG_MD2, &nettle_md2},        {CALG_MD4, &nettle_md4},        {CALG_MD5, &nettle_md5},
    {CALG_SHA1, &nettle_sha1},      {CALG_SHA_256, &nettle_sha256}, {CALG_SHA_384, &nettle_sha384},
    {CALG_SHA_512, &nettle_sha512},
};

const HashAlgorithm kInfotecsAlgorithms[] = {
    {kGostR341194, &nettle_gosthash94cp},
    {kGost34112012_256, &nettle_streebog256},
    {kGost34112012_512, &nettle_streebog512},
};

const CryptoProvider kProviders[] = {
    {u"Microsoft Base Cryptographic Provider v1.0", PROV_RSA_FULL, true, kBaseAlgorithms,
     std::size(kBaseAlgorithms)},
    {u"Microsoft Enhanced RSA and AES Cryptographic Provider", PROV_RSA_AES, true, kAesAlgorithms,
     std::size(kAesAlgorithms)},
    {u"Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)", PROV_RSA_AES, false,
     kAesAlgorithms, std::size(kAesAlgorithms)},
    {u"Infotecs Cryptographic Service Provider", kInfotecsType, true, kInfotecsAlgorithms,
     std::size(kInfotecsAlgorithms)},
};

}  // namespace

const CryptoProvider* FindProvider(std::u16string_view name) {
  for (const CryptoProvider& p : kProviders) {
    if (EqualIgnoringCase(p.name, name)) return &p;
  }
  return nullptr;
}

const CryptoProvider* DefaultProvider(DWORD type) {
  for (const CryptoProvider& p : kProviders) {
    if (p.type == type && p.typeDefault) return &p;
  }
  return nullptr;
}

const HashAlgorithm* FindAlgorithm(const CryptoProvider& provider, ALG_ID algId) {
  for (std::size_t i = 0; i < provider.algorithmCount; ++i) {
    if (provider.algorithms[i].algId == algId) return &provider.algorithms[i];
  }
  return nullptr;
}

std::u16string ProviderKey(std::u16string_view name) {
  std::u16string key = u"SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\";
  key.append(name);
  return key;
}

std::span<const CryptoProvider> Providers() { return kProviders; }

}  // namespace standin::detail
