#include "crypt/NameClassId.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/LocaleText.h"
#include "crypt/CryptDigest.h"

GUID NameClassId(const WStr& name) {
  const WStr lower = LowerCased(name);
  std::vector<BYTE> bytes;
  bytes.reserve(lower.size() * 2);
  for (WCHAR c : lower) {
    bytes.push_back(static_cast<BYTE>(static_cast<std::uint16_t>(c) & 0xFF));
    bytes.push_back(static_cast<BYTE>(static_cast<std::uint16_t>(c) >> 8));
  }
  BYTE digest[16] = {};
  CryptDigest md5(&BuiltinHashAlgs()[BuiltinMd5Row]);
  md5.Start();
  md5.Add(bytes.data(), static_cast<DWORD>(bytes.size()));
  // A failed digest leaves zeros, which make the all-zero identifier.
  md5.Finish(digest);
  GUID id;
  id.Data1 = static_cast<std::uint32_t>(digest[0]) | static_cast<std::uint32_t>(digest[1]) << 8 |
             static_cast<std::uint32_t>(digest[2]) << 16 | static_cast<std::uint32_t>(digest[3]) << 24;
  id.Data2 = static_cast<std::uint16_t>(digest[4] | digest[5] << 8);
  id.Data3 = static_cast<std::uint16_t>(digest[6] | digest[7] << 8);
  std::memcpy(id.Data4, digest + 8, 8);
  return id;
}
