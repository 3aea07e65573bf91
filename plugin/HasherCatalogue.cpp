#include "plugin/Catalogues.h"
#include "plugin/IniFile.h"

bool ProviderRegistered(const WStr& provider) {
  const WStr path = KW("SOFTWARE\\Microsoft\\Cryptography\\Defaults\\Provider\\") + provider;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void BuildCatalogues() {
  const WStr iniPath = IniFileName();
  // Sized to the whole table up front: hashers keep entry addresses.
  HasherAlgs.assign(BuiltinHashAlgCount, THashAlgInfo{});
  HasherAlgCount = 0;
  for (const THashAlgInfo& row : BuiltinHashAlgs()) {
    if (!ProviderRegistered(row.ProviderName)) continue;
    // Only the exact value "0" switches an algorithm off.
    if (IniReadString(iniPath, KW("Main"), row.Name) == KW("0")) continue;
    HasherAlgs[static_cast<std::size_t>(HasherAlgCount++)] = row;
  }
  BuildFormatCatalogue(iniPath);
}
