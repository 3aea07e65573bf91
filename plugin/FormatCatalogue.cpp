#include <cstring>

#include "base/ComPtr.h"
#include "base/LocaleText.h"
#include "plugin/Catalogues.h"
#include "plugin/Hasher.h"
#include "plugin/IniFile.h"

GUID AlgClassId(ALG_ID algId) {
  GUID id = FormatClassIdBase;
  id.Data1 = algId;
  return id;
}

GUID NameClassId(const WStr& name) {
  const WStr lower = LowerCased(name);
  // MD5 of the UTF-16LE code units, straight into the GUID's 16 bytes.
  std::vector<BYTE> bytes;
  bytes.reserve(lower.size() * 2);
  for (WCHAR c : lower) {
    bytes.push_back(static_cast<BYTE>(static_cast<std::uint16_t>(c) & 0xFF));
    bytes.push_back(static_cast<BYTE>(static_cast<std::uint16_t>(c) >> 8));
  }
  BYTE digest[16] = {};
  auto hasher = ComPtr<host::IHasher>::Adopt(
      NewInterface<host::IHasher, TqovHasher>(&BuiltinHashAlgs()[BuiltinMd5Row]));
  hasher->Init();
  hasher->Update(bytes.data(), static_cast<host::UInt32>(bytes.size()));
  hasher->Final(digest);
  GUID id;
  // Data1..Data3 little-endian, Data4 as is.
  id.Data1 = static_cast<std::uint32_t>(digest[0]) | static_cast<std::uint32_t>(digest[1]) << 8 |
             static_cast<std::uint32_t>(digest[2]) << 16 | static_cast<std::uint32_t>(digest[3]) << 24;
  id.Data2 = static_cast<std::uint16_t>(digest[4] | digest[5] << 8);
  id.Data3 = static_cast<std::uint16_t>(digest[6] | digest[7] << 8);
  std::memcpy(id.Data4, digest + 8, 8);
  return id;
}

namespace {

// First built-in row of that name (any letter case) whose provider is registered.
const THashAlgInfo* FindRegisteredRow(const WStr& key) {
  for (const THashAlgInfo& row : BuiltinHashAlgs()) {
    if (!SameTextIgnoreCase(row.Name.c_str(), key.c_str())) continue;
    if (ProviderRegistered(row.ProviderName)) return &row;
  }
  return nullptr;
}

}  // namespace

void BuildFormatCatalogue(const WStr& iniPath) {
  FormatAlgs.clear();
  FormatSettings.clear();
  FormatCount = 0;
  for (const WStr& key : IniSectionKeys(iniPath, KW("Create"))) {
    const WStr value = IniReadString(iniPath, KW("Create"), key);
    if (value.empty()) continue;
    const THashAlgInfo* row = FindRegisteredRow(key);
    // Grown in steps of 8 and never after module start: handlers keep entry addresses.
    if (static_cast<std::size_t>(FormatCount) == FormatAlgs.size()) {
      FormatAlgs.resize(FormatAlgs.size() + 8);
      FormatSettings.resize(FormatSettings.size() + 8);
    }
    THashAlgInfo& entry = FormatAlgs[static_cast<std::size_t>(FormatCount)];
    if (row) {
      entry = *row;
      entry.ClassId = AlgClassId(row->AlgId);
    } else {
      entry.IsCryptoApi = false;
      entry.Name = key;
      entry.ClassId = NameClassId(key);
    }
    FormatSettings[static_cast<std::size_t>(FormatCount)] = value;
    ++FormatCount;
  }
}
