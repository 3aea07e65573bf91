#include "plugin/catalogue/FormatCatalogue.h"

#include <mutex>

#include "base/LocaleText.h"
#include "crypt/NameClassId.h"
#include "plugin/catalogue/Catalogues.h"
#include "plugin/catalogue/IniFile.h"
#include "plugin/catalogue/ProviderRegistry.h"

GUID AlgClassId(ALG_ID algId) {
  GUID id = FormatClassIdBase;
  id.Data1 = algId;
  return id;
}

namespace {

// Whether the class identifiers of the formats named after a host's hasher
// are still to be made, guarded by the lock: the host may ask from any thread.
std::mutex& ClassIdLock() {
  static std::mutex lock;
  return lock;
}
bool ClassIdsPending = false;

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
  FormatSettingParts.clear();
  FormatCount = 0;
  {
    std::lock_guard<std::mutex> guard(ClassIdLock());
    ClassIdsPending = true;
  }
  for (const WStr& key : IniSectionKeys(iniPath, KW("Create"))) {
    const WStr value = IniReadString(iniPath, KW("Create"), key);
    if (value.empty()) continue;
    const THashAlgInfo* row = FindRegisteredRow(key);
    // Grown in steps of 8 and never after module start: handlers keep entry addresses.
    if (static_cast<std::size_t>(FormatCount) == FormatAlgs.size()) {
      FormatAlgs.resize(FormatAlgs.size() + 8);
      FormatSettings.resize(FormatSettings.size() + 8);
      FormatSettingParts.resize(FormatSettingParts.size() + 8);
    }
    THashAlgInfo& entry = FormatAlgs[static_cast<std::size_t>(FormatCount)];
    if (row) {
      entry = *row;
      entry.ClassId = AlgClassId(row->AlgId);
    } else {
      entry.IsCryptoApi = false;
      entry.Name = key;
      entry.ClassId = GUID{};  // made by NameFormatClassIds
    }
    FormatSettings[static_cast<std::size_t>(FormatCount)] = value;
    FormatSettingParts[static_cast<std::size_t>(FormatCount)] = ParseFormatSetting(value, entry.Name);
    ++FormatCount;
  }
}

void NameFormatClassIds() {
  std::lock_guard<std::mutex> guard(ClassIdLock());
  if (!ClassIdsPending) return;
  ClassIdsPending = false;
  for (std::int32_t i = 0; i < FormatCount; ++i) {
    THashAlgInfo& entry = FormatAlgs[static_cast<std::size_t>(i)];
    if (!entry.IsCryptoApi) entry.ClassId = NameClassId(entry.Name);
  }
}
