#include "plugin/catalogue/FormatCatalogue.h"

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
      entry.ClassId = NameClassId(key);
    }
    FormatSettings[static_cast<std::size_t>(FormatCount)] = value;
    FormatSettingParts[static_cast<std::size_t>(FormatCount)] = ParseFormatSetting(value, entry.Name);
    ++FormatCount;
  }
}
