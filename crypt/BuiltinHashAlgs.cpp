#include "crypt/HashAlgInfo.h"

namespace {

const WCHAR kBase[] = KW("Microsoft Base Cryptographic Provider v1.0");
const WCHAR kAesPrototype[] = KW("Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)");
const WCHAR kAes[] = KW("Microsoft Enhanced RSA and AES Cryptographic Provider");
const WCHAR kInfotecs[] = KW("Infotecs Cryptographic Service Provider");
constexpr DWORD kProvRsaFull = 1;
constexpr DWORD kProvRsaAes = 24;
constexpr DWORD kProvGost = 2;

THashAlgInfo Row(const WCHAR* provider, DWORD type, ALG_ID alg, const WCHAR* name, const WCHAR* display,
                 std::int32_t size) {
  THashAlgInfo r;
  r.IsCryptoApi = true;
  r.ProviderName = provider;
  r.ProviderType = type;
  r.AlgId = alg;
  r.Name = name;
  r.DisplayName = display;
  r.HashSize = size;
  return r;
}

}  // namespace

const std::array<THashAlgInfo, BuiltinHashAlgCount>& BuiltinHashAlgs() {
  static const std::array<THashAlgInfo, BuiltinHashAlgCount> table = {
      Row(kBase, kProvRsaFull, 0x8004, KW("SHA-1"), KW("Secure Hash Algorithm (SHA-1)"), 20),
      Row(kBase, kProvRsaFull, 0x8001, KW("MD2"), KW("Message Digest 2 (MD2)"), 16),
      Row(kBase, kProvRsaFull, 0x8002, KW("MD4"), KW("Message Digest 4 (MD4)"), 16),
      Row(kBase, kProvRsaFull, 0x8003, KW("MD5"), KW("Message Digest 5 (MD5)"), 16),
      Row(kAesPrototype, kProvRsaAes, 0x800C, KW("SHA-256"), KW("Secure Hash Algorithm 256 (SHA-256)"), 32),
      Row(kAesPrototype, kProvRsaAes, 0x800D, KW("SHA-384"), KW("Secure Hash Algorithm 384 (SHA-384)"), 48),
      Row(kAesPrototype, kProvRsaAes, 0x800E, KW("SHA-512"), KW("Secure Hash Algorithm 512 (SHA-512)"), 64),
      Row(kAes, kProvRsaAes, 0x800C, KW("SHA-256"), KW("Secure Hash Algorithm 256 (SHA-256)"), 32),
      Row(kAes, kProvRsaAes, 0x800D, KW("SHA-384"), KW("Secure Hash Algorithm 384 (SHA-384)"), 48),
      Row(kAes, kProvRsaAes, 0x800E, KW("SHA-512"), KW("Secure Hash Algorithm 512 (SHA-512)"), 64),
      Row(kInfotecs, kProvGost, 0x801E, KW("GOST R 34.11-94"), KW("GOST R 34.11-94"), 32),
      Row(kInfotecs, kProvGost, 0x8021, KW("GOST 34.11-2012 256"), KW("GOST 34.11-2012 256"), 32),
      Row(kInfotecs, kProvGost, 0x8022, KW("GOST 34.11-2012 512"), KW("GOST 34.11-2012 512"), 64),
  };
  return table;
}
